#include "bench_window.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "app/quvial_form.h"

TBenchWindow::TBenchWindow(int rows, int cols) {
  if (!home_.isValid() || !wire_.IsValid()) {
    error_ = QStringLiteral("no temporary directory or pty");
    return;
  }
  qputenv("QUVIAL_HOME", QFile::encodeName(home_.path()));
  QDir(home_.path()).mkpath(QStringLiteral("ports"));
  QFile::link(wire_.SlavePath(), home_.filePath(QStringLiteral("ports/COM1")));
  QFile ini(home_.filePath(QStringLiteral("Quvial.ini")));
  if (!ini.open(QIODevice::WriteOnly)) {
    error_ = QStringLiteral("cannot write Quvial.ini");
    return;
  }
  ini.write(QStringLiteral("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nCmdLen=1\r\n"
                           "row=%1\r\ncol=%2\r\n")
                .arg(rows)
                .arg(cols)
                .toLatin1());
  ini.close();

  TDeviceChoice choice;
  choice.family = 0;  // QN-51
  choice.deviceName = QStringLiteral("QN-51");
  choice.portListHidden = true;
  form_ = std::make_unique<TQuvialForm>(choice, pauser_);
  form_->show();
  if (!QTest::qWaitForWindowExposed(form_.get())) {
    error_ = QStringLiteral("the window did not show");
    return;
  }
  if (!form_->Ports().Port(TPortId::Combine).IsOpen()) {
    error_ = QStringLiteral("the splicer port did not open");
    return;
  }
  ready_ = true;
}

TBenchWindow::~TBenchWindow() { form_.reset(); }
