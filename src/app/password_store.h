#pragma once

#include <QString>

// The manager and super-manager passwords in QV.ini (section "pw", keys
// "Mng" and "super"), kept only in their scrambled form. A log-in first
// creates a missing file with the default passwords; an existing file is
// never rewritten by that step.
//
// A key that an existing file lacks (a file edited by hand, or one that a
// password change created after the file had gone) stands for that
// password's default, never for the empty password: a missing line must not
// open the super manager's functions to anyone. An empty password is still
// possible, when it has been set on purpose ("Mng=" in the file).
//
// The scramble only hides the passwords from a glance: anyone who can read
// the file can undo it. So the file is created and rewritten readable by its
// owner only (0600, or an existing file's stricter mode).
class TPasswordStore {
 public:
  // The passwords a new file gets.
  static constexpr char16_t kDefaultSuper[] = u"304718";
  static constexpr char16_t kDefaultManager[] = u"620935";

  enum class TChange {
    Ok,              // the new password is stored
    SourceWrong,     // the old password does not match
    ConfirmDiffers,  // the new password and its confirmation differ
    WriteFailed,     // QV.ini could not be written; nothing changed
  };

  explicit TPasswordStore(QString path);
  static QString DefaultPath();  // QV.ini in the program's directory

  const QString& Path() const { return path_; }

  // Creates the file with both default passwords when it is missing. False
  // only when it was missing and could not be created.
  bool EnsureDefaults();

  // The log-in checks: create the file when missing, then compare the
  // scrambled text with the stored value (case-sensitive).
  bool CheckManager(const QString& text);
  bool CheckSuper(const QString& text);

  // The password changes. They do not create the file first: without a file
  // the old password reads as empty, and the write then creates the file
  // with the one key. The manager's key is written as "mng".
  TChange ChangeManager(const QString& oldText, const QString& newText, const QString& confirmText);
  TChange ChangeSuper(const QString& oldText, const QString& newText, const QString& confirmText);

 private:
  // The stored scrambled value; the default password's when the file exists
  // without the key, or (for log-ins) when the file could not be created.
  QString Stored(const QString& key, const QString& defaultPassword, bool fileMissingIsEmpty) const;
  bool Check(const QString& key, const QString& defaultPassword, const QString& text);
  TChange Change(const QString& key, const QString& defaultPassword, const QString& oldText,
                 const QString& newText, const QString& confirmText);

  QString path_;
};

// What the user manager tells the operator, in the interface language.
enum class TUserMessage {
  BadPassword,
  ManagerLoginOk,
  SuperLoginOk,
  ManagerSourceWrong,
  SuperSourceWrong,
  ConfirmDiffers,
  ManagerChanged,
  SuperChanged,
  WriteFailed,
};

QString UserMessageText(TUserMessage message, bool chinese);
