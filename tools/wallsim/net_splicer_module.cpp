#include "net_splicer_module.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "net_probe_responder.h"
#include "short_address.h"
#include "tcp_listen.h"

namespace {

constexpr quint8 kQueryClass = 0x13;
constexpr quint8 kQueryCode = 0x03;
constexpr quint8 kCellIdClass = 0x66;

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

}  // namespace

TNetSplicerModule::TNetSplicerModule(QHostAddress address, int row, int col, int replyDelayMs,
                                     QObject* parent)
    : QObject(parent),
      address_(std::move(address)),
      row_(row),
      col_(col),
      replyDelayMs_(replyDelayMs),
      id_(AddressNumber()) {}

TNetSplicerModule::~TNetSplicerModule() = default;

quint16 TNetSplicerModule::AddressNumber() const {
  const quint32 ip = address_.toIPv4Address();
  return quint16(((ip & 0xFF) << 8) | ((ip >> 8) & 0xFF));
}

bool TNetSplicerModule::Start(QString* error) {
  const QString name = QStringLiteral("module ") + address_.toString();
  // The answer's content is not examined by the console; a module of this
  // kind says who it is.
  responder_ = new TNetProbeResponder({address_, kProbePort, QByteArrayLiteral("HF-A11ASSISTHREAD"),
                                       0, address_.toString().toLatin1() + ",QN-51N", 0, name},
                                      this);
  connect(responder_, &TNetProbeResponder::reported, this, &TNetSplicerModule::reported);
  connect(responder_, &TNetProbeResponder::changed, this, &TNetSplicerModule::changed);
  server_ = new QTcpServer(this);
  if (!ListenTcp(server_, address_, kPort, name, error)) return false;
  connect(server_, &QTcpServer::newConnection, this, &TNetSplicerModule::Accept);
  return responder_->Start(error);
}

void TNetSplicerModule::Accept() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    decoders_[socket];
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      decoders_.erase(socket);
      socket->deleteLater();
    });
  }
}

void TNetSplicerModule::Read(QTcpSocket* socket) {
  const auto found = decoders_.find(socket);
  if (found == decoders_.end()) return;
  const QString head = QStringLiteral("module ") + address_.toString() + u' ';
  for (const TFrameDecoder::TItem& item : found->second.Feed(socket->readAll())) {
    if (item.verdict == TFrameDecoder::TVerdict::Frame) {
      Act(socket, item.bytes);
    } else {
      ++bad_;
      Q_EMIT reported(head + QStringLiteral("bad ") + Hex(item.bytes));
    }
  }
  Q_EMIT changed();
}

void TNetSplicerModule::Act(QTcpSocket* socket, const QByteArray& f) {
  const QString head = QStringLiteral("module ") + address_.toString() + u' ';
  const bool isLong = f.size() == 9;
  const auto at = [&f](int i) { return quint8(f[i]); };
  if (isLong && at(6) == kQueryClass && at(7) == kQueryCode) {
    ++queries_;
    // Its place, then its ID, in a frame of the same shape.
    QByteArray answer(9, '\0');
    answer[0] = char(TFrameDecoder::kHeader);
    answer[1] = 9;
    answer[2] = char(row_);
    answer[3] = char(col_);
    answer[4] = char(id_ >> 8);
    answer[5] = char(id_ & 0xFF);
    answer[6] = char(kQueryClass);
    answer[7] = char(kQueryCode);
    quint8 sum = 0;
    for (int i = 0; i < 8; ++i) sum = quint8(sum + quint8(answer[i]));
    answer[8] = char(sum);
    if (garbage_) answer = QByteArray(16, '\x5a');
    Q_EMIT reported(
        head + (garbage_
                    ? QStringLiteral("position query, answered garbage")
                    : QStringLiteral("position query, place %1-%2").arg(row_ + 1).arg(col_ + 1)));
    const QPointer<QTcpSocket> to(socket);
    QTimer::singleShot(replyDelayMs_, this, [to, answer] {
      if (to) to->write(answer);
    });
    return;
  }
  if (isLong && at(6) == kCellIdClass && at(7) == 0x01) {
    SetId(quint16(at(4) << 8 | at(5)), quint16(at(2) << 8 | at(3)), Hex(f));
    return;
  }
  if (!isLong && at(4) == kCellIdClass) {
    const auto cell = UnpackShortAddress(at(5), 30, 30);
    if (!cell) {
      ++bad_;
      Q_EMIT reported(head + QStringLiteral("set-cell-id to no cell: ") + Hex(f));
      return;
    }
    SetId(quint16(at(2) << 8 | at(3)), quint16(cell->row << 8 | cell->col), Hex(f));
    return;
  }
  Q_EMIT reported(head + QStringLiteral("frame ") + Hex(f) + QStringLiteral(" to the wall"));
  Q_EMIT frameForWall(f);
}

void TNetSplicerModule::SetId(quint16 machine, quint16 newId, const QString& frameText) {
  const QString head = QStringLiteral("module ") + address_.toString() + u' ';
  if (machine != id_ && machine != AddressNumber()) {
    ++bad_;
    Q_EMIT reported(head + QStringLiteral("set-cell-id for machine 0x%1 ignored (it is 0x%2): %3")
                               .arg(machine, 4, 16, QLatin1Char('0'))
                               .arg(id_, 4, 16, QLatin1Char('0'))
                               .arg(frameText));
    return;
  }
  id_ = newId;
  ++idsTaken_;
  Q_EMIT reported(head + QStringLiteral("set-cell-id 0x%1 (row %2 column %3)")
                             .arg(id_, 4, 16, QLatin1Char('0'))
                             .arg(id_ >> 8)
                             .arg(id_ & 0xFF));
}

QString TNetSplicerModule::Dump() const {
  return QStringLiteral("module %1 place %2-%3 id 0x%4 probes %5 queries %6 ids %7 bad %8")
      .arg(address_.toString())
      .arg(row_ + 1)
      .arg(col_ + 1)
      .arg(id_, 4, 16, QLatin1Char('0'))
      .arg(responder_ ? responder_->Answered() : 0)
      .arg(queries_)
      .arg(idsTaken_)
      .arg(bad_);
}
