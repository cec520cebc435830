// TQuvialForm: the scene manager. Its window lives in the scenes room; the
// main window gives it the store, the recording flag and the wall size, and
// plays scenes back through the one-action runner, so that a playback or a
// cycling step never interleaves with another action.

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QToolButton>
#include <memory>

#include "app/lang_table.h"
#include "app/quvial_form.h"
#include "scenes/scene_form.h"

namespace {

constexpr qint64 kProgressEveryMs = 100;

}  // namespace

void TQuvialForm::WireScenes() {
  scenePlayer_ = std::make_unique<TScenePlayer>(*sendPath_, *wallCommands_, wall_, pauser_);
  // The recorded size goes into the two lists and is applied without saving.
  scenePlayer_->applyWallSize = [this](int rows, int cols) {
    SetRowColPositions(rows, cols);
    ApplyWallSize(false);
  };
  // The bar repaints at once on every change; a few updates a second show a
  // long scene's progress without adding that work between its pauses.
  scenePlayer_->progress = [this, shown = std::make_shared<QElapsedTimer>()](int done, int total) {
    if (done > 0 && done < total && shown->isValid() && shown->elapsed() < kProgressEveryMs) return;
    shown->start();
    actionRunner_->Progress(done, total);
  };
  // Matrix commands go whole to the matrix they were recorded for; unmarked
  // ones (older files) to the matrix the last linkage drove.
  scenePlayer_->sendMatrixBytes = [this](const QByteArray& bytes, quint8 kind) {
    if (kind == TSceneRecorder::kDvrTarget)
      dvrLinkage_->SendDvrBytes(bytes);
    else
      matrixLinkage_->SendMatrixBytes(bytes, static_cast<TMatrixKind>(kind));
  };
  scenePlayer_->currentMatrixKind = [this] {
    return static_cast<quint8>(matrixLinkage_->CurrentKind());
  };

  connect(menuItemScene_, &QAction::triggered, this, [this] { OpenSceneForm(false); });
  connect(btnScene_, &QToolButton::clicked, this, [this] {
    if (btnScene_->isDown()) return;  // still shown pressed
    OpenSceneForm(true);
  });
}

void TQuvialForm::PlayScene(int number) {
  if (!scene_ || !scene_->Select(number)) return;
  scenePlayer_->SetRecorder(scene_.get());
  scenePlayer_->Play(*scene_);
}

void TQuvialForm::OpenSceneForm(bool fromToolbar) {
  if (fromToolbar) PressToolButton(btnScene_);
  if (!scene_) return;  // the store comes with the window's show steps
  if (!sceneForm_) {
    TSceneFormHost host;
    host.chinese = [this] { return chinese_; };
    host.longFrames = [this] { return protocol_.LongFrames(); };
    host.wallSize = [this] {
      return std::pair{cbbRow_->currentIndex() + 1, cbbCol_->currentIndex() + 1};
    };
    host.recording = [this] { return SceneRecording(); };
    host.setRecording = [this](bool on) { SetSceneRecording(on); };
    host.runWhenIdle = [this](std::function<void()> work) { RunWhenIdle(std::move(work)); };
    host.playScene = [this](int number) { PlayScene(number); };
    host.texts = [this]() -> std::function<std::optional<QString>(const QString&)> {
      auto table = std::make_shared<TLangTable>(TLangTable::Load(LangSection(chinese_ ? 1 : 2)));
      if (!table->Exists()) return nullptr;
      return [table](const QString& key) -> std::optional<QString> { return table->Text(key); };
    };
    sceneForm_ = new TSceneForm(*scene_, std::move(host), this);
  }
  sceneForm_->show();
  sceneForm_->raise();
  sceneForm_->activateWindow();
}
