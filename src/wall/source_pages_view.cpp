#include "wall/source_pages_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "wall/source_pages.h"

TSourcePagesView::TSourcePagesView(QWidget* parent) : QStackedWidget(parent) {
  setObjectName(QStringLiteral("pcSource"));
  for (const TSourcePageDef& def : SourcePages()) addWidget(BuildPage(def));
}

QWidget* TSourcePagesView::BuildPage(const TSourcePageDef& def) {
  auto* page = new QWidget(this);
  page->setObjectName(def.name);
  page->setProperty("family", def.family);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  for (const TSourceGroupDef& g : def.groups) {
    // On the public-channel page the hidden group is the broadcast group,
    // shown while "公共通道" is ticked; elsewhere a hidden group stays hidden.
    const bool broadcast = def.publicChannel && g.hidden && !gbBroadcast_;
    if (broadcast) {
      cbPublicChannel_ = new QCheckBox(QStringLiteral("公共通道"), page);
      cbPublicChannel_->setObjectName(QStringLiteral("cbPublicChannel"));
      layout->addWidget(cbPublicChannel_);
    }
    auto* box = new QGroupBox(g.caption, page);
    auto* buttons = new QVBoxLayout(box);
    // Each group is a choice of its own.
    auto* exclusive = new QButtonGroup(box);
    for (std::size_t i = 0; i < g.buttons.size(); ++i) {
      const TSourceButtonDef& b = g.buttons[i];
      auto* radio = new QRadioButton(b.caption, box);
      radio->setObjectName(b.objectName);
      radio->setProperty("source", b.source);
      radio->installEventFilter(this);
      exclusive->addButton(radio);
      buttons->addWidget(radio);
      if (broadcast) {
        const int which = static_cast<int>(i);
        connect(radio, &QRadioButton::clicked, this,
                [this, which] { Q_EMIT publicChannelClicked(which); });
        continue;
      }
      if (b.source == 0) continue;  // offered, but carries no action
      // The caption as shown now, in the current language.
      const int source = b.source;
      connect(radio, &QRadioButton::clicked, this,
              [this, radio, source] { Q_EMIT sourceClicked(radio->text(), source); });
    }
    box->setVisible(!g.hidden);
    layout->addWidget(box);
    if (broadcast) {
      gbBroadcast_ = box;
      gbBroadcast_->setObjectName(QStringLiteral("gbPublicChannel"));
      connect(cbPublicChannel_, &QCheckBox::toggled, gbBroadcast_, &QGroupBox::setVisible);
    }
  }
  layout->addStretch(1);
  return page;
}

bool TSourcePagesView::eventFilter(QObject* watched, QEvent* event) {
  // A button repaints itself at once on the release that clicks it, before
  // it reports the click. Here that repaint (the button and, beneath it, its
  // group box and title) took longer than the rest of the way from the click
  // to the frame on the line. It is put off to the event loop instead, which
  // the pause after the frame runs: the frame goes first, then the picture.
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) {
    auto* button = static_cast<QWidget*>(watched);  // only the radio buttons are watched
    if (button->updatesEnabled()) {
      button->setUpdatesEnabled(false);
      QTimer::singleShot(0, button, [button] { button->setUpdatesEnabled(true); });
    }
  }
  return QStackedWidget::eventFilter(watched, event);
}

bool TSourcePagesView::ShowFamily(quint8 family) {
  QWidget* page = Page(family);
  if (!page) return false;
  setCurrentWidget(page);
  return true;
}

QWidget* TSourcePagesView::Page(quint8 family) const {
  for (int i = 0; i < count(); ++i)
    if (widget(i)->property("family").toInt() == family) return widget(i);
  return nullptr;
}

bool TSourcePagesView::PublicChannel() const {
  return cbPublicChannel_ && cbPublicChannel_->isChecked();
}
