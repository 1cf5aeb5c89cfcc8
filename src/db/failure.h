#pragma once

#include <QString>
#include <QStringList>

class QSqlError;

namespace pel::db {
struct Result;
}

// Why a statement or a database file failed, in words the office reads: one
// short Indonesian line naming the cause, and the engine's own text after
// "Detail:". A message shows its own first line, then these lines.
namespace pel::db {

enum class Cause {
    DuplicateKey,   // the key is already stored
    EmptyKey,       // the key is empty
    NotANumber,     // a value the column refuses (not a number, infinite, negative credit units)
    Referenced,     // a row others still refer to
    InUse,          // another program holds the database
    DiskFull,       // no room left on the disk
    NotWritable,    // the file or its folder cannot be written
    NotFound,       // no file there
    IsFolder,       // a folder stands where the file should be
    NotOurDatabase, // some other file, or a database without this program's tables
    Damaged,        // the database file is corrupt
    ConnectionLost, // the connection to the server is gone; nothing of the statement was kept
    ConnectionLostUnknown, // gone while a write was being done or committed: whether it was kept is unknown
    Other,          // anything else
};

// The cause of a refused Qt SQL call, from SQLite's result code and, where
// the driver passes no code, its text.
Cause causeOf(const QSqlError &error);
// The cause of a store's refusal: the kinds that name one (a stored key, a
// refused value, a row still referred to) decide it, the engine's text the rest.
Cause causeOf(const Result &result);
// The cause of a failed file call, from its errno value.
Cause causeOfErrno(int errnoValue);

// The reason a statement carries when the connection to the server was
// lost: server names the server and the database, outcomeUnknown tells that
// the statement was a write (or a commit) whose result the server could not
// report any more, engineText is the driver's own text. Its cause is
// ConnectionLost or ConnectionLostUnknown, and its cause line names server.
QString connectionLostReason(const QString &server, bool outcomeUnknown, const QString &engineText);

// True when error tells that the connection to the server is gone: the
// server's state codes of class 08 and 57P01..57P03 (shut down, or this
// session ended), or libpq's words for a closed connection.
bool connectionGone(const QSqlError &error);

// The short line that names a cause, such as "Sebab: disk penuh.".
QString causeLine(Cause cause);

// The lines that follow a failure's own first line: the cause, then
// "Detail: " and the engine's text (left out when there is none).
QStringList failureLines(const QSqlError &error);
QStringList failureLines(Cause cause, const QString &detail);
// The same from the engine's text alone, as a Recordset's lastError() or a
// store Result's reason carries it.
QStringList failureLines(const QString &engineText);

// first, the cause line and the detail line, joined by a carriage return, as
// the program's messages separate their lines.
QString failureMessage(const QString &first, const QSqlError &error);
QString failureMessage(const QString &first, const QString &engineText);
QString failureMessage(const QString &first, Cause cause, const QString &detail);
// first, then the cause of a store's refusal and its reason.
QString failureMessage(const QString &first, const Result &result);

} // namespace pel::db
