#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>

// The COM gateway's serial side and its 70-byte frame protocol, without any
// socket: five ports named COM1 to COM5, each with the role (splicer, VIDEO,
// VGA, DVI, DVR) and line parameters the console gave it. Answer() reads one
// request frame and returns the reply; a forward tells which device line its
// bytes are for, and the caller feeds them there.
class TGatewayDevice {
 public:
  static constexpr int kFrameSize = 70;
  static constexpr int kPortCount = 5;
  static constexpr int kMaxForward = 64;

  struct TPort {
    QString name;  // "COM1"
    int role = 0;  // 0 closed, 1 splicer, 2 VIDEO, 3 VGA, 4 DVI, 5 DVR
    int baudIndex = 0;
    int dataIndex = 0;
    int parityIndex = 0;
  };

  // What one request asked, for the caller to act on and report.
  struct TResult {
    QByteArray reply;     // empty: nothing is answered (not a gateway frame)
    QString text;         // "port-count 5", "forward role 1 channel 1 9 bytes", "bad ..."
    bool bad = false;     // refused or not understood
    int forwardRole = 0;  // 1..5 when the request forwarded bytes to a line
    QByteArray forwarded;
  };

  TGatewayDevice();

  // frame: exactly kFrameSize bytes.
  TResult Answer(QByteArrayView frame);

  const std::array<TPort, kPortCount>& Ports() const { return ports_; }
  // The port that carries a role, or -1.
  int PortOfRole(int role) const;

  // "splicer", "VIDEO", ...; "closed" for 0.
  static QString RoleName(int role);
  // "gateway port COM2 role VIDEO baud 115200 data 8 parity None", one per open port.
  QStringList Dump() const;

 private:
  TResult Manage(QByteArrayView f);
  TResult Forward(QByteArrayView f);

  std::array<TPort, kPortCount> ports_;
};
