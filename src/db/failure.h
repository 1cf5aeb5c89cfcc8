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
