#include "linkage/mixer_tr38_form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "widgets/source_buttons.h"

namespace {

constexpr TPanelButtonDef kInputs[] = {
    {"rbVideo1", "Video 1", 1}, {"rbVideo2", "Video 2", 2}, {"rbVideo3", "Video 3", 10},
    {"rbYUV", "YUV", 9},        {"rbVGA", "VGA", 3},        {"rbDVI", "DVI", 4},
    {"rbUSB1", "USB1", 6},      {"rbUSB2", "USB2", 11},
};

const QString k1024 = QStringLiteral("1024*768@60Hz");
const QString k1920 = QStringLiteral("1920*1080@60Hz");
const QString k1600 = QStringLiteral("1600*1200@60Hz");

// Sets the caption unless the table has none at all (null: keep the designed one).
void Caption(QGroupBox* box, const QString& text) {
  if (!text.isNull()) box->setTitle(text);
}

}  // namespace

TMixerTR38Form::TMixerTR38Form(TWindowTexts texts, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("MixerTR38Form"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  pcMixer_ = new QTabWidget(this);
  pcMixer_->setObjectName(QStringLiteral("pcMixer"));
  layout->addWidget(pcMixer_);

  auto* page = new QWidget(pcMixer_);
  page->setObjectName(QStringLiteral("tsTR38"));
  pcMixer_->addTab(page, QStringLiteral("TR38"));
  auto* pageLayout = new QHBoxLayout(page);

  gbInputChannel_ = new QGroupBox(QStringLiteral("输入通道"), page);
  gbInputChannel_->setObjectName(QStringLiteral("gbInputChannel"));
  const QList<QRadioButton*> radios = AddSourceButtons<QRadioButton>(
      gbInputChannel_, kInputs, this, [this](int source) { Q_EMIT sourceClicked(source); });
  for (QRadioButton* radio : radios)
    if (radio->property("source").toInt() == 9) rbYUV_ = radio;
  pageLayout->addWidget(gbInputChannel_, 1);
  pageLayout->addWidget(BuildOutputGroup(page), 1);
}

QWidget* TMixerTR38Form::BuildOutputGroup(QWidget* parent) {
  gbOutputChannel_ = new QGroupBox(QStringLiteral("输出通道"), parent);
  gbOutputChannel_->setObjectName(QStringLiteral("gbOutputChannel"));
  auto* grid = new QGridLayout(gbOutputChannel_);
  resolutions_ = new QButtonGroup(gbOutputChannel_);
  auto* label = new QLabel(QStringLiteral("DVI "), gbOutputChannel_);
  label->setObjectName(QStringLiteral("lblOutputDVI"));
  grid->addWidget(label, 0, 0);
  grid->addWidget(Resolution(gbOutputChannel_, "rbDVI1024", k1024, 0), 0, 1);
  grid->addWidget(Resolution(gbOutputChannel_, "rbDVI1920", k1920, 1), 1, 1);

  pnlOutputKind_ = new QWidget(gbOutputChannel_);
  pnlOutputKind_->setObjectName(QStringLiteral("pnlOutputKind"));
  auto* kinds = new QGridLayout(pnlOutputKind_);
  // The kind pair chooses which resolution pair is open.
  auto* kindGroup = new QButtonGroup(pnlOutputKind_);
  rbOutputVGA_ = new QRadioButton(QStringLiteral("VGA"), pnlOutputKind_);
  rbOutputVGA_->setObjectName(QStringLiteral("rbOutputVGA"));
  rbOutputDVI_ = new QRadioButton(QStringLiteral("DVI"), pnlOutputKind_);
  rbOutputDVI_->setObjectName(QStringLiteral("rbOutputDVI"));
  kindGroup->addButton(rbOutputVGA_);
  kindGroup->addButton(rbOutputDVI_);
  rbVGA1024_ = Resolution(pnlOutputKind_, "rbVGA1024", k1024, 2);
  rbVGA1600_ = Resolution(pnlOutputKind_, "rbVGA1600", k1600, 3);
  rbDVIPair1024_ = Resolution(pnlOutputKind_, "rbDVIPair1024", k1024, 0);
  rbDVIPair1920_ = Resolution(pnlOutputKind_, "rbDVIPair1920", k1920, 1);
  kinds->addWidget(rbOutputVGA_, 0, 0);
  kinds->addWidget(rbVGA1024_, 0, 1);
  kinds->addWidget(rbVGA1600_, 1, 1);
  kinds->addWidget(rbOutputDVI_, 2, 0);
  kinds->addWidget(rbDVIPair1024_, 2, 1);
  kinds->addWidget(rbDVIPair1920_, 3, 1);
  rbDVIPair1024_->setEnabled(false);
  rbDVIPair1920_->setEnabled(false);
  connect(rbOutputVGA_, &QRadioButton::clicked, this, [this] { OutputKindChosen(true); });
  connect(rbOutputDVI_, &QRadioButton::clicked, this, [this] { OutputKindChosen(false); });
  grid->addWidget(pnlOutputKind_, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);

  // Hidden as designed: the mixers in use take their output from the front panel.
  pnlOutputKind_->setVisible(false);
  gbOutputChannel_->setVisible(false);
  return gbOutputChannel_;
}

QRadioButton* TMixerTR38Form::Resolution(QWidget* parent, const char* name, const QString& caption,
                                         int type) {
  auto* radio = new QRadioButton(caption, parent);
  radio->setObjectName(QLatin1String(name));
  radio->setProperty("resolution", type);
  // Two pairs share their captions; the reader says which output is meant.
  radio->setAccessibleName((type < 2 ? QStringLiteral("DVI ") : QStringLiteral("VGA ")) + caption);
  // The pairs sit in different panels but are one choice of resolution.
  resolutions_->addButton(radio);
  connect(radio, &QRadioButton::clicked, this, [this, type] { Q_EMIT resolutionClicked(type); });
  return radio;
}

void TMixerTR38Form::OutputKindChosen(bool vga) {
  rbVGA1024_->setEnabled(vga);
  rbVGA1600_->setEnabled(vga);
  rbDVIPair1024_->setEnabled(!vga);
  rbDVIPair1920_->setEnabled(!vga);
}

void TMixerTR38Form::LoadTexts() {
  Caption(gbInputChannel_, texts_.Caption(QStringLiteral("ID_TR39_GBINPUTCHANNEL_CAPTION")));
  Caption(gbOutputChannel_, texts_.Caption(QStringLiteral("ID_TR39_GBOUTPUTCHANNEL_CAPTION")));
  const QString yuv = texts_.Caption(QStringLiteral("ID_TR39_RBYUV_CAPTION"));
  if (!yuv.isNull()) rbYUV_->setText(yuv);
}

QRadioButton* TMixerTR38Form::InputButton(int source) const {
  for (QRadioButton* b : gbInputChannel_->findChildren<QRadioButton*>())
    if (b->property("source").toInt() == source) return b;
  return nullptr;
}
