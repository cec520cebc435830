#include "app/password_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

#include "app/scramble.h"
#include "core/gbk.h"
#include "core/profile_file.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

// The stored forms of the two default passwords.
constexpr char kSuper304718[] = "6927F7D53873";
constexpr char kMng620935[] = "6C25F3DB3A7E";

class PasswordStoreTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }
  QString Key(const char* key) const {
    return TProfileFile(home.File(u"QV.ini"_s))
        .ReadString(u"pw"_s, QString::fromLatin1(key), u"<none>"_s);
  }

  TTempHome home;
  TPasswordStore store{TPasswordStore::DefaultPath()};
};

TEST_F(PasswordStoreTest, FirstManagerLogInCreatesTheFileWithBothDefaults) {
  ASSERT_FALSE(home.Exists(u"QV.ini"_s));
  EXPECT_TRUE(store.CheckManager(u"620935"_s));
  EXPECT_EQ(home.Read(u"QV.ini"_s),
            QByteArray("[pw]\r\nsuper=") + kSuper304718 + "\r\nMng=" + kMng620935 + "\r\n");
  EXPECT_EQ(Key("super"), QLatin1String(kSuper304718));
  EXPECT_EQ(Key("MNG"), QLatin1String(kMng620935));
}

TEST_F(PasswordStoreTest, FirstSuperLogInCreatesTheFileToo) {
  EXPECT_TRUE(store.CheckSuper(u"304718"_s));
  EXPECT_EQ(Key("Mng"), QLatin1String(kMng620935));
}

TEST_F(PasswordStoreTest, EachPasswordOpensOnlyItsOwnLevel) {
  EXPECT_FALSE(store.CheckManager(u"304718"_s));
  EXPECT_FALSE(store.CheckSuper(u"620935"_s));
  EXPECT_FALSE(store.CheckManager(QString()));
  EXPECT_FALSE(store.CheckSuper(u"3047180"_s));
  EXPECT_FALSE(store.CheckSuper(u"30471"_s));
}

TEST_F(PasswordStoreTest, ExistingFileIsNeverRewrittenByALogIn) {
  const QByteArray file = "; kept as it is\n[PW]\nMNG = " + ScrambleText(u"abc"_s).toLatin1() +
                          "\nSuper=" + ScrambleText(u"管理"_s).toLatin1() + "\n";
  ASSERT_TRUE(home.Write(u"QV.ini"_s, file));
  EXPECT_TRUE(store.CheckManager(u"abc"_s));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
  EXPECT_TRUE(store.CheckSuper(u"管理"_s));
  EXPECT_FALSE(store.CheckSuper(u"304718"_s));
  EXPECT_TRUE(store.EnsureDefaults());
  EXPECT_EQ(home.Read(u"QV.ini"_s), file);
}

TEST_F(PasswordStoreTest, StoredFormIsComparedCaseSensitively) {
  ASSERT_TRUE(home.Write(u"QV.ini"_s, "[pw]\r\nsuper=6927f7d53873\r\nMng=6c25f3db3a7e\r\n"));
  EXPECT_FALSE(store.CheckSuper(u"304718"_s));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
}

TEST_F(PasswordStoreTest, KeyMissingFromAnExistingFileStandsForItsDefault) {
  // A file without "super" must not let an empty entry in as super manager.
  ASSERT_TRUE(home.Write(u"QV.ini"_s, "[pw]\r\nmng=" + ScrambleText(u"x"_s).toLatin1() + "\r\n"));
  EXPECT_FALSE(store.CheckSuper(QString()));
  EXPECT_TRUE(store.CheckSuper(u"304718"_s));
  EXPECT_TRUE(store.CheckManager(u"x"_s));
}

TEST_F(PasswordStoreTest, EmptyValueIsTheEmptyPassword) {
  ASSERT_TRUE(home.Write(u"QV.ini"_s, "[pw]\r\nsuper=\r\nMng=\r\n"));
  EXPECT_TRUE(store.CheckSuper(QString()));
  EXPECT_TRUE(store.CheckManager(QString()));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
}

struct GarbageFile {
  const char* what;
  QByteArray bytes;
};

class PasswordStoreGarbageTest : public PasswordStoreTest,
                                 public testing::WithParamInterface<GarbageFile> {};

TEST_P(PasswordStoreGarbageTest, GarbageNeverLogsInAnEmptyEntryAndIsNotRewritten) {
  const GarbageFile& g = GetParam();
  ASSERT_TRUE(home.Write(u"QV.ini"_s, g.bytes));
  EXPECT_FALSE(store.CheckManager(QString())) << g.what;
  EXPECT_FALSE(store.CheckSuper(QString())) << g.what;
  EXPECT_FALSE(store.CheckManager(u"zz"_s)) << g.what;
  EXPECT_EQ(home.Read(u"QV.ini"_s), g.bytes) << g.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PasswordStoreGarbageTest,
    testing::Values(GarbageFile{"binary", QByteArrayLiteral("\x00\xff\xfe[pw\x00]\r\n=\x01\x02")},
                    GarbageFile{"values not hex", "[pw]\r\nMng=zz\r\nsuper=\xC3\xDC\xC2\r\n"},
                    GarbageFile{"odd-length value", "[pw]\nMng=6C25F3DB3A7\nsuper=6927F7D538735\n"},
                    GarbageFile{"no section", "Mng=\r\nsuper=\r\n"},
                    GarbageFile{"keys without '='", "[pw]\r\nMng\r\nsuper\r\n"},
                    GarbageFile{"truncated", "[p"}, GarbageFile{"empty", ""},
                    GarbageFile{"very long line",
                                "[pw]\r\nMng=" + QByteArray(1 << 20, 'A') + "\r\n"}));

TEST_F(PasswordStoreTest, ValuesNotHexKeepTheDefaultsOut) {
  ASSERT_TRUE(home.Write(u"QV.ini"_s, "[pw]\r\nMng=zz\r\nsuper=\xC3\xDC\xC2\r\n"));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
  EXPECT_FALSE(store.CheckSuper(u"304718"_s));
}

class PasswordChangeTest : public PasswordStoreTest {
 protected:
  void SetUp() override {
    PasswordStoreTest::SetUp();
    ASSERT_TRUE(store.EnsureDefaults());
    before = home.Read(u"QV.ini"_s);
  }
  QByteArray before;
};

TEST_F(PasswordChangeTest, WrongOldPasswordChangesNothing) {
  EXPECT_EQ(store.ChangeManager(u"304718"_s, u"n"_s, u"n"_s), TPasswordStore::TChange::SourceWrong);
  EXPECT_EQ(store.ChangeSuper(u"620935"_s, u"n"_s, u"n"_s), TPasswordStore::TChange::SourceWrong);
  EXPECT_EQ(home.Read(u"QV.ini"_s), before);
}

TEST_F(PasswordChangeTest, OldPasswordIsCheckedBeforeTheConfirmation) {
  EXPECT_EQ(store.ChangeManager(u"bad"_s, u"a"_s, u"b"_s), TPasswordStore::TChange::SourceWrong);
}

TEST_F(PasswordChangeTest, ConfirmationMustMatchAsPlainText) {
  EXPECT_EQ(store.ChangeManager(u"620935"_s, u"new"_s, u"New"_s),
            TPasswordStore::TChange::ConfirmDiffers);
  EXPECT_EQ(store.ChangeSuper(u"304718"_s, u"new"_s, u"new "_s),
            TPasswordStore::TChange::ConfirmDiffers);
  EXPECT_EQ(home.Read(u"QV.ini"_s), before);
}

TEST_F(PasswordChangeTest, ManagerChangeWritesTheNewScrambledPassword) {
  EXPECT_EQ(store.ChangeManager(u"620935"_s, u"密码1"_s, u"密码1"_s), TPasswordStore::TChange::Ok);
  EXPECT_EQ(Key("mng"), u"99CB010938"_s);
  EXPECT_EQ(Key("super"), QLatin1String(kSuper304718)) << "the other password stays";
  EXPECT_TRUE(store.CheckManager(u"密码1"_s));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
  // One key line, rewritten in place: no second "mng" line.
  EXPECT_EQ(home.Read(u"QV.ini"_s).toLower().count("mng="), 1);
}

TEST_F(PasswordChangeTest, SuperChangeWritesTheSuperKey) {
  EXPECT_EQ(store.ChangeSuper(u"304718"_s, u"123456789"_s, u"123456789"_s),
            TPasswordStore::TChange::Ok);
  EXPECT_EQ(Key("super"), u"6B25F0D63C7DEF5763"_s);
  EXPECT_EQ(Key("mng"), QLatin1String(kMng620935));
  EXPECT_TRUE(store.CheckSuper(u"123456789"_s));
}

TEST_F(PasswordChangeTest, EmptyNewPasswordThenLogsInWithAnEmptyEntry) {
  EXPECT_EQ(store.ChangeManager(u"620935"_s, QString(), QString()), TPasswordStore::TChange::Ok);
  EXPECT_EQ(Key("mng"), QString());
  EXPECT_TRUE(store.CheckManager(QString()));
  EXPECT_FALSE(store.CheckManager(u"620935"_s));
}

TEST_F(PasswordStoreTest, OnlyItsOwnerCanReadTheFile) {
  const auto mode = [this] {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(home.File(u"QV.ini"_s)).constData(), &st), 0);
    return st.st_mode & 07777;
  };
  ASSERT_TRUE(store.CheckManager(u"620935"_s));  // created by the first log-in
  EXPECT_EQ(mode(), 0600u);
  // A file that an older version left readable by everyone.
  ASSERT_EQ(::chmod(QFile::encodeName(home.File(u"QV.ini"_s)).constData(), 0644), 0);
  ASSERT_EQ(store.ChangeSuper(u"304718"_s, u"new"_s, u"new"_s), TPasswordStore::TChange::Ok);
  EXPECT_EQ(mode(), 0600u);
  // A stricter mode that its owner chose stays.
  ASSERT_EQ(::chmod(QFile::encodeName(home.File(u"QV.ini"_s)).constData(), 0400), 0);
  ASSERT_EQ(store.ChangeSuper(u"new"_s, u"n2"_s, u"n2"_s), TPasswordStore::TChange::Ok);
  EXPECT_EQ(mode(), 0400u);
}

TEST_F(PasswordStoreTest, ChangeWithoutFileAcceptsOnlyAnEmptyOldPassword) {
  EXPECT_EQ(store.ChangeManager(u"620935"_s, u"n"_s, u"n"_s), TPasswordStore::TChange::SourceWrong);
  EXPECT_FALSE(home.Exists(u"QV.ini"_s)) << "a change never creates the defaults";

  EXPECT_EQ(store.ChangeManager(QString(), u"n"_s, u"n"_s), TPasswordStore::TChange::Ok);
  const QByteArray file = home.Read(u"QV.ini"_s);
  EXPECT_EQ(file, "[pw]\r\nmng=" + ScrambleText(u"n"_s).toLatin1() + "\r\n");
  EXPECT_TRUE(store.CheckManager(u"n"_s));
  EXPECT_EQ(home.Read(u"QV.ini"_s), file) << "the log-in leaves the one-key file alone";
  EXPECT_FALSE(store.CheckSuper(QString()));
}

TEST(PasswordStoreUnwritable, LogInUsesTheDefaultsAndChangeReportsTheFailure) {
  TTempHome home;
  // A directory that does not exist can hold no file: nothing can be created.
  TPasswordStore store(home.File(u"missing/QV.ini"_s));
  EXPECT_FALSE(store.EnsureDefaults());
  EXPECT_TRUE(store.CheckManager(u"620935"_s));
  EXPECT_FALSE(store.CheckManager(QString())) << "no file is no excuse for an empty password";
  EXPECT_TRUE(store.CheckSuper(u"304718"_s));
  EXPECT_EQ(store.ChangeManager(QString(), u"n"_s, u"n"_s), TPasswordStore::TChange::WriteFailed);
  EXPECT_EQ(store.ChangeSuper(QString(), u"n"_s, u"n"_s), TPasswordStore::TChange::WriteFailed);
}

struct MessageVector {
  TUserMessage message;
  const char16_t* chinese;
  const char16_t* english;
};

class UserMessageTextTest : public testing::TestWithParam<MessageVector> {};

TEST_P(UserMessageTextTest, BothLanguages) {
  const MessageVector& v = GetParam();
  EXPECT_EQ(UserMessageText(v.message, true), QString::fromUtf16(v.chinese));
  EXPECT_EQ(UserMessageText(v.message, false), QString::fromUtf16(v.english));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, UserMessageTextTest,
    testing::Values(
        MessageVector{TUserMessage::BadPassword, u"密码错误，请重新输入",
                      u"Bad Password，Please input again"},
        MessageVector{TUserMessage::ManagerLoginOk, u"登录成功", u"Login success!"},
        MessageVector{TUserMessage::SuperLoginOk, u"登录成功", u"Login Success"},
        MessageVector{TUserMessage::ManagerSourceWrong, u"原密码输入错误",
                      u"Source Password Error"},
        MessageVector{TUserMessage::SuperSourceWrong, u"原密码输入错误", u"Source password error"},
        MessageVector{TUserMessage::ConfirmDiffers, u"新密码和新确认密码不同，请重新修改。",
                      u"two diffent password,please input again"},
        MessageVector{TUserMessage::ManagerChanged, u"密码修改成功!", u"Change Password ok"},
        MessageVector{TUserMessage::SuperChanged, u"密码修改成功!", u"Change Password OK"}));

}  // namespace
