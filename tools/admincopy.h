#pragma once

#include <QStringList>

namespace pel {

// "copy" on the administration tool's command line, with the words after it:
//   --from URL --to URL [--replace]
// Copies the four tables from one database to another (SQLite file or
// PostgreSQL, either way) inside one transaction on the target. A target that
// already holds rows is refused unless --replace is given; a missing SQLite
// target file is created first. Prints, per table, the rows copied and the
// rows found in the target before the commit. Returns 0, or prints why to
// standard error and returns 1 (the copy failed, nothing changed) or 2 (the
// command line is wrong).
int runCopyCommand(const QStringList &args);

} // namespace pel
