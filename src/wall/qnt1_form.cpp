#include "wall/qnt1_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/bilingual.h"
#include "widgets/rotary_switch.h"
#include "widgets/source_buttons.h"

namespace {

constexpr TPanelButtonDef kInputs[] = {
    {"btnVideo1", "Video 1", 1}, {"btnVideo2", "Video 2", 2}, {"btnVGA", "VGA", 3},
    {"btnDVI", "DVI", 4},        {"btnUSB", "USB", 6},
};

}  // namespace

TQNT1Form::TQNT1Form(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("QNT1Form"));
  auto* layout = new QGridLayout(this);

  gbInput_ = new QGroupBox(QStringLiteral("输入通道"), this);
  gbInput_->setObjectName(QStringLiteral("gbInput"));
  AddSourceButtons<QPushButton>(gbInput_, kInputs, this,
                                [this](int source) { Q_EMIT sourceClicked(source); });

  // The rotation group stays empty; the switch sits over it, in the same cell.
  gbRotate_ = new QGroupBox(QStringLiteral("旋转输出"), this);
  gbRotate_->setObjectName(QStringLiteral("gbRotate"));
  rsRotate_ = new TRotarySwitch(this);
  rsRotate_->setObjectName(QStringLiteral("rsRotate"));
  rsRotate_->setAccessibleName(QStringLiteral("旋转输出"));
  rsRotate_->SetPositions({QStringLiteral("0°"), QStringLiteral("90°")});
  connect(rsRotate_, &TRotarySwitch::released, this, &TQNT1Form::rotationReleased);

  layout->addWidget(gbInput_, 0, 0);
  layout->addWidget(gbRotate_, 0, 1);
  layout->addWidget(rsRotate_, 0, 1, Qt::AlignCenter);
  rsRotate_->setMinimumSize(rsRotate_->sizeHint());
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 2);
}

void TQNT1Form::LoadTexts(bool chinese) {
  gbInput_->setTitle(Bilingual(chinese, u"输入通道", u"Input Channel"));
  gbRotate_->setTitle(Bilingual(chinese, u"旋转输出", u"Rotate Output"));
  rsRotate_->setAccessibleName(gbRotate_->title());
}

QPushButton* TQNT1Form::InputButton(int source) const {
  for (QPushButton* b : gbInput_->findChildren<QPushButton*>())
    if (b->property("source").toInt() == source) return b;
  return nullptr;
}
