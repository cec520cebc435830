#include "setup/factory_number_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

#include "core/bilingual.h"
#include "link/protocol.h"
#include "setup/factory_number.h"

TFactoryNumberForm::TFactoryNumberForm(TProtocol& protocol, TWindowTexts texts, QWidget* parent)
    : QDialog(parent), protocol_(protocol), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TFactoryNumberForm"));
  lblName_ = new QLabel(QStringLiteral("请输入机器号："), this);
  lblName_->setObjectName(QStringLiteral("lblName"));
  edtMACID_ = new QLineEdit(QStringLiteral("0"), this);
  edtMACID_->setObjectName(QStringLiteral("edtMACID"));
  edtMACID_->setMinimumWidth(160);
  lblName_->setBuddy(edtMACID_);
  btnOK_ = new QPushButton(this);
  btnOK_->setObjectName(QStringLiteral("btnOK"));
  btnOK_->setDefault(true);  // Enter in the box is OK
  btnCancel_ = new QPushButton(this);
  btnCancel_->setObjectName(QStringLiteral("btnCancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblName_, 0, 0);
  grid->addWidget(edtMACID_, 0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOK_);
  buttons->addWidget(btnCancel_);
  grid->addLayout(buttons, 1, 0, 1, 2);
  setTabOrder(edtMACID_, btnOK_);
  setTabOrder(btnOK_, btnCancel_);

  connect(btnOK_, &QPushButton::clicked, this, &TFactoryNumberForm::OnOK);
  // Escape rejects the dialog as well: both leave everything as it was.
  connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
  LoadTexts();
}

TFactoryNumberForm::~TFactoryNumberForm() = default;

void TFactoryNumberForm::SetNumberText(const QString& text) { edtMACID_->setText(text); }

QString TFactoryNumberForm::NumberText() const { return edtMACID_->text(); }

void TFactoryNumberForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  LoadTexts();
  edtMACID_->setFocus();
  edtMACID_->selectAll();
}

void TFactoryNumberForm::LoadTexts() {
  auto caption = [this](const char* key) {
    return texts_.Caption(QStringLiteral("ID_SETUP_FACTORYNUMBER_FORM_") + QLatin1String(key));
  };
  // Designed captions for the buttons, kept when there is no table.
  if (btnOK_->text().isEmpty()) btnOK_->setText(Bilingual(texts_.Chinese(), u"确定", u"OK"));
  if (btnCancel_->text().isEmpty())
    btnCancel_->setText(Bilingual(texts_.Chinese(), u"取消", u"Cancel"));
  if (const QString title = caption("CAPTION"); !title.isNull()) setWindowTitle(title);
  if (const QString name = caption("lblName"); !name.isNull()) lblName_->setText(name);
  if (const QString ok = caption("btnOK"); !ok.isNull()) btnOK_->setText(ok);
  if (const QString cancel = caption("btnCancel"); !cancel.isNull()) btnCancel_->setText(cancel);
  setAccessibleName(windowTitle());
  lblName_->setAccessibleName(lblName_->text().trimmed());
  edtMACID_->setAccessibleName(lblName_->text().trimmed());
  btnOK_->setAccessibleName(btnOK_->text());
  btnCancel_->setAccessibleName(btnCancel_->text());
}

void TFactoryNumberForm::OnOK() {
  const bool longFrames = protocol_.LongFrames();
  const TFactoryNumber n = TFactoryNumber::Parse(edtMACID_->text(), longFrames);
  if (n.verdict != TFactoryNumber::TVerdict::Ok) {
    const bool chinese = texts_.Chinese();
    QMessageBox::warning(this, Bilingual(chinese, u"提示", u"Notice"),
                         TFactoryNumber::Message(n.verdict, longFrames, chinese));
    edtMACID_->setFocus();
    edtMACID_->selectAll();
    return;  // the dialog stays open, nothing sent or stored
  }
  quint8 frame[TProtocol::kBufferSize] = {};
  protocol_.SetFactoryNumber(static_cast<quint32>(n.number), frame);
  if (sendFrame) sendFrame(frame);
  const int next = n.number + 1;  // the range leaves room for it
  if (storeNext) storeNext(next);
  edtMACID_->setText(QString::number(next));
  accept();
}
