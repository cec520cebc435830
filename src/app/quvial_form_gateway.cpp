// TQuvialForm: the COM gateway. The window owns the gateway client and the
// shared broadcast search; the send path's splicer forwards and the matrix
// and DVR linkages' forwards go through the client, each with its line's
// codes, and the setup dialog's "网络控制" tab drives the rest.

#include <QPlainTextEdit>

#include "app/port_status.h"
#include "app/quvial_form.h"
#include "core/net_socket_event_waiter.h"
#include "setup/network_tab_view.h"
#include "setup/setup_form.h"

void TQuvialForm::BuildGateway() {
  gatewayWaiter_ = std::make_unique<TEventLoopSocketWaiter>();
  gateway_ = std::make_unique<TGatewayClient>(*gatewayWaiter_);
  broadcastSearch_ = std::make_unique<TBroadcastSearch>(*gatewayWaiter_);

  sendPath_->gatewayForward = [this](const QByteArray& bytes) {
    const TGatewayCodes codes = GatewayCodesOf(TGatewayLine::Splicer);
    return ForwardToGateway(codes.channel, codes.role, bytes);
  };
  const auto forward = [this](const QByteArray& bytes, int channel, int role) {
    return ForwardToGateway(static_cast<quint8>(channel), static_cast<quint8>(role), bytes);
  };
  matrixLinkage_->gatewayForward = forward;
  dvrLinkage_->gatewayForward = forward;
}

bool TQuvialForm::ForwardToGateway(quint8 channel, quint8 role, const QByteArray& bytes) {
  const bool inAction = ActionRunning();
  if (inAction && gatewayFailedInAction_) return false;
  const bool sent = gateway_->GatewayForward(TGatewayCodes{channel, role}, bytes);
  if (sent || !inAction) return sent;
  gatewayFailedInAction_ = true;
  const bool networkOnly = sendPath_->SendMode() == 1;
  const QString text = GatewayFailedMessage(networkOnly, chinese_);
  if (networkOnly)
    actionRunner_->RequestStop(text);  // nothing else reaches the wall
  else
    memoOutput_->appendPlainText(text);
  return false;
}

void TQuvialForm::InstallNetworkTab() {
  TNetworkTabServices services;
  services.texts = WindowTexts();
  services.client = gateway_.get();
  services.search = broadcastSearch_.get();
  services.setSendMode = [this](int mode) { sendPath_->SetSendMode(mode); };
  networkTab_ = new TNetworkTabView(std::move(services));
  setupForm_->InstallNetworkTab(networkTab_);
}
