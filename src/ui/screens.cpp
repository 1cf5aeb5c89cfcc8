#include "ui/screens.h"

#include "ui/surroundings.h"

#include <QApplication>
#include <QEvent>

namespace pel::ui {

namespace {

bool ending = false;

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
