#include "ui/datebox.h"

namespace pel::ui {

DateBox::DateBox(QWidget *parent) : QLineEdit(parent)
{
    // "0": a digit may stand here, so a half-typed date is kept as typed.
    setInputMask(QStringLiteral("00-00-0000;_"));
}

void DateBox::setDate(const QDate &date)
{
    QLineEdit::setText(date.toString(QStringLiteral("dd-MM-yyyy")));
}

void DateBox::clearToMask()
{
    QLineEdit::clear();
}

} // namespace pel::ui
