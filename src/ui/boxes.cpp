#include "ui/boxes.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace pel::ui {

void fill(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void fill(QComboBox *combo, const QString &text)
{
    combo->setEditText(text);
    if (QLineEdit *line = combo->lineEdit())
        line->setCursorPosition(0);
}

void fitEntries(QComboBox *combo)
{
    const QFontMetrics metrics(combo->lineEdit() ? combo->lineEdit()->font() : combo->font());
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i) {
        const QString entry = combo->itemText(i);
        widest = std::max({widest, metrics.horizontalAdvance(entry), metrics.horizontalAdvance(entry.toUpper())});
    }
    // The edit line keeps a margin of 2 pixels and room for the caret on each side.
    const int textWidth = widest + 2 * 2 + 2;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QSize size = combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                        QSize(textWidth, metrics.height()), combo);
    combo->setMinimumWidth(std::max(combo->minimumWidth(), size.width()));
}

} // namespace pel::ui
