#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <map>

#include "frame_decoder.h"

class QTcpServer;
class QTcpSocket;
class TNetProbeResponder;

// One network module of a QN-51N screen: answers the discovery probe
// "HF-A11ASSISTHREAD" on UDP 48899 and reads splicer frames on TCP 8899.
// The position query gets back its place in the wall (row and column
// indexes from 0 in bytes 2 and 3); SetCellId gives it a new machine ID when
// the frame addresses the ID it has or the one its network address implies
// (last octet high, third octet low), as a module fresh from the factory
// would carry; every other good frame goes on to the wall's splicers.
class TNetSplicerModule : public QObject {
  Q_OBJECT

 public:
  static constexpr quint16 kProbePort = 48899;
  static constexpr quint16 kPort = 8899;

  // row, col: its place, from 0. replyDelayMs: how late it answers the
  // position query.
  TNetSplicerModule(QHostAddress address, int row, int col, int replyDelayMs,
                    QObject* parent = nullptr);
  ~TNetSplicerModule() override;

  bool Start(QString* error);
  // A broken module: its answer to the position query is garbage (bytes
  // 0x5a, a place outside any wall). Frames are still taken.
  void SetGarbage(bool on) { garbage_ = on; }

  const QHostAddress& Address() const { return address_; }
  int Row() const { return row_; }
  int Col() const { return col_; }
  quint16 Id() const { return id_; }
  // The machine number its address implies: a.b.c.d gives d high, c low.
  quint16 AddressNumber() const;
  int Queries() const { return queries_; }
  int IdsTaken() const { return idsTaken_; }
  int Bad() const { return bad_; }

  // "module 127.0.0.21 place 1-1 id 0x0101 probes 1 queries 1 ids 1 bad 0"
  QString Dump() const;

 Q_SIGNALS:
  void frameForWall(const QByteArray& frame);
  void reported(const QString& line);
  void changed();

 private:
  void Accept();
  void Read(QTcpSocket* socket);
  void Act(QTcpSocket* socket, const QByteArray& frame);
  void SetId(quint16 machine, quint16 newId, const QString& frameText);

  QHostAddress address_;
  int row_;
  int col_;
  int replyDelayMs_;
  bool garbage_ = false;
  quint16 id_;
  QTcpServer* server_ = nullptr;
  TNetProbeResponder* responder_ = nullptr;
  std::map<QTcpSocket*, TFrameDecoder> decoders_;
  int queries_ = 0;
  int idsTaken_ = 0;
  int bad_ = 0;
};
