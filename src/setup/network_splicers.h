#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "setup/cell_address_table.h"

class Pauser;
class TNetworkSplicerLink;
class TProtocol;
class TSceneRecorder;

// The network splicer wall (QN-51N) as the console sees it: holds the cell
// address table and runs the two operations on the modules: automatic
// registration ("自动注册", gives every found module the ID of its place)
// and the main window's network search ("网络搜索设备", asks every module for
// its place). One operation at a time: a start while one runs is refused.
// Messages come in the interface language.
class TNetworkSplicers {
 public:
  static constexpr int kFramePause = 50;  // ms after every frame, as on the serial line

  TNetworkSplicers(TNetworkSplicerLink& link, TProtocol& protocol, Pauser& pauser);

  TCellAddressTable& Table() { return table_; }
  const TCellAddressTable& Table() const { return table_; }
  void SetChinese(bool chinese) { chinese_ = chinese; }
  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }  // nullptr = off
  bool Running() const { return running_; }

  // Window seams; unset ones do nothing.
  std::function<void(const QString&)> message;  // a message box
  std::function<void(const QString&)> memo;     // a line of the output log
  std::function<bool()> traceOn;                // write the hex trace of each frame sent
  std::function<QDateTime()> clock;             // unset = the current local time
  std::function<void()> listsFilled;            // registration sets the lists-filled flag
  std::function<void()> clearStatus;            // the search clears the first status panel

  // Probes the modules; when as many answer as the wall has cells, gives
  // them the cells row by row in arrival order: stores each address, sends
  // SetCellId over TCP and marks the cell registered when the frame went
  // out. Returns the number registered, or -1 when refused or nothing was
  // done.
  int Register();
  // Probes the modules; when as many answer as the wall has cells, asks each
  // for its place and stores its address there. Marks nothing. Returns the
  // number of modules located, or -1 when refused or nothing was done.
  int Search();
  // Replies of the last search that were too short or named a cell outside
  // the wall: ignored, and counted here.
  int InvalidReplies() const { return invalidReplies_; }

 private:
  // Probe and compare with the planned count; false after the message.
  bool FoundAsPlanned(QStringList* found);
  bool SendCellId(const QString& address, quint16 newId);
  void Message(const QString& text) const;
  void Memo(const QString& line) const;

  TNetworkSplicerLink& link_;
  TProtocol& protocol_;
  Pauser& pauser_;
  TSceneRecorder* recorder_ = nullptr;
  TCellAddressTable table_;
  bool chinese_ = true;
  bool running_ = false;
  int invalidReplies_ = 0;
};
