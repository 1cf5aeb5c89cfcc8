#include "students/studententry.h"

namespace pel::students {

bool isCharacterKey(int key, const QString &text)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return !text.isEmpty() && text.at(0) != QChar(0x7f);
    }
}

} // namespace pel::students
