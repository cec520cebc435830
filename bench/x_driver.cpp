#include "x_driver.h"

#include <QFileInfo>
#include <QThread>

#include "support/end_process.h"

// Xlib defines names (None, Bool, Status) that Qt's headers use: it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

TXDriver::TXDriver(bool ownServer) {
  if (ownServer || qEnvironmentVariableIsEmpty("DISPLAY")) {
    if (!StartServer()) return;
  } else {
    name_ = qEnvironmentVariable("DISPLAY");
    display_ = XOpenDisplay(name_.toLocal8Bit().constData());
    if (!display_) error_ = QStringLiteral("cannot open display ") + name_;
  }
  if (!display_) return;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    error_ = QStringLiteral("the X server has no XTEST extension");
  } else if (!XDamageQueryExtension(display_, &damageEventBase_, &error)) {
    error_ = QStringLiteral("the X server has no DAMAGE extension");
  } else {
    return;
  }
  XCloseDisplay(display_);
  display_ = nullptr;
}

TXDriver::~TXDriver() {
  // The damage object goes with the watched window or the connection.
  if (display_) XCloseDisplay(display_);
  EndProcess(server_, {}, 3000);
}

bool TXDriver::StartServer() {
  // A display number nobody holds; another program may take it first, in
  // which case that server exits and the next number is tried.
  for (int n = 90; n < 160; ++n) {
    if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
        QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
      continue;
    name_ = QStringLiteral(":%1").arg(n);
    server_.setProgram(QStringLiteral("Xvfb"));
    server_.setArguments({name_, QStringLiteral("-screen"), QStringLiteral("0"),
                          QStringLiteral("2400x1400x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-noreset")});
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start();
    if (!server_.waitForStarted(5000)) {
      error_ = QStringLiteral("cannot start Xvfb");
      return false;
    }
    for (int tries = 0; tries < 100 && server_.state() == QProcess::Running; ++tries) {
      if ((display_ = XOpenDisplay(name_.toLocal8Bit().constData()))) return true;
      QThread::msleep(50);
    }
    server_.kill();
    server_.waitForFinished(3000);
  }
  error_ = QStringLiteral("no free X display for Xvfb");
  return false;
}

void TXDriver::MoveTo(QPoint at) {
  XTestFakeMotionEvent(display_, -1, at.x(), at.y(), 0);
  XFlush(display_);
}

void TXDriver::Button(int button, bool down) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), down ? True : False, 0);
  XFlush(display_);
}

bool TXDriver::WatchWindowAt(QPoint at) {
  MoveTo(at);
  XSync(display_, False);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y,
                &mask);
  if (child == 0) return false;
  // Non-empty reports, re-armed after each: one event per stretch of drawing.
  damageHandle_ = XDamageCreate(display_, child, XDamageReportNonEmpty);
  XSync(display_, False);
  damage_.clear();
  return true;
}

void TXDriver::CollectDamage() {
  if (!damageHandle_) return;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != damageEventBase_ + XDamageNotify) continue;
    damage_.push_back(Clock::now());
    XDamageSubtract(display_, damageHandle_, 0, 0);
  }
  XFlush(display_);
}
