#include "app/port_set.h"

namespace {
constexpr std::array<TPortId, TPortSet::kCount> kOrder{TPortId::Combine,   TPortId::Matrix,
                                                       TPortId::VGAMatrix, TPortId::DVIMatrix,
                                                       TPortId::DVR,       TPortId::Sniff};

// Every port of the main window starts from the same line setting: DTR and
// RTS off and no flow control.
void SetMainWindowDefaults(TComm& port) {
  port.SetCommName(QStringLiteral("COM2"));
  port.SetBaudRate(9600);
  port.SetDtrControl(TDtrControl::DtrDisable);
  port.SetRtsControl(TRtsControl::RtsDisable);
  port.SetOutx_XonXoffFlow(false);
  port.SetInx_XonXoffFlow(false);
}
}  // namespace

TPortSet::TPortSet() {
  for (TPortId id : kOrder) {
    auto& port = ports_[Index(id)];
    port = std::make_unique<TComm>();
    SetMainWindowDefaults(*port);
    port->OnRequestHangup = [this, id](TComm*) { LineLost(id); };
  }
}

void TPortSet::LineLost(TPortId id) {
  TComm& port = Port(id);
  if (!port.IsOpen()) return;
  // Closed inside its own notification: TComm drops the rest of the batch.
  port.StopComm();
  SetEnabled(id, false);
  lost_[Index(id)] = true;
  if (onLineLost) onLineLost(id);
}

bool TPortSet::AnyToggledPortOpen() const {
  for (TPortId id : kOrder)
    if (id != TPortId::Sniff && Port(id).IsOpen()) return true;
  return false;
}

bool TPortSet::ApplySettings(TComm& port, const TPortSettings& s) {
  bool ok = false;
  const int baud = s.bps.trimmed().toInt(&ok);
  // A negative rate would wrap to a huge unsigned one; 0 is no rate at all.
  if (!ok || baud <= 0) return false;
  port.SetCommName(s.name);
  port.SetBaudRate(baud);
  const QString data = s.dataBit.trimmed();
  if (data == u"8")
    port.SetByteSize(TByteSize::_8);
  else if (data == u"7")
    port.SetByteSize(TByteSize::_7);
  else if (data == u"6")
    port.SetByteSize(TByteSize::_6);
  else if (data == u"5")
    port.SetByteSize(TByteSize::_5);
  const QString stop = s.stopBit.trimmed();
  if (stop == u"1")
    port.SetStopBits(TStopBits::_1);
  else if (stop == u"1.5")
    port.SetStopBits(TStopBits::_1_5);
  else if (stop == u"2")
    port.SetStopBits(TStopBits::_2);
  switch (s.check) {
    case 0:
      port.SetParity(TParity::None);
      break;
    case 1:
      port.SetParity(TParity::Odd);
      break;
    case 2:
      port.SetParity(TParity::Even);
      break;
    default:
      break;  // values written by hand only: keep the current parity
  }
  port.SetParityCheck(s.check != 0);
  return true;
}

TPortSet::TOpenResult TPortSet::OpenFromConfiguration(const TIniParamsOp& ini) {
  for (auto& port : ports_) port->StopComm();
  lost_.fill(false);
  TOpenResult result;
  for (TPortId id : kOrder) {
    const TPortSettings s = ini.ReadPort(id);
    const bool on = id == TPortId::Combine ? s.checked > 0 : s.checked != 0;
    SetEnabled(id, on);
    if (!on) continue;
    TComm& port = Port(id);
    bool opened = ApplySettings(port, s);
    if (opened) {
      try {
        port.StartComm();
      } catch (const ECommsError&) {
        opened = false;
      }
    }
    if (!opened) {
      SetEnabled(id, false);
      return result;
    }
    result.anyOpened = true;
  }
  result.completed = true;
  return result;
}

void TPortSet::CloseEnabled() {
  for (TPortId id : kOrder)
    if (Enabled(id)) Port(id).StopComm();
}

std::vector<TPortSet::TPortFailure> TPortSet::OpenForToggle() {
  std::vector<TPortFailure> failures;
  for (TPortId id : kOrder) {
    const bool lost = Lost(id);
    if (!lost && (id == TPortId::Sniff || !Enabled(id))) continue;
    TComm& port = Port(id);
    if (port.IsOpen()) continue;
    try {
      port.StartComm();
      SetEnabled(id, true);
      lost_[Index(id)] = false;
    } catch (const ECommsError&) {
      SetEnabled(id, false);
      failures.push_back({id, port.CommName()});
    }
  }
  return failures;
}

void TPortSet::CloseForToggle() {
  for (TPortId id : kOrder)
    if (id != TPortId::Sniff && Enabled(id)) Port(id).StopComm();
}
