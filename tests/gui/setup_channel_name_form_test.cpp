#include "linkage/setup_channel_name_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/profile_file.h"
#include "linkage/channel_names.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

TEST(SetupChannelNameFormTest, RenamesTheChosenInputAtOnce) {
  TTempHome home;
  TChannelNames names;
  TSetupChannelNameForm form(names, TWindowTexts{});  // no table: designed captions
  auto* list = form.findChild<QListWidget*>(u"lbChannelList"_s);
  auto* edit = form.findChild<QLineEdit*>(u"edtNewName"_s);
  auto* button = form.findChild<QPushButton*>(u"btnEdit"_s);
  auto* chosen = form.findChild<QLabel*>(u"lblName"_s);
  ASSERT_TRUE(list && edit && button && chosen);
  auto stored = [&] {
    return TProfileFile(names.Path()).ReadString(u"NAME"_s, u"INDEX3"_s, u"(none)"_s);
  };
  form.show();
  form.hide();
  form.show();
  ASSERT_EQ(list->count(), TChannelNames::kCount) << "showing twice still lists 512";
  EXPECT_EQ(button->accessibleName(), u"修改"_s);

  list->setCurrentRow(-1);  // no entry chosen: the press is ignored
  edit->setText(u"Lost"_s);
  button->click();
  EXPECT_EQ(stored(), QString());

  list->setCurrentRow(2);
  EXPECT_EQ(chosen->text(), u"3 "_s);
  edit->clear();
  QTest::keyClicks(edit, u"North gate"_s);
  edit->insert(u" 北门"_s);               // typed through an input method
  QTest::keyClick(edit, Qt::Key_Return);  // the default button
  EXPECT_EQ(stored(), u"North gate 北门"_s);
  EXPECT_EQ(list->item(2)->text(), u"3 North gate 北门"_s);
  EXPECT_EQ(chosen->text(), u"3 North gate 北门"_s);
  form.hide();
  form.show();
  EXPECT_EQ(list->item(2)->text(), u"3 North gate 北门"_s) << "read back from the file";
}
