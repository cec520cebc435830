#pragma once

#include <QByteArray>
#include <functional>

// A notification from a port's reader or writer thread on its way to the
// thread that owns the port. A data event owns its bytes.
struct TCommEvent {
  enum class TKind { ReceiveData, ReceiveError, ModemStateChange, RequestHangup, SendDataEmpty };

  TKind kind = TKind::ReceiveData;
  QByteArray data;
  quint32 flags = 0;
};

// Called on the port threads; must be thread-safe and must not block for long.
using TCommEventSink = std::function<void(TCommEvent&&)>;
