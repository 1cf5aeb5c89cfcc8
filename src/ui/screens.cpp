#include "ui/screens.h"

#include "ui/keys.h"
#include "ui/surroundings.h"
#include "ui/translations.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace pel::ui {

namespace {

bool ending = false;

MainWindowCalls &mainWindow()
{
    static MainWindowCalls calls;
    return calls;
}

class ReturnOnClose : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close && !ending)
            showMainWindow();
        return false;
    }
};

// The open, visible main window that a new screen is centred over.
const QWidget *visibleMainWindow(const QWidget *besides)
{
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window != besides && qobject_cast<const QMainWindow *>(window) && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

void registerMainWindow(MainWindowCalls calls)
{
    mainWindow() = std::move(calls);
}

QWidget *showMainWindow()
{
    return mainWindow().show ? mainWindow().show() : nullptr;
}

void hideMainWindow()
{
    if (mainWindow().hide)
        mainWindow().hide();
}

void closeAndShowMainWindow(QWidget *screen)
{
    screen->close();
    showMainWindow();
}

void placeOverMainWindow(QWidget *screen)
{
    // A screen that chose its own place keeps it; the main window is not
    // placed over itself or over a second one.
    if (screen->testAttribute(Qt::WA_Moved) || qobject_cast<QMainWindow *>(screen))
        return;
    const QWidget *main = visibleMainWindow(screen);
    if (!main)
        return;
    // The size the screen will open with, as show() would make it.
    if (!screen->testAttribute(Qt::WA_Resized)) {
        screen->adjustSize();
        screen->setAttribute(Qt::WA_Resized, false);
    }
    // Inner areas centred on each other; move() places the frame, whose
    // four margins are taken to be those of the main window (a window
    // manager's title bar above, often a grip below).
    const QRect mainInner = main->geometry();
    const QRect mainFrame = main->frameGeometry();
    const QMargins margins(mainInner.left() - mainFrame.left(), mainInner.top() - mainFrame.top(),
                           mainFrame.right() - mainInner.right(), mainFrame.bottom() - mainInner.bottom());
    QRect inner(QPoint(), screen->size());
    inner.moveCenter(mainInner.center());
    QRect frame = inner.marginsAdded(margins);
    // Inside the desktop of the main window's screen, the top left corner
    // (with the title bar) first where the screen is larger than the desktop.
    if (const QScreen *desktop = main->screen()) {
        const QRect available = desktop->availableGeometry();
        frame.moveRight(std::min(frame.right(), available.right()));
        frame.moveBottom(std::min(frame.bottom(), available.bottom()));
        frame.moveLeft(std::max(frame.left(), available.left()));
        frame.moveTop(std::max(frame.top(), available.top()));
    }
    screen->move(frame.topLeft());
}

namespace {

// The inner area a window had when it was hidden.
const char *const PlaceBeforeHiding = "pelitaksaPlaceBeforeHiding";

} // namespace

void hideKeepingPlace(QWidget *window)
{
    if (window->isVisible())
        window->setProperty(PlaceBeforeHiding, window->geometry());
    window->hide();
}

void keepPlace(QWidget *window)
{
    // The inner area, not the frame: the frame's size is the window
    // manager's, and a hidden window may have none.
    const QVariant noted = window->property(PlaceBeforeHiding);
    const QRect place = noted.isValid() ? noted.toRect() : window->geometry();
    window->setGeometry(place);
    if (QWindow *handle = window->windowHandle())
        handle->setGeometry(place);
}

void prepareScreen(QWidget *)
{
    useIndonesianQtTexts();
    dropUnclaimedAltLetters();
}

void returnToMainWindowOnClose(QWidget *screen)
{
    screen->installEventFilter(new ReturnOnClose(screen));
}

void endProgram()
{
    surroundings().endProgram();
}

bool closeAllAndQuit()
{
    ending = true;
    QApplication::closeAllWindows(); // stops at the first window that refuses
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            ending = false;
            return false;
        }
    }
    QCoreApplication::exit(0);
    return true;
}

} // namespace pel::ui
