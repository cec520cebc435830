#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "scenes/scene_cycler.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TScene;

// What the scene manager needs of the main window, as seams.
struct TSceneFormHost {
  std::function<bool()> chinese;     // the interface language
  std::function<bool()> longFrames;  // the frame mode: scenes are saved only in long mode
  std::function<std::pair<int, int>()> wallSize;  // row and column list positions + 1
  std::function<bool()> recording;                // the main window's scene recording flag
  std::function<void(bool)> setRecording;
  // Runs work now when idle, else after the running action (one at a time).
  std::function<void(std::function<void()>)> runWhenIdle;
  // Inside a running action: makes the scene current and plays it back.
  std::function<void(int number)> playScene;
  // The language table's text of a key; none when there is no table (the
  // designed captions stay). Loaded once per call of texts().
  std::function<std::function<std::optional<QString>(const QString& key)>()> texts;
};

// The scene manager "场景管理": sixteen scene buttons (one shown pressed: the
// store's current scene) with a check box each, and the "操作" group with
// automatic cycling, "保存场景" and "修改当前场景名称". Not modal. Clicking a
// scene plays it back; ticking the pressed scene's box records into it;
// ticked boxes are the scenes that cycle. Playback and cycling steps run
// through the main window's one-action runner.
class TSceneForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSceneCount = 16;

  TSceneForm(TScene& scenes, TSceneFormHost host, QWidget* parent = nullptr);
  ~TSceneForm() override;

  // The captions of the current language (designed ones without a table),
  // and the sixteen scene captions again; at every show and language switch.
  void LoadTexts();
  // The scene's stored name, or "场景N" / "SceneN".
  QString Caption(int number) const;
  // The scene whose button is shown pressed; 0 when none.
  int Pressed() const { return pressed_; }

  QPushButton* SceneButton(int number) const;
  QCheckBox* SceneBox(int number) const;
  TSceneCycler& Cycler() { return cycler_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void WireControls();
  void Press(int number);
  void SetSceneCaptions();
  void SceneClicked(int number);
  void BoxClicked(int number, bool ticked);
  void SaveClicked();
  void RenameClicked();
  void AutoChangeToggled(bool on);
  void IntervalEdited();
  void RecordingStopped();
  void Tell(const QString& text);
  bool Chinese() const;

  TScene& scenes_;
  TSceneFormHost host_;
  TSceneCycler cycler_;
  int pressed_ = 0;

  std::array<QPushButton*, kSceneCount> sceneButtons_{};
  std::array<QCheckBox*, kSceneCount> sceneBoxes_{};
  QGroupBox* gbOpt_ = nullptr;
  QCheckBox* cbAutoChange_ = nullptr;
  QLabel* lblChangeTime_ = nullptr;
  QLineEdit* edtChangeTime_ = nullptr;
  QLabel* lblSec_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  QPushButton* btnSaveCurScene_ = nullptr;
  QLabel* lblInfo_ = nullptr;
};
