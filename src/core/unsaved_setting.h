#pragma once

#include <QString>

#include "core/bilingual.h"

// What a window tells the operator when a setting it was asked to store could
// not be written (read-only program directory, full disk): the file on disk
// stays as it was, so the operator must know that the change is not lasting.
inline QString UnsavedSettingText(const QString& fileName, bool chinese) {
  return Bilingual(chinese, u"%1 无法写入（目录只读或磁盘已满），新的设置只在本次运行中有效。",
                   u"%1 cannot be written (read-only directory or full disk): the new setting "
                   u"holds only until the program ends.")
      .arg(fileName);
}

// The same when the window keeps nothing of the change either.
inline QString UnchangedFileText(const QString& fileName, bool chinese) {
  return Bilingual(chinese, u"%1 无法写入（目录只读或磁盘已满），没有作任何更改。",
                   u"%1 cannot be written (read-only directory or full disk): nothing was "
                   u"changed.")
      .arg(fileName);
}
