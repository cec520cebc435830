#pragma once

#include <QString>

// The stored form of a password: the text's bytes in the system's code page
// (GBK), byte i combined by exclusive-or with byte i mod 8 of a fixed 8-byte
// key, each result written as two upper-case hex digits, joined without
// separators. Passwords are only ever compared in this form. It keeps a
// password from being read at a glance in QV.ini; it is not encryption.
// The empty text gives the empty text.
QString ScrambleText(const QString& text);
