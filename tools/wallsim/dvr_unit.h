#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>

#include "command_stream.h"
#include "dvr_frames.h"

// The DVR of the virtual wall: reads the lead and split frames from its line
// and keeps the picture split and the address it was sent to. Reports each
// frame, bad frame and stray byte as one line ("dvr command 90 ... split 9
// address 5", "dvr bad ... checksum", "dvr noise 00").
class TDvrUnit : public QObject {
  Q_OBJECT

 public:
  explicit TDvrUnit(QObject* parent = nullptr);

  void Feed(QByteArrayView bytes);

  int Split() const { return split_; }  // 0 before the first split frame
  int Address() const { return address_; }
  int Frames() const { return frames_; }
  int BadFrames() const { return bad_; }
  int NoiseBytes() const { return noise_; }

  // "dvr split 9 address 5" once a split frame came; nothing before.
  QStringList Dump() const;

 Q_SIGNALS:
  void reported(const QString& line);
  void changed();

 private:
  TCommandStream<TDvrCommand> stream_{&ParseDvrFrame};
  int split_ = 0;
  int address_ = 0;
  int frames_ = 0;
  int bad_ = 0;
  int noise_ = 0;
};
