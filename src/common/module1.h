#pragma once

#include "db/connection.h"
#include "db/recordset.h"

#include <QString>

// What every screen shares: the one database connection, the shared
// recordsets and the values the login keeps between attempts.
namespace pel {

// The database file, in the folder the program was started in.
inline constexpr char DatabaseFileName[] = "SISWA.mdb";

// The database OpenDatabase opens, chosen at start-up (--database,
// PELITAKSA_DATABASE, pelitaksa.ini). Left as it is, it names SISWA.mdb in
// the current folder.
extern db::DatabaseTarget ChosenDatabase;

extern db::Connection dbConnection;
// Every read or write of a screen opens its one statement on this recordset,
// replacing what it held.
extern db::Recordset dbRecordset;
// Used by the IPK list for per-student totals while dbRecordset stays on the student.
extern db::Recordset dbRecordset2;

extern QString LoginUserId;
extern QString LoginPassword;
extern int LoginAttempt;

// Opens ChosenDatabase (SISWA.mdb of the current folder unless another was
// chosen) on a fresh connection. Returns false when it cannot;
// dbConnection.lastError() then names the file or server and the reason.
bool OpenDatabase();

} // namespace pel
