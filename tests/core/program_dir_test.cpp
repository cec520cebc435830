#include "core/program_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <ostream>

#include "support/temp_home.h"

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

}  // namespace
