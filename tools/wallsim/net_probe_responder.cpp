#include "net_probe_responder.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

TNetProbeResponder::TNetProbeResponder(TSetup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)) {}

bool TNetProbeResponder::Start(QString* error) {
  unicast_ = new QUdpSocket(this);
  if (!unicast_->bind(setup_.address, setup_.probePort, QUdpSocket::ShareAddress)) {
    *error = QStringLiteral("%1: cannot listen on UDP %2:%3: %4")
                 .arg(setup_.name, setup_.address.toString())
                 .arg(setup_.probePort)
                 .arg(unicast_->errorString());
    return false;
  }
  connect(unicast_, &QUdpSocket::readyRead, this, [this] { ReadFrom(unicast_); });
  // Every device on the port binds the broadcast address shared, so each
  // gets its own copy of a broadcast probe. Another program holding the port
  // alone leaves the device reachable by its address: worth a warning only.
  broadcast_ = new QUdpSocket(this);
  if (broadcast_->bind(QHostAddress::Broadcast, setup_.probePort,
                       QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
    connect(broadcast_, &QUdpSocket::readyRead, this, [this] { ReadFrom(broadcast_); });
  } else {
    qWarning("%s: cannot hear broadcasts on UDP port %u: %s", qPrintable(setup_.name),
             unsigned(setup_.probePort), qPrintable(broadcast_->errorString()));
  }
  return true;
}

void TNetProbeResponder::ReadFrom(QUdpSocket* socket) {
  while (socket->hasPendingDatagrams()) {
    const QNetworkDatagram d = socket->receiveDatagram(64 * 1024);
    const QHostAddress sender(d.senderAddress().toIPv4Address());
    const QString from = sender.toString();
    // A device on loopback hears broadcasts from the whole network but is
    // there for this machine only.
    if (setup_.address.isLoopback() && !sender.isLoopback() &&
        !QNetworkInterface::allAddresses().contains(sender)) {
      Q_EMIT reported(
          QStringLiteral("%1 probe from %2 ignored: not this machine").arg(setup_.name, from));
      continue;
    }
    if (d.data() != setup_.probe) {
      Q_EMIT reported(QStringLiteral("%1 stray datagram from %2, %3 bytes")
                          .arg(setup_.name, from)
                          .arg(d.data().size()));
      continue;
    }
    const quint16 port = setup_.replyPort ? setup_.replyPort : quint16(d.senderPort());
    const auto answer = [this, sender, port, from] {
      // Sent from the device's own address, so the console lists that one.
      if (unicast_->writeDatagram(setup_.answer, sender, port) < 0) {
        Q_EMIT reported(QStringLiteral("%1 probe from %2 not answered: %3")
                            .arg(setup_.name, from, unicast_->errorString()));
        return;
      }
      ++answered_;
      Q_EMIT reported(
          QStringLiteral("%1 probe from %2 answered to port %3").arg(setup_.name, from).arg(port));
      Q_EMIT changed();
    };
    if (setup_.delayMs > 0)
      QTimer::singleShot(setup_.delayMs, this, answer);
    else
      answer();
  }
}
