#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include "frame_decoder.h"
#include "wall_state.h"

// The splicers of the virtual wall: decodes the bytes of the splicer line,
// acts on each good frame and reports every frame, bad frame and stray byte
// as one line ("frame c8 09 ... select-source VGA rows 1-2 cols 1-2",
// "bad ... checksum", "unknown ... class 99 code 01", "noise 00 01").
// Bad and unknown frames are counted and reported, never acted on.
class TWallSimulator : public QObject {
  Q_OBJECT

 public:
  TWallSimulator(int rows, int cols, QObject* parent = nullptr);

  void Feed(QByteArrayView bytes);

  const TWallState& State() const { return state_; }
  int Frames() const { return frames_; }    // good frames acted on
  int BadFrames() const { return bad_; }    // wrong length or checksum
  int Unknown() const { return unknown_; }  // well-formed, no such command
  int NoiseBytes() const { return noise_; }
  // "frames 3 bad 1 unknown 0 noise 2"
  QString CountersText() const;

 Q_SIGNALS:
  void reported(const QString& line);
  // Once per Feed that finished any item (state or counters changed), so
  // that repaints merge per batch of bytes, never per frame.
  void changed();

 private:
  TFrameDecoder decoder_;
  TWallState state_;
  int frames_ = 0;
  int bad_ = 0;
  int unknown_ = 0;
  int noise_ = 0;
};
