#pragma once

#include <QStringList>

namespace pel {

// "stats" on the administration tool's command line, with the words after it:
//   subjects|ipk|intake|instructors   the view (as on the statistics screen)
//   --program P, --level L            only that programme, that level
//   --from DD-MM-YYYY, --to DD-MM-YYYY the period (processing dates; entry
//                                     dates for intake)
//   --csv                             CSV instead of the fixed-width table
// The figures go to standard output. dbConnection must be open. Returns 0,
// or prints why to standard error and returns 1 (the figures could not be
// read or written) or 2 (the command line is wrong).
int runStatsCommand(const QStringList &args);

} // namespace pel
