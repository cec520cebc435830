#include "setup/port_setup.h"

#include "core/bilingual.h"

namespace PortSetup {

namespace {

constexpr TPortId kAllPorts[] = {TPortId::Combine,   TPortId::Matrix, TPortId::VGAMatrix,
                                 TPortId::DVIMatrix, TPortId::DVR,    TPortId::Sniff};

// The splicer and DVR lines start with their data and stop bits unchosen.
bool StartsUnchosen(TPortId id) { return id == TPortId::Combine || id == TPortId::DVR; }

bool SamePort(const TPortChoice& a, const TPortChoice& b) {
  return a.used && b.used && !a.name.isEmpty() && a.name == b.name;
}

}  // namespace

QStringList BaudRates(TPortId id) {
  QStringList rates{QStringLiteral("115200"), QStringLiteral("57600"), QStringLiteral("38400"),
                    QStringLiteral("28800"),  QStringLiteral("19200"), QStringLiteral("14400"),
                    QStringLiteral("9600"),   QStringLiteral("4800"),  QStringLiteral("2400"),
                    QStringLiteral("1200")};
  if (id == TPortId::DVIMatrix || id == TPortId::Sniff) rates.append(QStringLiteral("600"));
  return rates;
}

QStringList DataBits() {
  return {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
}

QStringList StopBits() { return {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}; }

QStringList ParityTexts(bool chinese) {
  return {Bilingual(chinese, u"无检验", u"No Check"), Bilingual(chinese, u"奇检验", u"Odd Check"),
          Bilingual(chinese, u"偶检验", u"Even Check")};
}

QStringList SignalTypes() {
  return {QStringLiteral("Video 1"), QStringLiteral("Video 2"), QStringLiteral("VGA"),
          QStringLiteral("DVI"),     QStringLiteral("HDMI"),    QStringLiteral("LC")};
}

QStringList FrameLengths() { return {QStringLiteral("7"), QStringLiteral("9")}; }

QString DefaultBaud(TPortId id) { return id == TPortId::DVR ? QString() : QStringLiteral("9600"); }

QString DefaultDataBit(TPortId id) { return StartsUnchosen(id) ? QString() : QStringLiteral("8"); }

QString DefaultStopBit(TPortId id) { return StartsUnchosen(id) ? QString() : QStringLiteral("1"); }

TPortSetupValues Read(const TIniParamsOp& ini) {
  TPortSetupValues values;
  for (const TPortId id : kAllPorts) {
    const TPortSettings stored = ini.ReadPort(id);
    TPortChoice& line = values.Port(id);
    line.used = stored.checked > 0;
    line.name = stored.name;
    line.bps = stored.bps;
    line.dataBit = stored.dataBit;
    line.stopBit = stored.stopBit;
    line.check = stored.check;
  }
  values.signalType = ini.ReadSignalType();
  values.chooseMatrix = ini.ReadChooseMatrix() == 1;
  values.channelList = ini.ReadChannelList();
  values.cmdLen = ini.ReadCmdLen();
  return values;
}

std::optional<TPortConflict> FindConflict(const TPortSetupValues& v) {
  const TPortChoice& combine = v.Port(TPortId::Combine);
  const TPortChoice& video = v.Port(TPortId::Matrix);
  const TPortChoice& dvr = v.Port(TPortId::DVR);
  if (SamePort(combine, video)) return TPortConflict::CombineVideo;
  if (SamePort(combine, dvr)) return TPortConflict::CombineDVR;
  if (SamePort(video, dvr)) return TPortConflict::VideoDVR;
  return std::nullopt;
}

QString ConflictMessage(TPortConflict conflict, bool chinese) {
  switch (conflict) {
    case TPortConflict::CombineVideo:
      return Bilingual(chinese, u"拼接串口和VIDEO矩阵串口不能使用同一个",
                       u"The combine port and the VIDEO matrix port cannot be the same");
    case TPortConflict::CombineDVR:
      return Bilingual(chinese, u"拼接串口和DVR串口不能使用同一个",
                       u"The combine port and the DVR port cannot be the same");
    case TPortConflict::VideoDVR:
      return Bilingual(chinese, u"DVR串口和VIDEO矩阵串口不能使用同一个",
                       u"The DVR port and the VIDEO matrix port cannot be the same");
  }
  return {};
}

bool Write(TIniParamsOp& ini, const TPortSetupValues& values) {
  // One rewrite of the file for the whole dialog, not one per key.
  return ini.WriteGroup([&ini, &values] {
    for (const TPortId id : kAllPorts) {
      const TPortChoice& line = values.Port(id);
      ini.WritePortChecked(id, line.used ? 1 : 0);
      if (!line.used) continue;
      if (!line.name.isEmpty()) ini.WritePortName(id, line.name);
      if (!line.bps.isEmpty()) ini.WritePortBPS(id, line.bps);
      if (!line.dataBit.isEmpty()) ini.WritePortDataBit(id, line.dataBit);
      if (!line.stopBit.isEmpty()) ini.WritePortStopBit(id, line.stopBit);
      if (line.check >= 0) ini.WritePortCheck(id, line.check);
      if (id == TPortId::Sniff) {
        ini.WriteSignalType(values.signalType);
        ini.WriteChooseMatrix(values.chooseMatrix ? 1 : 0);
        if (values.chooseMatrix) ini.WriteChannelList(values.channelList);
      }
    }
    ini.WriteCmdLen(values.cmdLen);
  });
}

}  // namespace PortSetup
