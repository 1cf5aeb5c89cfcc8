#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QWidget;

// The Enter-key flow of the entry screens.
namespace pel::ui {

bool isEnter(const QKeyEvent *event);

// handler sees every key pressed in widget before the widget does; it
// returns true to keep the key from the widget.
void onKeyPress(QWidget *widget, std::function<bool(QKeyEvent *)> handler);

// Enter in widget runs handler; the Enter key itself is not passed on.
void onEnter(QWidget *widget, std::function<void()> handler);

// Enter (or Return) on the focused button presses it.
void pressOnEnter(QAbstractButton *button);
// The same for every button inside root.
void pressOnEnterAll(QWidget *root);

// Moves the focus to widget as the keyboard would: its window is marked as
// driven by the keyboard, so the focus mark (a button's focus frame) shows
// from the first move, not only after the operator has used Tab once. A
// button gets the focus for the Tab reason; a box gets it without one, so
// that its text is not selected on the way.
void moveFocus(QWidget *widget);

// Where two controls of one window share an underlined letter, the first
// one acts on Alt with that letter. The later button keeps its caption, but
// Alt with its letter no longer reaches it (the toolkit would otherwise only
// move the focus from one to the other at each press).
void leaveLetterToFirst(QAbstractButton *button);

// The same inside an open menu: the letter of two items chooses the first
// of them, instead of moving the highlight from one to the other.
void firstItemTakesLetter(QMenu *menu);

// An Alt letter (Alt with a letter or a digit) is a control's or a menu's
// underlined letter, never typing. When no enabled control takes it (its
// control is disabled, or no control has that letter) the toolkit would hand
// it to the focused box as a typed character; from the first call on it is
// dropped instead, in every window of the program. Ctrl+Alt (AltGr on some
// keyboards) still types.
void dropUnclaimedAltLetters();

// True for a key event that is an Alt letter in that sense.
bool isAltLetter(const QKeyEvent *event);

// Selects the whole text of a box, as Home then Shift+End do.
void selectWholeText(QWidget *widget);

// Moves the focus to widget and selects its whole text.
void focusAndSelect(QWidget *widget);

// The usual box of an entry screen: Enter with the box empty shows
// emptyMessage (title "Pesan", error icon, OK) and keeps the focus; Enter
// with text turns it into capitals when upperCase is set (showing the start
// of the text) and moves the focus to next.
void enterMovesTo(QLineEdit *box, QWidget *next, const QString &emptyMessage, bool upperCase);

} // namespace pel::ui
