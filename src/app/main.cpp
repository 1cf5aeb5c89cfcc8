#include "app/FrmUtama.h"
#include "common/module1.h"
#include "db/databaseurl.h"
#include "ui/messages.h"
#include "ui/screens.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PELITAKSA"));
    // The program ends when its last screen closes, as the main window's
    // "Keluar" leaves any other open screen running.
    QApplication::setQuitOnLastWindowClosed(true);
    // --database URL (or --database=URL) names the database; without it the
    // environment, pelitaksa.ini or SISWA.mdb here decide.
    QString databaseOption;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--database"))
            databaseOption = args.value(++i);
        else if (args.at(i).startsWith(QLatin1String("--database=")))
            databaseOption = args.at(i).mid(11);
    }
    const pel::db::DatabaseChoice choice = pel::db::chooseDatabase(databaseOption);
    if (!choice.ok()) {
        pel::ui::showMessage(choice.error + QStringLiteral("\rProgram tidak dapat dijalankan."), QString(),
                             pel::ui::Icon::Critical, pel::ui::Buttons::Ok);
        return 1;
    }
    pel::ChosenDatabase = choice.target;
    if (!pel::FrmUtama::start())
        return 1;
    return QApplication::exec();
}
