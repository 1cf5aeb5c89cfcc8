#include "ui/screens.h"

#include <QApplication>

namespace pel::ui {

namespace {
std::function<void()> &endHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void endProgram()
{
    if (endHandler()) {
        endHandler()();
        return;
    }
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}

} // namespace pel::ui
