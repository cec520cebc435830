#include "setup/version_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <utility>

#include "core/bilingual.h"
#include "core/program_dir.h"
#include "setup/version_notes.h"

TVersionForm::TVersionForm(TWindowTexts texts, QWidget* parent)
    : QDialog(parent), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TVersionForm"));
  setWindowTitle(QStringLiteral("关于本软件"));
  setModal(false);
  lblVersionName_ = new QLabel(QStringLiteral("版本号 ："), this);
  lblVersionName_->setObjectName(QStringLiteral("lblVersionName"));
  lblVersion_ = new QLabel(this);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  lblVersion_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  btnShowVersion_ = new QPushButton(QStringLiteral("版本信息"), this);
  btnShowVersion_->setObjectName(QStringLiteral("btnShowVersion"));
  btnShowVersion_->setAutoDefault(false);  // Enter must not send to the screens
  btnClose_ = new QPushButton(this);
  btnClose_->setObjectName(QStringLiteral("btnClose"));
  btnClose_->setDefault(true);
  memoVersion_ = new QPlainTextEdit(this);
  memoVersion_->setObjectName(QStringLiteral("memoVersion"));
  memoVersion_->setReadOnly(true);
  memoVersion_->setMinimumSize(420, 240);
  // Tab leaves the memo rather than being typed into it.
  memoVersion_->setTabChangesFocus(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblVersionName_, 0, 0);
  grid->addWidget(lblVersion_, 0, 1);
  grid->addWidget(btnShowVersion_, 0, 2);
  grid->addWidget(memoVersion_, 1, 0, 1, 3);
  grid->addWidget(btnClose_, 2, 2);
  grid->setColumnStretch(1, 1);
  setTabOrder(btnShowVersion_, memoVersion_);
  setTabOrder(memoVersion_, btnClose_);
  connect(btnClose_, &QPushButton::clicked, this, &QDialog::close);

  connect(btnShowVersion_, &QPushButton::clicked, this, [this] {
    if (showVersion) showVersion();
  });
  LoadTexts();
}

TVersionForm::~TVersionForm() = default;

void TVersionForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  Refresh();
  LoadTexts();
}

void TVersionForm::Refresh() {
  lblVersion_->setText(versionText ? versionText() : QString());
  memoVersion_->clear();
  const TVersionNotes notes =
      TVersionNotes::Read(notesPath ? notesPath() : ProgramFile(QStringLiteral("version.cfg")));
  memoVersion_->setPlainText(notes.lines.join(u'\n'));
  if (notes.truncated)
    memoVersion_->appendPlainText(TVersionNotes::TruncatedLine(texts_.Chinese()));
  memoVersion_->moveCursor(QTextCursor::Start);
  if (!notes.error.isEmpty()) {
    // Told once the dialog is up, so that the showing itself never blocks.
    QPointer<TVersionForm> self(this);
    const QString text = notes.error;
    QTimer::singleShot(0, this, [self, text] {
      if (self)
        QMessageBox::warning(self, Bilingual(self->texts_.Chinese(), u"提示", u"Notice"), text);
    });
  }
}

void TVersionForm::LoadTexts() {
  auto caption = [this](const char* key) {
    return texts_.Caption(QStringLiteral("ID_VERSION_FORM_") + QLatin1String(key));
  };
  if (const QString name = caption("LBLVERSIONNAME"); !name.isNull())
    lblVersionName_->setText(name);
  if (const QString button = caption("BTNVERSION"); !button.isNull())
    btnShowVersion_->setText(button);
  setWindowTitle(Bilingual(texts_.Chinese(), u"关于本软件", u"About"));
  setAccessibleName(windowTitle());
  lblVersionName_->setAccessibleName(lblVersionName_->text().trimmed());
  lblVersion_->setAccessibleName(lblVersionName_->text().trimmed());
  btnShowVersion_->setAccessibleName(btnShowVersion_->text());
  btnClose_->setText(Bilingual(texts_.Chinese(), u"关闭", u"Close"));
  btnClose_->setAccessibleName(btnClose_->text());
  memoVersion_->setAccessibleName(Bilingual(texts_.Chinese(), u"版本说明", u"Version notes"));
}
