#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "timed_pauser.h"
#include "wire_probe.h"

class TQuvialForm;

// The console's main window as the program builds it, offscreen, with the
// real event-loop pauser (timed), its splicer port on a TWireProbe: a throw-away
// program directory names the probe's pty as COM1 with long frames and a
// rows x cols wall.
class TBenchWindow {
 public:
  TBenchWindow(int rows, int cols);
  ~TBenchWindow();

  bool IsReady() const { return ready_; }
  const QString& Error() const { return error_; }
  TQuvialForm& Form() { return *form_; }
  TWireProbe& Wire() { return wire_; }
  TTimedPauser& Pauser() { return pauser_; }

 private:
  QTemporaryDir home_;
  TWireProbe wire_;
  TTimedPauser pauser_;
  std::unique_ptr<TQuvialForm> form_;
  bool ready_ = false;
  QString error_;
};
