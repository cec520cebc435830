#include "linkage/usb_channel_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <limits>

namespace {

struct KeyDef {
  int code;
  const char* objectName;
  const char16_t* caption;
  const char* textKey;
  int row;
  int column;
};
// The cross of direction keys with OK in its middle, the volume pair below
// it, then the transport keys in two columns.
constexpr KeyDef kKeys[] = {
    {0x00, "sbup", u"上", "ID_USBCHANNELFORM_SBUP", 0, 1},
    {0x02, "sbleft", u"左", "ID_USBCHANNELFORM_SBLEFT", 1, 0},
    {0x0A, "sbOK", u"确定", "ID_USBCHANNELFORM_SBOK", 1, 1},
    {0x03, "sbright", u"右", "ID_USBCHANNELFORM_SBRIGHT", 1, 2},
    {0x01, "sbdown", u"下", "ID_USBCHANNELFORM_SBDOWN", 2, 1},
    {0x0C, "sbVolDown", u"音量-", "ID_USBCHANNELFORM_VOLDOWN", 3, 0},
    {0x0B, "sbVolUp", u"音量+", "ID_USBCHANNELFORM_VOLUP", 3, 2},
    {0x04, "sbplay", u"播放", "ID_USBCHANNELFORM_SBPLAY", 4, 0},
    {0x07, "sbprev", u"快进", "ID_USBCHANNELFORM_SBPREV", 4, 2},
    {0x05, "sbpause", u"暂停", "ID_USBCHANNELFORM_SBPAUSE", 5, 0},
    {0x08, "sbleftprev", u"快退", "ID_USBCHANNELFORM_SBLEFTPREV", 5, 2},
    {0x09, "sbstop", u"停止", "ID_USBCHANNELFORM_SBSTOP", 6, 0},
    {0x06, "sbexit", u"退出", "ID_USBCHANNELFORM_SBEXIT", 6, 2},
};
constexpr int kVolumeUp = 0x0B;
constexpr int kVolumeDown = 0x0C;

}  // namespace

TUSBChannelForm::TUSBChannelForm(TWindowTexts texts, QWidget* parent)
    : QDialog(parent), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("USBChannelForm"));
  setWindowTitle(QStringLiteral("USB通道"));
  auto* grid = new QGridLayout(this);
  keys_.assign(std::size(kKeys), nullptr);
  // Tab follows the layout: row by row, left to right.
  for (const KeyDef& k : kKeys) {
    auto* key = new QPushButton(QString::fromUtf16(k.caption), this);
    key->setObjectName(QLatin1String(k.objectName));
    key->setAccessibleName(key->text());
    key->setMinimumWidth(64);
    key->setAutoDefault(true);  // Enter presses the key that has the focus
    key->installEventFilter(this);
    grid->addWidget(key, k.row, k.column);
    keys_[static_cast<std::size_t>(k.code)] = key;
    const int code = k.code;
    connect(key, &QPushButton::clicked, this, [this, code] { Q_EMIT keyClicked(code); });
  }
}

QPushButton* TUSBChannelForm::Key(int code) const {
  if (code < 0 || code >= static_cast<int>(keys_.size())) return nullptr;
  return keys_[static_cast<std::size_t>(code)];
}

void TUSBChannelForm::LoadTexts() {
  const QString title = texts_.Caption(QStringLiteral("ID_USBCHANNELFORM_CAPTION"));
  if (!title.isNull()) setWindowTitle(title);
  for (const KeyDef& k : kKeys) {
    const QString text = texts_.Caption(QLatin1String(k.textKey));
    if (text.isNull()) continue;  // no table: the designed captions stay
    QPushButton* key = Key(k.code);
    key->setText(text);
    key->setAccessibleName(text);
  }
}

void TUSBChannelForm::showEvent(QShowEvent* event) {
  LoadTexts();
  const bool volume = volumeKeysShown && volumeKeysShown();
  Key(kVolumeUp)->setVisible(volume);
  Key(kVolumeDown)->setVisible(volume);
  QDialog::showEvent(event);
}

bool TUSBChannelForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
    return QDialog::eventFilter(watched, event);
  auto* from = qobject_cast<QPushButton*>(watched);
  if (QPushButton* to = from ? Neighbour(from, key) : nullptr) to->setFocus(Qt::TabFocusReason);
  return true;  // at the edge the focus stays where it is
}

QPushButton* TUSBChannelForm::Neighbour(const QPushButton* from, int arrowKey) const {
  const QPoint at = from->geometry().center();
  QPushButton* best = nullptr;
  long long bestScore = std::numeric_limits<long long>::max();
  for (QPushButton* key : keys_) {
    if (key == from || !key->isVisible()) continue;
    const QPoint d = key->geometry().center() - at;
    // Along the arrow, and off its line counts double, so the key straight
    // ahead wins over a nearer one beside it.
    long long along = 0, across = 0;
    switch (arrowKey) {
      case Qt::Key_Left:
        along = -d.x(), across = d.y();
        break;
      case Qt::Key_Right:
        along = d.x(), across = d.y();
        break;
      case Qt::Key_Up:
        along = -d.y(), across = d.x();
        break;
      default:
        along = d.y(), across = d.x();
        break;
    }
    if (along <= 0) continue;
    const long long score = along + 2 * (across < 0 ? -across : across);
    if (score < bestScore) {
      bestScore = score;
      best = key;
    }
  }
  return best;
}
