#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

struct TProfileDocument;  // the parsed form, private to profile_text.cpp

// The contents of a profile (INI) file, parsed once: the rules of reading and
// of writing that TProfileFile follows (profile_file.h tells them), over bytes
// in memory. TProfileFile reads and writes its file through it. Never changed
// once made; copies share the parsed form.
class TProfileText {
 public:
  using TEntries = QList<std::pair<QString, QString>>;

  explicit TProfileText(QByteArray bytes = {});

  const QByteArray& Bytes() const;

  // The value of key in section; nothing when either is missing.
  std::optional<QString> Value(const QString& section, const QString& key) const;
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  // Keys of a section in file order, spelled as in the file.
  QStringList ReadSection(const QString& section) const;
  // The sections in file order (the first of each name), trimmed and case-folded.
  QStringList Sections() const;

  // The text with the entries written into section one after the other;
  // nothing when there are none or any of them would be refused.
  std::optional<TProfileText> WithStrings(const QString& section, const TEntries& entries) const;

 private:
  std::shared_ptr<const TProfileDocument> doc_;
};
