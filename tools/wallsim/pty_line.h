#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// One serial line of the virtual wall (the splicers', a matrix's, the
// DVR's): a pseudo-terminal pair whose slave the console opens as its
// serial port while the wall listens on the master.
// The line keeps a descriptor of its own on the slave, so that it stays up
// while the console closes and reopens the port (a master without any slave
// open would report a hang-up on every read).
//
// Faults for training and tests: Unplug closes both ends, so that the
// console's port sees a hang-up as when a USB adapter is pulled; Replug
// makes a fresh pair. Stall stops taking bytes: nothing is read and the
// slave's output is suspended, so that the console's writes block at once,
// as on a line whose buffer is full, until Resume.
class TPtyLine : public QObject {
  Q_OBJECT

 public:
  explicit TPtyLine(QObject* parent = nullptr);
  ~TPtyLine() override;

  // Creates the pair (raw, 9600 8N1); false with a reason when it cannot.
  bool Open(QString* error = nullptr);
  bool IsOpen() const { return master_ >= 0; }
  QString SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_; }

  void Unplug();
  // A fresh pair after Unplug (a new slave path); true when already open.
  bool Replug(QString* error = nullptr) { return Open(error); }
  // Stops (true) or resumes (false) taking bytes; false when not open.
  bool Stall(bool on);
  bool Stalled() const { return stalled_; }

 Q_SIGNALS:
  // Whatever the console wrote since the last notice, in order.
  void bytesReceived(const QByteArray& bytes);

 private:
  void ReadAvailable();

  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;
  QSocketNotifier* notifier_ = nullptr;
  bool stalled_ = false;
};
