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

 Q_SIGNALS:
  // Whatever the console wrote since the last notice, in order.
  void bytesReceived(const QByteArray& bytes);

 private:
  void ReadAvailable();

  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;
  QSocketNotifier* notifier_ = nullptr;
};
