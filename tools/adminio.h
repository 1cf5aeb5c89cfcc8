#pragma once

#include "db/databaseurl.h"
#include "db/result.h"

#include <QString>

namespace pel::db {
class Connection;
}

// What every command of the administration tool shares: one way to open the
// database (with the tool's operator, so that every audit row it causes
// names "admin:<user>"), and one way to say what went wrong.
namespace pel::admin {

// The user ID that the tool's changes carry in the audit trail:
// "admin:" and the user's login name.
QString toolOperator();

// Opens target on conn (the program's dbConnection unless another is
// given), sets the tool's operator, and lets its statements wait for a lock
// as long as a batch may; prints why not.
bool openDatabase(const db::DatabaseTarget &target);
bool openDatabase(const db::DatabaseTarget &target, db::Connection &conn, const QString &label = {});

// "pelitaksa-admin: " and message on standard error, a line each of its
// lines (a carriage return, as the screens' messages part their lines, also
// parts them). Returns 1, the exit code of a failed command.
int failure(const QString &message);
// The same for a failure: its first line and its cause and detail lines.
int failure(const db::Result &result);

} // namespace pel::admin
