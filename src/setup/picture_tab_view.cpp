#include "setup/picture_tab_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

#include "setup/caption_view.h"
#include "wall/family_codes.h"
#include "widgets/rotary_switch.h"

namespace {

// One +/- row: object-name stem, language key, designed caption, and the
// command class ("-" sends code 0x00, "+" code 0x01).
struct TRowDef {
  const char16_t* stem;
  const char16_t* key;
  const char16_t* caption;
  quint8 cls;
};

constexpr TRowDef kVideoRows[] = {
    {u"VideoContrast", u"ID_SETUP_FORM_VIDEO_CONTRAST", u"对比度", 0x30},
    {u"VideoBrightness", u"ID_SETUP_FORM_VIDEO_BRIGHTNESS", u"亮度", 0x31},
    {u"VideoSaturation", u"ID_SETUP_FORM_VIDEO_SATURATION", u"饱和度", 0x32},
    {u"VideoSharpness", u"ID_SETUP_FORM_VIDEO_SHARPNESS", u"清晰度", 0x33},
    {u"VideoHue", u"ID_SETUP_FORM_VIDEO_HUE", u"色调", 0x34},
    {u"VideoRedGain", u"ID_SETUP_FORM_VIDEO_RGAIN", u"R增益", 0x35},
    {u"VideoGreenGain", u"ID_SETUP_FORM_VIDEO_GGAIN", u"G增益", 0x36},
    {u"VideoBlueGain", u"ID_SETUP_FORM_VIDEO_BGAIN", u"B增益", 0x37},
    {u"VideoHPosition", u"ID_SETUP_FORM_VIDEO_HPOS", u"水平位置", 0x38},
    {u"VideoHSize", u"ID_SETUP_FORM_VIDEO_HSIZE", u"水平尺寸", 0x39},
    {u"VideoVPosition", u"ID_SETUP_FORM_VIDEO_VPOS", u"垂直位置", 0x40},
    {u"VideoVSize", u"ID_SETUP_FORM_VIDEO_VSIZE", u"垂直尺寸", 0x41},
};

constexpr TRowDef kVgaRows[] = {
    {u"VgaContrast", u"ID_SETUP_FORM_VGA_CONTRAST", u"对比度", 0x42},
    {u"VgaBrightness", u"ID_SETUP_FORM_VGA_BRIGHTNESS", u"亮度", 0x43},
    {u"VgaRedGain", u"ID_SETUP_FORM_VGA_RGAIN", u"色温(R增益)", 0x44},
    {u"VgaGreenGain", u"ID_SETUP_FORM_VGA_GGAIN", u"色温(G增益)", 0x45},
    {u"VgaBlueGain", u"ID_SETUP_FORM_VGA_BGAIN", u"色温(B增益)", 0x46},
    {u"VgaAdcRedOffset", u"ID_SETUP_FORM_VGA_ADC_ROFFSET", u"ADC R 偏移量", 0x47},
    {u"VgaAdcGreenOffset", u"ID_SETUP_FORM_VGA_ADC_GOFFSET", u"ADC G 偏移量", 0x48},
    {u"VgaAdcBlueOffset", u"ID_SETUP_FORM_VGA_ADC_BOFFSET", u"ADC B 偏移量", 0x49},
    {u"VgaAdcRedGain", u"ID_SETUP_FORM_VGA_ADC_RGAIN", u"ADC R 增益", 0x4A},
    {u"VgaAdcGreenGain", u"ID_SETUP_FORM_VGA_ADC_GGAIN", u"ADC G 增益", 0x4B},
    {u"VgaAdcBlueGain", u"ID_SETUP_FORM_VGA_ADC_BGAIN", u"ADC B 增益", 0x4C},
    {u"VgaHPosition", u"ID_SETUP_FORM_VGA_HPOS", u"水平位置", 0x4E},
    {u"VgaVPosition", u"ID_SETUP_FORM_VGA_VPOS", u"垂直位置", 0x50},
    {u"VgaClock", u"ID_SETUP_FORM_VGA_CLOCK", u"时钟调整", 0x52},
    {u"VgaPhase", u"ID_SETUP_FORM_VGA_PHASE", u"相位调整", 0x53},
    {u"VgaSharpness", u"ID_SETUP_FORM_VGA_SHARPNESS", u"清晰度 ", 0x54},
};

// A single button: object name, key, caption, class and code.
struct TSingleDef {
  const char16_t* name;
  const char16_t* key;
  const char16_t* caption;
  quint8 cls;
  quint8 code;
};
constexpr TSingleDef kVgaSingles[] = {
    {u"btnVgaAutoPosition", u"ID_SETUP_FORM_VGA_AUTO_POSITION", u"位置自动调整", 0x4D, 0x01},
    {u"btnVgaAutoColour", u"ID_SETUP_FORM_VGA_AUTO_COLOUR", u"色彩自动调整", 0x51, 0x01},
};

using setup_caption::TPositionDef;
constexpr TPositionDef kNoiseReduction[] = {
    {u"ID_SETUP_FORM_NOISE_OFF", u"关"},
    {u"ID_SETUP_FORM_NOISE_LOW", u"低"},
    {u"ID_SETUP_FORM_NOISE_MEDIUM", u"中"},
    {u"ID_SETUP_FORM_NOISE_HIGH", u"高"},
};
constexpr TPositionDef kDisplayScale[] = {
    {u"ID_SETUP_FORM_SCALE_4X3", u"4 ：3"},
    {u"ID_SETUP_FORM_SCALE_16X9", u"16 ：9"},
};
constexpr quint8 kNoiseReductionClass = 0x76;  // code = position
constexpr quint8 kDisplayScaleClass = 0x11;    // code = position

std::span<const TRowDef> RowDefs(TPictureTabView::TInput input) {
  if (input == TPictureTabView::VideoInput) return kVideoRows;
  return kVgaRows;
}

}  // namespace

TPictureTabView::TPictureTabView(TInput input, const TSetupServices& services, QWidget* parent)
    : TSetupTabPage(parent), input_(input), services_(services) {
  BuildRows();
  if (input_ == VideoInput) {
    BuildVideoSwitches();
  } else {
    BuildVgaButtons();
  }
}

void TPictureTabView::BuildRows() {
  auto* grid = new QGridLayout;
  int row = 0;
  for (const TRowDef& def : RowDefs(input_)) {
    const QString stem = QString::fromUtf16(def.stem);
    TRow r;
    r.label = new QLabel(QString::fromUtf16(def.caption), this);
    r.label->setObjectName(QStringLiteral("lbl") + stem);
    r.down = new QPushButton(QStringLiteral("-"), this);
    r.down->setObjectName(QStringLiteral("btn") + stem + QStringLiteral("Down"));
    r.up = new QPushButton(QStringLiteral("+"), this);
    r.up->setObjectName(QStringLiteral("btn") + stem + QStringLiteral("Up"));
    r.label->setBuddy(r.down);
    const quint8 cls = def.cls;
    connect(r.down, &QPushButton::clicked, this, [this, cls] { Send(cls, 0x00); });
    connect(r.up, &QPushButton::clicked, this, [this, cls] { Send(cls, 0x01); });
    // Two columns of rows keep the long VGA tab on screen.
    const int half = (static_cast<int>(RowDefs(input_).size()) + 1) / 2;
    const int gridRow = row % half;
    const int gridCol = (row / half) * 3;
    grid->addWidget(r.label, gridRow, gridCol);
    grid->addWidget(r.down, gridRow, gridCol + 1);
    grid->addWidget(r.up, gridRow, gridCol + 2);
    rows_.append(r);
    ++row;
  }
  grid->setRowStretch(grid->rowCount(), 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid);
}

void TPictureTabView::BuildVideoSwitches() {
  auto* column = new QVBoxLayout;
  auto add = [&](const char16_t* name, const char16_t* caption, std::span<const TPositionDef> defs,
                 QLabel** label, TRotarySwitch** rotary, quint8 cls) {
    *label = new QLabel(QString::fromUtf16(caption), this);
    (*label)->setObjectName(QStringLiteral("lbl") + QString::fromUtf16(name));
    *rotary = new TRotarySwitch(this);
    (*rotary)->setObjectName(QStringLiteral("rs") + QString::fromUtf16(name));
    setup_caption::ApplyPositions({}, defs, *rotary);
    (*label)->setBuddy(*rotary);
    // The command goes out when the operator lets go, never while it turns.
    connect(*rotary, &TRotarySwitch::released, this,
            [this, cls](int index) { Send(cls, static_cast<quint8>(index)); });
    column->addWidget(*label);
    column->addWidget(*rotary);
  };
  add(u"NoiseReduction", u"降噪", kNoiseReduction, &lblNoiseReduction_, &rsNoiseReduction_,
      kNoiseReductionClass);
  add(u"DisplayScale", u"显示比例", kDisplayScale, &lblDisplayScale_, &rsDisplayScale_,
      kDisplayScaleClass);
  column->addStretch();
  static_cast<QHBoxLayout*>(layout())->addLayout(column);
}

void TPictureTabView::BuildVgaButtons() {
  auto* column = new QVBoxLayout;
  for (const TSingleDef& def : kVgaSingles) {
    auto* button = new QPushButton(QString::fromUtf16(def.caption), this);
    button->setObjectName(QString::fromUtf16(def.name));
    const quint8 cls = def.cls;
    const quint8 code = def.code;
    connect(button, &QPushButton::clicked, this, [this, cls, code] { Send(cls, code); });
    column->addWidget(button);
    singles_.append(button);
  }
  column->addStretch();
  static_cast<QHBoxLayout*>(layout())->addLayout(column);
}

void TPictureTabView::Send(quint8 cls, quint8 code) {
  if (services_.setting) services_.setting(cls, code, TSettingRoute::Settings);
}

void TPictureTabView::Showing() {
  if (input_ != VideoInput) return;  // the VGA tab is always enabled
  const bool on = services_.family != kQnK8Family;
  for (const TRow& r : rows_) {
    r.down->setEnabled(on);
    r.up->setEnabled(on);
  }
  rsNoiseReduction_->setEnabled(on);
}

void TPictureTabView::LoadTexts() {
  const TWindowTexts& texts = services_.texts;
  const auto defs = RowDefs(input_);
  for (qsizetype i = 0; i < rows_.size(); ++i) {
    const TRow& r = rows_[i];
    setup_caption::Apply(texts, defs[static_cast<size_t>(i)].key, r.label);
    r.down->setAccessibleName(r.label->text() + QStringLiteral(" -"));
    r.up->setAccessibleName(r.label->text() + QStringLiteral(" +"));
  }
  if (input_ == VideoInput) {
    setup_caption::Apply(texts, u"ID_SETUP_FORM_NOISE_REDUCTION", lblNoiseReduction_);
    setup_caption::Apply(texts, u"ID_SETUP_FORM_DISPLAY_SCALE", lblDisplayScale_);
    setup_caption::ApplyPositions(texts, kNoiseReduction, rsNoiseReduction_);
    setup_caption::ApplyPositions(texts, kDisplayScale, rsDisplayScale_);
  } else {
    for (qsizetype i = 0; i < singles_.size(); ++i) {
      setup_caption::Apply(texts, kVgaSingles[i].key, singles_[i]);
    }
  }
}
