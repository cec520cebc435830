#pragma once

#include <QList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "linkage/window_texts.h"
#include "setup/gateway_frame.h"
#include "setup/setup_page_view.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TBroadcastSearch;
class TGatewayClient;
class TSocketWaiter;

// What the network-control tab needs from outside. The client (and its log)
// belongs to the main window, which forwards through it too; the search is
// the one instance the subtitle search shares (unset, the tab makes its own).
struct TNetworkTabServices {
  TWindowTexts texts;
  TGatewayClient* client = nullptr;  // required; outlives the tab
  TBroadcastSearch* search = nullptr;
  TSocketWaiter* waiter = nullptr;              // for a search of the tab's own
  std::function<void(int mode)> setSendMode;    // 0 serial, 1 network, 2 both
  std::function<void(const QString&)> message;  // unset: a message box
  quint16 probePort = 8080;                     // the gateway search's ports
  quint16 replyPort = 8081;
};

// The "网络控制" tab of the system setup dialog: finds COM gateways by
// broadcast, reads a gateway's ports, gives ports a role with their line
// settings ("串口设置"), closes ports, and sets the main window's send mode
// ("通讯方式设置"). Its lists and the lists-filled flag live as long as the
// dialog; one operation runs at a time (a click while one waits is ignored).
class TNetworkTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  explicit TNetworkTabView(TNetworkTabServices services, QWidget* parent = nullptr);
  ~TNetworkTabView() override;

  void Showing() override;
  void LoadTexts() override;

  // Set after a gateway search, a port read or an automatic registration
  // that found the planned count; while unset each showing resets the
  // parameter selectors.
  bool ListsFilled() const { return listsFilled_; }
  void SetListsFilled() { listsFilled_ = true; }
  // The port records of the last read, one per port the gateway reported.
  const std::vector<TGatewayPortRecord>& PortTable() const { return portTable_; }
  bool Busy() const { return busy_; }

 private:
  // The selectors of one role tab.
  struct TRolePage {
    QWidget* page = nullptr;
    QCheckBox* use = nullptr;
    std::array<QLabel*, 5> labels{};
    QComboBox* port = nullptr;
    QComboBox* baud = nullptr;
    QComboBox* dataBits = nullptr;
    QComboBox* stopBits = nullptr;
    QComboBox* parity = nullptr;
  };

  void BuildSearchRows();
  void BuildPortGroup();
  void BuildSendModeGroup();
  TRolePage BuildRolePage(int line);
  void ResetSelectors();
  void FillSendModeChoices();
  // Runs one operation unless one runs already.
  void RunOnce(const std::function<void()>& operation);
  void SearchGateways();
  void ReadGatewayPorts();
  void ReadPorts(const QString& address);
  void ApplyPortSettings();
  void ClosePort();
  void ApplySendMode();
  // False, after a message, when the text is not a dotted IPv4 address.
  bool AddressValid(const QString& address) const;
  void Message(const QString& text) const;
  bool Chinese() const { return services_.texts.Chinese(); }

  TNetworkTabServices services_;
  TGatewayClient& client_;
  std::unique_ptr<TSocketWaiter> ownWaiter_;
  std::unique_ptr<TBroadcastSearch> ownSearch_;
  TBroadcastSearch* search_ = nullptr;
  std::vector<TGatewayPortRecord> portTable_;
  bool listsFilled_ = false;
  bool busy_ = false;

  QPushButton* btnSearchGateway_ = nullptr;
  QProgressBar* pbSearchGateway_ = nullptr;
  QLabel* lblGatewayIP_ = nullptr;
  QComboBox* cbbGatewayIP_ = nullptr;
  QPushButton* btnGetGatewayParams_ = nullptr;
  QPlainTextEdit* memoGateway_ = nullptr;
  QGroupBox* gbPortSetup_ = nullptr;
  QTabWidget* pcPortSetup_ = nullptr;
  std::array<TRolePage, kGatewayLineCount> roles_{};
  QPushButton* btnPortSetOK_ = nullptr;
  QPushButton* btnClosePort_ = nullptr;
  QGroupBox* gbSendMode_ = nullptr;
  QRadioButton* rbNoNetSend_ = nullptr;
  QRadioButton* rbNetSend_ = nullptr;
  QComboBox* cbbNetSendMode_ = nullptr;
  QPushButton* btnSendModeOK_ = nullptr;
};
