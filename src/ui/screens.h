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

// The open instance of T, created (loaded) when there is none, not yet shown.
template <class T>
T *createScreen()
{
    QPointer<T> &slot = screenSlot<T>();
    if (!slot) {
        slot = new T;
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return slot.data();
}

template <class T>
T *showScreen()
{
    T *screen = createScreen<T>();
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

// Shows the main window: the open one, or a fresh one when it was closed.
QWidget *showMainWindow();
// Hides the main window when it is open.
void hideMainWindow();

// A screen that hides the main window brings it back however the screen is
// closed, its close box included, unless the program is ending.
void returnToMainWindowOnClose(QWidget *screen);

// Ends the program at once, as the program's surroundings end it
// (ui/surroundings.h): a test's stand-in only notes it.
void endProgram();
// The real ending: every screen closes and the event loop stops.
void closeAllAndQuit();

} // namespace pel::ui
