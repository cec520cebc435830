#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a serial line: the program under test
// opens SlavePath() like any serial device, the test plays the far end on the
// master. The pair also keeps its own slave descriptor open so that the line
// stays up while the port object closes and reopens; it reads nothing from it.
class TPtyPair {
 public:
  TPtyPair();
  ~TPtyPair();
  TPtyPair(const TPtyPair&) = delete;
  TPtyPair& operator=(const TPtyPair&) = delete;

  bool IsValid() const { return master_ >= 0; }
  int MasterFd() const { return master_; }
  int SlaveFd() const { return slave_; }
  QString SlavePath() const { return slavePath_; }

  // Writes every byte at the master; false when the far side stops taking
  // bytes for timeoutMs or the master is closed.
  bool Write(const QByteArray& bytes, int timeoutMs = 5000);
  // Reads at the master until count bytes arrived or timeoutMs passed.
  QByteArray Read(qsizetype count, int timeoutMs = 5000);
  // Reads whatever arrives until nothing more comes for quietMs.
  QByteArray ReadUntilQuiet(int quietMs);
  // Hangs the line up, as a device that is unplugged.
  void CloseMaster();

 private:
  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;
};
