#include "setup/setup_form.h"

#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

#include "setup/fan_tab_view.h"
#include "setup/maintenance_tab_view.h"
#include "setup/picture_tab_view.h"
#include "setup/timer_tab_view.h"

namespace {

// Per tab: object name, language key and designed caption.
struct TTabDef {
  const char16_t* name;
  const char16_t* key;
  const char16_t* caption;
};
constexpr TTabDef kTabDefs[TSetupForm::TabCount] = {
    {u"tsVideo", u"ID_SETUP_FORM_TAB_VIDEO", u"视频控制"},
    {u"tsVGA", u"ID_SETUP_FORM_TAB_VGA", u"VGA控制"},
    {u"tsSubtitle", u"ID_SETUP_FORM_TAB_SUBTITLE", u"滚动字幕"},
    {u"tsSystem", u"ID_SETUP_FORM_TAB_SYSTEM", u"系统控制"},
    {u"tsFan", u"ID_SETUP_FORM_TAB_FAN", u"风扇控制"},
    {u"tsTimer", u"ID_SETUP_FORM_TAB_TIMER", u"定时开关机"},
    {u"tsNetwork", u"ID_SETUP_FORM_TAB_NETWORK", u"网络控制"},
};

}  // namespace

TSetupForm::TSetupForm(TSetupServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
  setObjectName(QStringLiteral("TSetupForm"));
  setWindowTitle(QStringLiteral("系统设置"));
  pcSetup_ = new QTabWidget(this);
  pcSetup_->setObjectName(QStringLiteral("pcSetup"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pcSetup_);
  auto* maintenance = new TMaintenanceTabView(services_, pcSetup_);
  connect(maintenance, &TMaintenanceTabView::autoRegisterRequested, this,
          &TSetupForm::autoRegisterRequested);
  pages_[Video] = new TPictureTabView(TPictureTabView::VideoInput, services_, pcSetup_);
  pages_[Vga] = new TPictureTabView(TPictureTabView::VgaInput, services_, pcSetup_);
  pages_[System] = maintenance;
  pages_[Fan] = new TFanTabView(services_, pcSetup_);
  pages_[Timer] = new TTimerTabView(services_, pcSetup_);
  for (int tab = 0; tab < TabCount; ++tab) {
    // The subtitle and network pages are installed later by their rooms.
    if (!pages_[tab]) pages_[tab] = new TSetupTabPage(pcSetup_);
    pages_[tab]->setObjectName(QString::fromUtf16(kTabDefs[tab].name));
    pcSetup_->addTab(pages_[tab], QString::fromUtf16(kTabDefs[tab].caption));
  }
}

TSetupForm::~TSetupForm() = default;

void TSetupForm::InstallSubtitleTab(TSetupTabPage* page) { Install(Subtitle, page); }
void TSetupForm::InstallNetworkTab(TSetupTabPage* page) { Install(Network, page); }

void TSetupForm::Install(TTab tab, TSetupTabPage* page) {
  if (!page || page == pages_[tab]) return;
  const QString caption = pcSetup_->tabText(tab);
  TSetupTabPage* old = pages_[tab];
  pcSetup_->removeTab(tab);
  pcSetup_->insertTab(tab, page, caption);
  if (page->objectName().isEmpty()) page->setObjectName(old->objectName());
  pages_[tab] = page;
  delete old;
}

void TSetupForm::LoadTexts() {
  const QString title = services_.texts.Caption(QStringLiteral("ID_SETUP_FORM_CAPTION"));
  if (!title.isNull()) setWindowTitle(title);
  setAccessibleName(windowTitle());
  for (int tab = 0; tab < TabCount; ++tab) {
    const QString text = services_.texts.Caption(QString::fromUtf16(kTabDefs[tab].key));
    if (!text.isNull()) pcSetup_->setTabText(tab, text);
    pages_[tab]->setAccessibleName(pcSetup_->tabText(tab));
    pages_[tab]->LoadTexts();
  }
}

void TSetupForm::showEvent(QShowEvent* event) {
  LoadTexts();
  for (TSetupTabPage* page : pages_) page->Showing();
  // Each button sends to the screens: Enter in a field must press none of
  // them, so no button becomes the dialog's default.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  QDialog::showEvent(event);
}
