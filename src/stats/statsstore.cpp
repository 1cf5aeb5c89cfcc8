#include "stats/statsstore.h"

#include "common/formatters.h"
#include "db/connection.h"
#include "db/transaction.h"
#include "reports/reportstore.h"
#include "reports/reporttext.h"
#include "stats/statsrules.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace pel::stats {

namespace {

// How often a long read looks whether it is to stop.
constexpr int CancelCheckRows = 8192;

bool cancelled(const std::atomic_bool *cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

db::Result stopped()
{
    return db::Result::failed(QStringLiteral("Perhitungan dihentikan."));
}

// The rows of one statement, read one after another: from SQLite's own
// statement interface where the connection is a file (a value object per
// cell would cost more than the counting), through Qt's forward-only query
// on a server.
class Rows
{
public:
    // cancel, when given, is looked at every so many rows; once set, the
    // rows end as if failed.
    explicit Rows(const db::Connection &conn, const std::atomic_bool *cancel = nullptr)
        : m_conn(conn), m_handle(db::sqliteHandle(conn.database())), m_cancel(cancel)
    {
    }
    ~Rows() { sqlite3_finalize(m_stmt); }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    db::Result open(const QString &sql, const QVariantList &values = {})
    {
        if (m_handle) {
            const QByteArray text = sql.toUtf8();
            if (sqlite3_prepare_v2(m_handle, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
                return engineFailure();
            for (int i = 0; i < values.size(); ++i) {
                const QByteArray value = values.at(i).toString().toUtf8();
                sqlite3_bind_text(m_stmt, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
            }
            return db::Result::success();
        }
        m_query.emplace(m_conn.database());
        m_query->setForwardOnly(true);
        if (!m_query->prepare(sql))
            return m_conn.refused(m_query->lastError());
        for (const QVariant &value : values)
            m_query->addBindValue(value);
        if (!m_query->exec())
            return m_conn.refused(m_query->lastError());
        return db::Result::success();
    }

    // The next row; false after the last one or on a failure (then result()).
    bool next()
    {
        if (++m_read % CancelCheckRows == 0 && cancelled(m_cancel)) {
            m_result = stopped();
            return false;
        }
        if (m_handle) {
            const int step = sqlite3_step(m_stmt);
            if (step == SQLITE_ROW)
                return true;
            if (step != SQLITE_DONE)
                m_result = engineFailure();
            return false;
        }
        if (m_query->next()) {
            m_texts.clear();
            return true;
        }
        if (m_query->lastError().isValid())
            m_result = m_conn.refused(m_query->lastError());
        return false;
    }

    bool isNull(int field) const
    {
        return m_handle ? sqlite3_column_type(m_stmt, field) == SQLITE_NULL : m_query->isNull(field);
    }

    // A text as UTF-8 bytes (empty for a null value), valid until the next row.
    QByteArrayView text(int field)
    {
        if (m_handle) {
            const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, field));
            return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(m_stmt, field)) : QByteArrayView();
        }
        QByteArray &kept = m_texts[field];
        kept = m_query->value(field).toString().toUtf8();
        return kept;
    }

    double number(int field) const
    {
        return m_handle ? sqlite3_column_double(m_stmt, field) : m_query->value(field).toDouble();
    }

    qint64 whole(int field) const
    {
        return m_handle ? sqlite3_column_int64(m_stmt, field) : m_query->value(field).toLongLong();
    }

    // A number as the reports take it: null when missing.
    QVariant value(int field) const
    {
        if (isNull(field))
            return {};
        return number(field);
    }

    db::Result result() const { return m_result; }

private:
    db::Result engineFailure() const
    {
        return db::Result::from(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_handle)),
                                          QSqlError::StatementError,
                                          QString::number(sqlite3_extended_errcode(m_handle))));
    }

    const db::Connection &m_conn;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    const std::atomic_bool *m_cancel = nullptr;
    qint64 m_read = 0;
    std::optional<QSqlQuery> m_query;
    QHash<int, QByteArray> m_texts;
    db::Result m_result;
};

// The smallest of the spellings of one key seen so far, byte by byte.
void keepSmallest(QByteArray &shown, bool &seen, QByteArrayView spelling)
{
    if (!seen || spelling.compare(shown) < 0) {
        shown = spelling.toByteArray();
        seen = true;
    }
}

// A filter's programme and level folded, and its period, as the rows are
// compared with them.
struct RowFilter
{
    explicit RowFilter(const Filter &filter)
        : programme(foldedKey(filter.programme.toUtf8())), level(foldedKey(filter.level.toUtf8())),
          period{dateKey(filter.from), dateKey(filter.to)}
    {
    }
    // A row's programme and level (texts, empty when missing) against the filter.
    bool keeps(QByteArrayView rowProgramme, QByteArrayView rowLevel, QByteArray &scratch) const
    {
        if (!programme.isEmpty()) {
            foldInto(rowProgramme, scratch);
            if (scratch != programme)
                return false;
        }
        if (!level.isEmpty()) {
            foldInto(rowLevel, scratch);
            if (scratch != level)
                return false;
        }
        return true;
    }
    QByteArray programme;
    QByteArray level;
    Period period;
};

// ---- grade rows ------------------------------------------------------------

struct GradeTally
{
    QByteArray shown;
    bool seen = false;
    GradeFigures figures;
    __int128 millionths = 0;
};

// The groups of grade rows, found by their folded key.
class GradeGroups
{
public:
    GradeTally &at(QByteArrayView folded)
    {
        const auto found = m_index.constFind(QByteArray::fromRawData(folded.data(), folded.size()));
        if (found != m_index.constEnd())
            return m_groups[*found];
        m_index.insert(folded.toByteArray(), int(m_groups.size()));
        m_groups.emplace_back();
        return m_groups.back();
    }

    // The figures in the order of the folded keys, each under its smallest
    // spelling.
    QList<GradeFigures> figures() const
    {
        QList<std::pair<QByteArray, int>> order;
        for (auto it = m_index.constBegin(); it != m_index.constEnd(); ++it)
            order.append({it.key(), it.value()});
        std::sort(order.begin(), order.end());
        QList<GradeFigures> result;
        for (const auto &[key, index] : order) {
            const GradeTally &tally = m_groups.at(size_t(index));
            GradeFigures figures = tally.figures;
            figures.key = QString::fromUtf8(tally.shown);
            if (tally.millionths > std::numeric_limits<qint64>::max()
                || tally.millionths < std::numeric_limits<qint64>::min())
                figures.meanKnown = false;
            else
                figures.scoreMillionths = qint64(tally.millionths);
            result.append(figures);
        }
        return result;
    }

private:
    QHash<QByteArray, int> m_index;
    std::vector<GradeTally> m_groups;
};

// A letter "A" to "E" in any case as 0 to 4; -1 for anything else.
int letterIndex(QByteArrayView letter)
{
    if (letter.size() != 1)
        return -1;
    const char c = foldedByte(letter[0]);
    return c >= 'a' && c <= 'e' ? c - 'a' : -1;
}

// The remark "Lulus" in any case.
bool isPass(QByteArrayView remark)
{
    static constexpr char Lulus[] = "lulus";
    if (remark.size() != 5)
        return false;
    for (int i = 0; i < 5; ++i)
        if (foldedByte(remark[i]) != Lulus[i])
            return false;
    return true;
}

// Every grade row of an SQLite file, counted here.
db::Result countGradeRows(const db::Connection &conn, const QString &keyColumn, const Filter &filter,
                          GradeGroups *groups, const std::atomic_bool *cancel)
{
    const RowFilter rowFilter(filter);
    // The columns of the filter are read only when it narrows.
    const bool byClass = !rowFilter.programme.isEmpty() || !rowFilter.level.isEmpty();
    const bool byDate = !rowFilter.period.isOpen();
    Rows rows(conn, cancel);
    if (const db::Result opened =
            rows.open(QStringLiteral("select %1, Nilangka, Nilhu, Ket%2%3 from Nilai")
                          .arg(keyColumn, byClass ? QStringLiteral(", Program, Jenjang") : QString(),
                               byDate ? QStringLiteral(", TglProses") : QString()));
        !opened.ok())
        return opened;
    const int dateField = byClass ? 6 : 4;
    QByteArray folded;
    QByteArray scratch;
    while (rows.next()) {
        if (byClass && !rowFilter.keeps(rows.text(4), rows.text(5), scratch))
            continue;
        if (byDate && !rowFilter.period.holds(dateKey(rows.text(dateField))))
            continue;
        const QByteArrayView key = rows.text(0);
        foldInto(key, folded);
        GradeTally &tally = groups->at(folded);
        keepSmallest(tally.shown, tally.seen, key);
        GradeFigures &figures = tally.figures;
        ++figures.rows;
        if (!rows.isNull(1)) {
            ++figures.scored;
            if (const auto millionths = scoreMillionths(rows.number(1)))
                tally.millionths += *millionths;
            else
                figures.meanKnown = false;
        }
        if (const int letter = letterIndex(rows.text(2)); letter >= 0)
            ++figures.letters[size_t(letter)];
        if (isPass(rows.text(3)))
            ++figures.passed;
    }
    return rows.result();
}

// The same from a server's grouping statement.
db::Result groupGradeRows(const db::Connection &conn, const QString &keyColumn, const Filter &filter,
                          GradeGroups *groups)
{
    QVariantList values;
    if (!filter.programme.isEmpty())
        values << QString::fromUtf8(foldedKey(filter.programme.toUtf8()));
    if (!filter.level.isEmpty())
        values << QString::fromUtf8(foldedKey(filter.level.toUtf8()));
    if (filter.from.isValid())
        values << dateKey(filter.from);
    if (filter.to.isValid())
        values << dateKey(filter.to);
    Rows rows(conn);
    if (const db::Result opened = rows.open(serverGradeFiguresSql(keyColumn, filter), values); !opened.ok())
        return opened;
    while (rows.next()) {
        // Missing keys and empty ones are one group, as they are counted on a file.
        GradeTally &tally = groups->at(rows.text(0));
        keepSmallest(tally.shown, tally.seen, rows.text(1));
        GradeFigures &figures = tally.figures;
        figures.rows += rows.whole(2);
        figures.scored += rows.whole(3);
        bool fits = false;
        const qint64 sum = rows.isNull(4) ? 0 : QString::fromUtf8(rows.text(4)).toLongLong(&fits);
        if (!rows.isNull(4) && !fits)
            figures.meanKnown = false;
        tally.millionths += sum;
        if (rows.whole(5) > 0)
            figures.meanKnown = false;
        for (int letter = 0; letter < 5; ++letter)
            figures.letters[size_t(letter)] += rows.whole(6 + letter);
        figures.passed += rows.whole(11);
    }
    return rows.result();
}

db::Result gradeFigures(const db::Connection &conn, const QString &keyColumn, const Filter &filter,
                        QList<GradeFigures> *out, const std::atomic_bool *cancel)
{
    out->clear();
    GradeGroups groups;
    const db::Result counted = db::sqliteHandle(conn.database())
                                   ? countGradeRows(conn, keyColumn, filter, &groups, cancel)
                                   : groupGradeRows(conn, keyColumn, filter, &groups);
    if (!counted.ok())
        return counted;
    *out = groups.figures();
    return db::Result::success();
}

} // namespace

// --------------------------------------------------------------- statements

QString serverDateKeySql(const QString &column)
{
    // Only a text of the right shape is cut into numbers; its day must
    // exist in its month and year.
    const QString text = column + QStringLiteral("::text");
    const QString day = QStringLiteral("substr(%1, 1, 2)::int").arg(text);
    const QString month = QStringLiteral("substr(%1, 4, 2)::int").arg(text);
    const QString year = QStringLiteral("substr(%1, 7, 4)::int").arg(text);
    const QString lastDay =
        QStringLiteral("case when %1 = 2 then case when %2 % 4 = 0 and (%2 % 100 <> 0 or %2 % 400 = 0) then 29 "
                       "else 28 end when %1 in (4, 6, 9, 11) then 30 else 31 end")
            .arg(month, year);
    return QStringLiteral("case when %1 ~ '^[0-9]{2}-[0-9]{2}-[0-9]{4}$' then case when %3 >= 1 and %2 between 1 "
                          "and 12 and %4 between 1 and %5 then %3 * 10000 + %2 * 100 + %4 end end")
        .arg(text, month, year, day, lastDay);
}

namespace {

// A text column folded as the keys are: lower() under the "C" collation
// turns ASCII letters only, as SQLite's NOCASE does.
QString serverFolded(const QString &column)
{
    return QStringLiteral("lower(%1::text collate \"C\")").arg(column);
}

// The conditions of a filter on a server, with "?" for the values.
QStringList serverConditions(const Filter &filter, const QString &programme, const QString &level,
                             const QString &date)
{
    QStringList conditions;
    if (!filter.programme.isEmpty())
        conditions << serverFolded(programme) + QStringLiteral(" = ?");
    if (!filter.level.isEmpty())
        conditions << serverFolded(level) + QStringLiteral(" = ?");
    if (filter.from.isValid())
        conditions << QStringLiteral("(%1) >= ?").arg(serverDateKeySql(date));
    if (filter.to.isValid())
        conditions << QStringLiteral("(%1) <= ?").arg(serverDateKeySql(date));
    return conditions;
}

QString whereClause(const QStringList &conditions)
{
    return conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
}

} // namespace

QString serverGradeFiguresSql(const QString &keyColumn, const Filter &filter)
{
    QStringList columns{
        QStringLiteral("coalesce(%1, '')").arg(serverFolded(keyColumn)),
        QStringLiteral("min(%1::text collate \"C\")").arg(keyColumn),
        QStringLiteral("count(*)"),
        QStringLiteral("count(Nilangka)"),
        // The score in millionths, as statsrules' scoreMillionths() takes it.
        QStringLiteral("sum(case when abs(Nilangka) < 1e9 then trunc(Nilangka * 1000000 + case when Nilangka < 0 "
                       "then -0.5::float8 else 0.5::float8 end)::bigint end)::text"),
        QStringLiteral("sum(case when abs(Nilangka) >= 1e9 then 1 else 0 end)"),
    };
    for (const char *letter : {"a", "b", "c", "d", "e"})
        columns << QStringLiteral("sum(case when %1 = '%2' then 1 else 0 end)")
                       .arg(serverFolded(QStringLiteral("Nilhu")), QLatin1String(letter));
    columns << QStringLiteral("sum(case when %1 = 'lulus' then 1 else 0 end)").arg(serverFolded(QStringLiteral("Ket")));
    return QStringLiteral("select ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" from Nilai")
           + whereClause(serverConditions(filter, QStringLiteral("Program"), QStringLiteral("Jenjang"),
                                          QStringLiteral("TglProses")))
           + QStringLiteral(" group by 1");
}

QString ipkRowsSql(bool postgres, const Filter &filter)
{
    if (!postgres)
        return QStringLiteral("select s.NIS, s.ProgamJurusan, s.LevelTahap, t.VSKS, t.VNILAI from (%1) t "
                              "join SISWA s on s.NIS = t.nis")
            .arg(reports::store::ipkAllTotalsSql(false));
    // The list finds a student's sums by his NIS in lower case.
    QString sql = QStringLiteral("select s.NIS::text, s.ProgamJurusan::text, s.LevelTahap::text, t.vsks, t.vnilai "
                                 "from (%1) as t(nis, vsks, vnilai) join SISWA s on lower(s.NIS::text) = t.nis")
                      .arg(reports::store::ipkAllTotalsSql(true));
    Filter period;
    period.from = filter.from;
    period.to = filter.to;
    const QStringList conditions =
        serverConditions(period, QString(), QString(), QStringLiteral("p.TglProses"));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" where exists (select 1 from Nilai p where p.Nis = s.NIS and %1)")
                   .arg(conditions.join(QStringLiteral(" and ")));
    return sql;
}

// -------------------------------------------------------------------- reads

db::Result subjectFigures(const db::Connection &conn, const Filter &filter, QList<GradeFigures> *rows,
                          const std::atomic_bool *cancel)
{
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    if (const db::Result counted = gradeFigures(conn, QStringLiteral("KdMatpel"), filter, rows, cancel);
        !counted.ok())
        return counted;
    // The names of the subjects, found by their folded codes.
    Rows subjects(conn);
    if (const db::Result opened = subjects.open(QStringLiteral("select KdMatpel, NmMatpel from Pelajaran"));
        !opened.ok())
        return opened;
    QHash<QByteArray, QString> names;
    while (subjects.next())
        names.insert(foldedKey(subjects.text(0)), QString::fromUtf8(subjects.text(1)));
    if (!subjects.result().ok())
        return subjects.result();
    for (GradeFigures &row : *rows)
        row.name = names.value(foldedKey(row.key.toUtf8()));
    return db::Result::success();
}

db::Result instructorFigures(const db::Connection &conn, const Filter &filter, QList<GradeFigures> *rows,
                             const std::atomic_bool *cancel)
{
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    return gradeFigures(conn, QStringLiteral("Tentor"), filter, rows, cancel);
}

qint64 printedIpkHundredths(const QVariant &creditSum, const QVariant &pointSum)
{
    const auto ipk = reports::ipkOf(creditSum, pointSum);
    if (!ipk)
        return 0;
    // The list's own cell: blank for an index not above 0, otherwise the
    // digits with the system's decimal sign between them.
    qint64 hundredths = 0;
    for (const QChar c : PadRightFormat(*ipk, reports::IpkMask))
        if (c.isDigit())
            hundredths = hundredths * 10 + c.digitValue();
    return hundredths;
}

namespace {

// The folded NIS of every student with a grade row within the period, from
// an SQLite file's rows.
db::Result studentsGradedWithin(const db::Connection &conn, const Period &period, QSet<QByteArray> *students,
                                const std::atomic_bool *cancel)
{
    Rows rows(conn, cancel);
    if (const db::Result opened = rows.open(QStringLiteral("select Nis, TglProses from Nilai")); !opened.ok())
        return opened;
    while (rows.next()) {
        if (period.holds(dateKey(rows.text(1))))
            students->insert(foldedKey(rows.text(0)));
    }
    return rows.result();
}

// The printed index of many students: it depends on the two sums as whole
// numbers only, and few pairs of them recur over and over, so each pair is
// formatted once.
class PrintedIpk
{
public:
    qint64 hundredths(const QVariant &creditSum, const QVariant &pointSum)
    {
        const QVariant credits = reports::wholeSum(creditSum);
        const QVariant points = reports::wholeSum(pointSum);
        if (credits.isNull() || points.isNull())
            return 0;
        const std::pair key{credits.toLongLong(), points.toLongLong()};
        if (const auto found = m_known.constFind(key); found != m_known.constEnd())
            return *found;
        return *m_known.insert(key, printedIpkHundredths(credits, points));
    }

private:
    QHash<std::pair<qint64, qint64>, qint64> m_known;
};

struct IpkTally
{
    QByteArray programme;
    QByteArray level;
    bool seen = false;
    IpkFigures figures;
};

} // namespace

db::Result ipkFigures(const db::Connection &conn, const Filter &filter, QList<IpkFigures> *out,
                      const std::atomic_bool *cancel)
{
    out->clear();
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    const bool onFile = db::sqliteHandle(conn.database()) != nullptr;
    const RowFilter rowFilter(filter);
    // On a file the period is looked up among the grade rows here; on a
    // server the statement keeps those students only.
    std::optional<QSet<QByteArray>> graded;
    if (onFile && !rowFilter.period.isOpen()) {
        graded.emplace();
        if (const db::Result read = studentsGradedWithin(conn, rowFilter.period, &*graded, cancel); !read.ok())
            return read;
    }
    QVariantList values;
    if (!onFile && filter.from.isValid())
        values << dateKey(filter.from);
    if (!onFile && filter.to.isValid())
        values << dateKey(filter.to);
    Rows rows(conn, cancel);
    if (const db::Result opened = rows.open(ipkRowsSql(!onFile, filter), values); !opened.ok())
        return opened;

    QHash<QByteArray, IpkTally> groups;
    PrintedIpk printed;
    QByteArray scratch;
    while (rows.next()) {
        const QByteArrayView programme = rows.text(1);
        const QByteArrayView level = rows.text(2);
        if (!rowFilter.keeps(programme, level, scratch))
            continue;
        if (graded && !graded->contains(foldedKey(rows.text(0))))
            continue;
        // Programme and level folded, a zero byte between them.
        QByteArray key = foldedKey(programme);
        key += '\0';
        key += foldedKey(level);
        IpkTally &tally = groups[key];
        if (!tally.seen || programme.compare(tally.programme) < 0)
            tally.programme = programme.toByteArray();
        if (!tally.seen || level.compare(tally.level) < 0)
            tally.level = level.toByteArray();
        tally.seen = true;
        const qint64 ipk = printed.hundredths(rows.value(3), rows.value(4));
        ++tally.figures.students;
        tally.figures.ipkHundredths += ipk;
        ++tally.figures.bands[size_t(ipkBand(ipk))];
    }
    if (!rows.result().ok())
        return rows.result();
    QList<QByteArray> keys = groups.keys();
    std::sort(keys.begin(), keys.end());
    for (const QByteArray &key : keys) {
        IpkTally &tally = groups[key];
        tally.figures.programme = QString::fromUtf8(tally.programme);
        tally.figures.level = QString::fromUtf8(tally.level);
        out->append(tally.figures);
    }
    return db::Result::success();
}

db::Result intakeFigures(const db::Connection &conn, const Filter &filter, QList<IntakeFigures> *out,
                         const std::atomic_bool *cancel)
{
    out->clear();
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    const RowFilter rowFilter(filter);
    Rows rows(conn, cancel);
    if (const db::Result opened = rows.open(QStringLiteral("select TglMasuk, ProgamJurusan, LevelTahap from SISWA"));
        !opened.ok())
        return opened;
    struct Tally
    {
        QByteArray programme;
        bool seen = false;
        qint64 students = 0;
    };
    // By month (yyyymm; students without a date under a key after every
    // month), then the folded programme.
    constexpr int NoDate = 99999999;
    QHash<QByteArray, Tally> groups;
    QByteArray scratch;
    while (rows.next()) {
        const QByteArrayView programme = rows.text(1);
        if (!rowFilter.keeps(programme, rows.text(2), scratch))
            continue;
        const int date = dateKey(rows.text(0));
        if (!rowFilter.period.holds(date))
            continue;
        const int month = date == 0 ? NoDate : date / 100;
        QByteArray key = QByteArray::number(month).rightJustified(8, '0');
        key += foldedKey(programme);
        Tally &tally = groups[key];
        keepSmallest(tally.programme, tally.seen, programme);
        ++tally.students;
    }
    if (!rows.result().ok())
        return rows.result();
    QList<QByteArray> keys = groups.keys();
    std::sort(keys.begin(), keys.end());
    for (const QByteArray &key : keys) {
        const int month = key.left(8).toInt();
        IntakeFigures figures;
        if (month != NoDate) {
            figures.year = month / 100;
            figures.month = month % 100;
        }
        figures.programme = QString::fromUtf8(groups.value(key).programme);
        figures.students = groups.value(key).students;
        out->append(figures);
    }
    return db::Result::success();
}

} // namespace pel::stats
