#include "wall_simulator.h"

TWallSimulator::TWallSimulator(int rows, int cols, QObject* parent)
    : QObject(parent), state_(rows, cols) {}

QString TWallSimulator::CountersText() const {
  return QStringLiteral("frames %1 bad %2 unknown %3 noise %4")
      .arg(frames_)
      .arg(bad_)
      .arg(unknown_)
      .arg(noise_);
}

void TWallSimulator::Feed(QByteArrayView bytes) {
  bool changed = false;
  const std::vector<TFrameDecoder::TItem> items = decoder_.Feed(bytes);
  for (const TFrameDecoder::TItem& item : items) {
    const QString hex = QString::fromLatin1(item.bytes.toHex(' '));
    switch (item.verdict) {
      case TFrameDecoder::TVerdict::Noise:
        noise_ += static_cast<int>(item.bytes.size());
        Q_EMIT reported(QStringLiteral("noise ") + hex);
        break;
      case TFrameDecoder::TVerdict::BadLength:
        ++bad_;
        Q_EMIT reported(QStringLiteral("bad ") + hex + QStringLiteral(" length"));
        break;
      case TFrameDecoder::TVerdict::BadChecksum:
        ++bad_;
        Q_EMIT reported(QStringLiteral("bad ") + hex + QStringLiteral(" checksum"));
        break;
      case TFrameDecoder::TVerdict::Frame: {
        const TFrameMeaning meaning = InterpretFrame(item.bytes, state_.Rows(), state_.Cols());
        if (meaning.action == TFrameAction::Unknown) {
          ++unknown_;
          Q_EMIT reported(QStringLiteral("unknown ") + hex + u' ' + meaning.text);
          break;
        }
        ++frames_;
        changed = state_.Apply(meaning) || changed;
        Q_EMIT reported(QStringLiteral("frame ") + hex + u' ' + meaning.text);
        break;
      }
    }
  }
  // The counters are on the window too: any finished item repaints.
  if (changed || !items.empty()) Q_EMIT this->changed();
}
