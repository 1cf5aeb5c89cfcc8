#pragma once

#include <QString>

class QSqlError;

namespace pel::db {

// What a store call came to. Every store returns this one kind of result, so a
// screen maps kinds to its messages and never reads an engine's error codes.
struct Result
{
    enum class Kind {
        Ok,
        NotFound,     // the statement ran but touched or found no row with that key
        DuplicateKey, // the key is already stored
        ForeignKey,   // refused by the foreign key (a student with grades)
        BadValue,     // a value the column refuses (not a number, empty key, out of range)
        Conflict,     // another desk changed the record since it was read
        Failure,      // anything else the engine refused: locked, full, damaged, gone
    };

    Kind kind = Kind::Ok;
    QString reason;       // the engine's own text when it refused
    int rowsAffected = 0; // rows a write touched

    bool ok() const { return kind == Kind::Ok; }

    static Result success(int rowsAffected = 0) { return {Kind::Ok, {}, rowsAffected}; }
    static Result notFound() { return {Kind::NotFound, {}, 0}; }
    static Result failure(Kind kind, const QString &reason) { return {kind, reason, 0}; }
    // A refused Qt SQL call, sorted by the engine's error.
    static Result from(const QSqlError &error);
    // A refused statement of which only the reason text is left (a
    // recordset keeps no more), sorted the same way.
    static Result refused(const QString &reason);
};

// The SQLSTATE of a PostgreSQL refusal, from its code or the end of its
// text; empty for SQLite's.
QString sqlState(const QSqlError &error);

// The text a refused Qt SQL call reports: the engine's own message when it
// gave one, otherwise Qt's.
QString errorText(const QSqlError &error);

} // namespace pel::db
