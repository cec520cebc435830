#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <map>
#include <optional>

// The virtual wall program (quvial-wallsim --headless) as the soak's far end:
// reads every line it reports and keeps, per line of the console (splicers,
// VIDEO, VGA and DVI matrix, DVR), how many frames or commands the console
// sent and the wall decoded, and whether the decoded bytes are the sent bytes
// in the sent order. Both sides feed a byte queue per line and the two queues
// are compared as they fill, so the bookkeeping stays as small as the bytes
// in flight. Anything the wall reports as bad, unknown, noise or ignored is
// a fault.
class TSoakWall : public QObject {
 public:
  enum TLine { kSplicers, kVideo, kVga, kDvi, kDvr, kLineCount };
  static const char* LineName(int line);

  struct TLineCount {
    qint64 sent = 0;      // frames or commands the console sent
    qint64 received = 0;  // the wall decoded
  };

  // Starts the wall on the console's program directory (it links the ports
  // and writes Quvial.ini) and waits for its ready line; empty when ready.
  QString Start(const QString& program, const QString& home, const QStringList& extra);
  // Quits it; its error output.
  QString Stop();

  // What the console sent on a line: one frame or command.
  void Sent(TLine line, const QByteArray& bytes);
  // Forgets the counts and the queues (after the scenes were recorded).
  void Reset();
  // Runs the event loop until every byte sent was decoded (or timeoutMs).
  bool WaitCaughtUp(int timeoutMs);

  // The wall's counters ("frames 3 bad 0 ...") and its state lines, asked
  // for with "state" once everything sent was decoded; none on time-out.
  struct TState {
    std::map<QString, qint64> counters;
    QStringList lines;
  };
  std::optional<TState> State(int timeoutMs = 10000);

  const TLineCount& Count(int line) const { return counts_[static_cast<size_t>(line)]; }
  qint64 Mismatches() const { return mismatches_; }
  qint64 Faults() const { return faults_; }
  // The first few faults and mismatches, for the report.
  const QStringList& Problems() const { return problems_; }
  // Bytes sent and not yet decoded, or decoded and not sent, on any line.
  qint64 InFlight() const;
  // Lines the wall reported so far (to see when it has gone quiet).
  qint64 LinesSeen() const { return linesSeen_; }

 private:
  void ReadLines();
  void Handle(const QString& line);
  void Received(TLine line, const QStringList& tokens, int first, int count);
  void Compare(TLine line);
  void Problem(const QString& text);

  QProcess process_;
  struct TQueues {
    std::deque<quint8> sent;
    std::deque<quint8> received;
  };
  std::array<TQueues, kLineCount> queues_;
  std::array<TLineCount, kLineCount> counts_{};
  qint64 mismatches_ = 0;
  qint64 faults_ = 0;
  qint64 linesSeen_ = 0;
  QStringList problems_;
  bool inState_ = false;
  std::optional<TState> state_;
  TState building_;
};
