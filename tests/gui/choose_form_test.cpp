#include "app/choose_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "app/device_types.h"
#include "app/setup_type_form.h"
#include "core/gbk.h"
#include "core/ini_params_op.h"
#include "support/jpeg_writer.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

class ChooseFormTest : public testing::Test {
 protected:
  ChooseFormTest() {
    form.probePorts = [this] {
      ++probeCalls;
      return probed;
    };
    form.onChosen = [this](const TDeviceChoice& c) {
      choice = c;
      visibleWhenChosen = form.isVisible();
    };
  }

  template <typename T>
  T* Control(const char* name) {
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QComboBox* Types() { return Control<QComboBox>("cbbType"); }
  QComboBox* Ports() { return Control<QComboBox>("cbbPort"); }
  void Choose() { Control<QPushButton>("btnChoose")->click(); }
  void WriteConfiguration(const QByteArray& text = "[COM]\r\n") {
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s, text));
  }

  TTempHome home;  // first: the form must see the temporary program directory
  TChooseForm form;
  QStringList probed{u"COM3"_s, u"COM7"_s};
  int probeCalls = 0;
  std::optional<TDeviceChoice> choice;
  bool visibleWhenChosen = true;
};

TEST_F(ChooseFormTest, OffersThirteenTypesWithFirstSelected) {
  form.show();
  ASSERT_EQ(Types()->count(), kDeviceTypeCount);
  for (int i = 0; i < kDeviceTypeCount; ++i)
    EXPECT_EQ(Types()->itemText(i), DefaultDeviceTypeName(i));
  EXPECT_EQ(Types()->currentIndex(), 0);
  EXPECT_EQ(Types()->maxVisibleItems(), 11);
  EXPECT_FALSE(Types()->isEditable());
}

TEST_F(ChooseFormTest, ConfiguredInstallationHidesPortListWithoutProbing) {
  WriteConfiguration();
  form.show();
  EXPECT_TRUE(Ports()->isHidden());
  EXPECT_EQ(probeCalls, 0);
  Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_TRUE(choice->portListHidden);
  EXPECT_TRUE(choice->portName.isEmpty());
}

TEST_F(ChooseFormTest, FirstStartOffersProbedPortsAndSelectsFirst) {
  form.show();
  EXPECT_FALSE(Ports()->isHidden());
  EXPECT_EQ(probeCalls, 1);
  ASSERT_EQ(Ports()->count(), 2);
  EXPECT_EQ(Ports()->currentText(), u"COM3"_s);
  Ports()->setCurrentIndex(1);
  Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_FALSE(choice->portListHidden);
  EXPECT_EQ(choice->portName, u"COM7"_s);
}

TEST_F(ChooseFormTest, NoPortFoundStillCreatesMainWindowWithEmptyName) {
  probed.clear();
  form.show();
  EXPECT_EQ(Ports()->count(), 0);
  EXPECT_EQ(Ports()->currentIndex(), -1);
  Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_TRUE(choice->portName.isEmpty());
  EXPECT_FALSE(choice->portListHidden);
}

TEST_F(ChooseFormTest, OkHidesDialogThenGivesFamilyOfPosition) {
  struct Case {
    int position;
    int family;
  };
  for (const Case c :
       {Case{0, 0}, Case{8, 9}, Case{9, 9}, Case{12, 12}, Case{6, 7}, Case{10, 10}}) {
    SCOPED_TRACE(c.position);
    choice.reset();
    form.show();
    Types()->setCurrentIndex(c.position);
    Choose();
    ASSERT_TRUE(choice.has_value());
    EXPECT_FALSE(visibleWhenChosen);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(choice->position, c.position);
    EXPECT_EQ(choice->family, c.family);
    EXPECT_EQ(choice->deviceName, DefaultDeviceTypeName(c.position));
  }
}

TEST_F(ChooseFormTest, CancelEndsWithoutChoice) {
  int rejected = 0;
  QObject::connect(&form, &QDialog::rejected, [&] { ++rejected; });
  form.show();
  Control<QPushButton>("btnCancel")->click();
  EXPECT_EQ(rejected, 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(choice.has_value());
}

class ChooseFormTextTest : public ChooseFormTest {
 protected:
  void WriteTable() {
    const QByteArray table = "[chs]\r\nID_CHOOSE_FORM_CAPTION=" + Gbk::Encode(u"选型"_s) +
                             "\r\nID_CHOOSE_FORM_LBLTYPE=" + Gbk::Encode(u"型号："_s) +
                             "\r\nID_CHOOSE_FORM_BTNCHOOSE=" + Gbk::Encode(u"好"_s) +
                             "\r\nID_CHOOSE_FORM_BTNCANCEL=" + Gbk::Encode(u"不"_s) +
                             "\r\n[eng]\r\nID_CHOOSE_FORM_CAPTION=Choose device\r\n"
                             "ID_CHOOSE_FORM_LBLTYPE=Model:\r\nID_CHOOSE_FORM_BTNCHOOSE=OK\r\n";
    ASSERT_TRUE(home.Write(u"lang.ini"_s, table));
  }
  QStringList Texts() {
    return {form.windowTitle(), Control<QLabel>("lblType")->text(),
            Control<QPushButton>("btnChoose")->text(), Control<QPushButton>("btnCancel")->text()};
  }
};

TEST_F(ChooseFormTextTest, WithoutTableDesignedCaptionsStay) {
  form.show();
  EXPECT_EQ(Texts(), (QStringList{u"选择设备参数"_s, u"请选择型号："_s, u"确定"_s, u"取消"_s}));
}

TEST_F(ChooseFormTextTest, LanguageTwoReadsEnglishAndMissingKeyIsEmpty) {
  WriteTable();
  WriteConfiguration("[COM]\r\nLANG=2\r\n");
  form.show();
  EXPECT_EQ(Texts(), (QStringList{u"Choose device"_s, u"Model:"_s, u"OK"_s, QString()}));
}

TEST_F(ChooseFormTextTest, AnyOtherLanguageReadsChinese) {
  WriteTable();
  for (const QByteArray lang : {"1", "3", "0", "x"}) {
    SCOPED_TRACE(lang.constData());
    WriteConfiguration("[COM]\r\nLANG=" + lang + "\r\n");
    form.hide();
    form.show();
    EXPECT_EQ(Texts(), (QStringList{u"选型"_s, u"型号："_s, u"好"_s, u"不"_s}));
  }
}

class ChooseFormLogoTest : public ChooseFormTest {
 protected:
  QLabel* Logo() { return Control<QLabel>("imgLogo"); }
};

TEST_F(ChooseFormLogoTest, PictureFromProgramDirectory) {
  ASSERT_TRUE(home.Write(u"logo.jpg"_s, WriteSolidJpeg(120, 40, 200, 20, 20)));
  form.show();
  const QPixmap logo = Logo()->pixmap();
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.size(), QSize(120, 40));
  const QColor centre = logo.toImage().pixelColor(60, 20);
  EXPECT_NEAR(centre.red(), 200, 8);
  EXPECT_NEAR(centre.green(), 20, 8);
}

TEST_F(ChooseFormLogoTest, LargePictureIsScaledDownKeepingItsShape) {
  ASSERT_TRUE(home.Write(u"logo.jpg"_s, WriteSolidJpeg(2000, 500, 1, 2, 3)));
  form.show();
  const QSize size = Logo()->pixmap().size();
  EXPECT_LE(size.width(), 640);
  EXPECT_LE(size.height(), 360);
  EXPECT_EQ(size.width(), size.height() * 4);
}

TEST_F(ChooseFormLogoTest, MissingOrBrokenPictureLeavesLogoEmptyAndDialogWorks) {
  const QByteArray good = WriteSolidJpeg(64, 64, 5, 5, 5);
  for (const QByteArray& bytes : {QByteArray(), QByteArray("\xFF\xD8\xFFgarbage"),
                                  good.left(good.size() / 2), QByteArray("GIF89a")}) {
    SCOPED_TRACE(bytes.size());
    ASSERT_TRUE(home.Write(u"logo.jpg"_s, bytes));
    choice.reset();
    form.show();
    EXPECT_TRUE(Logo()->pixmap().isNull());
    Choose();
    EXPECT_TRUE(choice.has_value());
  }
  ASSERT_TRUE(QFile::remove(home.File(u"logo.jpg"_s)));
  form.show();
  EXPECT_TRUE(Logo()->pixmap().isNull());
}

TEST_F(ChooseFormTest, RenamingInTypeEditorReloadsAllThirteen) {
  form.show();
  Types()->setCurrentIndex(5);
  auto* editor = form.findChild<TSetupTypeForm*>();
  ASSERT_NE(editor, nullptr);
  bool edited = false;
  // The editor runs modally: operate it from inside its own event loop.
  QTimer::singleShot(0, editor, [&] {
    if (editor->isVisible() && editor->isModal()) {
      editor->findChild<QListWidget*>(u"lbTypeList"_s)->setCurrentRow(1);
      editor->findChild<QLineEdit*>(u"edtNewType"_s)->setText(u"QN-46 新款"_s);
      editor->findChild<QPushButton*>(u"btnEdit"_s)->click();
      edited = true;
    }
    editor->reject();
  });
  Control<QPushButton>("btnSetupType")->click();
  ASSERT_TRUE(edited);
  EXPECT_EQ(TIniParamsOp(TIniParamsOp::DefaultPath()).ReadTvType(2), u"QN-46 新款"_s);
  EXPECT_TRUE(home.Read(u"Quvial.ini"_s).contains("tvtype2=" + Gbk::Encode(u"QN-46 新款"_s)));
  ASSERT_EQ(Types()->count(), kDeviceTypeCount);
  EXPECT_EQ(Types()->itemText(1), u"QN-46 新款"_s);
  for (int i = 0; i < kDeviceTypeCount; ++i) {
    if (i == 1) continue;
    EXPECT_EQ(Types()->itemText(i), DefaultDeviceTypeName(i)) << i;
  }
  EXPECT_EQ(Types()->currentIndex(), 0);
  // The position, not the new name, still decides the family.
  Types()->setCurrentIndex(1);
  Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->family, 1);
  EXPECT_EQ(choice->deviceName, u"QN-46 新款"_s);
}

}  // namespace
