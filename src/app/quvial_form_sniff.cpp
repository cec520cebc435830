// TQuvialForm: the listening relay. Data on the listening line switches the
// whole wall through TSniffRelay, after any running action and never while
// the window is still starting.

#include "app/quvial_form.h"

void TQuvialForm::WireSniffRelay() {
  sniffRelay_ = std::make_unique<TSniffRelay>(*sendPath_, ports_.Port(TPortId::Combine),
                                              *matrixLinkage_, pauser_);
  sniffRelay_->ready = [this] { return ready_; };
  sniffRelay_->runWhenIdle = [this](std::function<void()> work) { RunWhenIdle(std::move(work)); };
  sniffRelay_->rows = [this] { return wall_.Rows(); };
  sniffRelay_->cols = [this] { return wall_.Cols(); };
  // The bytes are not looked at: each chunk is only a knock on the door.
  ports_.Port(TPortId::Sniff).OnReceiveData = [this](TComm*, const char*, quint16) {
    sniffRelay_->DataReceived();
  };
}

void TQuvialForm::LoadSniffSettings() {
  if (!ini_ || !sniffRelay_) return;
  TSniffSettings settings;
  settings.signalType = ini_->ReadSignalType();
  settings.chooseMatrix = ini_->ReadChooseMatrix() == 1;
  settings.channelList = ini_->ReadChannelList();
  sniffRelay_->SetSettings(settings);
}
