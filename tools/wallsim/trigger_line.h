#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "pty_line.h"

// The outside control system of the virtual wall: a pseudo-terminal linked
// as COM6 in the console's ports directory, which the console opens as its
// listening line. Each trigger writes a short message into it; the console
// switches the whole wall on any data, so the content does not matter.
class TTriggerLine : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kPortName = "COM6";

  explicit TTriggerLine(QObject* parent = nullptr);

  // Creates the line and links ports/COM6 to it (a stale link is replaced).
  // With wireKeys the listening keys Quvial.ini lacks are added (the port
  // name only when no other port of the file uses COM6), listed in added.
  bool Open(const QString& home, bool wireKeys, QString* error, QStringList* added);
  QString SlavePath() const { return line_.SlavePath(); }

  // "ALARM\r\n", what the wall's control sends.
  static QByteArray DefaultMessage();
  // Writes bytes (1 to 4096) into the listening line; false when the line is
  // closed, the bytes are empty or too many, or the console's side is full.
  bool Send(const QByteArray& bytes = DefaultMessage());
  int Sent() const { return sent_; }

 Q_SIGNALS:
  // After each trigger that went out: the count so far.
  void sent(int count);

 private:
  TPtyLine line_;
  int sent_ = 0;
};
