#pragma once

#include "db/databaseurl.h"

#include <QString>
#include <QStringList>

namespace pel {

// The transfer commands of the administration tool, the command word first:
//   export TABLE OUTFILE.csv|OUTFILE.xlsx [--separator ';']
//   import TABLE INFILE.csv|INFILE.xlsx [--dry-run] [--update] [--errors ERRORS.csv]
//   template TABLE [FILE.csv|FILE.xlsx]
// TABLE is students, subjects or grades. target is the chosen database (an
// SQLite file or a server database); template needs no database. Returns 0 when done (an
// import: every row passed, and unless --dry-run was given, was written);
// 1 when rows were refused or the work failed (why, on standard error);
// 2 when the command line is wrong.
bool isTransferCommand(const QString &command);
int runTransferCommand(const QString &command, const QStringList &args, const db::DatabaseTarget &target);

} // namespace pel
