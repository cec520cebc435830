// TQuvialForm: the network splicer wall (QN-51N). The window owns the link
// to the modules and the controller with the cell address table; the grid
// menu's "网络搜索设备", the search once after start-up and the setup
// dialog's "自动注册" run the controller as actions, one at a time.

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/quvial_form.h"
#include "core/bilingual.h"
#include "core/net_socket_event_waiter.h"
#include "setup/network_tab_view.h"

void TQuvialForm::BuildNetworkSplicers() {
  networkSplicerWaiter_ = std::make_unique<TEventLoopSocketWaiter>();
  networkSplicerLink_ = std::make_unique<TNetworkSplicerLink>(*networkSplicerWaiter_);
  networkSplicers_ = std::make_unique<TNetworkSplicers>(*networkSplicerLink_, protocol_, pauser_);
  TNetworkSplicers& s = *networkSplicers_;
  s.message = [this](const QString& text) {
    QMessageBox::information(this, Bilingual(chinese_, u"提示", u"Information"), text);
  };
  s.memo = [this](const QString& line) { memoOutput_->appendPlainText(line); };
  // The same conditions as the splicer frames' trace.
  s.traceOn = [this] { return sendPath_->AccessLevel() == 3 && ports_.Enabled(TPortId::Combine); };
  s.clock = [this] { return sendPath_->clock ? sendPath_->clock() : QDateTime::currentDateTime(); };
  s.clearStatus = [this] { statusPorts_->clear(); };
  s.listsFilled = [this] {
    if (networkTab_) networkTab_->SetListsFilled();
  };
  // The setup dialog runs it inside an action already.
  autoRegistration = [this] { RegisterNetworkSplicers(); };
}

void TQuvialForm::PrepareNetworkSplicers() {
  networkSplicers_->SetChinese(chinese_);
  networkSplicers_->SetRecorder(scene_.get());
}

void TQuvialForm::SearchNetworkSplicers() {
  RunAction([this] {
    PrepareNetworkSplicers();
    networkSplicers_->Search();
  });
}

void TQuvialForm::RegisterNetworkSplicers() {
  PrepareNetworkSplicers();
  networkSplicers_->Register();
}

void TQuvialForm::StartNetworkSearchAtShow() {
  if (family_ != 12 || !startupNetworkSearch_) return;
  // After the window has painted: the probe takes about a second per local
  // address, and start-up must not wait for it.
  QTimer::singleShot(0, this, [this] { SearchNetworkSplicers(); });
}
