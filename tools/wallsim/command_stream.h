#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <algorithm>
#include <vector>

// What a parser makes of the bytes at the front of a buffer.
enum class TParseStatus {
  Command,  // a whole, good command of `length` bytes
  Bad,      // the shape of a command of `length` bytes, but a checksum or value is wrong
  Partial,  // the start of a command whose rest has not arrived yet
  NoMatch,  // no command starts at the first byte
};

template <class TPayload>
struct TParsed {
  TParseStatus status = TParseStatus::NoMatch;
  qsizetype length = 0;
  TPayload payload{};
  QString reason;  // why a command is bad
};

enum class TStreamVerdict { Command, Bad, Noise };

// Cuts a device line's byte stream into commands with a parser that knows
// one command format, the way the device itself would: bytes arrive split
// anywhere, so a command that is not complete waits for the rest; a byte
// where no command starts is noise; after a bad command the search resumes
// at the first byte inside it where a command could start, so that a good
// command hiding behind a torn one is still found.
template <class TPayload>
class TCommandStream {
 public:
  using TParser = TParsed<TPayload> (*)(QByteArrayView);
  struct TItem {
    TStreamVerdict verdict = TStreamVerdict::Noise;
    QByteArray bytes;
    TPayload payload{};
    QString reason;
  };

  // No command is longer; a start that still waits beyond it is noise.
  static constexpr qsizetype kMaxCommand = 4096;

  explicit TCommandStream(TParser parser = nullptr) : parser_(parser) {}

  // A new format drops what was kept for the old one.
  void SetParser(TParser parser) {
    parser_ = parser;
    buffer_.clear();
  }
  TParser Parser() const { return parser_; }
  qsizetype Pending() const { return buffer_.size(); }

  // Every item the new bytes complete, in stream order. Without a parser
  // every byte is noise.
  std::vector<TItem> Feed(QByteArrayView bytes) {
    buffer_.append(bytes);
    std::vector<TItem> items;
    qsizetype pos = 0;
    qsizetype noiseFrom = 0;
    const auto flushNoise = [&] {
      if (noiseFrom < pos)
        items.push_back({TStreamVerdict::Noise, buffer_.mid(noiseFrom, pos - noiseFrom), {}, {}});
    };
    while (pos < buffer_.size()) {
      TParsed<TPayload> p = Parse(pos);
      if (p.status == TParseStatus::Partial && buffer_.size() - pos > kMaxCommand)
        p.status = TParseStatus::NoMatch;
      if (p.status == TParseStatus::NoMatch) {
        ++pos;
        continue;
      }
      if (p.status == TParseStatus::Partial) break;
      flushNoise();
      const qsizetype length = std::clamp<qsizetype>(p.length, 1, buffer_.size() - pos);
      if (p.status == TParseStatus::Command) {
        items.push_back({TStreamVerdict::Command, buffer_.mid(pos, length), p.payload, {}});
        pos += length;
      } else {
        qsizetype next = pos + 1;
        while (next < pos + length && Parse(next).status == TParseStatus::NoMatch) ++next;
        items.push_back({TStreamVerdict::Bad, buffer_.mid(pos, next - pos), {}, p.reason});
        pos = next;
      }
      noiseFrom = pos;
    }
    flushNoise();
    buffer_.remove(0, pos);
    return items;
  }

 private:
  TParsed<TPayload> Parse(qsizetype pos) const {
    if (!parser_) return {};
    return parser_(QByteArrayView(buffer_).sliced(pos));
  }

  TParser parser_;
  QByteArray buffer_;
};
