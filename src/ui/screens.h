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

// What every screen gets when it is made, whatever its kind: the rules the
// program keeps on all its windows, Qt's texts in Indonesian
// (ui/translations.h) and the Alt letters that never type (ui/keys.h).
void prepareScreen(QWidget *screen);

// The open instance of T, created (loaded) when there is none, not yet shown.
template <class T>
T *createScreen()
{
    QPointer<T> &slot = screenSlot<T>();
    if (!slot) {
        slot = new T;
        slot->setAttribute(Qt::WA_DeleteOnClose);
        prepareScreen(slot.data());
    }
    return slot.data();
}

// Places a screen that has not placed itself centred over the open main
// window, kept inside the desktop. The main window itself is left where the
// system puts new windows.
void placeOverMainWindow(QWidget *screen);

// Hides a window and notes the place it had.
void hideKeepingPlace(QWidget *window);

// Pins a hidden window to the place it had before hideKeepingPlace(), so
// that the window system shows it there again instead of placing it anew.
// A window manager places a window anew each time it is shown unless the
// program names a place for it: the place is given to the system's window
// itself, since the widget alone does not pass on a place it already has.
void keepPlace(QWidget *window);

// Shows T: a new one centred over the main window (unless it places
// itself), an open one brought up again where it was.
template <class T>
T *showScreen()
{
    const bool isNew = !openScreen<T>();
    T *screen = createScreen<T>();
    if (isNew)
        placeOverMainWindow(screen);
    else if (!screen->isVisible())
        keepPlace(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

// The main window registers itself here, so that the screens below it can
// bring it back without knowing it. Until it has, showMainWindow() gives
// nullptr and hideMainWindow() does nothing.
struct MainWindowCalls
{
    std::function<QWidget *()> show;
    std::function<void()> hide;
};
void registerMainWindow(MainWindowCalls calls);

// The registry entry of screen class T as the main window.
template <class T>
void registerMainWindow()
{
    registerMainWindow({[] { return static_cast<QWidget *>(showScreen<T>()); },
                        [] {
                            if (T *window = openScreen<T>())
                                hideKeepingPlace(window);
                        }});
}

// Shows the main window: the open one, or a fresh one when it was closed.
QWidget *showMainWindow();
// Hides the main window when it is open.
void hideMainWindow();

// What every screen's exit button does: closes (unloads) the screen and
// makes the main window visible again.
void closeAndShowMainWindow(QWidget *screen);

// A screen that hides the main window brings it back however the screen is
// closed, its close box included, unless the program is ending.
void returnToMainWindowOnClose(QWidget *screen);

// Ends the program at once, as the program's surroundings end it
// (ui/surroundings.h): a test's stand-in only notes it.
void endProgram();
// The real ending: every screen closes and the event loop stops. A screen
// that refuses to close (its operator keeps unsaved work) keeps the program
// running: then false.
bool closeAllAndQuit();

} // namespace pel::ui
