#pragma once

#include <QString>

class QSqlError;

namespace pel::db {

// Why a statement or a file failed, in the office's terms. Each cause has
// one short Indonesian line (failure.h).
enum class Cause {
    None,           // no cause line: the failure's first line says it all
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
    Other,          // anything else the engine or the system refused
};

// What a call that reads or writes the database or a file came to: the one
// failure type of the program. A failure is classified once, where it
// arises, from the engine's own code (SQLite's extended result code,
// PostgreSQL's SQLSTATE, errno), which it keeps beside the engine's text; a
// screen maps the kind to its message and shows failureMessage() of it, the
// tool prints the same lines.
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

    // Where the failure arose: in the database engine, in a file or system
    // call, or in a check of the program's own.
    enum class Origin { Program, Database, File };

    Kind kind = Kind::Ok;
    Cause cause = Cause::None;
    QString code;         // the engine's own code: "2067" (SQLite), "23505" (PostgreSQL), "errno 28"
    QString reason;       // the engine's or the system's own text
    QString about;        // what failed, as the first line of its message, when the failure knows it
    QString server;       // for a lost connection: the server and the database
    int rowsAffected = 0; // rows a write touched
    Origin origin = Origin::Program;

    bool ok() const { return kind == Kind::Ok; }

    static Result success(int rowsAffected = 0) { return {Kind::Ok, Cause::None, {}, {}, {}, {}, rowsAffected}; }
    static Result notFound() { return {Kind::NotFound, Cause::None, {}, {}, {}, {}, 0}; }
    // Another desk changed the record since it was read.
    static Result conflict() { return {Kind::Conflict, Cause::None, {}, {}, {}, {}, 0}; }
    // A refusal of the program's own, before any statement runs (credit
    // units below zero, a registration number of another student): its
    // kind follows from its cause.
    static Result refused(Cause cause, const QString &reason, const QString &about = {});
    // A refusal with a first line and no cause of its own ("File X sudah
    // ada; tidak ditimpa.").
    static Result failed(const QString &about) { return refused(Cause::None, {}, about); }
    // A refusal of the program's own of the given kind, said in one line
    // ("petugas X sudah ada").
    static Result rejected(Kind kind, const QString &about) { return {kind, Cause::None, {}, {}, about, {}, 0}; }
    // A refused Qt SQL call, classified by the engine's code.
    static Result from(const QSqlError &error);
    // A failed system call, classified by its errno value; about names the
    // file and what was done with it.
    static Result fromErrno(int errnoValue, const QString &about);

    // The same failure with about as its first line.
    Result withAbout(const QString &text) const
    {
        Result copy = *this;
        copy.about = text;
        return copy;
    }
};

// The kind a cause gives a refusal.
Result::Kind kindOf(Cause cause);

// The text a refused Qt SQL call reports: the engine's own message when it
// gave one, otherwise Qt's.
QString errorText(const QSqlError &error);

} // namespace pel::db
