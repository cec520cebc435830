#include "scenes/scene_player.h"

#include <algorithm>
#include <utility>

#include "core/pauser.h"
#include "link/scene_recorder.h"
#include "link/send_path.h"
#include "wall/wall_commands.h"
#include "wall/wall_model.h"

namespace {

constexpr int kEmptySceneSize = 2;

// The rectangle of a combine or dissolve item: bytes 2 to 5 of its long
// frame hold the start row, start column, end row and end column, 1-based.
TCellRect FrameRect(const TSceneItem& item) {
  const quint8* f = item.Frame();
  return TCellRect{f[3] - 1, f[2] - 1, f[5] - 1, f[4] - 1};
}

}  // namespace

TScenePlayer::TScenePlayer(TSendPath& send, TWallCommands& commands, TWallModel& wall,
                           Pauser& pauser)
    : send_(send), commands_(commands), wall_(wall), pauser_(pauser) {}

std::pair<int, int> TScenePlayer::WallSize(const TScene::HeaderBytes& header,
                                           std::size_t itemCount) {
  // A scene saved or loaded with items has its count byte set; a recording
  // not yet saved has a zero count but its size since it started, and plays
  // on that size too. A scene without items is a cleared 2 x 2 wall.
  if (itemCount == 0 || header[2] == 0 || header[3] == 0) return {kEmptySceneSize, kEmptySceneSize};
  return {std::clamp<int>(header[2], TWallModel::kMinSize, TWallModel::kMaxSize),
          std::clamp<int>(header[3], TWallModel::kMinSize, TWallModel::kMaxSize)};
}

void TScenePlayer::Play(const TScene& scenes) {
  const TScene::HeaderBytes header = scenes.Header();
  const std::vector<TSceneItem> items = scenes.Items();
  Play(header, items);
}

void TScenePlayer::Play(const TScene::HeaderBytes& header, const std::vector<TSceneItem>& items) {
  const auto [rows, cols] = WallSize(header, items.size());
  ApplyWallSize(rows, cols);

  // The pieces of a matrix command recorded over several items, sent as one.
  QByteArray matrix;
  quint8 matrixKind = 0;
  auto flushMatrix = [&] {
    if (!matrix.isEmpty()) SendMatrix(matrix, matrixKind);
    matrix.clear();
  };

  const int total = static_cast<int>(items.size());
  for (int i = 0; i < total; ++i) {
    Progress(i, total);
    const TSceneItem& item = items[static_cast<std::size_t>(i)];
    if (item.Kind() != TSceneItem::kMatrixCommand) flushMatrix();
    switch (item.Kind()) {
      case TSceneItem::kCombine:
        Combine(item);
        break;
      case TSceneItem::kDissolve:
        Dissolve(item);
        break;
      case TSceneItem::kCommand:
        SendCommand(item);
        break;
      case TSceneItem::kPause:
        Pause(item);
        break;
      case TSceneItem::kMatrixCommand: {
        const std::optional<quint8> marked = item.MarkedMatrixKind();
        const quint8 kind = marked ? *marked : (currentMatrixKind ? currentMatrixKind() : 0);
        // A piece for another matrix cannot belong to the command gathered so far.
        if (kind != matrixKind) flushMatrix();
        matrixKind = kind;
        matrix += item.Data();
        if (!item.MatrixContinued()) flushMatrix();
        break;
      }
      case TSceneItem::kSwitcherCommand:
        SendSwitcher(item);
        break;
      default:
        break;
    }
  }
  // A file that ends inside a command still sends what it holds.
  flushMatrix();
  Progress(total, total);
}

void TScenePlayer::ApplyWallSize(int rows, int cols) {
  if (applyWallSize) {
    applyWallSize(rows, cols);
    return;
  }
  wall_.LayOut(rows, cols);
  wall_.ResetColourCounter();
}

void TScenePlayer::Combine(const TSceneItem& item) {
  if (Recording()) recorder_->PrepareItem(TSceneItem::kCombine, item.SubKind(), item.Name());
  // Marks the cells inside the wall, advances the colour counter once and
  // repaints the area in one notification.
  wall_.Combine(item.Name(), item.SubKind(), FrameRect(item));
  send_.SendFrame(item.Frame());
}

void TScenePlayer::Dissolve(const TSceneItem& item) {
  TWallContext ctx;
  ctx.selection = FrameRect(item);
  // The dissolve's own per-cell progress would end the scene's progress.
  std::function<void(int, int)> saved = std::exchange(commands_.progress, nullptr);
  try {
    commands_.Dissolve(0, std::nullopt, ctx);
  } catch (...) {
    commands_.progress = std::move(saved);
    throw;
  }
  commands_.progress = std::move(saved);
}

void TScenePlayer::SendCommand(const TSceneItem& item) {
  if (Recording()) recorder_->PrepareItem(TSceneItem::kCommand, 0, QString());
  send_.SendFrame(item.Frame());
}

void TScenePlayer::Pause(const TSceneItem& item) {
  qint64 ms = item.Value();
  if (item.SubKind() == TSceneItem::kSeconds)
    ms *= 1000;
  else if (item.SubKind() != TSceneItem::kMilliseconds)
    return;
  if (ms > 0) pauser_.Pause(static_cast<int>(std::min(ms, kMaxPauseMs)));
}

void TScenePlayer::SendMatrix(const QByteArray& bytes, quint8 kind) {
  if (!sendMatrixBytes) return;
  sendMatrixBytes(bytes, kind);
  // The matrix port only sends; what is recorded is the linkage's business,
  // and for a replay it is this player's.
  if (Recording())
    recorder_->StoreMatrixCommand(reinterpret_cast<const quint8*>(bytes.constData()),
                                  static_cast<int>(bytes.size()), kind);
}

void TScenePlayer::SendSwitcher(const TSceneItem& item) {
  const QByteArray bytes = item.Data();
  // An empty item sends nothing: a count of 0 would make the send path read
  // a length from the data instead.
  if (bytes.isEmpty()) return;
  send_.SendSwitcherFrame(reinterpret_cast<const quint8*>(bytes.constData()),
                          static_cast<int>(bytes.size()));
}

void TScenePlayer::Progress(int done, int total) {
  if (progress) progress(done, total);
}

bool TScenePlayer::Recording() const { return recorder_ != nullptr && recorder_->Recording(); }
