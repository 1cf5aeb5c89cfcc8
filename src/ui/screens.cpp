#include "ui/screens.h"

#include "ui/surroundings.h"

#include <QApplication>
#include <QEvent>

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

void returnToMainWindowOnClose(QWidget *screen)
{
    screen->installEventFilter(new ReturnOnClose(screen));
}

void endProgram()
{
    surroundings().endProgram();
}

void closeAllAndQuit()
{
    ending = true;
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

} // namespace pel::ui
