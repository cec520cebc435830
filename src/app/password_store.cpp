#include "app/password_store.h"

#include "app/scramble.h"
#include "core/atomic_file.h"
#include "core/profile_file.h"
#include "core/program_dir.h"

namespace {

const QString kSection = QStringLiteral("pw");
// Values read from a profile file never hold a line break, so this default
// tells a missing key from an empty value.
const QString kAbsent = QStringLiteral("\n");

QString SuperKey() { return QStringLiteral("super"); }
QString ManagerKey() { return QStringLiteral("mng"); }

}  // namespace

TPasswordStore::TPasswordStore(QString path) : path_(std::move(path)) {}

QString TPasswordStore::DefaultPath() { return ProgramFile(QStringLiteral("QV.ini")); }

bool TPasswordStore::EnsureDefaults() {
  TProfileFile file(path_);
  if (file.Exists()) return true;
  // Both keys in one atomic write, so that no crash leaves a file with one.
  const QByteArray text =
      "[pw]\r\nsuper=" + ScrambleText(QString::fromUtf16(kDefaultSuper)).toLatin1() +
      "\r\nMng=" + ScrambleText(QString::fromUtf16(kDefaultManager)).toLatin1() + "\r\n";
  return WriteFileAtomically(path_, text, TFileAccess::OwnerOnly);
}

QString TPasswordStore::Stored(const QString& key, const QString& defaultPassword,
                               bool fileMissingIsEmpty) const {
  const TProfileFile file(path_);
  if (!file.Exists()) return fileMissingIsEmpty ? QString() : ScrambleText(defaultPassword);
  const QString value = file.ReadString(kSection, key, kAbsent);
  return value == kAbsent ? ScrambleText(defaultPassword) : value;
}

bool TPasswordStore::Check(const QString& key, const QString& defaultPassword,
                           const QString& text) {
  EnsureDefaults();
  return ScrambleText(text) == Stored(key, defaultPassword, false);
}

bool TPasswordStore::CheckManager(const QString& text) {
  return Check(ManagerKey(), QString::fromUtf16(kDefaultManager), text);
}

bool TPasswordStore::CheckSuper(const QString& text) {
  return Check(SuperKey(), QString::fromUtf16(kDefaultSuper), text);
}

TPasswordStore::TChange TPasswordStore::Change(const QString& key, const QString& defaultPassword,
                                               const QString& oldText, const QString& newText,
                                               const QString& confirmText) {
  if (ScrambleText(oldText) != Stored(key, defaultPassword, true)) return TChange::SourceWrong;
  if (newText != confirmText) return TChange::ConfirmDiffers;
  TProfileFile file(path_, TFileAccess::OwnerOnly);
  return file.WriteString(kSection, key, ScrambleText(newText)) ? TChange::Ok
                                                                : TChange::WriteFailed;
}

TPasswordStore::TChange TPasswordStore::ChangeManager(const QString& oldText,
                                                      const QString& newText,
                                                      const QString& confirmText) {
  return Change(ManagerKey(), QString::fromUtf16(kDefaultManager), oldText, newText, confirmText);
}

TPasswordStore::TChange TPasswordStore::ChangeSuper(const QString& oldText, const QString& newText,
                                                    const QString& confirmText) {
  return Change(SuperKey(), QString::fromUtf16(kDefaultSuper), oldText, newText, confirmText);
}

QString UserMessageText(TUserMessage message, bool chinese) {
  switch (message) {
    case TUserMessage::BadPassword:
      return chinese ? QStringLiteral("密码错误，请重新输入")
                     : QStringLiteral("Bad Password，Please input again");
    case TUserMessage::ManagerLoginOk:
      return chinese ? QStringLiteral("登录成功") : QStringLiteral("Login success!");
    case TUserMessage::SuperLoginOk:
      return chinese ? QStringLiteral("登录成功") : QStringLiteral("Login Success");
    case TUserMessage::ManagerSourceWrong:
      return chinese ? QStringLiteral("原密码输入错误") : QStringLiteral("Source Password Error");
    case TUserMessage::SuperSourceWrong:
      return chinese ? QStringLiteral("原密码输入错误") : QStringLiteral("Source password error");
    case TUserMessage::ConfirmDiffers:
      return chinese ? QStringLiteral("新密码和新确认密码不同，请重新修改。")
                     : QStringLiteral("two diffent password,please input again");
    case TUserMessage::ManagerChanged:
      return chinese ? QStringLiteral("密码修改成功!") : QStringLiteral("Change Password ok");
    case TUserMessage::SuperChanged:
      return chinese ? QStringLiteral("密码修改成功!") : QStringLiteral("Change Password OK");
    case TUserMessage::WriteFailed:
      return chinese ? QStringLiteral("密码未能保存：QV.ini 无法写入，原密码仍然有效。")
                     : QStringLiteral(
                           "The password was not saved: QV.ini cannot be written. The old "
                           "password is still valid.");
  }
  return {};
}
