#include "common/statement.h"

#include "common/module1.h"

namespace pel {

db::Result OpenRecordset(const QString &sql)
{
    if (!dbRecordset.open(sql, dbConnection))
        return db::Result::refused(dbRecordset.lastError());
    return db::Result::success(dbRecordset.rowsAffected());
}

db::Result WriteKeyedRows(const QString &sql)
{
    const db::Result result = OpenRecordset(sql);
    return result.ok() && result.rowsAffected == 0 ? db::Result::notFound() : result;
}

} // namespace pel
