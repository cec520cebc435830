#pragma once

#include <QStackedWidget>

class QCheckBox;
class QGroupBox;
struct TSourcePageDef;

// The source notebook beside the wall grid: one page per device family, each
// with its groups of source radio buttons, built from the source page data.
// The QN-22 page adds the "公共通道" box, which shows its broadcast group while
// ticked. Every page carries its family in the "family" property. The view
// only reports the operator's choice; the main window sends. A button's
// repaint after a click waits for the event loop, so that the frame the click
// sends is not held up by it.
class TSourcePagesView : public QStackedWidget {
  Q_OBJECT

 public:
  explicit TSourcePagesView(QWidget* parent = nullptr);

  // Makes the family's page the current one; false (and no change) when the
  // family has no page.
  bool ShowFamily(quint8 family);
  QWidget* Page(quint8 family) const;
  // The "公共通道" box of the QN-22 page.
  bool PublicChannel() const;
  QCheckBox* PublicChannelBox() const { return cbPublicChannel_; }
  QGroupBox* BroadcastGroup() const { return gbBroadcast_; }

 Q_SIGNALS:
  // A source radio button with an action: its caption and source number.
  void sourceClicked(const QString& caption, int source);
  // A button of the broadcast group: 0 DVI, 1 VGA, 2 CVBS, 3 USB.
  void publicChannelClicked(int which);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildPage(const TSourcePageDef& def);

  QCheckBox* cbPublicChannel_ = nullptr;
  QGroupBox* gbBroadcast_ = nullptr;
};
