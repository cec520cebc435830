#pragma once

#include <QList>
#include <memory>
#include <optional>

#include "core/net_socket_address.h"
#include "linkage/window_texts.h"
#include "setup/setup_page_view.h"
#include "setup/subtitle_packet.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class TBroadcastSearch;
class TSocketWaiter;

// What the subtitle tab needs from outside. The search is the one instance
// the gateway search shares (so the two never run at once) and the waiter
// keeps the windows painting while a search or a send waits; unset, the tab
// makes its own.
struct TSubtitleTabServices {
  TWindowTexts texts;
  TBroadcastSearch* search = nullptr;
  TSocketWaiter* waiter = nullptr;
  quint16 serverPort = SubtitlePacket::kPort;  // tests use a free port
};

// The scrolling-subtitle tab "滚动字幕" of the system setup dialog: finds
// subtitle servers by broadcast, composes the text, its font, speed, layout
// and screen, and sends the start or stop packet to the server in
// "服务器IP" over TCP. "启动字幕" first saves the settings to netosd.ini and
// osdtext.txt; each showing of the dialog reads them back. The tab's own
// log is its status memo.
class TSubtitleTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  explicit TSubtitleTabView(TSubtitleTabServices services, QWidget* parent = nullptr);
  ~TSubtitleTabView() override;

  void Showing() override;
  void LoadTexts() override;

  // The controls as values (what "启动字幕" would send).
  TSubtitleSettings Values() const;

 private:
  // The radio buttons of one layout page: position and motion, each button's
  // id its value in the packet.
  struct TLayoutPage {
    QWidget* page = nullptr;
    QGroupBox* position = nullptr;
    QGroupBox* motion = nullptr;
    QButtonGroup* positions = nullptr;
    QButtonGroup* motions = nullptr;
  };

  void BuildServerRow();
  QGroupBox* BuildSpeedGroup();
  QGroupBox* BuildFontGroup();
  void BuildLayoutPages();
  void BuildLayout();
  void SetTabOrder();
  void ShowValues(const TSubtitleSettings& settings);
  void ShowFont();
  void EnableSend(bool on);

  void Search();
  void ChooseFont();
  void ChooseColor();
  void Start();
  void Stop();
  // The address in "服务器IP"; refuses (message box) an empty or malformed one.
  std::optional<TIpv4Address> ServerAddress();
  void SendPacket(TIpv4Address address, const QByteArray& packet, const QString& okLine);
  void RefuseEmptyAddress();
  void Refuse(const QString& message);
  void Log(const QString& line);
  bool Chinese() const { return services_.texts.Chinese(); }

  TSubtitleTabServices services_;
  std::unique_ptr<TSocketWaiter> ownWaiter_;
  std::unique_ptr<TBroadcastSearch> ownSearch_;
  TSocketWaiter* waiter_ = nullptr;
  TBroadcastSearch* search_ = nullptr;
  bool sending_ = false;
  TSubtitleFont font_;

  QLabel* lblServerIP_ = nullptr;
  QComboBox* cbbServerIP_ = nullptr;
  QPushButton* btnSearchServer_ = nullptr;
  QProgressBar* pbSearch_ = nullptr;
  QPushButton* btnStartOSD_ = nullptr;
  QPushButton* btnStopOSD_ = nullptr;
  QLabel* lblScreen_ = nullptr;
  QComboBox* cbbScreen_ = nullptr;
  QGroupBox* gbSpeed_ = nullptr;
  QLabel* lblSlow_ = nullptr;
  QSlider* tbSpeed_ = nullptr;
  QLabel* lblFast_ = nullptr;
  QGroupBox* gbFont_ = nullptr;
  QLabel* lblSample_ = nullptr;
  QPushButton* btnChooseFont_ = nullptr;
  QPushButton* btnFontColor_ = nullptr;
  QGroupBox* gbOSDText_ = nullptr;
  QPlainTextEdit* mmOSDText_ = nullptr;
  QTabWidget* pcLayout_ = nullptr;
  TLayoutPage single_;
  TLayoutPage multi_;
  QList<QRadioButton*> radios_;
  QGroupBox* gbStatus_ = nullptr;
  QPlainTextEdit* mmStatus_ = nullptr;
};
