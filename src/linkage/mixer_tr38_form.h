#pragma once

#include <QWidget>

#include "linkage/window_texts.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTabWidget;
class QWidget;

// The mixer family's panel: it takes the place of the wall grid and offers
// the mixer's eight inputs and (hidden, as designed) its output resolutions.
// It only reports the operator's choice; the main window sends.
class TMixerTR38Form : public QWidget {
  Q_OBJECT

 public:
  explicit TMixerTR38Form(TWindowTexts texts, QWidget* parent = nullptr);

  // The captions of the interface language. Called at a language switch
  // only: until then the designed captions stay, whatever the language.
  void LoadTexts();
  // The input radio button for a source number, nullptr for another number.
  QRadioButton* InputButton(int source) const;

 Q_SIGNALS:
  // An input button: the source number (1, 2, 10, 9, 3, 4, 6, 11).
  void sourceClicked(int source);
  // A resolution button: 0 DVI 1024x768, 1 DVI 1920x1080, 2 VGA 1024x768,
  // 3 VGA 1600x1200 (all at 60 Hz).
  void resolutionClicked(int type);

 private:
  QWidget* BuildOutputGroup(QWidget* parent);
  QRadioButton* Resolution(QWidget* parent, const char* name, const QString& caption, int type);
  void OutputKindChosen(bool vga);

  TWindowTexts texts_;
  QTabWidget* pcMixer_ = nullptr;
  QGroupBox* gbInputChannel_ = nullptr;
  QRadioButton* rbYUV_ = nullptr;
  QGroupBox* gbOutputChannel_ = nullptr;
  QButtonGroup* resolutions_ = nullptr;
  QWidget* pnlOutputKind_ = nullptr;
  QRadioButton* rbOutputVGA_ = nullptr;
  QRadioButton* rbOutputDVI_ = nullptr;
  QRadioButton* rbVGA1024_ = nullptr;
  QRadioButton* rbVGA1600_ = nullptr;
  QRadioButton* rbDVIPair1024_ = nullptr;
  QRadioButton* rbDVIPair1920_ = nullptr;
};
