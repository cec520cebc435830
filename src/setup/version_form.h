#pragma once

#include <QDialog>
#include <functional>

#include "linkage/window_texts.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The version dialog (modeless): the program's version text, the version
// notes of "version.cfg" line by line, and "版本信息", which asks the selected
// screens to show their own version. The main window's about item and its
// version button open it.
class TVersionForm : public QDialog {
  Q_OBJECT

 public:
  explicit TVersionForm(TWindowTexts texts, QWidget* parent = nullptr);
  ~TVersionForm() override;

  // The "version" configuration value, asked at each showing (unset: empty).
  std::function<QString()> versionText;
  // Where the notes are; unset: "version.cfg" in the program's directory.
  std::function<QString()> notesPath;
  // "版本信息": sends ShowVersion through the settings path (unset: nothing).
  std::function<void()> showVersion;

  // The two captions of the interface language; at each showing and at
  // each language switch.
  void LoadTexts();
  // The version value and the notes again (what a showing does).
  void Refresh();

  QPlainTextEdit* Notes() const { return memoVersion_; }
  QLabel* VersionValue() const { return lblVersion_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TWindowTexts texts_;
  QLabel* lblVersionName_ = nullptr;
  QLabel* lblVersion_ = nullptr;
  QPushButton* btnShowVersion_ = nullptr;
  QPushButton* btnClose_ = nullptr;
  QPlainTextEdit* memoVersion_ = nullptr;
};
