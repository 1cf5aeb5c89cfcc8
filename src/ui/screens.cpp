#include "ui/screens.h"

#include <QApplication>
#include <QEvent>

namespace pel::ui {

namespace {

std::function<void()> &endHandler()
{
    static std::function<void()> handler;
    return handler;
}

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
    if (endHandler()) {
        endHandler()();
        return;
    }
    ending = true;
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}

} // namespace pel::ui
