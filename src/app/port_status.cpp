#include "app/port_status.h"

#include "core/bilingual.h"

namespace {

struct PortTexts {
  const char16_t* labelChs;
  const char16_t* labelEng;
  // English word for a connected port without a device name; two ports have
  // their own spelling.
  const char16_t* unnamedEng;
  const char16_t* openChs;
  const char16_t* openEng;
  const char16_t* closeChs;
  const char16_t* closeEng;
};

// Indexed by TPortId.
constexpr PortTexts kPorts[6] = {
    {u"拼接串口", u"Combine Port", u"DisConnect", u"打开拼接串口 ", u"Open Combine COM ",
     u"关闭拼接串口 ", u"Close combine COM "},
    {u" VIDEO矩阵串口", u" VIDEO Matrix Port", u"DisConnnect", u"打开VIDEO矩阵串口 ",
     u"Open VIDEO Matrix COM ", u"关闭VIDEO矩阵串口 ", u"Close VIDEO Matrix COM "},
    {u" VGA矩阵串口", u" VGA Matrix Port", u"DisConnnect", u"打开VGA矩阵串口 ",
     u"Open VGA Matrix COM ", u"关闭VGA矩阵串口 ", u"Close VGA Matrix COM "},
    {u" DVI矩阵串口", u" DVI Matrix Port", u"DisConnnect", u"打开DVI矩阵串口 ",
     u"Open DVI Matrix COM ", u"关闭DVI矩阵串口 ", u"Close DVI Matrix COM "},
    {u" DVR串口", u" DVR Port", u"DisConnnect", u"打开DVR串口 ", u"Open DVR COM ", u"关闭DVR串口 ",
     u"Close DVR COM "},
    {u" 侦听串口", u" Sniff Port", u"DisConnect", u"打开侦听串口 ", u"Open Sniff COM ", nullptr,
     nullptr},
};

QString Str(const char16_t* s) { return s ? QString::fromUtf16(s) : QString(); }

}  // namespace

QString PortStatusText(bool connected, bool chinese, const TPortLines& ports) {
  QString text;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const TPortLine& port = ports[i];
    if (!port.enabled && !port.lost) continue;
    const bool named = !port.name.isEmpty();
    if (!connected && !named) continue;
    const PortTexts& t = kPorts[i];
    QString word;
    if (port.lost)
      word = chinese ? QStringLiteral("断开") : QStringLiteral("DisConnect");
    else if (connected && named && port.stalled)
      word = chinese ? QStringLiteral("无响应") : QStringLiteral("Not Responding");
    else if (connected && named)
      word = chinese ? QStringLiteral("连接") : QStringLiteral("Connect");
    else if (chinese)
      word = QStringLiteral("断开");
    else
      word = connected ? Str(t.unnamedEng) : QStringLiteral("DisConnect");
    text += Str(chinese ? t.labelChs : t.labelEng) + port.name + word;
  }
  return text;
}

QString CellTableStatusText(int rows, int cols, const std::vector<bool>& registered) {
  QString text;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const std::size_t index = static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                                static_cast<std::size_t>(c);
      const bool on = index < registered.size() && registered[index];
      text += QStringLiteral("[%1-%2]").arg(r).arg(c) +
              (on ? QStringLiteral("连接 ") : QStringLiteral("未连接 "));
    }
  }
  return text;
}

QString ToggleFailureMessage(TToggleAction action, TPortId port, const QString& name,
                             bool chinese) {
  const PortTexts& t = kPorts[static_cast<int>(port)];
  const char16_t* prefix = action == TToggleAction::Open ? (chinese ? t.openChs : t.openEng)
                                                         : (chinese ? t.closeChs : t.closeEng);
  if (!prefix) return {};
  return Str(prefix) + name + (chinese ? QStringLiteral(" 失败") : QStringLiteral(" Error"));
}

QString LineLostMessage(TPortId port, const QString& name, bool chinese) {
  const PortTexts& t = kPorts[static_cast<int>(port)];
  const QString label = Str(chinese ? t.labelChs : t.labelEng).trimmed();
  return Bilingual(chinese, u"%1 %2 已断开，操作已停止：已发送的命令不受影响，其余命令不再发送。",
                   u"%1 %2 was disconnected. The action was stopped: what was sent stays "
                   u"sent, nothing more is sent.")
      .arg(label, name);
}

QString LineStalledMessage(TPortId port, const QString& name, bool chinese) {
  const PortTexts& t = kPorts[static_cast<int>(port)];
  const QString label = Str(chinese ? t.labelChs : t.labelEng).trimmed();
  return Bilingual(chinese,
                   u"%1 %2 的设备不接收数据，操作已停止：已发送的命令不受影响，其余命令不再发送。",
                   u"The device on %1 %2 is not taking data. The action was stopped: what was "
                   u"sent stays sent, nothing more is sent.")
      .arg(label, name);
}

QString LineStalledNote(TPortId port, const QString& name, bool stalled, bool chinese) {
  const PortTexts& t = kPorts[static_cast<int>(port)];
  const QString label = Str(chinese ? t.labelChs : t.labelEng).trimmed();
  if (stalled)
    return Bilingual(chinese, u"%1 %2 的设备不接收数据，发往它的命令被丢弃。",
                     u"The device on %1 %2 is not taking data; commands for it are dropped.")
        .arg(label, name);
  return Bilingual(chinese, u"%1 %2 的设备恢复接收数据。", u"The device on %1 %2 takes data again.")
      .arg(label, name);
}

QString GatewayFailedMessage(bool networkOnly, bool chinese) {
  if (networkOnly)
    return Bilingual(chinese,
                     u"经网络网关发送失败，操作已停止：已发送的命令不受影响，其余命令不再发送。",
                     u"Sending through the network gateway failed. The action was stopped: what "
                     u"was sent stays sent, nothing more is sent.");
  return Bilingual(chinese, u"经网络网关发送失败：本次操作的其余命令只经串口发送。",
                   u"Sending through the network gateway failed: the rest of this action goes by "
                   u"the serial line only.");
}

QString AccessLevelText(int level, bool chinese) {
  switch (level) {
    case 1:
      return chinese ? QStringLiteral("管理员") : QStringLiteral("Manager");
    case 2:
      return chinese ? QStringLiteral("普通操作员") : QStringLiteral("Operator");
    case 3:
      return chinese ? QStringLiteral("超级管理员") : QStringLiteral("Super Manager");
    default:
      return {};
  }
}

bool LevelOpensSetup(int level) { return level == 1 || level == 3; }
