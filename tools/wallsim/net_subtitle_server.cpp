#include "net_subtitle_server.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "net_probe_responder.h"
#include "tcp_listen.h"

TNetSubtitleServer::TNetSubtitleServer(QHostAddress address, QObject* parent)
    : QObject(parent), address_(std::move(address)) {}

TNetSubtitleServer::~TNetSubtitleServer() = default;

bool TNetSubtitleServer::Start(QString* error) {
  const QString name = QStringLiteral("subtitle ") + address_.toString();
  responder_ = new TNetProbeResponder({address_, kProbePort, QByteArrayLiteral("BRELUND"),
                                       kReplyPort, QByteArrayLiteral("AUTHOK"), 0, name},
                                      this);
  connect(responder_, &TNetProbeResponder::reported, this, &TNetSubtitleServer::reported);
  if (refusing_) return responder_->Start(error);
  server_ = new QTcpServer(this);
  if (!ListenTcp(server_, address_, kPort, name, error)) return false;
  connect(server_, &QTcpServer::newConnection, this, &TNetSubtitleServer::Accept);
  return responder_->Start(error);
}

void TNetSubtitleServer::Accept() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      Read(socket);
      // What is left when the console hangs up is a torn packet.
      const QByteArray rest = socket->property("pending").toByteArray();
      if (!rest.isEmpty()) {
        ++bad_;
        Q_EMIT reported(QStringLiteral("subtitle bad packet: %1 bytes, not %2")
                            .arg(rest.size())
                            .arg(TSubtitlePacket::kSize));
        Q_EMIT changed();
      }
      socket->setProperty("pending", QByteArray());
      socket->deleteLater();
    });
  }
}

void TNetSubtitleServer::Read(QTcpSocket* socket) {
  QByteArray pending = socket->property("pending").toByteArray() + socket->readAll();
  while (pending.size() >= TSubtitlePacket::kSize) {
    Take(QByteArrayView(pending).first(TSubtitlePacket::kSize));
    pending.remove(0, TSubtitlePacket::kSize);
  }
  socket->setProperty("pending", pending);
}

void TNetSubtitleServer::Take(QByteArrayView packet) {
  QString error;
  const std::optional<TSubtitlePacket> decoded = DecodeSubtitlePacket(packet, &error);
  if (!decoded) {
    ++bad_;
    Q_EMIT reported(QStringLiteral("subtitle bad packet: ") + error);
  } else {
    ++packets_;
    running_ = !decoded->stop;
    if (running_) shown_ = decoded;
    Q_EMIT reported(QStringLiteral("subtitle ") + decoded->Text());
  }
  Q_EMIT changed();
}

QStringList TNetSubtitleServer::Dump() const {
  QStringList lines{QStringLiteral("subtitle %1 packets %2 bad %3 running %4")
                        .arg(address_.toString())
                        .arg(packets_)
                        .arg(bad_)
                        .arg(running_ ? QStringLiteral("yes") : QStringLiteral("no"))};
  if (refusing_) lines.first() += QStringLiteral(" refusing");
  if (shown_) {
    lines << QStringLiteral("subtitle ") + shown_->Text();
    for (const QString& line : shown_->lines) lines << QStringLiteral("subtitle line ") + line;
  }
  return lines;
}
