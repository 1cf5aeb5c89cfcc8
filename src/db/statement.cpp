#include "db/statement.h"

#include "db/connection.h"

namespace pel::db {

Result run(const Connection &conn, const QString &sql, Recordset *rows)
{
    Recordset local;
    return (rows ? *rows : local).open(sql, conn);
}

Result find(const Connection &conn, const QString &sql, Recordset *rows)
{
    const Result result = rows->open(sql, conn);
    if (!result.ok())
        return result;
    if (rows->recordCount() == 0)
        return Result::notFound();
    rows->moveFirst();
    return result;
}

Result writeKeyed(const Connection &conn, const QString &sql)
{
    const Result result = run(conn, sql);
    return result.ok() && result.rowsAffected == 0 ? Result::notFound() : result;
}

} // namespace pel::db
