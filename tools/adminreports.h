#pragma once

#include <QStringList>

namespace pel {

// "report" on the administration tool's command line, with the words after it:
//   list                     the student list (also writes "Data Siswa.txt")
//   ipk                      the IPK list (also writes "IPK.txt")
//   statement NIS|--all      the grade statement of one student, or of every student
//   certificate NIS|--all    the certificate of one student, or of every student
//   --out FILE               where the text goes (standard output when not given)
// The text is the report screen's, with today's date; with --all the
// per-student reports follow one another as the screen appends them.
// dbConnection must be open. Returns 0, or prints why to standard error and
// returns 1 (the report failed) or 2 (the command line is wrong).
int runReportCommand(const QStringList &args);

} // namespace pel

// The tool's main() calls it by its short name.
using pel::runReportCommand;
