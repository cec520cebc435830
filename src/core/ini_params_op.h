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
// agree. Writes that fail (read-only directory, full disk) are silent: the
// program runs on with the value its caller holds.
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
  void WritePortChecked(TPortId port, int value);
  void WritePortName(TPortId port, const QString& value);
  void WritePortBPS(TPortId port, const QString& value);
  void WritePortDataBit(TPortId port, const QString& value);
  void WritePortStopBit(TPortId port, const QString& value);
  void WritePortCheck(TPortId port, int value);

  int ReadSignalType() const;
  void WriteSignalType(int value);
  int ReadChooseMatrix() const;
  void WriteChooseMatrix(int value);
  int ReadChannelList() const;
  void WriteChannelList(int value);
  int ReadCmdLen() const;
  void WriteCmdLen(int value);
  QString ReadCaption() const;
  QString ReadHomePage() const;
  QString ReadVersion() const;
  int ReadMACID() const;
  void WriteMACID(int value);
  int ReadLang() const;
  QString ReadLangText() const;
  void WriteLang(int value);

  int ReadVideoId() const;
  void WriteVideoId(int value);
  int ReadVgaId() const;
  void WriteVgaId(int value);
  int ReadDviId() const;
  void WriteDviId(int value);
  int ReadVideoIndex() const;
  void WriteVideoIndex(int value);
  int ReadVgaIndex() const;
  void WriteVgaIndex(int value);
  int ReadDviIndex() const;
  void WriteDviIndex(int value);
  int ReadMixerIndex() const;
  void WriteMixerIndex(int value);
  int ReadMChoosed() const;
  void WriteMChoosed(int value);
  int ReadMDelayValue() const;
  void WriteMDelayValue(int value);
  int ReadDvrId() const;
  void WriteDvrId(int value);
  int ReadDvrIndex() const;
  void WriteDvrIndex(int value);
  int ReadDvrChoosed() const;
  void WriteDvrChoosed(int value);
  int ReadDvrDelayValue() const;
  void WriteDvrDelayValue(int value);

  int ReadRow() const;
  void WriteRow(int value);
  int ReadCol() const;
  void WriteCol(int value);

  // Device type names, n = 1..13; each position has its own default name.
  // Other positions read as empty and are not written.
  QString ReadTvType(int n) const;
  void WriteTvType(int n, const QString& name);
  static QString DefaultTvType(int n);

  // Grouped access; writes store their keys in the order named, all in one
  // rewrite of the file.
  void ReadWallSize(int& row, int& col) const;
  void WriteWallSize(int row, int col);  // row, col
  void ReadMatrixAddresses(int& video, int& vga, int& dvi) const;
  void WriteMatrixAddresses(int video, int vga, int dvi);  // vgaid, videoid, dviid
  void ReadMatrixBrands(int& video, int& vga, int& dvi, int& mixer) const;
  void WriteMatrixBrands(int video, int vga, int dvi,
                         int mixer);  // vgaindex, videoindex, dviindex, mixerindex
  void ReadMatrixDelay(int& choosed, int& value) const;
  void WriteMatrixDelay(int choosed, int value);  // mchoosed, mdelayvalue
  void ReadDvrDelay(int& choosed, int& value) const;
  void WriteDvrDelay(int choosed, int value);  // dvrchoosed, dvrdelayvalue

  // Runs writes (calls of the writers above on this object) and stores all
  // they write in one rewrite of the file, in the order written; a key
  // written twice keeps its first place and takes its last value. Reads
  // inside see the file as it was before.
  void WriteGroup(const std::function<void()>& writes);

  // For keys without a typed accessor.
  TProfileFile& File();

 private:
  int ReadInt(const QString& key, int def) const;
  QString ReadText(const QString& key, const QString& def) const;
  void WriteInt(const QString& key, int value);
  void WriteText(const QString& key, const QString& value);
  void WriteInts(std::initializer_list<std::pair<QString, int>> entries);  // one rewrite

  TProfileFile file_;
  std::optional<TProfileFile::TEntries> group_;  // gathering while WriteGroup runs
};
