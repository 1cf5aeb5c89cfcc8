#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of the program pelitaksa: -h/--help, -v/--version and
// --database URL.
namespace pel::app {

struct ProgramOptions
{
    // Set when the program ends here: 0 after the help or the version, 2
    // after a usage error (each already printed).
    std::optional<int> exitCode;
    // --database URL (or --database=URL); empty when not given.
    QString database;
};

// True when the arguments ask for the help or the version. These are
// answered with a QCoreApplication alone, before any window system is asked
// for: they need no display and no database, and create nothing. Needs no
// application object.
bool asksForHelpOrVersion(const QStringList &arguments);

// Reads the program's arguments (Qt's own, such as -platform, already taken
// out by QApplication). Prints the help or the version to standard output,
// or a usage error to standard error, and says so with an exit code.
ProgramOptions readProgramOptions(const QStringList &arguments);

} // namespace pel::app
