#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>

#include "net_gateway_device.h"

class QTcpServer;
class QTcpSocket;
class TNetProbeResponder;

// The virtual wall's COM gateway on the network: answers the gateway search
// ("BRELUND" on UDP 8080, "AUTHOK" back to port 8081) and serves the 70-byte
// frames on TCP 8082. A forward is handed on through forwarded() to the
// device line of its role. To try the console's patience the gateway can be
// made to keep silent (accept, read, never answer) or to answer garbage.
class TNetGateway : public QObject {
  Q_OBJECT

 public:
  enum class TMode { Normal, Silent, Garbage };

  static constexpr quint16 kPort = 8082;
  static constexpr quint16 kProbePort = 8080;
  static constexpr quint16 kReplyPort = 8081;

  TNetGateway(QHostAddress address, TMode mode, QObject* parent = nullptr);
  ~TNetGateway() override;

  bool Start(QString* error);

  const QHostAddress& Address() const { return address_; }
  TMode Mode() const { return mode_; }
  const TGatewayDevice& Device() const { return device_; }
  int Requests() const { return requests_; }
  int Forwards() const { return forwards_; }
  int Bad() const { return bad_; }

  // "gateway 127.0.0.1 mode normal requests 4 forwards 3 bad 0", then the open ports.
  QStringList Dump() const;

  static bool ParseMode(const QString& text, TMode* mode);

 Q_SIGNALS:
  void forwarded(int role, const QByteArray& bytes);
  void reported(const QString& line);
  void changed();

 private:
  void Accept();
  void Read(QTcpSocket* socket);

  QHostAddress address_;
  TMode mode_;
  TGatewayDevice device_;
  QTcpServer* server_ = nullptr;
  TNetProbeResponder* responder_ = nullptr;
  int requests_ = 0;
  int forwards_ = 0;
  int bad_ = 0;
};
