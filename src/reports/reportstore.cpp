#include "reports/reportstore.h"

#include "db/connection.h"
#include "db/sqltext.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <optional>

namespace pel::reports::store {

namespace {

// The engine's own handle behind the connection: the file reports read
// their rows straight from the engine's statement interface, one row at a
// time, without a value object per cell.
sqlite3 *engineHandle(const db::Connection &conn)
{
    if (!conn.isOpen())
        return nullptr;
    return db::sqliteHandle(conn.database());
}

// A refusal on SQLite's own interface, classified by its extended code as a
// refused Qt call is.
db::Result engineFailure(sqlite3 *handle)
{
    return db::Result::from(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
                                      QString::number(sqlite3_extended_errcode(handle))));
}

// A statement prepared on the engine, finalized when it goes.
struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
    bool prepare(sqlite3 *handle, const QString &sql)
    {
        sqlite3_finalize(stmt);
        stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        return sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt, nullptr) == SQLITE_OK;
    }
};

QVariant columnValue(sqlite3_stmt *stmt, int field)
{
    switch (sqlite3_column_type(stmt, field)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, field)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, field));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, field)),
                                   sqlite3_column_bytes(stmt, field)));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, field)),
                                          sqlite3_column_bytes(stmt, field)));
    }
}

} // namespace

// ---------------------------------------------------------------- statements

QString reportStudentsSql()
{
    return QStringLiteral("select * from siswa");
}

QString studentListSql()
{
    return QStringLiteral("select * from SISWA order by NIS asc");
}

namespace {

// The rows of one student in the order they were stored, on a server.
QString storedOrder(bool postgres)
{
    return postgres ? QStringLiteral(" order by nilai.Urutan") : QString();
}

} // namespace

QString gradeStatementSql(const QString &nis, bool postgres)
{
    return QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, "
                          "nilai.nilhu,nilai.mutu,nilai.Prediket, siswa.nis,siswa.NamaSiswa, "
                          "pelajaran.kdMatpel, pelajaran.NmMatpel from nilai,siswa,pelajaran "
                          "where(nilai.nis=siswa.nis)and (nilai.KdMatpel=pelajaran.KdMatpel)and (siswa.nis=")
           + db::quoted(nis) + QLatin1Char(')') + storedOrder(postgres);
}

QString certificateSql(const QString &nis, bool postgres)
{
    return QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, "
                          "nilai.nilhu,nilai.Prediket, siswa.nis,siswa.NamaSiswa, "
                          "pelajaran.kdMatpel, pelajaran.NmMatpel from nilai,siswa,pelajaran "
                          "where(nilai.nis=siswa.nis)and (nilai.KdMatpel=pelajaran.KdMatpel)and (siswa.nis=")
           + db::quoted(nis) + QLatin1Char(')') + storedOrder(postgres);
}

QString ipkStudentsSql(bool postgres)
{
    const QString sql = QStringLiteral("select distinct(nilai.nis), siswa.namasiswa from nilai,SISWA "
                                       "where(nilai.nis=siswa.nis) group by nilai.nis,siswa.namasiswa");
    return postgres ? sql + QStringLiteral(" order by nilai.nis") : sql;
}

QString ipkTotalsSql(const QString &nis, bool postgres)
{
    if (postgres)
        return QStringLiteral("SELECT sum(nilai.sks order by nilai.urutan)AS VSKS, "
                              "sum(nilai.mutu order by nilai.urutan)AS VNILAI from nilai where(nilai.nis=")
               + db::quoted(nis) + QLatin1Char(')');
    return QStringLiteral("SELECT sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI from nilai where(nilai.nis=")
           + db::quoted(nis) + QLatin1Char(')');
}

QString ipkStudentCountSql()
{
    // One row for each NIS of Nilai (letter case ignored, as the student
    // statement groups them) that names a student.
    return QStringLiteral("select count(*) from (select nilai.nis as nis from nilai group by nilai.nis) graded "
                          "where exists (select 1 from SISWA where SISWA.nis = graded.nis)");
}

QString ipkAllTotalsSql(bool postgres)
{
    if (postgres)
        return QStringLiteral("select lower(nilai.nis::text), sum(nilai.sks order by nilai.urutan), "
                              "sum(nilai.mutu order by nilai.urutan) from nilai group by nilai.nis");
    // Through the NIS index, in its order, as the per-student statement reads
    // one student's rows.
    return QStringLiteral("SELECT nilai.nis, sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI "
                          "from nilai indexed by NilaiNis group by nilai.nis");
}

// --------------------------------------------------------------------- reads

db::Result allNis(const db::Connection &conn, QStringList *nisList)
{
    nisList->clear();
    // A server's table has no row order of its own: Urutan gives the order of
    // insertion, SQLite's rowid order, which the search grid and the paged
    // lists follow too.
    const QString sql = conn.isOpen() && conn.isPostgres() ? reportStudentsSql() + QStringLiteral(" order by Urutan")
                                                           : reportStudentsSql();
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return conn.refused(query.lastError());
    const int field = query.record().indexOf(QStringLiteral("nis"));
    while (query.next())
        *nisList << query.value(field).toString();
    if (query.lastError().isValid())
        return conn.refused(query.lastError());
    return db::Result::success();
}

db::Result nisPage(const db::Connection &conn, qint64 *after, int limit, QStringList *page)
{
    page->clear();
    if (!conn.isOpen())
        return db::notOpen();
    // The table's own order, the order of insertion: SQLite's rowid, a
    // server's Urutan; `after` is the last one read.
    const QString order = engineHandle(conn) != nullptr ? QStringLiteral("rowid") : QStringLiteral("Urutan");
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("select %1, nis from siswa where %1 > ? order by %1 limit ?").arg(order)))
        return conn.refused(query.lastError());
    query.addBindValue(*after);
    query.addBindValue(limit);
    if (!query.exec())
        return conn.refused(query.lastError());
    while (query.next()) {
        *after = query.value(0).toLongLong();
        *page << query.value(1).toString();
    }
    if (query.lastError().isValid())
        return conn.refused(query.lastError());
    return db::Result::success();
}

// ----------------------------------------------------------------- RowStream

// Rows come from SQLite's statement interface where the connection is an
// SQLite file, and through Qt's forward-only query on any other engine.
struct RowStream::Engine
{
    const db::Connection *conn = nullptr;
    sqlite3 *handle = nullptr;
    Statement statement;
    std::optional<QSqlQuery> query;
};

namespace {

// A null value, as the SQLite path gives it.
QVariant qtValue(const QSqlQuery &query, int field)
{
    const QVariant value = query.value(field);
    return value.isNull() ? QVariant(QMetaType::fromType<QString>()) : value;
}

// The statement run through Qt on a connection without SQLite's handle.
db::Result openThroughQt(const db::Connection &conn, const QString &sql, const QString &countSql, int *count,
                         std::optional<QSqlQuery> *query, QStringList *fields)
{
    if (!countSql.isEmpty()) {
        QSqlQuery counter(conn.database());
        if (!counter.exec(countSql) || !counter.next())
            return conn.refused(counter.lastError());
        *count = counter.value(0).toInt();
    }
    // Not forward-only: a server's driver would then hold the connection
    // until the last row, and the IPK list asks for each student's totals
    // while its rows are read.
    query->emplace(conn.database());
    if (!(*query)->exec(sql))
        return conn.refused((*query)->lastError());
    const QSqlRecord record = (*query)->record();
    for (int i = 0; i < record.count(); ++i)
        *fields << record.fieldName(i);
    return db::Result::success();
}

} // namespace

RowStream::RowStream() = default;
RowStream::~RowStream() = default;

db::Result RowStream::open(const db::Connection &conn, const QString &sql, bool counted)
{
    return openCounting(conn, sql,
                        counted ? QStringLiteral("select count(*) from (") + sql + QStringLiteral(") as report")
                                : QString());
}

db::Result RowStream::openCounting(const db::Connection &conn, const QString &sql, const QString &countSql)
{
    close();
    if (!conn.isOpen())
        return m_result = db::notOpen();
    sqlite3 *handle = engineHandle(conn);
    if (!handle) {
        m_engine = std::make_unique<Engine>();
        m_engine->conn = &conn;
        m_result = openThroughQt(conn, sql, countSql, &m_count, &m_engine->query, &m_fields);
        if (!m_result.ok())
            close();
        return m_result;
    }
    // The count first, from the engine, so that no row needs keeping.
    if (!countSql.isEmpty()) {
        Statement count;
        if (!count.prepare(handle, countSql))
            return m_result = engineFailure(handle);
        const int step = sqlite3_step(count.stmt);
        if (step != SQLITE_ROW)
            return m_result = engineFailure(handle);
        m_count = int(sqlite3_column_int64(count.stmt, 0));
    }
    m_engine = std::make_unique<Engine>();
    m_engine->handle = handle;
    if (!m_engine->statement.prepare(handle, sql)) {
        m_result = engineFailure(handle);
        close();
        return m_result;
    }
    sqlite3_stmt *stmt = m_engine->statement.stmt;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i)
        m_fields << QString::fromUtf8(sqlite3_column_name(stmt, i));
    return m_result = db::Result::success();
}

int RowStream::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool RowStream::next()
{
    if (!m_engine)
        return false;
    if (m_engine->query) {
        if (m_engine->query->next())
            return true;
        if (m_engine->query->lastError().isValid())
            m_result = m_engine->conn->refused(m_engine->query->lastError());
        return false;
    }
    const int step = sqlite3_step(m_engine->statement.stmt);
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        m_result = engineFailure(m_engine->handle);
    return false;
}

QVariant RowStream::value(int field) const
{
    if (!m_engine || field < 0 || field >= m_fields.size())
        return {};
    if (m_engine->query)
        return qtValue(*m_engine->query, field);
    return columnValue(m_engine->statement.stmt, field);
}

QString RowStream::text(int field) const
{
    if (!m_engine || field < 0 || field >= m_fields.size())
        return {};
    if (m_engine->query)
        return m_engine->query->value(field).toString();
    sqlite3_stmt *stmt = m_engine->statement.stmt;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, field));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, field));
}

bool RowStream::isNull(int field) const
{
    if (m_engine && m_engine->query && field >= 0 && field < m_fields.size())
        return m_engine->query->value(field).isNull();
    return !m_engine || field < 0 || field >= m_fields.size()
           || sqlite3_column_type(m_engine->statement.stmt, field) == SQLITE_NULL;
}

void RowStream::close()
{
    m_engine.reset();
    m_fields.clear();
    m_count = 0;
}

// ------------------------------------------------------------------ totals

db::Result ipkTotals(const db::Connection &conn, const QString &nis, QVariant *credits, QVariant *points)
{
    *credits = QVariant();
    *points = QVariant();
    if (!conn.isOpen())
        return db::notOpen();
    sqlite3 *handle = engineHandle(conn);
    if (!handle) {
        QSqlQuery totals(conn.database());
        if (!totals.exec(ipkTotalsSql(nis, true)))
            return conn.refused(totals.lastError());
        if (totals.next()) {
            *credits = qtValue(totals, 0);
            *points = qtValue(totals, 1);
        }
        return db::Result::success();
    }
    // A fresh statement for each student, as the report defines it.
    Statement totals;
    if (!totals.prepare(handle, ipkTotalsSql(nis)))
        return engineFailure(handle);
    const int step = sqlite3_step(totals.stmt);
    if (step == SQLITE_ROW) {
        *credits = columnValue(totals.stmt, 0);
        *points = columnValue(totals.stmt, 1);
        return db::Result::success();
    }
    if (step == SQLITE_DONE)
        return db::Result::success();
    return engineFailure(handle);
}

db::Result openIpkStudents(const db::Connection &conn, RowStream *rows, bool counted)
{
    // The student statement joins and groups every grade row; the count
    // needs far less.
    return rows->openCounting(conn, ipkStudentsSql(conn.isOpen() && conn.isPostgres()),
                              counted ? ipkStudentCountSql() : QString());
}

// ----------------------------------------------------------------- IpkTotals

struct IpkTotals::Grouped
{
    sqlite3 *handle = nullptr;
    Statement statement;
    bool row = false; // the statement stands on a row
};

namespace {

// SQLite's NOCASE order: bytes compared with ASCII letters folded to lower
// case, a shorter text first when one begins the other.
int compareNoCase(const char *a, int aSize, const char *b, int bSize)
{
    const auto lower = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : int(byte);
    };
    const int common = std::min(aSize, bSize);
    for (int i = 0; i < common; ++i) {
        const int x = lower(a[i]);
        const int y = lower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return aSize == bSize ? 0 : (aSize < bSize ? -1 : 1);
}

} // namespace

IpkTotals::IpkTotals(const db::Connection &conn) : m_conn(conn) {}
IpkTotals::~IpkTotals() = default;

db::Result IpkTotals::totals(const QVariant &nis, QVariant *credits, QVariant *points)
{
    if (!m_tried) {
        m_tried = true;
        if (sqlite3 *handle = engineHandle(m_conn)) {
            auto grouped = std::make_unique<Grouped>();
            grouped->handle = handle;
            // Without the index (an unusual file) every student is asked for apart.
            if (grouped->statement.prepare(handle, ipkAllTotalsSql())) {
                const int step = sqlite3_step(grouped->statement.stmt);
                if (step != SQLITE_ROW && step != SQLITE_DONE)
                    return engineFailure(handle);
                grouped->row = step == SQLITE_ROW;
                m_grouped = std::move(grouped);
            }
        } else if (m_conn.isOpen() && m_conn.isPostgres()) {
            QSqlQuery sums(m_conn.database());
            sums.setForwardOnly(true);
            if (!sums.exec(ipkAllTotalsSql(true)))
                return m_conn.refused(sums.lastError());
            while (sums.next())
                m_serverSums.insert(sums.value(0).toString(), {qtValue(sums, 1), qtValue(sums, 2)});
            if (sums.lastError().isValid())
                return m_conn.refused(sums.lastError());
        }
    }
    if (!m_serverSums.isEmpty() && nis.typeId() == QMetaType::QString) {
        const QString key = nis.toString();
        const bool ascii = std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 128; });
        if (const auto found = m_serverSums.constFind(key.toLower()); ascii && found != m_serverSums.constEnd()) {
            *credits = found->first;
            *points = found->second;
            return db::Result::success();
        }
    }
    if (m_grouped && nis.typeId() == QMetaType::QString) {
        const QByteArray key = nis.toString().toUtf8();
        sqlite3_stmt *stmt = m_grouped->statement.stmt;
        while (m_grouped->row) {
            int order = -1; // a NIS that is no text comes before every text
            if (sqlite3_column_type(stmt, 0) == SQLITE_TEXT)
                order = compareNoCase(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)),
                                      sqlite3_column_bytes(stmt, 0), key.constData(), int(key.size()));
            if (order > 0)
                break;
            if (order == 0) {
                *credits = columnValue(stmt, 1);
                *points = columnValue(stmt, 2);
                return db::Result::success();
            }
            const int step = sqlite3_step(stmt);
            if (step != SQLITE_ROW && step != SQLITE_DONE)
                return engineFailure(m_grouped->handle);
            m_grouped->row = step == SQLITE_ROW;
        }
    }
    return ipkTotals(m_conn, nis.toString(), credits, points);
}

} // namespace pel::reports::store
