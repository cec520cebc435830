#pragma once

#include <QDialog>

#include "linkage/window_texts.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TChannelNames;

// The channel name editor: the 512 matrix inputs in a list, the chosen one in
// a bold label, a box for the new name and "修改", which writes the name to
// chname.ini at once. Shown modally by the main window's "..." button
// (btnSetupChannelName); after it closes the caller refills its channel box
// from TChannelNames::Entries().
class TSetupChannelNameForm : public QDialog {
  Q_OBJECT

 public:
  // names must outlive the dialog.
  TSetupChannelNameForm(TChannelNames& names, TWindowTexts texts, QWidget* parent = nullptr);
  ~TSetupChannelNameForm() override;

  // The captions of the interface language (designed captions without a
  // table); run at every showing.
  void LoadTexts();
  // Refills the list with the 512 entries (the showing does this too).
  void FillList();

  QListWidget* ChannelList() const { return lbChannelList_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnEntryChosen(int row);
  void OnEdit();

  TChannelNames& names_;
  TWindowTexts texts_;
  QLabel* lblChannelList_ = nullptr;
  QListWidget* lbChannelList_ = nullptr;
  QLabel* lblName_ = nullptr;
  QLabel* lblNewName_ = nullptr;
  QLineEdit* edtNewName_ = nullptr;
  QPushButton* btnEdit_ = nullptr;
};
