#include "db/recordset.h"

#include "db/connection.h"
#include "db/postgres.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace pel::db {

bool Recordset::open(const QString &sql, const Connection &conn)
{
    close();
    if (!conn.isOpen()) {
        m_error = QStringLiteral("Database belum terbuka.");
        return false;
    }
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        m_error = errorText(query.lastError());
        return false;
    }
    const QSqlRecord record = query.record();
    const int columns = record.count();
    m_fields.reserve(columns);
    for (int i = 0; i < columns; ++i)
        m_fields << (conn.isPostgres() ? programColumnName(record.fieldName(i)) : record.fieldName(i));
    if (query.isSelect()) {
        while (query.next()) {
            for (int i = 0; i < columns; ++i)
                m_cells.append(query.value(i));
            ++m_count;
        }
        if (query.lastError().isValid()) {
            const QString error = errorText(query.lastError());
            close();
            m_error = error;
            return false;
        }
    } else {
        m_rowsAffected = query.numRowsAffected();
    }
    m_pos = 0;
    m_open = true;
    return true;
}

void Recordset::close()
{
    m_fields.clear();
    m_cells.clear();
    m_count = 0;
    m_pos = 0;
    m_rowsAffected = 0;
    m_open = false;
    m_error.clear();
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Recordset::value(int row, int field) const
{
    if (row < 0 || row >= m_count || field < 0 || field >= m_fields.size())
        return {};
    return m_cells.at(qsizetype(row) * m_fields.size() + field);
}

} // namespace pel::db
