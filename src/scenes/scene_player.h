#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <utility>
#include <vector>

#include "scenes/scene.h"
#include "scenes/scene_item.h"

class Pauser;
class TSceneRecorder;
class TSendPath;
class TWallCommands;
class TWallModel;

// Replays a recorded scene on the wall grid and the ports: first the wall
// size it was recorded on, then every item in order (combine, dissolve,
// splicer command, pause, matrix command, switcher command; other kinds are
// skipped). Every send goes through the normal send path, so it is paced,
// traced and, while a scene is being recorded, recorded again.
//
// Items are read within their own 52 bytes whatever their fields say: a
// data count beyond the 27-byte data area reads the area and no more, a
// rectangle outside the wall marks only the cells inside it. Matrix
// commands recorded in pieces are sent whole, to the matrix they were
// recorded for; unmarked items (older files) go to the current matrix.
class TScenePlayer {
 public:
  // The longest pause an item can ask for: what fits the Pauser's int.
  static constexpr qint64 kMaxPauseMs = 2147483647;

  TScenePlayer(TSendPath& send, TWallCommands& commands, TWallModel& wall, Pauser& pauser);

  // The scene store while recording (the send path's recorder); nullptr = off.
  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }

  // Sets the row and column lists and applies the size without saving it;
  // unset, the wall model is laid out and its colour counter restarted.
  std::function<void(int rows, int cols)> applyWallSize;
  // Sends one whole matrix command to the matrix of that kind (0 VIDEO,
  // 1 VGA, 2 DVI); unset = matrix commands are skipped.
  std::function<void(const QByteArray& bytes, quint8 matrixKind)> sendMatrixBytes;
  // The current matrix kind, for unmarked items; unset = 0 (VIDEO).
  std::function<quint8()> currentMatrixKind;
  // Before each item with done (0-based) and total, and once with done ==
  // total at the end.
  std::function<void(int done, int total)> progress;

  // Plays the store's current scene. The items are copied first: a scene
  // being recorded may grow or be restarted while it plays.
  void Play(const TScene& scenes);
  void Play(const TScene::HeaderBytes& header, const std::vector<TSceneItem>& items);

  // The wall size a scene plays on: as recorded when it holds items and a
  // recorded size (each held to 1..30), otherwise 2 x 2.
  static std::pair<int, int> WallSize(const TScene::HeaderBytes& header, std::size_t itemCount);

 private:
  void ApplyWallSize(int rows, int cols);
  void Combine(const TSceneItem& item);
  void Dissolve(const TSceneItem& item);
  void SendCommand(const TSceneItem& item);
  void Pause(const TSceneItem& item);
  void SendMatrix(const QByteArray& bytes, quint8 kind);
  void SendSwitcher(const TSceneItem& item);
  void Progress(int done, int total);
  bool Recording() const;

  TSendPath& send_;
  TWallCommands& commands_;
  TWallModel& wall_;
  Pauser& pauser_;
  TSceneRecorder* recorder_ = nullptr;
};
