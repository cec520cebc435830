#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

// Answers a UDP discovery probe the way the network devices do: a datagram
// that is exactly the probe text, sent to the device's address or broadcast
// to 255.255.255.255 on the probe port, gets the answer back to the sender's
// address, from the device's own address, on the reply port (0: the port
// the probe came from). Other datagrams are reported and left unanswered.
class TNetProbeResponder : public QObject {
  Q_OBJECT

 public:
  struct TSetup {
    QHostAddress address;
    quint16 probePort = 0;
    QByteArray probe;
    quint16 replyPort = 0;
    QByteArray answer;
    int delayMs = 0;  // a late answer, for the console's patience
    QString name;     // "subtitle 127.0.0.1", heads the reported lines
  };

  explicit TNetProbeResponder(TSetup setup, QObject* parent = nullptr);

  // Binds the ports; false with a reason when the device's own address
  // cannot be bound. A device on a loopback address answers only probes from
  // this machine.
  bool Start(QString* error);
  int Answered() const { return answered_; }

 Q_SIGNALS:
  void reported(const QString& line);
  void changed();

 private:
  void ReadFrom(QUdpSocket* socket);

  TSetup setup_;
  QUdpSocket* unicast_ = nullptr;
  QUdpSocket* broadcast_ = nullptr;
  int answered_ = 0;
};
