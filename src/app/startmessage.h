#pragma once

#include <QString>

namespace pel::app {

// The message that ends the program when its database cannot be opened at
// start-up: the reason (its lines joined by '\r', naming the database and
// the cause); when an SQLite file is not there, how to make one in its
// folder with the administration tool (an empty one, or one with demo data
// to try the program); and that the program cannot run.
QString startFailureMessage(const QString &reason, bool fileMissing, const QString &filePath);

} // namespace pel::app
