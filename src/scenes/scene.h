#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "link/scene_recorder.h"
#include "scenes/scene_item.h"

// The sixteen scenes, held in memory from the main window's start to its
// close, each kept in a file "scene1" .. "scene16" of the program directory.
// A file is a 14-byte header followed by the scene's 52-byte items:
//
//   0     scene number (as recorded)
//   1     item count
//   2, 3  wall rows and columns when the recording started
//   4..13 name (GBK, zero padded, no terminator when 10 bytes long)
//
// All operations except loading act on the current scene (0 = none: they
// do nothing). While recording, the senders store every step through the
// TSceneRecorder methods.
//
// Where the store is stricter than the files it reads:
// - Save replaces the file atomically (temporary file, flush, rename): a
//   failed save (read-only directory, full disk) returns false, leaves the
//   old file and keeps the scene in memory with its header unchanged, so
//   the operator can be told and save again.
// - The count byte holds at most 255: a scene never takes a 256th item.
//   A refused step is not appended and onFull is called, once per recording.
// - A matrix command longer than the 27-byte data area is recorded as
//   consecutive kind-5 items of at most 27 bytes each, marked so that
//   playback sends it whole again, to the matrix it was recorded for; when
//   the pieces do not all fit in the scene none is stored (a cut command
//   would be a different command) and onFull is called.
// - A switcher command longer than the data area (or a frame longer than
//   the 34-byte frame area) is not recorded, for the same reason. onTooLong
//   is called with its length for every refused step.
// - Loading keeps only the whole items a file holds: a partial last item is
//   dropped, a count byte beyond the file loads what is there, bytes beyond
//   the counted items are ignored. The count byte in memory is the number of
//   items loaded, so that the scene saves back exactly as it loaded. Every
//   other byte is kept as read. A file that cannot be read is an empty scene.
// - Names are cut at a character boundary, never inside a double-byte one.
class TScene : public TSceneRecorder {
 public:
  static constexpr int kSceneCount = 16;
  static constexpr int kHeaderSize = 14;
  static constexpr int kNameOffset = 4, kNameSize = 10;
  static constexpr int kMaxItems = 255;
  using HeaderBytes = std::array<quint8, kHeaderSize>;

  // Loads all sixteen scenes from ProgramDir(), or from the given directory.
  TScene();
  explicit TScene(const QString& directory);

  // A scene file's contents as loading reads them (the rules above), and
  // the file Save writes.
  static std::pair<HeaderBytes, std::vector<TSceneItem>> Decode(const QByteArray& bytes);
  static QByteArray Encode(const HeaderBytes& header, const std::vector<TSceneItem>& items);

  // Makes scene 1 to 16 current; any other number changes nothing.
  bool Select(int number);
  int CurrentNumber() const { return current_; }
  QString FilePath(int number) const;  // directory + "/scene" + number

  // Copies the item to the end of the current scene. False when there is no
  // current scene or it already holds 255 items.
  bool AppendItem(const TSceneItem& item);

  // Zeroes the current scene's header, then byte 0 = its number, bytes 2
  // and 3 = rows and columns (held to 0..255), the name when given (cut to
  // 10 bytes); discards its items.
  void StartRecording(int rows, int columns, const std::optional<QString>& name = std::nullopt);
  // With more than one item: discards them all and zeroes the header.
  // With one item or none: changes nothing.
  void CancelRecording();
  // Writes the current scene's file: header byte 1 = item count, the name
  // field replaced when a name is given. False, with nothing changed, when
  // there is no current scene or the file cannot be written.
  bool Save(const std::optional<QString>& name = std::nullopt);

  // The current scene's header (all zero without a current scene).
  HeaderBytes Header() const;
  // The current scene's items, in recording order.
  const std::vector<TSceneItem>& Items() const;
  // The current scene's stored name; empty when none.
  QString Name() const;
  // The stored name of scene 1 to 16, whether current or not; empty when none.
  QString NameOf(int number) const;

  void SetRecording(bool on);

  // TSceneRecorder. The Store operations do nothing while not recording.
  bool Recording() const override { return recording_; }
  void PrepareItem(quint8 kind, quint8 subKind, const QString& name) override;
  void StoreFrame(const quint8* bytes, int count) override;
  void StoreSwitcherFrame(const quint8* bytes, int count) override;
  void StoreDelay(quint8 subKind, int value) override;
  // A command sent to an external matrix (0 VIDEO, 1 VGA, 2 DVI): kind-5
  // items of at most 27 bytes, value = their count, marked with the matrix.
  // Nothing is stored for an empty command.
  void StoreMatrixCommand(const quint8* bytes, int count, quint8 matrixKind) override;

  std::function<void()> onFull;        // a step was refused: 255 items
  std::function<void(int)> onTooLong;  // a step of this many bytes was refused

 private:
  struct Scene {
    HeaderBytes header{};
    std::vector<TSceneItem> items;
  };

  void Load(int number);
  Scene* Current();
  const Scene* Current() const;
  void StoreData(quint8 kind, const quint8* bytes, int count);
  void RefuseTooLong(int count);
  void ReportFull();

  QString directory_;
  std::array<Scene, kSceneCount> scenes_{};
  int current_ = 0;
  bool recording_ = false;
  bool fullReported_ = false;
  TSceneItem prepared_{};
};
