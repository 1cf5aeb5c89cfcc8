#pragma once

#include <QPointer>
#include <QWidget>

// The screen registry: each screen exists at most once. showScreen<T>()
// creates T when it is not open (its constructor is the load), or brings the
// open one up again; a closed screen is deleted and made anew next time.
namespace pel::ui {

template <class T>
QPointer<T> &screenSlot()
{
    static QPointer<T> slot;
    return slot;
}

// The open instance of T, or nullptr.
template <class T>
T *openScreen()
{
    return screenSlot<T>().data();
}

template <class T>
T *showScreen()
{
    QPointer<T> &slot = screenSlot<T>();
    if (!slot) {
        slot = new T;
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

// Shows the main window: the open one, or a fresh one when it was closed.
QWidget *showMainWindow();
// Hides the main window when it is open.
void hideMainWindow();

} // namespace pel::ui
