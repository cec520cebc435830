#include "net_gateway.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "net_probe_responder.h"
#include "tcp_listen.h"

namespace {

QString ModeName(TNetGateway::TMode mode) {
  switch (mode) {
    case TNetGateway::TMode::Silent:
      return QStringLiteral("silent");
    case TNetGateway::TMode::Garbage:
      return QStringLiteral("garbage");
    case TNetGateway::TMode::Normal:
      break;
  }
  return QStringLiteral("normal");
}

}  // namespace

TNetGateway::TNetGateway(QHostAddress address, TMode mode, QObject* parent)
    : QObject(parent), address_(std::move(address)), mode_(mode) {}

TNetGateway::~TNetGateway() = default;

bool TNetGateway::ParseMode(const QString& text, TMode* mode) {
  for (TMode m : {TMode::Normal, TMode::Silent, TMode::Garbage})
    if (text == ModeName(m)) {
      *mode = m;
      return true;
    }
  return false;
}

bool TNetGateway::Start(QString* error) {
  const QString name = QStringLiteral("gateway ") + address_.toString();
  responder_ = new TNetProbeResponder({address_, kProbePort, QByteArrayLiteral("BRELUND"),
                                       kReplyPort, QByteArrayLiteral("AUTHOK"), 0, name},
                                      this);
  connect(responder_, &TNetProbeResponder::reported, this, &TNetGateway::reported);
  server_ = new QTcpServer(this);
  if (!ListenTcp(server_, address_, kPort, name, error)) return false;
  connect(server_, &QTcpServer::newConnection, this, &TNetGateway::Accept);
  return responder_->Start(error);
}

void TNetGateway::Accept() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
  }
}

void TNetGateway::Read(QTcpSocket* socket) {
  // The console sends whole frames, but TCP may cut them anywhere.
  QByteArray pending = socket->property("pending").toByteArray() + socket->readAll();
  bool any = false;
  while (pending.size() >= TGatewayDevice::kFrameSize) {
    const QByteArray frame = pending.left(TGatewayDevice::kFrameSize);
    pending.remove(0, TGatewayDevice::kFrameSize);
    ++requests_;
    any = true;
    if (mode_ == TMode::Silent) {
      // A hung box: it takes the bytes and does nothing with them.
      Q_EMIT reported(QStringLiteral("gateway silent, request not answered"));
      continue;
    }
    TGatewayDevice::TResult result = device_.Answer(frame);
    if (result.bad) ++bad_;
    Q_EMIT reported(QStringLiteral("gateway ") + result.text);
    if (result.forwardRole) {
      ++forwards_;
      Q_EMIT forwarded(result.forwardRole, result.forwarded);
    }
    if (mode_ == TMode::Garbage) result.reply = QByteArray(TGatewayDevice::kFrameSize, '\x5a');
    if (!result.reply.isEmpty()) socket->write(result.reply);
  }
  socket->setProperty("pending", pending);
  if (any) Q_EMIT changed();
}

QStringList TNetGateway::Dump() const {
  QStringList lines{QStringLiteral("gateway %1 mode %2 requests %3 forwards %4 bad %5")
                        .arg(address_.toString(), ModeName(mode_))
                        .arg(requests_)
                        .arg(forwards_)
                        .arg(bad_)};
  return lines + device_.Dump();
}
