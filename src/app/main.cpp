#include "app/FrmUtama.h"
#include "ui/screens.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PELITAKSA"));
    // The program ends when its last screen closes, as the main window's
    // "Keluar" leaves any other open screen running.
    QApplication::setQuitOnLastWindowClosed(true);
    if (!pel::FrmUtama::start())
        return 1;
    return QApplication::exec();
}
