#pragma once

#include <QDate>
#include <QLineEdit>

namespace pel::ui {

// The masked date box: "##-##-####" with "_" in every place not yet typed.
// Its text always reads with the dashes and the "_" prompts, the way it is
// shown and stored: an untouched box reads "__-__-____".
class DateBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit DateBox(QWidget *parent = nullptr);

    // The text as shown, prompts included. (QLineEdit::text() drops them.)
    QString text() const { return displayText(); }
    void setDate(const QDate &date);
    // The date the box shows: a null date for the empty box; false when the
    // text is no calendar date.
    bool readDate(QDate *date) const;
    // Empties the box back to its bare mask.
    void clearToMask();

    // True when a stored text can stand in the box unchanged: the empty
    // text, or "dd-mm-yyyy" with a digit or "_" in each of the eight places.
    static bool canHold(const QString &text);

    static inline const QString Mask = QStringLiteral("##-##-####");
    static inline const QString Empty = QStringLiteral("__-__-____");

protected:
    // Reached by the keyboard or by the Enter flow, the box selects its whole
    // text, so that a date typed replaces the one shown (the caret would
    // otherwise stand after the last place, where nothing can be typed). A
    // click puts the caret where it points.
    void focusInEvent(QFocusEvent *event) override;
};

} // namespace pel::ui
