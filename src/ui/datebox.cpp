#include "ui/datebox.h"

#include <QFocusEvent>
#include <QRegularExpression>

namespace pel::ui {

DateBox::DateBox(QWidget *parent) : QLineEdit(parent)
{
    // "0": a digit may stand here, so a half-typed date is kept as typed.
    setInputMask(QStringLiteral("00-00-0000;_"));
}

bool DateBox::readDate(QDate *date) const
{
    *date = QDate();
    if (text() == Empty)
        return true;
    *date = QDate::fromString(text(), QStringLiteral("dd-MM-yyyy"));
    return date->isValid();
}

void DateBox::setDate(const QDate &date)
{
    QLineEdit::setText(date.toString(QStringLiteral("dd-MM-yyyy")));
}

bool DateBox::canHold(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9_]{2}-[0-9_]{2}-[0-9_]{4}$"));
    return text.isEmpty() || pattern.match(text).hasMatch();
}

void DateBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        selectAll();
        break;
    default: // a click, or the window or a menu giving the focus back
        break;
    }
}

void DateBox::clearToMask()
{
    QLineEdit::clear();
}

} // namespace pel::ui
