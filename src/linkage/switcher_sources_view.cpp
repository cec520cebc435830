#include "linkage/switcher_sources_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QRadioButton>

#include "core/bilingual.h"
#include "linkage/switcher_units.h"

TSwitcherSourcesView::TSwitcherSourcesView(QWidget* parent)
    : QGroupBox(QStringLiteral("信源类型："), parent) {
  setObjectName(QStringLiteral("gbSwitcherSources"));
  auto* grid = new QGridLayout(this);
  cb210Addr_ = new QCheckBox(QStringLiteral("切换器地址"), this);
  cb210Addr_->setObjectName(QStringLiteral("cb210Addr"));
  cbbSwitcherSignalAddress_ = new QComboBox(this);
  cbbSwitcherSignalAddress_->setObjectName(QStringLiteral("cbbSwitcherSignalAddress"));
  cbbSwitcherSignalAddress_->setAccessibleName(cb210Addr_->text());
  // The units only: "ALL" is not offered here.
  cbbSwitcherSignalAddress_->addItems(SwitcherAddressItems(TSwitcherModel::QN23).mid(1));
  grid->addWidget(cb210Addr_, 0, 0);
  grid->addWidget(cbbSwitcherSignalAddress_, 0, 1);

  const QStringList captions = SwitcherChannelItems(TSwitcherModel::QN23);
  for (int kind = 0; kind < captions.size(); ++kind) {
    auto* radio = new QRadioButton(captions[kind], this);
    QString id = captions[kind];
    id.remove(u' ');
    radio->setObjectName(QStringLiteral("rbQN23") + id);
    radio->setProperty("kind", kind);
    grid->addWidget(radio, kind + 1, 0, 1, 2);
    connect(radio, &QRadioButton::clicked, this, [this, kind] { Q_EMIT kindClicked(kind); });
  }
}

bool TSwitcherSourcesView::UnitAddressTicked() const { return cb210Addr_->isChecked(); }

int TSwitcherSourcesView::UnitIndex() const { return cbbSwitcherSignalAddress_->currentIndex(); }

void TSwitcherSourcesView::LoadTexts(bool chinese) {
  cb210Addr_->setText(Bilingual(chinese, u"切换器地址", u"Switcher Address"));
  cbbSwitcherSignalAddress_->setAccessibleName(cb210Addr_->text());
}

QRadioButton* TSwitcherSourcesView::KindButton(int kind) const {
  for (QRadioButton* b : findChildren<QRadioButton*>())
    if (b->property("kind").toInt() == kind) return b;
  return nullptr;
}
