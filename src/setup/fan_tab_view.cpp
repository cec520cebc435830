#include "setup/fan_tab_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "setup/caption_view.h"
#include "widgets/knob.h"
#include "widgets/rotary_switch.h"
#include "widgets/thermometer.h"

namespace {

constexpr quint8 kFanClass = 0x69;  // 0x00 always off, 0x01 always on, 30..40 temperature
constexpr int kAutomatic = 0;
constexpr int kAlwaysOn = 1;
constexpr int kAlwaysOff = 2;
constexpr double kKnobLow = 30;
constexpr double kKnobHigh = 40;
constexpr double kScaleLow = 20;
constexpr double kScaleHigh = 40;

using setup_caption::TPositionDef;
constexpr TPositionDef kStates[] = {
    {u"ID_SETUP_FORM_FAN_AUTO", u"自动"},
    {u"ID_SETUP_FORM_FAN_ON", u"常开"},
    {u"ID_SETUP_FORM_FAN_OFF", u"常关"},
};
constexpr const char16_t* kLabelKey = u"ID_SETUP_FORM_FAN_TEMP";
constexpr const char16_t* kLabelDesigned = u"风扇%d度时打开";

// The families whose splicers have a controllable fan: QN-51, QN-HV6,
// QN-HV8/QN-24 and QN-44.
bool HasFan(quint8 family) { return family == 0 || family == 5 || family == 9 || family == 11; }

}  // namespace

TFanTabView::TFanTabView(const TSetupServices& services, QWidget* parent)
    : TSetupTabPage(parent), services_(services), labelFormat_(QString::fromUtf16(kLabelDesigned)) {
  gbFanState_ = new QGroupBox(QStringLiteral("风扇状态设置"), this);
  gbFanState_->setObjectName(QStringLiteral("gbFanState"));
  rsFanState_ = new TRotarySwitch(gbFanState_);
  rsFanState_->setObjectName(QStringLiteral("rsFanState"));
  setup_caption::ApplyPositions({}, kStates, rsFanState_);
  auto* stateLayout = new QVBoxLayout(gbFanState_);
  stateLayout->addWidget(rsFanState_);
  stateLayout->addStretch();

  gbFanAuto_ = new QGroupBox(QStringLiteral("风扇状态（自动）"), this);
  gbFanAuto_->setObjectName(QStringLiteral("gbFanAuto"));
  kbFanTemp_ = new TKnob(gbFanAuto_);
  kbFanTemp_->setObjectName(QStringLiteral("kbFanTemp"));
  kbFanTemp_->SetRange(kKnobLow, kKnobHigh);
  kbFanTemp_->SetValue(kKnobLow);
  lblFanTemp_ = new QLabel(gbFanAuto_);
  lblFanTemp_->setObjectName(QStringLiteral("lblFanTemp"));
  lblFanTemp_->setBuddy(kbFanTemp_);
  thFanTemp_ = new TThermometer(gbFanAuto_);
  thFanTemp_->setObjectName(QStringLiteral("thFanTemp"));
  thFanTemp_->SetRange(kScaleLow, kScaleHigh);
  thFanTemp_->SetValue(kKnobLow);
  auto* autoLayout = new QHBoxLayout(gbFanAuto_);
  auto* knobColumn = new QVBoxLayout;
  knobColumn->addWidget(kbFanTemp_);
  knobColumn->addWidget(lblFanTemp_);
  knobColumn->addStretch();
  autoLayout->addLayout(knobColumn);
  autoLayout->addWidget(thFanTemp_);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(gbFanState_, 0, Qt::AlignTop);
  layout->addWidget(gbFanAuto_, 0, Qt::AlignTop);
  layout->addStretch();

  connect(rsFanState_, &TRotarySwitch::released, this, &TFanTabView::StateReleased);
  connect(kbFanTemp_, &TKnob::valueChanged, this, &TFanTabView::KnobTurned);
  connect(kbFanTemp_, &TKnob::released, this, &TFanTabView::KnobReleased);
  ShowTemperatureLabel();
}

int TFanTabView::Degrees(double position) { return static_cast<int>(std::trunc(position)); }

void TFanTabView::StateReleased(int index) {
  if (index == kAlwaysOn || index == kAlwaysOff) {
    if (services_.setting) {
      services_.setting(kFanClass, index == kAlwaysOn ? 0x01 : 0x00, TSettingRoute::Selection);
    }
  }
  EnableAutomatic();
}

void TFanTabView::KnobTurned(double value) {
  thFanTemp_->SetValue(Degrees(value));
  ShowTemperatureLabel();
}

void TFanTabView::KnobReleased(double value) {
  const int degrees = Degrees(value);
  if (degrees < kKnobLow || degrees > kKnobHigh) return;
  if (services_.setting) {
    services_.setting(kFanClass, static_cast<quint8>(degrees), TSettingRoute::Selection);
  }
}

void TFanTabView::ShowTemperatureLabel() {
  QString text = labelFormat_;
  text.replace(QStringLiteral("%d"), QString::number(Degrees(kbFanTemp_->Value())));
  lblFanTemp_->setText(text);
  kbFanTemp_->setAccessibleName(text);
  lblFanTemp_->setAccessibleName(text);
}

void TFanTabView::EnableAutomatic() {
  const bool automatic = rsFanState_->Index() == kAutomatic;
  kbFanTemp_->setEnabled(familyHasFan_ && automatic);
  thFanTemp_->setEnabled(familyHasFan_ && automatic);
}

void TFanTabView::Showing() {
  familyHasFan_ = HasFan(services_.family);
  rsFanState_->setEnabled(familyHasFan_);
  EnableAutomatic();
}

void TFanTabView::LoadTexts() {
  const TWindowTexts& t = services_.texts;
  setup_caption::Apply(t, u"ID_SETUP_FORM_FAN_STATE", gbFanState_);
  rsFanState_->setAccessibleName(gbFanState_->title());
  setup_caption::Apply(t, u"ID_SETUP_FORM_FAN_AUTOGROUP", gbFanAuto_);
  thFanTemp_->setAccessibleName(gbFanAuto_->title());
  setup_caption::ApplyPositions(t, kStates, rsFanState_);
  const QString format = setup_caption::Lookup(t, kLabelKey);
  if (!format.isNull()) labelFormat_ = format;
  ShowTemperatureLabel();
}
