#include "soak_wall.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "support/end_process.h"

namespace {

constexpr int kMaxProblems = 8;
constexpr int kDvrFrameBytes = 8;

bool IsHexByte(const QString& token) {
  if (token.size() != 2) return false;
  for (const QChar c : token)
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  return true;
}

// The hex bytes a report line starts its tokens with, from first on, at most max.
int HexRun(const QStringList& tokens, int first, int max) {
  int n = 0;
  while (first + n < tokens.size() && n < max && IsHexByte(tokens[first + n])) ++n;
  return n;
}

}  // namespace

const char* TSoakWall::LineName(int line) {
  static const char* const kNames[kLineCount] = {"splicers", "VIDEO matrix", "VGA matrix",
                                                 "DVI matrix", "DVR"};
  return line >= 0 && line < kLineCount ? kNames[line] : "?";
}

QString TSoakWall::Start(const QString& program, const QString& home, const QStringList& extra) {
  process_.setProgram(program);
  process_.setArguments(QStringList{QStringLiteral("--headless"), QStringLiteral("--home"), home} +
                        extra);
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  process_.start();
  if (!process_.waitForStarted(10000)) return QStringLiteral("the wall did not start");
  QDeadlineTimer deadline(10000);
  while (!process_.canReadLine()) {
    if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
      return QStringLiteral("the wall did not get ready: ") +
             QString::fromUtf8(process_.readAllStandardError());
    process_.waitForReadyRead(50);
  }
  const QString ready = QString::fromUtf8(process_.readLine()).trimmed();
  if (!ready.startsWith(QStringLiteral("ready "))) return ready;
  // From here on the lines are read as they come, whenever the event loop runs
  // (the console's pauses run it), so the wall never blocks on its output.
  connect(&process_, &QProcess::readyReadStandardOutput, this, &TSoakWall::ReadLines);
  return {};
}

QString TSoakWall::Stop() {
  disconnect(&process_, nullptr, this, nullptr);
  EndProcess(process_, "quit\n");
  return QString::fromUtf8(process_.readAllStandardError());
}

void TSoakWall::Sent(TLine line, const QByteArray& bytes) {
  TQueues& q = queues_[static_cast<size_t>(line)];
  q.sent.insert(q.sent.end(), bytes.begin(), bytes.end());
  ++counts_[static_cast<size_t>(line)].sent;
  Compare(line);
}

void TSoakWall::Reset() {
  for (TQueues& q : queues_) q = {};
  counts_ = {};
  mismatches_ = faults_ = 0;
  problems_.clear();
}

qint64 TSoakWall::InFlight() const {
  qint64 n = 0;
  for (const TQueues& q : queues_) n += static_cast<qint64>(q.sent.size() + q.received.size());
  return n;
}

bool TSoakWall::WaitCaughtUp(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (InFlight() != 0 && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    process_.waitForReadyRead(5);
    ReadLines();
  }
  return InFlight() == 0;
}

std::optional<TSoakWall::TState> TSoakWall::State(int timeoutMs) {
  if (!WaitCaughtUp(timeoutMs)) return std::nullopt;
  state_.reset();
  process_.write("state\n");
  QDeadlineTimer deadline(timeoutMs);
  while (!state_ && !deadline.hasExpired()) {
    process_.waitForReadyRead(20);
    ReadLines();
  }
  return state_;
}

void TSoakWall::ReadLines() {
  while (process_.canReadLine()) {
    ++linesSeen_;
    Handle(QString::fromUtf8(process_.readLine()).trimmed());
  }
}

void TSoakWall::Handle(const QString& line) {
  if (inState_) {
    if (line == u"end") {
      inState_ = false;
      state_ = std::move(building_);
      building_ = {};
    } else {
      building_.lines << line;
    }
    return;
  }
  const QStringList t = line.split(u' ', Qt::SkipEmptyParts);
  if (t.isEmpty()) return;
  const QString& head = t[0];
  if (head == u"state") {
    // "state frames 3 bad 0 ... triggers-sent 0": name and value pairs.
    building_ = {};
    for (qsizetype i = 1; i + 1 < t.size(); i += 2)
      building_.counters[t[i]] = t[i + 1].toLongLong();
    inState_ = true;
  } else if (head == u"frame" && t.size() > 2) {
    // The frame's own length byte says how many of the tokens are its bytes.
    bool ok = false;
    const int length = t[2].toInt(&ok, 16);
    Received(kSplicers, t, 1, ok ? HexRun(t, 1, length) : 0);
  } else if (head == u"matrix" && t.size() > 2 && t[2] == u"command") {
    const TLine which = t[1] == u"VIDEO" ? kVideo : t[1] == u"VGA" ? kVga : kDvi;
    Received(which, t, 3, HexRun(t, 3, 64));
  } else if (head == u"matrix" && t.size() > 2 && t[2] == u"brand") {
    // The wall read the brand from Quvial.ini: nothing was sent.
  } else if (head == u"dvr" && t.size() > 1 && t[1] == u"command") {
    Received(kDvr, t, 2, HexRun(t, 2, kDvrFrameBytes));
  } else if (head == u"trigger") {
    // The listening line: nothing in the soak sends triggers, nothing to compare.
  } else {
    // bad, unknown, noise, ignored, an error answer or anything unforeseen.
    ++faults_;
    Problem(QStringLiteral("wall: ") + line);
  }
}

void TSoakWall::Received(TLine line, const QStringList& tokens, int first, int count) {
  TQueues& q = queues_[static_cast<size_t>(line)];
  for (int i = 0; i < count; ++i)
    q.received.push_back(static_cast<quint8>(tokens[first + i].toUInt(nullptr, 16)));
  ++counts_[static_cast<size_t>(line)].received;
  Compare(line);
}

void TSoakWall::Compare(TLine line) {
  TQueues& q = queues_[static_cast<size_t>(line)];
  while (!q.sent.empty() && !q.received.empty()) {
    if (q.sent.front() != q.received.front()) {
      ++mismatches_;
      Problem(QStringLiteral("%1: sent byte %2, the wall decoded %3")
                  .arg(QLatin1String(LineName(line)))
                  .arg(q.sent.front(), 2, 16, QLatin1Char('0'))
                  .arg(q.received.front(), 2, 16, QLatin1Char('0')));
    }
    q.sent.pop_front();
    q.received.pop_front();
  }
}

void TSoakWall::Problem(const QString& text) {
  if (problems_.size() < kMaxProblems) problems_ << text;
}
