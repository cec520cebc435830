#include "core/program_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <ostream>

#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

TEST(ProgramDirTest, FollowsTheHomeVariable) {
  TTempHome home;
  ASSERT_TRUE(home.IsValid());
  EXPECT_EQ(ProgramDir(), QDir::cleanPath(home.Path()));
  EXPECT_EQ(ProgramFile(QStringLiteral("Quvial.ini")),
            QDir::cleanPath(home.Path()) + QStringLiteral("/Quvial.ini"));
}

TEST(ProgramDirTest, WithoutTheVariableIsTheExecutablesDirectoryNotTheWorkingOne) {
  const QByteArray saved = qgetenv("QUVIAL_HOME");
  const bool wasSet = qEnvironmentVariableIsSet("QUVIAL_HOME");
  const QString oldCwd = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QDir::rootPath()));
  qputenv("QUVIAL_HOME", QByteArray());  // empty counts as unset
  const QString dir = ProgramDir();
  if (wasSet)
    qputenv("QUVIAL_HOME", saved);
  else
    qunsetenv("QUVIAL_HOME");
  QDir::setCurrent(oldCwd);

  EXPECT_EQ(QFileInfo(dir).canonicalFilePath(),
            QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
}

TEST(ProgramDirTest, RestoresThePreviousHome) {
  qputenv("QUVIAL_HOME", "/opt/quvial");
  {
    TTempHome home;
    EXPECT_NE(ProgramDir(), QStringLiteral("/opt/quvial"));
  }
  EXPECT_EQ(ProgramDir(), QStringLiteral("/opt/quvial"));
  qunsetenv("QUVIAL_HOME");
}

// A scratch tree with an executable's directory in one of the layouts.
class ProgramDirLayoutTest : public testing::Test {
 protected:
  QTemporaryDir root;
  QString Path(const QString& relative) const { return root.filePath(relative); }
  bool Put(const QString& relative, const QByteArray& bytes = "[chs]\n") const {
    QDir().mkpath(QFileInfo(Path(relative)).absolutePath());
    QFile f(Path(relative));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
  }
  QByteArray Read(const QString& relative) const {
    QFile f(Path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

TEST(ProgramDirRuleTest, ChoosesTheDirectoryByLayout) {
  struct Case {
    const char* name;
    const char* quvialHome;
    bool besideExe;  // usr/bin/lang.ini
    bool shipped;    // usr/share/quvial/lang.ini
    const char* xdgDataHome;
    const char* expected;  // all paths lie in a scratch tree
    TProgramDirKind kind;
  };
  using enum TProgramDirKind;
  const Case cases[] = {
      {"variable wins over installation", "elsewhere/q", false, true, "/d", "elsewhere/q",
       Override},
      {"build tree or portable copy", "", true, false, "", "usr/bin", Portable},
      {"portable copy in an installation tree", "", true, true, "", "usr/bin", Portable},
      {"no lang.ini anywhere", "", false, false, "", "usr/bin", Portable},
      {"installed, XDG_DATA_HOME set", "", false, true, "/d", "d/quvial", Installed},
      {"installed, XDG_DATA_HOME unset", "", false, true, "", "home/.local/share/quvial",
       Installed},
      {"installed, relative XDG_DATA_HOME", "", false, true, "d", "home/.local/share/quvial",
       Installed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    const auto under = [&tree](const char* relative) {
      return QDir::cleanPath(tree.filePath(QString::fromUtf8(relative)));
    };
    ASSERT_TRUE(QDir().mkpath(under("usr/bin")) && QDir().mkpath(under("usr/share/quvial")));
    if (c.besideExe) {
      ASSERT_TRUE(QFile(under("usr/bin/lang.ini")).open(QIODevice::WriteOnly));
    }
    if (c.shipped) {
      ASSERT_TRUE(QFile(under("usr/share/quvial/lang.ini")).open(QIODevice::WriteOnly));
    }
    const QString home = *c.quvialHome != 0 ? under(c.quvialHome) : QString();
    const QString xdg = QString::fromUtf8(c.xdgDataHome);
    const QString xdgArg = xdg.startsWith(u'/') ? under(c.xdgDataHome + 1) : xdg;
    const TProgramDirPlace place = ResolveProgramDir(home, under("usr/bin"), xdgArg, under("home"));
    EXPECT_EQ(place.dir, under(c.expected));
    EXPECT_EQ(place.kind, c.kind);
    EXPECT_EQ(place.shippedLangIni.isEmpty(), c.kind != Installed);
  }
}

TEST_F(ProgramDirLayoutTest, FirstStartCreatesTheDirectoryWithTheShippedTable) {
  ASSERT_TRUE(Put(u"usr/share/quvial/lang.ini"_s, "[chs]\nshipped"));
  const TProgramDirPlace place = ResolveProgramDir({}, Path(u"usr/bin"_s), {}, Path(u"home"_s));
  ASSERT_EQ(place.kind, TProgramDirKind::Installed);

  EXPECT_EQ(PrepareProgramDir(place), QString());
  EXPECT_EQ(Read(u"home/.local/share/quvial/lang.ini"_s), "[chs]\nshipped");
  // The user's own table (edited, or from an older installation) stays.
  ASSERT_TRUE(Put(u"home/.local/share/quvial/lang.ini"_s, "[chs]\nmine"));
  EXPECT_EQ(PrepareProgramDir(place), QString());
  EXPECT_EQ(Read(u"home/.local/share/quvial/lang.ini"_s), "[chs]\nmine");
}

TEST_F(ProgramDirLayoutTest, ADirectoryThatCannotBeMadeIsReportedInBothLanguages) {
  ASSERT_TRUE(Put(u"blocked"_s, "a file where the directory should go"));
  const QString problem =
      PrepareProgramDir({Path(u"blocked/quvial"_s), TProgramDirKind::Installed, {}});
  EXPECT_TRUE(problem.contains(u"无法使用程序目录"_s)) << problem.toStdString();
  EXPECT_TRUE(problem.contains(u"Cannot use the program directory"_s));
  EXPECT_TRUE(problem.contains(Path(u"blocked/quvial"_s)));
  EXPECT_EQ(Read(u"blocked"_s), "a file where the directory should go");
}

}  // namespace
