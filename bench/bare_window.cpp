// The yardstick for start-up: a bare Qt window of the same size as the start dialog.
#include <QApplication>
#include <QWidget>

#include "app/first_paint_view.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallFirstPaintProbe();
  QWidget window;
  window.resize(420, 320);
  window.setWindowTitle(QStringLiteral("bare"));
  window.show();
  return QApplication::exec();
}
