#pragma once

#include <QString>

// The rules of the student entry screen that need no widgets.
namespace pel::students {

// A key that types a character (letters, digits, Backspace, Enter and the
// like); the arrow keys, Tab, Delete and the bare modifier keys are none.
bool isCharacterKey(int key, const QString &text);

} // namespace pel::students
