#pragma once

#include "db/recordset.h"
#include "db/result.h"
#include "db/transaction.h"

#include <QString>

// How a store runs its statements: each on a result of its own, on the
// connection the store was given.
namespace pel::db {

class Connection;

// Runs one statement on conn; a query's rows go into *rows when given. A
// write reports the rows it touched.
Result run(const Connection &conn, const QString &sql, Recordset *rows = nullptr);

// A lookup: Ok with *rows standing on the first row, NotFound when the
// statement found none.
Result find(const Connection &conn, const QString &sql, Recordset *rows);

// An update or a delete of a key: one that ran but touched no row changed
// nothing, since no row has that key, and comes back NotFound.
Result writeKeyed(const Connection &conn, const QString &sql);

// The one guarded update of a record (a student, a subject, the rows of a
// grade): with lookedUp, the record as this desk read it, the write lock is
// taken first, the stored record is read (read(&current) gives NotFound when
// it is gone) and compared with lookedUp; when another desk changed it since,
// nothing is written, *stored receives the stored record and the result is
// Conflict. Otherwise updateSql runs, and *stored receives the record as
// stored afterwards. Without lookedUp the update simply runs.
template <class Record, class Read>
Result guardedUpdate(const Connection &conn, const QString &updateSql, const Record *lookedUp, Record *stored,
                     Read read)
{
    if (!lookedUp)
        return writeKeyed(conn, updateSql);
    Transaction transaction(conn, Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();
    Record current;
    if (const Result found = read(&current); !found.ok())
        return found;
    if (!(current == *lookedUp)) {
        if (stored)
            *stored = current;
        return Result::conflict();
    }
    const Result updated = writeKeyed(conn, updateSql);
    if (!updated.ok())
        return updated;
    if (stored) {
        if (const Result after = read(stored); !after.ok())
            return after;
    }
    if (!transaction.commit())
        return transaction.lastError();
    return updated;
}

} // namespace pel::db
