#include "scenes/scene.h"

#include <QByteArray>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <tuple>

#include "core/atomic_file.h"
#include "core/program_dir.h"
#include "scenes/file_op.h"
#include "scenes/scene_text.h"

namespace {

const std::vector<TSceneItem> kNoItems;

}  // namespace

TScene::TScene() : TScene(ProgramDir()) {}

TScene::TScene(const QString& directory) : directory_(directory) {
  for (int number = 1; number <= kSceneCount; ++number) Load(number);
}

QString TScene::FilePath(int number) const {
  return directory_ + QStringLiteral("/scene") + QString::number(number);
}

void TScene::Load(int number) {
  Scene& scene = scenes_[number - 1];
  scene = Scene{};
  // A missing file is an empty scene (and loading creates none); so is one
  // that cannot be read.
  const QString path = FilePath(number);
  if (!QFileInfo::exists(path)) return;
  TFileOP file(path);
  if (!file.IsOpen()) return;
  // No more than a header and 255 items ever count.
  QByteArray bytes(kHeaderSize + kMaxItems * TSceneItem::kSize, '\0');
  bytes.truncate(file.Read(bytes.data(), bytes.size()));
  std::tie(scene.header, scene.items) = Decode(bytes);
}

std::pair<TScene::HeaderBytes, std::vector<TSceneItem>> TScene::Decode(const QByteArray& bytes) {
  HeaderBytes header{};
  std::vector<TSceneItem> items;
  std::memcpy(header.data(), bytes.constData(), std::min<size_t>(bytes.size(), kHeaderSize));
  if (bytes.size() >= kHeaderSize) {
    const int announced = header[1];
    for (int i = 0; i < announced; ++i) {
      const qsizetype at = kHeaderSize + qsizetype(i) * TSceneItem::kSize;
      if (bytes.size() - at < TSceneItem::kSize) break;
      TSceneItem item;
      std::memcpy(item.bytes.data(), bytes.constData() + at, TSceneItem::kSize);
      items.push_back(item);
    }
  }
  header[1] = static_cast<quint8>(items.size());
  return {header, items};
}

QByteArray TScene::Encode(const HeaderBytes& header, const std::vector<TSceneItem>& items) {
  QByteArray bytes;
  bytes.reserve(kHeaderSize + static_cast<qsizetype>(items.size()) * TSceneItem::kSize);
  bytes.append(reinterpret_cast<const char*>(header.data()), kHeaderSize);
  for (const TSceneItem& item : items)
    bytes.append(reinterpret_cast<const char*>(item.bytes.data()), TSceneItem::kSize);
  return bytes;
}

bool TScene::Select(int number) {
  if (number < 1 || number > kSceneCount) return false;
  current_ = number;
  return true;
}

TScene::Scene* TScene::Current() { return current_ == 0 ? nullptr : &scenes_[current_ - 1]; }

const TScene::Scene* TScene::Current() const {
  return current_ == 0 ? nullptr : &scenes_[current_ - 1];
}

bool TScene::AppendItem(const TSceneItem& item) {
  Scene* scene = Current();
  if (scene == nullptr) return false;
  if (scene->items.size() >= kMaxItems) {
    ReportFull();
    return false;
  }
  scene->items.push_back(item);
  return true;
}

void TScene::StartRecording(int rows, int columns, const std::optional<QString>& name) {
  fullReported_ = false;
  Scene* scene = Current();
  if (scene == nullptr) return;
  scene->header.fill(0);
  scene->header[0] = static_cast<quint8>(current_);
  scene->header[2] = static_cast<quint8>(std::clamp(rows, 0, 255));
  scene->header[3] = static_cast<quint8>(std::clamp(columns, 0, 255));
  if (name) {
    const QByteArray text = SceneText::Fit(*name, kNameSize);
    std::memcpy(scene->header.data() + kNameOffset, text.constData(),
                static_cast<size_t>(text.size()));
  }
  scene->items.clear();
}

void TScene::CancelRecording() {
  Scene* scene = Current();
  if (scene == nullptr || scene->items.size() <= 1) return;
  scene->items.clear();
  scene->header.fill(0);
}

bool TScene::Save(const std::optional<QString>& name) {
  Scene* scene = Current();
  if (scene == nullptr) return false;
  HeaderBytes header = scene->header;
  // Never above 255: AppendItem refuses the 256th item.
  header[1] = static_cast<quint8>(scene->items.size());
  if (name) {
    std::fill_n(header.data() + kNameOffset, kNameSize, quint8{0});
    const QByteArray text = SceneText::Fit(*name, kNameSize);
    std::memcpy(header.data() + kNameOffset, text.constData(), static_cast<size_t>(text.size()));
  }
  if (!WriteFileAtomically(FilePath(current_), Encode(header, scene->items))) return false;
  scene->header = header;
  return true;
}

TScene::HeaderBytes TScene::Header() const {
  const Scene* scene = Current();
  return scene == nullptr ? HeaderBytes{} : scene->header;
}

const std::vector<TSceneItem>& TScene::Items() const {
  const Scene* scene = Current();
  return scene == nullptr ? kNoItems : scene->items;
}

QString TScene::Name() const { return NameOf(current_); }

QString TScene::NameOf(int number) const {
  if (number < 1 || number > kSceneCount) return QString();
  return SceneText::Read(scenes_[number - 1].header.data() + kNameOffset, kNameSize);
}

void TScene::SetRecording(bool on) {
  if (on && !recording_) fullReported_ = false;
  recording_ = on;
}

void TScene::PrepareItem(quint8 kind, quint8 subKind, const QString& name) {
  prepared_ = TSceneItem{};
  prepared_.SetKind(kind, subKind);
  prepared_.SetName(name);
}

void TScene::StoreFrame(const quint8* bytes, int count) {
  if (!recording_) return;
  if (count > TSceneItem::kFrameSize) return RefuseTooLong(count);
  if (prepared_.SetFrame(bytes, count)) AppendItem(prepared_);
}

void TScene::StoreSwitcherFrame(const quint8* bytes, int count) {
  StoreData(TSceneItem::kSwitcherCommand, bytes, count);
}

void TScene::StoreMatrixCommand(const quint8* bytes, int count, quint8 matrixKind) {
  if (!recording_ || bytes == nullptr || count <= 0) return;
  Scene* scene = Current();
  if (scene == nullptr) return;
  const std::size_t pieces =
      static_cast<std::size_t>((count + TSceneItem::kDataSize - 1) / TSceneItem::kDataSize);
  if (scene->items.size() + pieces > kMaxItems) return ReportFull();
  for (int at = 0; at < count; at += TSceneItem::kDataSize) {
    const int n = std::min(TSceneItem::kDataSize, count - at);
    TSceneItem item;
    item.SetKind(TSceneItem::kMatrixCommand, TSceneItem::MatrixSubKind(matrixKind, at + n < count));
    item.SetData(bytes + at, n);
    scene->items.push_back(item);
  }
}

void TScene::StoreDelay(quint8 subKind, int value) {
  if (!recording_) return;
  TSceneItem item;
  item.SetKind(TSceneItem::kPause, subKind);
  item.SetValue(value);
  AppendItem(item);
}

void TScene::StoreData(quint8 kind, const quint8* bytes, int count) {
  if (!recording_) return;
  TSceneItem item;
  item.SetKind(kind, 0);
  if (count > TSceneItem::kDataSize) return RefuseTooLong(count);
  if (item.SetData(bytes, count)) AppendItem(item);
}

void TScene::ReportFull() {
  if (fullReported_) return;
  fullReported_ = true;
  if (onFull) onFull();
}

void TScene::RefuseTooLong(int count) {
  if (onTooLong) onTooLong(count);
}
