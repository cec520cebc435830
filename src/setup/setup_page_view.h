#pragma once

#include <QWidget>

// A page of the system setup dialog ("系统设置"). The dialog calls LoadTexts
// at each showing and at each language switch, then Showing at each showing;
// a page supplied by another room (the subtitle and network tabs) reloads,
// refills and enables its own controls there.
class TSetupTabPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // At each showing of the dialog, after LoadTexts.
  virtual void Showing() {}
  // Captions from the language table: at each showing and language switch.
  virtual void LoadTexts() {}
};
