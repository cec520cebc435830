#include "core/ini_params_op.h"

#include <array>
#include <utility>

#include "core/program_dir.h"

namespace {

const QString kSection = QStringLiteral("COM");

struct PortKeys {
  QString checked, name, bpsRead, bpsWrite, dataBit, stopBit, check;
};

// The matrix baud keys are read in upper case and written in mixed case by
// the existing installations; both spellings reach one entry because keys
// match without regard to case.
const PortKeys& KeysOf(TPortId port) {
  static const std::array<PortKeys, 6> keys = {{
      {QStringLiteral("CombineCOMPortChecked"), QStringLiteral("COMPort"), QStringLiteral("BPS"),
       QStringLiteral("BPS"), QStringLiteral("DataBit"), QStringLiteral("StopBit"),
       QStringLiteral("Check")},
      {QStringLiteral("MatrixCOMPortChecked"), QStringLiteral("MatrixCOMPort"),
       QStringLiteral("MATRIXBPS"), QStringLiteral("MatrixBPS"), QStringLiteral("MatrixDataBit"),
       QStringLiteral("MatrixStopBit"), QStringLiteral("MatrixCheck")},
      {QStringLiteral("VGAMatrixCOMPortChecked"), QStringLiteral("VGAMatrixCOMPort"),
       QStringLiteral("VGAMATRIXBPS"), QStringLiteral("VGAMatrixBPS"),
       QStringLiteral("VGAMatrixDataBit"), QStringLiteral("VGAMatrixStopBit"),
       QStringLiteral("VGAMatrixCheck")},
      {QStringLiteral("DVIMatrixCOMPortChecked"), QStringLiteral("DVIMatrixCOMPort"),
       QStringLiteral("DVIMATRIXBPS"), QStringLiteral("DVIMatrixBPS"),
       QStringLiteral("DVIMatrixDataBit"), QStringLiteral("DVIMatrixStopBit"),
       QStringLiteral("DVIMatrixCheck")},
      {QStringLiteral("DVRCOMPortChecked"), QStringLiteral("DVRCOMPort"), QStringLiteral("DVRBPS"),
       QStringLiteral("DVRBPS"), QStringLiteral("DVRDataBit"), QStringLiteral("DVRStopBit"),
       QStringLiteral("DVRCheck")},
      {QStringLiteral("SniffCOMPortChecked"), QStringLiteral("SniffCOMPort"),
       QStringLiteral("SniffBPS"), QStringLiteral("SniffBPS"), QStringLiteral("SniffDataBit"),
       QStringLiteral("SniffStopBit"), QStringLiteral("SniffCheck")},
  }};
  return keys[static_cast<size_t>(port)];
}

}  // namespace

TIniParamsOp::TIniParamsOp(QString path) : file_(std::move(path)) {}

QString TIniParamsOp::DefaultPath() { return ProgramFile(QStringLiteral("Quvial.ini")); }

bool TIniParamsOp::Exists() const { return file_.Exists(); }

TProfileFile& TIniParamsOp::File() { return file_; }

int TIniParamsOp::ReadInt(const QString& key, int def) const {
  return file_.ReadInteger(kSection, key, def);
}
QString TIniParamsOp::ReadText(const QString& key, const QString& def) const {
  return file_.ReadString(kSection, key, def);
}
bool TIniParamsOp::WriteInt(const QString& key, int value) {
  return WriteText(key, QString::number(value));
}
bool TIniParamsOp::WriteText(const QString& key, const QString& value) {
  if (!group_) return file_.WriteString(kSection, key, value);
  group_->append({key, value});
  return true;
}
bool TIniParamsOp::WriteInts(std::initializer_list<std::pair<QString, int>> entries) {
  return WriteGroup([this, entries] {
    for (const auto& [key, value] : entries) WriteInt(key, value);
  });
}

bool TIniParamsOp::WriteGroup(const std::function<void()>& writes) {
  if (group_) {  // inside another group: joins its rewrite
    writes();
    return true;
  }
  group_.emplace();
  // Should writes throw, nothing is stored and later writes go to the file again.
  struct TEnd {
    std::optional<TProfileFile::TEntries>& group;
    ~TEnd() { group.reset(); }
  } end{group_};
  writes();
  return group_->isEmpty() || file_.WriteStrings(kSection, *group_);
}

// Ports.
int TIniParamsOp::ReadPortChecked(TPortId port) const { return ReadInt(KeysOf(port).checked, 0); }
QString TIniParamsOp::ReadPortName(TPortId port) const {
  return ReadText(KeysOf(port).name, QString());
}
QString TIniParamsOp::ReadPortBPS(TPortId port) const {
  return ReadText(KeysOf(port).bpsRead, QStringLiteral("9600"));
}
QString TIniParamsOp::ReadPortDataBit(TPortId port) const {
  return ReadText(KeysOf(port).dataBit, QStringLiteral("8"));
}
QString TIniParamsOp::ReadPortStopBit(TPortId port) const {
  return ReadText(KeysOf(port).stopBit, QStringLiteral("1"));
}
int TIniParamsOp::ReadPortCheck(TPortId port) const { return ReadInt(KeysOf(port).check, 0); }

TPortSettings TIniParamsOp::ReadPort(TPortId port) const {
  TPortSettings s;
  s.checked = ReadPortChecked(port);
  s.name = ReadPortName(port);
  s.bps = ReadPortBPS(port);
  s.dataBit = ReadPortDataBit(port);
  s.stopBit = ReadPortStopBit(port);
  s.check = ReadPortCheck(port);
  return s;
}

bool TIniParamsOp::WritePortChecked(TPortId port, int value) {
  return WriteInt(KeysOf(port).checked, value);
}
bool TIniParamsOp::WritePortName(TPortId port, const QString& value) {
  return WriteText(KeysOf(port).name, value);
}
bool TIniParamsOp::WritePortBPS(TPortId port, const QString& value) {
  return WriteText(KeysOf(port).bpsWrite, value);
}
bool TIniParamsOp::WritePortDataBit(TPortId port, const QString& value) {
  return WriteText(KeysOf(port).dataBit, value);
}
bool TIniParamsOp::WritePortStopBit(TPortId port, const QString& value) {
  return WriteText(KeysOf(port).stopBit, value);
}
bool TIniParamsOp::WritePortCheck(TPortId port, int value) {
  return WriteInt(KeysOf(port).check, value);
}

// Listening relay, frame mode and identity.
int TIniParamsOp::ReadSignalType() const { return ReadInt(QStringLiteral("SignalType"), 0); }
bool TIniParamsOp::WriteSignalType(int value) {
  return WriteInt(QStringLiteral("SignalType"), value);
}
int TIniParamsOp::ReadChooseMatrix() const { return ReadInt(QStringLiteral("ChooseMatrix"), 0); }
bool TIniParamsOp::WriteChooseMatrix(int value) {
  return WriteInt(QStringLiteral("ChooseMatrix"), value);
}
int TIniParamsOp::ReadChannelList() const { return ReadInt(QStringLiteral("ChannelList"), 0); }
bool TIniParamsOp::WriteChannelList(int value) {
  return WriteInt(QStringLiteral("ChannelList"), value);
}
int TIniParamsOp::ReadCmdLen() const { return ReadInt(QStringLiteral("CmdLen"), 1); }
bool TIniParamsOp::WriteCmdLen(int value) { return WriteInt(QStringLiteral("CmdLen"), value); }
QString TIniParamsOp::ReadCaption() const {
  return ReadText(QStringLiteral("Caption"), QStringLiteral(u"大屏拼接控制系统"));
}
QString TIniParamsOp::ReadHomePage() const {
  return ReadText(QStringLiteral("HomePage"), QStringLiteral("http://www.quvial.com"));
}
QString TIniParamsOp::ReadVersion() const { return ReadText(QStringLiteral("version"), QString()); }
int TIniParamsOp::ReadMACID() const { return ReadInt(QStringLiteral("MACID"), 0); }
bool TIniParamsOp::WriteMACID(int value) { return WriteInt(QStringLiteral("MACID"), value); }
int TIniParamsOp::ReadLang() const { return ReadInt(QStringLiteral("LANG"), 1); }
QString TIniParamsOp::ReadLangText() const {
  return ReadText(QStringLiteral("LANG"), QStringLiteral("1"));
}
bool TIniParamsOp::WriteLang(int value) { return WriteInt(QStringLiteral("LANG"), value); }

// Matrix and DVR linkage.
int TIniParamsOp::ReadVideoId() const { return ReadInt(QStringLiteral("videoid"), 1); }
bool TIniParamsOp::WriteVideoId(int value) { return WriteInt(QStringLiteral("videoid"), value); }
int TIniParamsOp::ReadVgaId() const { return ReadInt(QStringLiteral("vgaid"), 1); }
bool TIniParamsOp::WriteVgaId(int value) { return WriteInt(QStringLiteral("vgaid"), value); }
int TIniParamsOp::ReadDviId() const { return ReadInt(QStringLiteral("dviid"), 1); }
bool TIniParamsOp::WriteDviId(int value) { return WriteInt(QStringLiteral("dviid"), value); }
int TIniParamsOp::ReadVideoIndex() const { return ReadInt(QStringLiteral("videoindex"), 0); }
bool TIniParamsOp::WriteVideoIndex(int value) {
  return WriteInt(QStringLiteral("videoindex"), value);
}
int TIniParamsOp::ReadVgaIndex() const { return ReadInt(QStringLiteral("vgaindex"), 0); }
bool TIniParamsOp::WriteVgaIndex(int value) { return WriteInt(QStringLiteral("vgaindex"), value); }
int TIniParamsOp::ReadDviIndex() const { return ReadInt(QStringLiteral("dviindex"), 0); }
bool TIniParamsOp::WriteDviIndex(int value) { return WriteInt(QStringLiteral("dviindex"), value); }
int TIniParamsOp::ReadMixerIndex() const { return ReadInt(QStringLiteral("mixerindex"), 0); }
bool TIniParamsOp::WriteMixerIndex(int value) {
  return WriteInt(QStringLiteral("mixerindex"), value);
}
int TIniParamsOp::ReadMChoosed() const { return ReadInt(QStringLiteral("mchoosed"), 1); }
bool TIniParamsOp::WriteMChoosed(int value) { return WriteInt(QStringLiteral("mchoosed"), value); }
int TIniParamsOp::ReadMDelayValue() const { return ReadInt(QStringLiteral("mdelayvalue"), 50); }
bool TIniParamsOp::WriteMDelayValue(int value) {
  return WriteInt(QStringLiteral("mdelayvalue"), value);
}
int TIniParamsOp::ReadDvrId() const { return ReadInt(QStringLiteral("dvrid"), 1); }
bool TIniParamsOp::WriteDvrId(int value) { return WriteInt(QStringLiteral("dvrid"), value); }
int TIniParamsOp::ReadDvrIndex() const { return ReadInt(QStringLiteral("dvrindex"), 0); }
bool TIniParamsOp::WriteDvrIndex(int value) { return WriteInt(QStringLiteral("dvrindex"), value); }
int TIniParamsOp::ReadDvrChoosed() const { return ReadInt(QStringLiteral("dvrchoosed"), 1); }
bool TIniParamsOp::WriteDvrChoosed(int value) {
  return WriteInt(QStringLiteral("dvrchoosed"), value);
}
int TIniParamsOp::ReadDvrDelayValue() const { return ReadInt(QStringLiteral("dvrdelayvalue"), 50); }
bool TIniParamsOp::WriteDvrDelayValue(int value) {
  return WriteInt(QStringLiteral("dvrdelayvalue"), value);
}

// Wall and device types.
int TIniParamsOp::ReadRow() const { return ReadInt(QStringLiteral("row"), 2); }
bool TIniParamsOp::WriteRow(int value) { return WriteInt(QStringLiteral("row"), value); }
int TIniParamsOp::ReadCol() const { return ReadInt(QStringLiteral("col"), 2); }
bool TIniParamsOp::WriteCol(int value) { return WriteInt(QStringLiteral("col"), value); }

QString TIniParamsOp::DefaultTvType(int n) {
  static const std::array<QString, 13> names = {
      QStringLiteral("QN-51"), QStringLiteral("QN-46/45"), QStringLiteral("QN-22"),
      QStringLiteral("QN-K8"), QStringLiteral("QN-HV6"),   QStringLiteral("TR-5000"),
      QStringLiteral("PL-39"), QStringLiteral("QN-23"),    QStringLiteral("QN-HV8"),
      QStringLiteral("QN-24"), QStringLiteral("QN-T1"),    QStringLiteral("QN-44"),
      QStringLiteral("QN-51N")};
  if (n < 1 || n > static_cast<int>(names.size())) return {};
  return names[static_cast<size_t>(n - 1)];
}

QString TIniParamsOp::ReadTvType(int n) const {
  if (n < 1 || n > 13) return {};
  return ReadText(QStringLiteral("tvtype%1").arg(n), DefaultTvType(n));
}

bool TIniParamsOp::WriteTvType(int n, const QString& name) {
  if (n < 1 || n > 13) return false;
  return WriteText(QStringLiteral("tvtype%1").arg(n), name);
}

// Grouped access.
void TIniParamsOp::ReadWallSize(int& row, int& col) const {
  row = ReadRow();
  col = ReadCol();
}
bool TIniParamsOp::WriteWallSize(int row, int col) {
  return WriteInts({{QStringLiteral("row"), row}, {QStringLiteral("col"), col}});
}
void TIniParamsOp::ReadMatrixAddresses(int& video, int& vga, int& dvi) const {
  video = ReadVideoId();
  vga = ReadVgaId();
  dvi = ReadDviId();
}
bool TIniParamsOp::WriteMatrixAddresses(int video, int vga, int dvi) {
  return WriteInts({{QStringLiteral("vgaid"), vga},
                    {QStringLiteral("videoid"), video},
                    {QStringLiteral("dviid"), dvi}});
}
void TIniParamsOp::ReadMatrixBrands(int& video, int& vga, int& dvi, int& mixer) const {
  video = ReadVideoIndex();
  vga = ReadVgaIndex();
  dvi = ReadDviIndex();
  mixer = ReadMixerIndex();
}
bool TIniParamsOp::WriteMatrixBrands(int video, int vga, int dvi, int mixer) {
  return WriteInts({{QStringLiteral("vgaindex"), vga},
                    {QStringLiteral("videoindex"), video},
                    {QStringLiteral("dviindex"), dvi},
                    {QStringLiteral("mixerindex"), mixer}});
}
void TIniParamsOp::ReadMatrixDelay(int& choosed, int& value) const {
  choosed = ReadMChoosed();
  value = ReadMDelayValue();
}
bool TIniParamsOp::WriteMatrixDelay(int choosed, int value) {
  return WriteInts({{QStringLiteral("mchoosed"), choosed}, {QStringLiteral("mdelayvalue"), value}});
}
void TIniParamsOp::ReadDvrDelay(int& choosed, int& value) const {
  choosed = ReadDvrChoosed();
  value = ReadDvrDelayValue();
}
bool TIniParamsOp::WriteDvrDelay(int choosed, int value) {
  return WriteInts(
      {{QStringLiteral("dvrchoosed"), choosed}, {QStringLiteral("dvrdelayvalue"), value}});
}
