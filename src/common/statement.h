#pragma once

#include "db/result.h"

#include <QString>

// How a store runs one statement: on the shared connection, through the
// shared recordset (see module1.h).
namespace pel {

// Replaces dbRecordset by the result of one statement on dbConnection. A
// write reports the rows it touched; a refusal comes back sorted, with the
// engine's reason.
db::Result OpenRecordset(const QString &sql);

// The same for an update or a delete of a key: one that ran but touched no
// row changed nothing, since no row has that key, and comes back NotFound.
db::Result WriteKeyedRows(const QString &sql);

} // namespace pel
