// The yardstick for start-up: a bare Qt window of the same size as the start dialog.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "app/first_paint_view.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallFirstPaintProbe();
  QWidget window;
  window.resize(420, 320);
  window.setWindowTitle(QStringLiteral("bare"));
  // With BARE_TEXT set the window also shows one line of Chinese text, to
  // separate the cost of loading a CJK font from the console's own.
  if (!qEnvironmentVariableIsEmpty("BARE_TEXT")) {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("请选择型号："), &window));
  }
  window.show();
  return QApplication::exec();
}
