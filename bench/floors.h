#pragma once

#include <QString>

// What the sqlite3 command-line shell needs for the same work as the
// program's operations, on the same database file: the floor each operation
// is compared with.
namespace pel::bench {

enum class Floor {
    StartUp,
    Login,
    ReportScreenOpen,
    StudentList,
    IpkList,
    GradeStatement,
    Certificate,
    NextRegistrationNumber,
    StudentLookup,
    SaveGradeRow,
    SearchAll,
    // The four views of the statistics screen, each written as CSV to
    // floor-stats.csv with the columns of the tool's --csv.
    StatsSubjects,
    StatsIpk,
    StatsIntake,
    StatsInstructors,
};

struct FloorScript
{
    QString text; // the shell's input
    // How many times the script does the operation; a quick statement is
    // repeated so that the shell's own start counts for little.
    int repeats = 1;
};

// The script for one operation; nis is the student of the per-student ones,
// reportRows the number of rows of a file report (its footer counts them).
FloorScript floorScript(Floor floor, const QString &nis, int reportRows = 0);

// The shell's .import of a CSV file (a header line, then the rows) into
// table, with the audit triggers the program's own connection installs
// first: every imported row also writes its row to t_log, as it does when
// the program imports it.
QString importFloorScript(const QString &csvPath, const QString &table);

struct ShellRun
{
    bool ok = false;
    double seconds = 0;       // wall time, start of the process to its end
    double peakMegabytes = 0; // the process's peak resident memory
    double processorSeconds = 0; // its user and system time
    QString error;
};

// Runs sqlite3 on database with script as its input, through the launcher
// program pelitaksa-bench-shell, which measures it.
ShellRun runShell(const QString &launcher, const QString &database, const QString &script);

} // namespace pel::bench
