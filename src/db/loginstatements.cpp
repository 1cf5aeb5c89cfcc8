#include "db/loginstatements.h"

#include "db/sqltext.h"

namespace pel::db {

QString selectOperators()
{
    return QStringLiteral("select * from t_petugas");
}

QString selectOperatorByUserId(const QString &userId)
{
    return QStringLiteral("select * from t_petugas ") + QStringLiteral("where userid like ") + likeLiteral(userId);
}

} // namespace pel::db
