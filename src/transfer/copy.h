#pragma once

#include "db/result.h"

#include <QStringList>

namespace pel::db {
class Connection;
}

// Copying the four tables from one database to another (an SQLite file or a
// PostgreSQL database, either way).
namespace pel::transfer {

// Copies every row of SISWA, Pelajaran, t_petugas and Nilai from source to
// target in the order the source keeps them, inside one transaction on the
// target, the source read in one transaction too, so that the copy is one
// consistent picture even while desks go on writing. A target that already
// holds rows is refused (nothing changes, the refusal naming targetName)
// unless replace is given; then its rows go first. Each table's rows are counted in both databases before the
// commit; *report receives a line per table. The copied rows are no
// operator's changes: the target's audit trail leaves them out.
db::Result copyDatabase(const db::Connection &source, const db::Connection &target, const QString &targetName,
                        bool replace, QStringList *report);

} // namespace pel::transfer
