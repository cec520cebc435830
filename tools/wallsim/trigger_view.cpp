#include "trigger_view.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "trigger_line.h"

TTriggerView::TTriggerView(TTriggerLine& line, QWidget* parent) : QWidget(parent), line_(line) {
  setObjectName(QStringLiteral("triggerView"));
  auto* layout = new QVBoxLayout(this);
  btnTrigger_ = new QPushButton(QStringLiteral("Send trigger"), this);
  btnTrigger_->setObjectName(QStringLiteral("btnTrigger"));
  btnTrigger_->setAccessibleName(btnTrigger_->text());
  btnTrigger_->setToolTip(QStringLiteral("Writes \"ALARM\" into the console's listening line (%1)")
                              .arg(QLatin1String(TTriggerLine::kPortName)));
  lblTriggers_ = new QLabel(this);
  lblTriggers_->setObjectName(QStringLiteral("lblTriggers"));
  layout->addWidget(btnTrigger_);
  layout->addWidget(lblTriggers_);
  layout->addStretch(1);
  // A trigger that went out updates the count through the line's signal.
  connect(btnTrigger_, &QPushButton::clicked, this, [this] {
    if (!line_.Send()) ShowCount(line_.Sent(), true);
  });
  connect(&line_, &TTriggerLine::sent, this, [this](int count) { ShowCount(count, false); });
  ShowCount(line_.Sent(), false);
}

void TTriggerView::ShowCount(int count, bool failed) {
  lblTriggers_->setText(failed ? QStringLiteral("not sent: the console is not reading")
                               : QStringLiteral("triggers sent: %1").arg(count));
  lblTriggers_->setAccessibleName(lblTriggers_->text());
}
