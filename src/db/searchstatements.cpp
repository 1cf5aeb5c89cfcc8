#include "db/searchstatements.h"

#include "db/sqltext.h"

namespace pel::db {

QString searchStudentsStatement(const QString &column, const QString &text)
{
    return QStringLiteral("select * from siswa ") + QStringLiteral("where (") + column + QStringLiteral("= ")
        + quoted(text) + QStringLiteral(")");
}

QString listAllStudentsStatement()
{
    // A bare "where SISWA.nis" would keep only the rows whose NIS reads as a
    // number other than zero, hiding students such as AB1 or 0.
    return QStringLiteral("select * from SISWA ") + QStringLiteral("where SISWA.nis is not null");
}

} // namespace pel::db
