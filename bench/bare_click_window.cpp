// The yardstick for click to wire: a bare Qt window with one button that
// writes a fixed 9-byte frame to a tty on each click, with write(2) in the
// clicked handler, as a plain Qt program would. It prints the button's screen
// rectangle once it is shown ("button x y w h"), so that a pointer-level
// driver knows where to click.
// Usage: bare_click_window TTY [X Y]
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bare_click_window TTY [X Y]\n");
    return 2;
  }
  const int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    std::perror(argv[1]);
    return 2;
  }
  static const unsigned char kFrame[9] = {0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9};

  QWidget window;
  window.setWindowTitle(QStringLiteral("bare click"));
  auto* layout = new QVBoxLayout(&window);
  auto* button = new QPushButton(QStringLiteral("VGA"), &window);
  layout->addWidget(button);
  QObject::connect(button, &QPushButton::clicked, [fd] {
    if (::write(fd, kFrame, sizeof kFrame) != static_cast<ssize_t>(sizeof kFrame))
      std::perror("write");
  });
  window.resize(240, 120);
  if (argc >= 4)
    window.move(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt());
  window.show();
  // Reported once the window system has placed and painted it.
  QTimer::singleShot(300, [button] {
    const QPoint at = button->mapToGlobal(QPoint(0, 0));
    std::printf("button %d %d %d %d\n", at.x(), at.y(), button->width(), button->height());
    std::fflush(stdout);
  });
  const int rc = QApplication::exec();
  ::close(fd);
  return rc;
}
