#include "app/programoptions.h"

#include "common/commandline.h"

#include <QCommandLineParser>

namespace pel::app {

namespace {

const QString Program = QStringLiteral("pelitaksa");

struct Parser
{
    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Data siswa, mata pelajaran, nilai dan laporan akademik.\n"
                           "Program membuka SISWA.mdb di folder tempat ia dijalankan, atau database yang\n"
                           "dipilih dengan --database, PELITAKSA_DATABASE atau pelitaksa.ini. Program tidak\n"
                           "pernah membuat database: buatlah dengan \"pelitaksa-admin create\", atau\n"
                           "\"pelitaksa-admin demo\" untuk mencoba program dengan data contoh."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(database);
    }

    QCommandLineParser parser;
    const QCommandLineOption help = cli::helpOption();
    const QCommandLineOption version = cli::versionOption();
    const QCommandLineOption database{
        QStringLiteral("database"),
        QStringLiteral("Database yang dipakai: file SQLite, atau postgresql://pengguna@server:port/database "
                       "(bawaan: PELITAKSA_DATABASE, lalu pelitaksa.ini, lalu SISWA.mdb di folder ini)."),
        QStringLiteral("URL")};
};

int usageError(const QString &message)
{
    cli::printError(QStringLiteral("%1: %2\nKetik \"%1 --help\" untuk bantuan.\n").arg(Program, message));
    return 2;
}

} // namespace

bool asksForHelpOrVersion(const QStringList &arguments)
{
    Parser p;
    p.parser.parse(arguments);
    return p.parser.isSet(p.help) || p.parser.isSet(p.version);
}

ProgramOptions readProgramOptions(const QStringList &arguments)
{
    const cli::ParserWords words;
    Parser p;
    ProgramOptions options;
    if (!p.parser.parse(arguments))
        options.exitCode = usageError(p.parser.errorText());
    else if (!p.parser.positionalArguments().isEmpty())
        options.exitCode =
            usageError(QStringLiteral("argumen tidak dikenal: %1").arg(p.parser.positionalArguments().join(u' ')));
    else if (p.parser.isSet(p.version)) {
        cli::printOut(cli::versionText(Program));
        options.exitCode = 0;
    } else if (p.parser.isSet(p.help)) {
        cli::printOut(cli::helpText(p.parser, Program));
        options.exitCode = 0;
    } else if (p.parser.isSet(p.database) && p.parser.value(p.database).trimmed().isEmpty()) {
        options.exitCode = usageError(QStringLiteral("--database tidak boleh kosong"));
    } else {
        options.database = p.parser.value(p.database);
    }
    return options;
}

} // namespace pel::app
