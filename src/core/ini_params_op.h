#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

#include "core/profile_file.h"

// The six serial ports the configuration knows, in the order of its tables.
enum class TPortId { Combine, Matrix, VGAMatrix, DVIMatrix, DVR, Sniff };

// The six settings of one port as stored.
struct TPortSettings {
  int checked = 0;
  QString name;
  QString bps = QStringLiteral("9600");
  QString dataBit = QStringLiteral("8");
  QString stopBit = QStringLiteral("1");
  int check = 0;
};

// Typed access to the program's configuration file (Quvial.ini, section
// "COM"): one read with its default and one write per key, each going
// straight to the file, so that several stores over the same file always
// agree. A write that fails (read-only directory, full disk) leaves the file
// as it was and returns false; the program runs on with the value its caller
// holds, and a window that wrote on the operator's behalf can say so. Inside
// WriteGroup the single writes only gather (true); the group's own result
// tells.
class TIniParamsOp {
 public:
  explicit TIniParamsOp(QString path);
  static QString DefaultPath();  // Quvial.ini in the program's directory

  bool Exists() const;

  int ReadPortChecked(TPortId port) const;
  QString ReadPortName(TPortId port) const;
  QString ReadPortBPS(TPortId port) const;
  QString ReadPortDataBit(TPortId port) const;
  QString ReadPortStopBit(TPortId port) const;
  int ReadPortCheck(TPortId port) const;
  TPortSettings ReadPort(TPortId port) const;
  bool WritePortChecked(TPortId port, int value);
  bool WritePortName(TPortId port, const QString& value);
  bool WritePortBPS(TPortId port, const QString& value);
  bool WritePortDataBit(TPortId port, const QString& value);
  bool WritePortStopBit(TPortId port, const QString& value);
  bool WritePortCheck(TPortId port, int value);

  int ReadSignalType() const;
  bool WriteSignalType(int value);
  int ReadChooseMatrix() const;
  bool WriteChooseMatrix(int value);
  int ReadChannelList() const;
  bool WriteChannelList(int value);
  int ReadCmdLen() const;
  bool WriteCmdLen(int value);
  QString ReadCaption() const;
  QString ReadHomePage() const;
  QString ReadVersion() const;
  int ReadMACID() const;
  bool WriteMACID(int value);
  int ReadLang() const;
  QString ReadLangText() const;
  bool WriteLang(int value);

  int ReadVideoId() const;
  bool WriteVideoId(int value);
  int ReadVgaId() const;
  bool WriteVgaId(int value);
  int ReadDviId() const;
  bool WriteDviId(int value);
  int ReadVideoIndex() const;
  bool WriteVideoIndex(int value);
  int ReadVgaIndex() const;
  bool WriteVgaIndex(int value);
  int ReadDviIndex() const;
  bool WriteDviIndex(int value);
  int ReadMixerIndex() const;
  bool WriteMixerIndex(int value);
  int ReadMChoosed() const;
  bool WriteMChoosed(int value);
  int ReadMDelayValue() const;
  bool WriteMDelayValue(int value);
  int ReadDvrId() const;
  bool WriteDvrId(int value);
  int ReadDvrIndex() const;
  bool WriteDvrIndex(int value);
  int ReadDvrChoosed() const;
  bool WriteDvrChoosed(int value);
  int ReadDvrDelayValue() const;
  bool WriteDvrDelayValue(int value);

  int ReadRow() const;
  bool WriteRow(int value);
  int ReadCol() const;
  bool WriteCol(int value);

  // Device type names, n = 1..13; each position has its own default name.
  // Other positions read as empty and are not written.
  QString ReadTvType(int n) const;
  bool WriteTvType(int n, const QString& name);
  static QString DefaultTvType(int n);

  // Grouped access; writes store their keys in the order named, all in one
  // rewrite of the file.
  void ReadWallSize(int& row, int& col) const;
  bool WriteWallSize(int row, int col);  // row, col
  void ReadMatrixAddresses(int& video, int& vga, int& dvi) const;
  bool WriteMatrixAddresses(int video, int vga, int dvi);  // vgaid, videoid, dviid
  void ReadMatrixBrands(int& video, int& vga, int& dvi, int& mixer) const;
  bool WriteMatrixBrands(int video, int vga, int dvi,
                         int mixer);  // vgaindex, videoindex, dviindex, mixerindex
  void ReadMatrixDelay(int& choosed, int& value) const;
  bool WriteMatrixDelay(int choosed, int value);  // mchoosed, mdelayvalue
  void ReadDvrDelay(int& choosed, int& value) const;
  bool WriteDvrDelay(int choosed, int value);  // dvrchoosed, dvrdelayvalue

  // Runs writes (calls of the writers above on this object) and stores all
  // they write in one rewrite of the file, in the order written; a key
  // written twice keeps its first place and takes its last value. Reads
  // inside see the file as it was before.
  bool WriteGroup(const std::function<void()>& writes);

  // For keys without a typed accessor.
  TProfileFile& File();

 private:
  int ReadInt(const QString& key, int def) const;
  QString ReadText(const QString& key, const QString& def) const;
  bool WriteInt(const QString& key, int value);
  bool WriteText(const QString& key, const QString& value);
  bool WriteInts(std::initializer_list<std::pair<QString, int>> entries);  // one rewrite

  TProfileFile file_;
  std::optional<TProfileFile::TEntries> group_;  // gathering while WriteGroup runs
};
