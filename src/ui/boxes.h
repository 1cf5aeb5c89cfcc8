#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

// Boxes that the program fills. A box too narrow for its text shows the
// start of it, as the operator reads it, not the end where the caret of a
// freshly set text would put it.
namespace pel::ui {

// Sets the box's text and puts the caret at its start.
void fill(QLineEdit *box, const QString &text);
// The same for the edit line of an editable combo box.
void fill(QComboBox *combo, const QString &text);

// Makes an editable combo box wide enough to show each entry of its list
// whole, in capitals too, since Enter turns a picked entry into capitals.
void fitEntries(QComboBox *combo);

} // namespace pel::ui
