#include "setup/timer_tab_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "setup/caption_view.h"
#include "setup/timer_frame.h"

TTimerTabView::TTimerTabView(const TSetupServices& services, QWidget* parent)
    : TSetupTabPage(parent), services_(services) {
  weekday_ = BuildGroup(u"Weekday", u"星期一 到 星期五", 8, 18);
  weekend_ = BuildGroup(u"Weekend", u"星期六 到 星期日", 8, 18);
  btnTimerSet_ = new QPushButton(QStringLiteral("设置开关机参数"), this);
  btnTimerSet_->setObjectName(QStringLiteral("btnTimerSet"));
  btnTimerCancel_ = new QPushButton(QStringLiteral("取消设置"), this);
  btnTimerCancel_->setObjectName(QStringLiteral("btnTimerCancel"));
  connect(btnTimerSet_, &QPushButton::clicked, this, [this] { SendTimer(true); });
  connect(btnTimerCancel_, &QPushButton::clicked, this, [this] { SendTimer(false); });

  auto* groups = new QHBoxLayout;
  groups->addWidget(weekday_.group);
  groups->addWidget(weekend_.group);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnTimerSet_);
  buttons->addWidget(btnTimerCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  layout->addStretch();
}

TTimerTabView::TDayGroup TTimerTabView::BuildGroup(const char16_t* stem, const char16_t* title,
                                                   int onHour, int offHour) {
  const QString s = QString::fromUtf16(stem);
  TDayGroup g;
  g.group = new QGroupBox(QString::fromUtf16(title), this);
  g.group->setObjectName(QStringLiteral("gb") + s);
  auto edit = [&](const QString& name, int hour) {
    auto* e = new QTimeEdit(QTime(hour, 0), g.group);
    e->setObjectName(name);
    e->setDisplayFormat(QStringLiteral("HH:mm"));  // the seconds are not sent
    return e;
  };
  g.onLabel = new QLabel(QStringLiteral("开机："), g.group);
  g.onLabel->setObjectName(QStringLiteral("lbl") + s + QStringLiteral("On"));
  g.on = edit(QStringLiteral("tm") + s + QStringLiteral("On"), onHour);
  g.onLabel->setBuddy(g.on);
  g.offLabel = new QLabel(QStringLiteral("关机："), g.group);
  g.offLabel->setObjectName(QStringLiteral("lbl") + s + QStringLiteral("Off"));
  g.off = edit(QStringLiteral("tm") + s + QStringLiteral("Off"), offHour);
  g.offLabel->setBuddy(g.off);
  auto* grid = new QGridLayout(g.group);
  grid->addWidget(g.onLabel, 0, 0);
  grid->addWidget(g.on, 0, 1);
  grid->addWidget(g.offLabel, 1, 0);
  grid->addWidget(g.off, 1, 1);
  return g;
}

void TTimerTabView::SendTimer(bool set) {
  if (!services_.send) return;
  const QDateTime now = services_.clock ? services_.clock() : QDateTime::currentDateTime();
  const TTimerFrame frame = BuildTimerFrame(
      set, now,
      {weekday_.on->time(), weekday_.off->time(), weekend_.on->time(), weekend_.off->time()});
  services_.send(
      QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size())),
      true);
}

void TTimerTabView::LoadTexts() {
  const TWindowTexts& t = services_.texts;
  using setup_caption::Apply;
  auto group = [&](const TDayGroup& g, const char16_t* key) {
    Apply(t, key, g.group);
    Apply(t, u"ID_SETUP_FORM_TIMER_ON", g.onLabel);
    Apply(t, u"ID_SETUP_FORM_TIMER_OFF", g.offLabel);
    g.on->setAccessibleName(g.group->title() + QLatin1Char(' ') + g.onLabel->text());
    g.off->setAccessibleName(g.group->title() + QLatin1Char(' ') + g.offLabel->text());
  };
  group(weekday_, u"ID_SETUP_FORM_TIMER_WEEKDAY");
  group(weekend_, u"ID_SETUP_FORM_TIMER_WEEKEND");
  Apply(t, u"ID_SETUP_FORM_TIMER_SET", btnTimerSet_);
  Apply(t, u"ID_SETUP_FORM_TIMER_CANCEL", btnTimerCancel_);
}
