#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QKeyEvent;
class QLineEdit;
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

// Selects the whole text of a box, as Home then Shift+End do.
void selectWholeText(QWidget *widget);

// Moves the focus to widget and selects its whole text.
void focusAndSelect(QWidget *widget);

// The usual box of an entry screen: Enter with the box empty shows
// emptyMessage (title "Pesan", error icon, OK) and keeps the focus; Enter
// with text turns it into capitals when upperCase is set and moves the
// focus to next.
void enterMovesTo(QLineEdit *box, QWidget *next, const QString &emptyMessage, bool upperCase);

} // namespace pel::ui
