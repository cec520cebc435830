#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>

#include "linkage/window_texts.h"
#include "setup/setup_page_view.h"

class QTabWidget;
class TProtocol;

// How a setting command finds its screens.
enum class TSettingRoute {
  Settings,    // the settings address rule (mixer and rotating units' fixed addresses)
  FamilyMode,  // the same, after setting the address mode from the device family ("升级")
  Selection,   // the selection's own address only (the fan commands)
};

// What the system setup dialog needs from the main window. The dialog keeps
// no copy of the wall's state: it asks at each showing and at each send.
struct TSetupServices {
  TWindowTexts texts;
  // Sends the catalogue command (cls, code) to the selected screens along the
  // route; sends nothing when no screen is selected. Required.
  std::function<void(quint8 cls, quint8 code, TSettingRoute route)> setting;
  // The frame builder for the ID frames (its frame mode, SetCellId, read-ID);
  // outlives the dialog. Required.
  TProtocol* protocol = nullptr;
  // A frame the dialog built, as one action of the main window (recorded as
  // a command step while a scene is recorded): a TProtocol frame to the send
  // path, or with raw set a byte string to the raw send path (the timer frame).
  std::function<void(const QByteArray& bytes, bool raw)> send;
  // 1 manager, 2 operator, 3 super manager; asked at each showing.
  std::function<int()> accessLevel;
  // The main window's row and column lists, copied at each showing.
  std::function<QStringList()> rowItems;
  std::function<QStringList()> colItems;
  // How many cells the wall grid has selected, asked at each showing.
  std::function<int()> selectedCells;
  // The computer's clock for the timer frame; unset = the current local time.
  std::function<QDateTime()> clock;
  // The device family index, fixed for the run.
  quint8 family = 0;
};

class TMaintenanceTabView;
class TPictureTabView;
class TFanTabView;
class TTimerTabView;

// The system setup dialog ("系统设置"): seven tabs, "视频控制", "VGA控制",
// "滚动字幕", "系统控制", "风扇控制", "定时开关机" and "网络控制". The picture,
// maintenance, fan and timer tabs are built here; the subtitle and network
// tabs are installed by their rooms. Captions come from the language table
// at each showing and each language switch; enabling follows the access
// level, the family and the selection at each showing.
class TSetupForm : public QDialog {
  Q_OBJECT

 public:
  enum TTab { Video, Vga, Subtitle, System, Fan, Timer, Network, TabCount };

  explicit TSetupForm(TSetupServices services, QWidget* parent = nullptr);
  ~TSetupForm() override;

  // Puts a supplied page in place of the placeholder of "滚动字幕" or
  // "网络控制"; the dialog takes ownership and keeps the tab's caption.
  void InstallSubtitleTab(TSetupTabPage* page);
  void InstallNetworkTab(TSetupTabPage* page);

  // Captions of the dialog and of every page, in the interface language.
  void LoadTexts();

  QTabWidget* Tabs() const { return pcSetup_; }
  TSetupTabPage* Page(TTab tab) const { return pages_[tab]; }

 Q_SIGNALS:
  // "自动注册" (network splicer walls only): the main window runs the
  // automatic registration.
  void autoRegisterRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Install(TTab tab, TSetupTabPage* page);

  TSetupServices services_;
  QTabWidget* pcSetup_ = nullptr;
  std::array<TSetupTabPage*, TabCount> pages_{};
};
