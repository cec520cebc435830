#pragma once

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <optional>

#include "net_subtitle_packet.h"

class QTcpServer;
class QTcpSocket;
class TNetProbeResponder;

// The virtual wall's subtitle server: answers the subtitle-server search
// ("BRELUND" on UDP 80, "AUTHOK" back to port 1235) and reads the 2096-byte
// packets on TCP 1236. A start packet makes its text run with its style
// until a stop packet; a broken packet is counted and changes nothing.
class TNetSubtitleServer : public QObject {
  Q_OBJECT

 public:
  static constexpr quint16 kPort = 1236;
  static constexpr quint16 kProbePort = 80;
  static constexpr quint16 kReplyPort = 1235;

  explicit TNetSubtitleServer(QHostAddress address, QObject* parent = nullptr);
  ~TNetSubtitleServer() override;

  // Refusing, it still answers the search but keeps its TCP port closed,
  // so that every connection is refused: a box whose subtitle service is
  // down. Set before Start.
  void SetRefusing(bool on) { refusing_ = on; }
  bool Start(QString* error);

  const QHostAddress& Address() const { return address_; }
  bool Running() const { return running_; }
  // The last start packet, running or not.
  const std::optional<TSubtitlePacket>& Shown() const { return shown_; }
  int Packets() const { return packets_; }
  int Bad() const { return bad_; }

  // "subtitle 127.0.0.1 packets 2 bad 0 running yes", then the style line
  // ("subtitle start screen main ...") and one "subtitle line <text>" per line.
  QStringList Dump() const;

 Q_SIGNALS:
  void reported(const QString& line);
  void changed();

 private:
  void Accept();
  void Read(QTcpSocket* socket);
  void Take(QByteArrayView packet);

  QHostAddress address_;
  QTcpServer* server_ = nullptr;
  TNetProbeResponder* responder_ = nullptr;
  bool running_ = false;
  bool refusing_ = false;
  std::optional<TSubtitlePacket> shown_;
  int packets_ = 0;
  int bad_ = 0;
};
