#pragma once

#include <QString>
#include <QtGlobal>

// What the send path needs of the scene store: while a scene is being
// recorded, every frame sent (and every matrix delay waited) becomes a step
// of the scene. The scene store implements it; nullptr means not recording.
class TSceneRecorder {
 public:
  virtual ~TSceneRecorder() = default;
  virtual bool Recording() const = 0;
  // Clears the item being prepared and sets its kind, sub-kind and name (a
  // combine's caption; empty otherwise). The next StoreFrame completes it.
  virtual void PrepareItem(quint8 kind, quint8 subKind, const QString& name) = 0;
  // Completes the item the caller prepared (kind 1 combine, 2 dissolve step,
  // 3 command) with the frame and stores it.
  virtual void StoreFrame(const quint8* bytes, int count) = 0;
  // Stores a fresh item of kind 6 whose value is the byte count.
  virtual void StoreSwitcherFrame(const quint8* bytes, int count) = 0;
  // Stores a fresh delay item (kind 4): sub-kind 1 a matrix delay in ms,
  // sub-kind 2 a delayed power-on step in seconds.
  virtual void StoreDelay(quint8 subKind, int value) = 0;
  // Stores a command sent to an external matrix (kind 5): matrixKind is 0
  // VIDEO, 1 VGA, 2 DVI, or kDvrTarget for a DVR frame, so that playback
  // sends it to the same device.
  virtual void StoreMatrixCommand(const quint8* bytes, int count, quint8 matrixKind) = 0;
  static constexpr quint8 kDvrTarget = 3;
};
