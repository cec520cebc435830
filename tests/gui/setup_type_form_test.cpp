#include "app/setup_type_form.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/device_types.h"
#include "core/gbk.h"
#include "core/ini_params_op.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

class SetupTypeFormTest : public testing::Test {
 protected:
  template <typename T>
  T* Control(const char* name) {
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QListWidget* List() { return Control<QListWidget>("lbTypeList"); }
  QString NameLabel() { return Control<QLabel>("lblTypeName")->text(); }
  void Rename(const QString& name) {
    Control<QLineEdit>("edtNewType")->setText(name);
    Control<QPushButton>("btnEdit")->click();
  }
  QStringList ListTexts() {
    QStringList texts;
    for (int i = 0; i < List()->count(); ++i) texts << List()->item(i)->text();
    return texts;
  }
  TIniParamsOp Ini() const { return TIniParamsOp(TIniParamsOp::DefaultPath()); }

  TTempHome home;
  TSetupTypeForm form;
};

TEST_F(SetupTypeFormTest, ShowsTwelveNamesWithFirstHighlighted) {
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, "[COM]\r\ntvtype1=First\r\ntvtype13=Thirteenth\r\n"));
  form.show();
  ASSERT_EQ(List()->count(), 12);
  EXPECT_EQ(List()->item(0)->text(), u"First"_s);
  for (int i = 1; i < 12; ++i) EXPECT_EQ(List()->item(i)->text(), DefaultDeviceTypeName(i)) << i;
  EXPECT_EQ(List()->currentRow(), 0);
  EXPECT_EQ(NameLabel(), u"First"_s);
  EXPECT_FALSE(ListTexts().contains(u"Thirteenth"_s));
}

TEST_F(SetupTypeFormTest, ButtonRenamesHighlightedEntryInFileListAndLabel) {
  form.show();
  Rename(u"大屏一号"_s);
  EXPECT_EQ(Ini().ReadTvType(1), u"大屏一号"_s);
  EXPECT_TRUE(home.Read(u"Quvial.ini"_s).contains("tvtype1=" + Gbk::Encode(u"大屏一号"_s)));
  EXPECT_EQ(List()->item(0)->text(), u"大屏一号"_s);
  EXPECT_EQ(NameLabel(), u"大屏一号"_s);
}

TEST_F(SetupTypeFormTest, ChosenEntryIsTheOneEdited) {
  form.show();
  for (const int row : {4, 11, 1}) {
    SCOPED_TRACE(row);
    List()->setCurrentRow(row);
    EXPECT_EQ(NameLabel(), DefaultDeviceTypeName(row));
    Rename(QStringLiteral("name %1").arg(row));
    EXPECT_EQ(Ini().ReadTvType(row + 1), QStringLiteral("name %1").arg(row));
    EXPECT_EQ(List()->item(row)->text(), QStringLiteral("name %1").arg(row));
  }
  // Untouched entries keep their defaults, in the file's absence of keys too.
  EXPECT_EQ(Ini().ReadTvType(1), u"QN-51"_s);
  EXPECT_EQ(Ini().ReadTvType(13), u"QN-51N"_s);
  EXPECT_FALSE(home.Read(u"Quvial.ini"_s).contains("tvtype1="));
}

TEST_F(SetupTypeFormTest, EmptyNameIsWrittenAndKeptEmpty) {
  form.show();
  List()->setCurrentRow(2);
  Rename(QString());
  EXPECT_TRUE(home.Read(u"Quvial.ini"_s).contains("tvtype3=\r\n"));
  EXPECT_EQ(Ini().ReadTvType(3), QString());
  EXPECT_EQ(List()->item(2)->text(), QString());
  EXPECT_EQ(NameLabel(), QString());
  // Shown again, the empty stored name stays empty rather than the default.
  form.hide();
  form.show();
  EXPECT_EQ(List()->item(2)->text(), QString());
}

TEST_F(SetupTypeFormTest, OtherSettingsSurviveARename) {
  const QByteArray before = "[COM]\r\nCOMPort=COM4\r\nrow=5\r\ntvtype2=Old\r\nLANG=1\r\n";
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, before));
  form.show();
  List()->setCurrentRow(1);
  Rename(u"New"_s);
  QByteArray expected = before;
  expected.replace("tvtype2=Old", "tvtype2=New");
  EXPECT_EQ(home.Read(u"Quvial.ini"_s), expected);
}

TEST_F(SetupTypeFormTest, ShowingAgainReloadsFromFileAndHighlightsFirst) {
  form.show();
  List()->setCurrentRow(3);
  Rename(u"Edited"_s);
  form.hide();
  TIniParamsOp other = Ini();
  other.WriteTvType(1, u"Elsewhere"_s);  // another store writes meanwhile
  form.show();
  EXPECT_EQ(List()->currentRow(), 0);
  EXPECT_EQ(NameLabel(), u"Elsewhere"_s);
  EXPECT_EQ(List()->item(3)->text(), u"Edited"_s);
  EXPECT_TRUE(Control<QLineEdit>("edtNewType")->text().isEmpty());
}

class SetupTypeFormTextTest : public SetupTypeFormTest {
 protected:
  void WriteTable() {
    const QByteArray table =
        "[chs]\r\nID_SETUP_TYPE_FORM_CAPTION=" + Gbk::Encode(u"类型"_s) +
        "\r\nID_SETUP_TYPE_FORM_lblTypeList=" + Gbk::Encode(u"列表"_s) +
        "\r\nID_SETUP_TYPE_FORM_lblNewType=" + Gbk::Encode(u"新"_s) +
        "\r\nID_SETUP_TYPE_FORM_btnEdit=" + Gbk::Encode(u"改"_s) +
        "\r\n[eng]\r\nID_SETUP_TYPE_FORM_CAPTION=Device types\r\n"
        "ID_SETUP_TYPE_FORM_LBLTYPELIST=Types:\r\nID_SETUP_TYPE_FORM_btnEdit=Edit\r\n";
    ASSERT_TRUE(home.Write(u"lang.ini"_s, table));
  }
  QStringList Texts() {
    return {form.windowTitle(), Control<QLabel>("lblTypeList")->text(),
            Control<QLabel>("lblNewType")->text(), Control<QPushButton>("btnEdit")->text()};
  }
};

TEST_F(SetupTypeFormTextTest, WithoutTableDesignedCaptionsStay) {
  form.show();
  EXPECT_EQ(Texts(), (QStringList{u"设置设备类型"_s, u"设备类型："_s, u"新名称："_s, u"修改"_s}));
}

TEST_F(SetupTypeFormTextTest, OnlyTheTextOneMeansChinese) {
  WriteTable();
  const QStringList chinese{u"类型"_s, u"列表"_s, u"新"_s, u"改"_s};
  const QStringList english{u"Device types"_s, u"Types:"_s, QString(), u"Edit"_s};
  struct Case {
    QByteArray file;
    QStringList want;
  };
  for (const Case& c : {Case{"", chinese}, Case{"[COM]\r\nLANG=1\r\n", chinese},
                        Case{"[COM]\r\nLANG=2\r\n", english}, Case{"[COM]\r\nLANG=3\r\n", english},
                        Case{"[COM]\r\nLANG=01\r\n", english}}) {
    SCOPED_TRACE(c.file.constData());
    if (c.file.isEmpty()) {
      QFile::remove(home.File(u"Quvial.ini"_s));
    } else {
      ASSERT_TRUE(home.Write(u"Quvial.ini"_s, c.file));
    }
    form.hide();
    form.show();
    EXPECT_EQ(Texts(), c.want);
  }
}

}  // namespace
