#pragma once

#include "db/connection.h"

#include <QString>

// What every screen shares: the one database connection and the values the
// login keeps between attempts. Screens hand dbConnection to the stores they
// call; each statement runs on a result of its own.
namespace pel {

// The database file, in the folder the program was started in.
inline constexpr char DatabaseFileName[] = "SISWA.mdb";

// The database OpenDatabase opens, chosen at start-up (--database,
// PELITAKSA_DATABASE, pelitaksa.ini). Left as it is, it names SISWA.mdb in
// the current folder.
extern db::DatabaseTarget ChosenDatabase;

extern db::Connection dbConnection;

extern QString LoginUserId;
extern QString LoginPassword;
extern int LoginAttempt;

// Opens ChosenDatabase (SISWA.mdb of the current folder unless another was
// chosen) on a fresh connection; a failure names the file or server.
db::Result OpenDatabase();

} // namespace pel
