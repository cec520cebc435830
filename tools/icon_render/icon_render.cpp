// quvial-icon-render: draws the application's SVG icon as a square PNG of
// the given size, for the icon theme's fixed-size folders. Part of the build,
// so the PNGs always match the one SVG that is kept in the sources.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quvial-icon-render ICON.svg OUT.png SIZE\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");  // a build machine has no display
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  bool ok = false;
  const int size = args[3].toInt(&ok);
  QSvgRenderer svg(args[1]);
  if (!ok || size < 1 || size > 4096 || !svg.isValid()) {
    std::fprintf(stderr, "quvial-icon-render: bad size or unreadable SVG %s\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  svg.render(&painter);
  painter.end();
  if (!image.save(args[2], "PNG")) {
    std::fprintf(stderr, "quvial-icon-render: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
