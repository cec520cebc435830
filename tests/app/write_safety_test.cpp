// Every write of the program against what can go wrong underneath it: a
// kill at any moment, a full disk, a read-only program directory. The
// writes are the program's own (ProgramWriters), made by a child process
// that the test kills, or by the test itself over a file system it mounts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "core/atomic_file.h"
#include "support/home_mount.h"
#include "support/program_writers.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

using TFiles = std::map<QString, std::optional<QByteArray>>;  // nullopt: missing

QStringList WrittenFiles() {
  QStringList files;
  for (const TProgramWriter& w : ProgramWriters()) files << w.files;
  files.removeDuplicates();
  return files;
}

TFiles Snapshot(const QString& dir) {
  TFiles files;
  for (const QString& name : WrittenFiles()) files[name] = ReadWholeFile(dir + u'/' + name);
  return files;
}

QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class WriteSafetyTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }

  TTempHome home;
  THomeMount mount{home.Path()};  // declared after home: unmounted before it goes
};

// The write loop as a child process, its step lines on a pipe.
class TWriteLoop {
 public:
  TWriteLoop(const QString& dir, qint64 first) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const QByteArray program = QUVIAL_WRITE_LOOP;
    const QByteArray dirArg = QFile::encodeName(dir);
    const QByteArray firstArg = QByteArray::number(first);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(dirArg.constData()),
                    const_cast<char*>(firstArg.constData()), nullptr};
    if (posix_spawn(&pid_, program.constData(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
  }
  ~TWriteLoop() {
    if (pid_ > 0) Kill();
    if (out_ != nullptr) std::fclose(out_);
  }
  bool IsValid() const { return pid_ > 0 && out_ != nullptr; }

  // The number on the next line; nullopt at the end of the output.
  std::optional<qint64> NextStep() {
    char line[64];
    if (std::fgets(line, sizeof line, out_) == nullptr) return std::nullopt;
    return std::atoll(line);
  }
  // Kills the child and reaps it; true when the kill ended it (not a failed write).
  bool Kill() {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFSIGNALED(status);
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

TEST_F(WriteSafetyTest, AKillAtAnyMomentLeavesEveryFileOldOrNew) {
  // A tmpfs keeps the test short (no disk flushes); a kill loses nothing
  // that the page cache holds, so it sees the same files as a disk would.
  if (const QString why = mount.MountTmpfs(32 * 1024); !why.isEmpty())
    std::cout << "running on the plain directory: " << why.toStdString() << '\n';
  const QString reference = home.File(u"reference"_s), live = home.File(u"live"_s);
  ASSERT_TRUE(QDir().mkpath(reference) && QDir().mkpath(live));

  // The files after each step, made without interruption by the same writers.
  const std::vector<TProgramWriter>& writers = ProgramWriters();
  const qint64 count = static_cast<qint64>(writers.size());
  const qint64 cycle = count * TProgramWriter::kPeriod;
  std::vector<TFiles> after;
  for (qint64 step = 0; step < 3 * cycle; ++step) {
    const auto v = static_cast<int>(step / count);
    ASSERT_TRUE(writers[static_cast<size_t>(step % count)].write(reference, v));
    after.push_back(Snapshot(reference));
  }
  for (qint64 step = cycle; step < 2 * cycle; ++step)
    ASSERT_EQ(after[step], after[step + cycle]) << "the contents must come round again";
  const TFiles nothing = Snapshot(live);
  const auto expected = [&](qint64 step) -> const TFiles& {
    if (step < 0) return nothing;
    return after[static_cast<size_t>(step < cycle ? step : cycle + (step - cycle) % cycle)];
  };

  const unsigned seed = std::random_device{}();
  std::cout << "seed " << seed << '\n';
  RecordProperty("seed", std::to_string(seed));
  std::mt19937 random(seed);
  qint64 last = -1;  // the last step that completed
  int writes = 0, kills = 0, interrupted = 0;
  while (writes < 1000 && !HasFailure()) {
    const qint64 first = last + 1;
    TWriteLoop loop(live, first);
    ASSERT_TRUE(loop.IsValid());
    const qint64 until = first + static_cast<qint64>(random() % 40);
    while (last < until) {
      const auto step = loop.NextStep();
      ASSERT_TRUE(step.has_value()) << "the write loop ended by itself after step " << last;
      last = *step;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 1500));
    ASSERT_TRUE(loop.Kill()) << "a write failed after step " << last;
    while (const auto step = loop.NextStep()) last = *step;
    ++kills;
    writes += static_cast<int>(last - first + 1) + 1;  // those completed and the one cut off

    const TFiles now = Snapshot(live);
    for (const auto& [name, content] : now)
      EXPECT_TRUE(content == expected(last).at(name) || content == expected(last + 1).at(name))
          << name.toStdString() << " after step " << last << ", seed " << seed;
    // What else is there is the temporary of the cut write, which the next
    // start removes.
    QStringList strays = Entries(live);
    for (const QString& name : WrittenFiles()) strays.removeAll(name);
    interrupted += strays.isEmpty() ? 0 : 1;
    EXPECT_EQ(RemoveStaleTemporaries(live), strays.size()) << strays.join(u' ').toStdString();
  }
  std::cout << writes << " writes, " << kills << " kills, " << interrupted
            << " of them inside a write\n";
}

// Each writer once with content 1 (the old files), then with content 2 onto
// a file system that cannot take it: every write says so and leaves every
// file as it was, with no temporary behind.
void ExpectEveryWriteRefused(const QString& dir, const std::function<QString()>& block) {
  for (const TProgramWriter& w : ProgramWriters()) ASSERT_TRUE(w.write(dir, 1)) << w.name;
  const TFiles old = Snapshot(dir);
  if (const QString why = block(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  const QStringList entries = Entries(dir);
  for (const TProgramWriter& w : ProgramWriters()) {
    EXPECT_FALSE(w.write(dir, 2)) << w.name;
    EXPECT_EQ(Snapshot(dir), old) << w.name;
    EXPECT_EQ(Entries(dir), entries) << w.name;
  }
}

TEST_F(WriteSafetyTest, AFullDiskRefusesEveryWriteAndKeepsTheOldFiles) {
  if (const QString why = mount.MountTmpfs(64); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  ExpectEveryWriteRefused(home.Path(), [this] { return mount.FillUp(); });
}

TEST_F(WriteSafetyTest, AReadOnlyDirectoryRefusesEveryWriteAndKeepsTheOldFiles) {
  ExpectEveryWriteRefused(home.Path(), [this] { return mount.MakeReadOnly(); });
}

}  // namespace
