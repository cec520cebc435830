#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The lines of the network-control tab's log, kept apart from the tab so
// that a forward from the main window logs its failures even before the tab
// was ever shown. Holds the newest kMaxLines lines; the tab listens.
class TGatewayLog {
 public:
  static constexpr int kMaxLines = 1000;

  void Append(const QString& line);
  void Clear();
  const QStringList& Lines() const { return lines_; }

  std::function<void(const QString&)> appended;  // the tab's memo follows
  std::function<void()> cleared;

 private:
  QStringList lines_;
};
