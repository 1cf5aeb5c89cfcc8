#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The administration tool's command line and its help: one place holding the
// usage and the description of every command, shown by --help, by
// "help COMMAND" and under every usage error.
namespace pel::admin {

// The commands in the order the help lists them.
QStringList commandNames();

// The help of one command: its usage lines and what it does. Empty for a
// word that names no command.
QString commandHelp(const QString &command);

// The usage lines of the commands named (of every command when none is), as
// a usage error shows them.
QString commandUsage(const QStringList &commands = {});

// Writes "pelitaksa-admin: MESSAGE", a blank line and the usage lines of the
// commands named to standard error. Returns 2, the exit code of a usage error.
int usageError(const QString &message, const QStringList &commands = {});

struct ToolOptions
{
    // Set when the tool ends here: 0 after a help or the version, 2 after a
    // usage error (each already printed).
    std::optional<int> exitCode;
    QString database; // --db FILE or --database URL; empty when not given
    QString command;
    QStringList arguments; // the words after the command, options included
};

// Reads the tool's arguments: the options before the command (-h/--help,
// -v/--version, --db FILE, --database URL), the command and its words.
// Answers --help, --version, "help [COMMAND]" and "COMMAND --help" itself.
// Needs an application object.
ToolOptions readToolOptions(const QStringList &arguments);

} // namespace pel::admin
