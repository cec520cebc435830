#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Names in scene files are GBK in fixed, zero-padded fields (10 bytes in the
// header, 12 in an item); a field of full length has no terminator.
namespace SceneText {

// The name's GBK bytes, at most maxBytes long. The cut falls before a
// double-byte character that would not fit whole, so that a stored name never
// ends in half a character.
QByteArray Fit(const QString& name, int maxBytes);

// The text of a field: its bytes up to the first zero byte or the field's end.
QString Read(const quint8* field, int size);

}  // namespace SceneText
