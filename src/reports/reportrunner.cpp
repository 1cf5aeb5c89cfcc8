#include "reports/reportrunner.h"

#include "db/connection.h"
#include "db/filewriter.h"
#include "db/recordset.h"
#include "db/transaction.h"
#include "reports/reportstore.h"
#include "reports/reporttext.h"

namespace pel::reports {

namespace {

ReportResult failed(const db::Result &failure)
{
    return {failure, {}};
}

ReportResult noData()
{
    return failed(db::Result::notFound());
}

ReportResult databaseFailed(const db::Result &failure)
{
    return failed(failure.withAbout(QStringLiteral("Laporan tidak dapat dibuat karena database menolak perintahnya:")));
}

ReportResult fileFailed(const db::FileWriter &file, const db::Result &failure)
{
    db::Result named = failure.withAbout(QStringLiteral("Laporan tidak dapat disimpan ke file \"%1\":").arg(file.path()));
    named.origin = db::Result::Origin::File;
    return failed(named);
}

// What a file report writes each row with: the report text (kept when the
// caller wants it), the report file and the caller's copy.
class Output
{
public:
    Output(db::FileWriter &file, const FileReportOptions &options) : m_file(file), m_options(options) {}

    bool add(const QString &piece)
    {
        if (m_options.keepText)
            text += piece;
        m_bytes = piece.toUtf8();
        if (m_options.utf8Text)
            m_options.utf8Text->append(m_bytes);
        if (const db::Result written = m_file.write(m_bytes); !written.ok())
            return failed(m_file, written);
        if (m_options.copy) {
            if (const db::Result written = m_options.copy->write(m_bytes); !written.ok())
                return failed(*m_options.copy, written);
        }
        return true;
    }
    bool flush()
    {
        const db::Result flushed = m_file.flush();
        return flushed.ok() || failed(m_file, flushed);
    }
    // The report after a failed add() or flush().
    ReportResult failure() const { return m_failure; }

    QString text;

private:
    bool failed(const db::FileWriter &file, const db::Result &failure)
    {
        m_failure = fileFailed(file, failure);
        return false;
    }

    db::FileWriter &m_file;
    const FileReportOptions &m_options;
    QByteArray m_bytes;
    ReportResult m_failure;
};

// A report's rows are counted before the first only when someone follows
// its progress or keeps its text (the count sizes the text).
bool isWatched(const FileReportOptions &options)
{
    return options.keepText || options.utf8Text || options.progress.started || options.progress.rowWritten;
}

// The part both file reports share: the file, header, rows with paging,
// footer and progress. nextLine(rowsSoFar, line, error) gives the next row's
// line; false when there is none left (error empty) or the database refused
// (error says why).
ReportResult runFileReport(const QString &fileName, const FileReportLayout &layout, int count, const QDate &today,
                           const std::function<bool(int rowsSoFar, QString *line, db::Result *error)> &nextLine,
                           qsizetype charsPerRow, const FileReportOptions &options)
{
    const Progress &progress = options.progress;
    // The bar moves once every hundredth of the rows, at most every 250 rows:
    // often enough to be seen, rarely enough to cost nothing beside the report.
    // Without a count (nobody watches) the file is handed its text every 250 rows.
    const int step = count > 0 ? qBound(1, count / 100, 250) : 250;

    db::FileWriter file(fileName);
    if (const db::Result opened = file.open(); !opened.ok())
        return fileFailed(file, opened);
    Output out(file, options);
    const PageBreakPieces pageBreak(layout);
    // Room for the whole text at once: the rows, a page-break block (with
    // its figures) every RowsPerPage rows, the header and footer.
    const qsizetype expected = qsizetype(count) * charsPerRow
                               + qsizetype(count / RowsPerPage)
                                     * (pageBreak.head.size() + pageBreak.middle.size() + pageBreak.tail.size() + 24)
                               + 4096;
    if (options.keepText)
        out.text.reserve(expected);
    if (options.utf8Text)
        options.utf8Text->reserve(options.utf8Text->size() + expected);
    if (!out.add(fileReportHeader(layout) + Crlf))
        return out.failure();
    // The report is under way once its file is open and its header written.
    if (progress.started)
        progress.started(count);

    QString line;
    QString piece;
    db::Result databaseError;
    int rows = 0;
    int onPage = 0;
    int page = 1;
    while (true) {
        line.clear();
        if (!nextLine(rows, &line, &databaseError))
            break;
        piece.clear();
        if (onPage == RowsPerPage) {
            onPage = 0;
            ++page;
            pageBreak.appendTo(piece, rows, page);
        }
        piece += line;
        if (!out.add(piece))
            return out.failure();
        ++rows;
        ++onPage;
        if (rows % step == 0 || rows == count) {
            if (!out.flush())
                return out.failure();
            if (progress.rowWritten)
                progress.rowWritten(rows);
        }
    }
    if (!databaseError.ok())
        return databaseFailed(databaseError);
    if (rows == 0)
        return noData();

    const QString footer = fileReportFooter(layout, rows, today);
    // The file ends with one CR LF more than the text.
    if (options.copy) {
        if (!out.add(footer))
            return out.failure();
        if (const db::Result written = file.write(QByteArrayView("\r\n")); !written.ok())
            return fileFailed(file, written);
    } else if (!out.add(footer + Crlf)) {
        return out.failure();
    } else {
        if (options.keepText)
            out.text.chop(2);
        if (options.utf8Text)
            options.utf8Text->chop(2);
    }
    if (const db::Result committed = file.commit(); !committed.ok())
        return fileFailed(file, committed);

    ReportResult result;
    result.text = std::move(out.text);
    return result;
}

} // namespace

ReportResult writeStudentList(const db::Connection &conn, const QDate &today, const FileReportOptions &options)
{
    // The count and the rows from one state of the table, whatever other
    // desks write meanwhile.
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    store::RowStream rows;
    const bool counted = isWatched(options);
    if (const db::Result opened = rows.open(conn, store::studentListSql(), counted); !opened.ok())
        return databaseFailed(opened);
    const int count = rows.recordCount();
    if (counted && count == 0)
        return noData();

    std::array<int, 12> fields{};
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i] = rows.fieldIndex(QLatin1String(StudentListColumns[i]));
    std::array<QVariant, 12> values;
    CellCache cache;
    return runFileReport(
        StudentListFileName, studentListLayout(), count, today,
        [&](int rowsSoFar, QString *line, db::Result *error) {
            if (!rows.next()) {
                *error = rows.result();
                return false;
            }
            for (size_t i = 0; i < fields.size(); ++i)
                values[i] = rows.value(fields[i]);
            *line = studentListRow(values, rowsSoFar, &cache);
            return true;
        },
        200, options);
}

ReportResult writeIpkList(const db::Connection &conn, const QDate &today, const FileReportOptions &options)
{
    // One read transaction for the whole list: every student's totals come
    // from the same state of the tables as the student query, whatever other
    // desks write meanwhile, and the engine does not lock and check the file
    // again for each of them. Nothing is written, so leaving it rolls it back.
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    // The students are read one at a time; their sums come alongside.
    store::RowStream rows;
    const bool counted = isWatched(options);
    if (const db::Result opened = store::openIpkStudents(conn, &rows, counted); !opened.ok())
        return databaseFailed(opened);
    const int count = rows.recordCount();
    if (counted && count == 0)
        return noData();

    store::IpkTotals totals(conn);
    CellCache cache;
    return runFileReport(
        IpkListFileName, ipkListLayout(), count, today,
        [&](int rowsSoFar, QString *line, db::Result *error) {
            if (!rows.next()) {
                *error = rows.result();
                return false;
            }
            IpkEntry entry;
            entry.nis = rows.value(0);
            entry.name = rows.value(1);
            if (const db::Result read = totals.totals(entry.nis, &entry.creditSum, &entry.pointSum); !read.ok()) {
                *error = read;
                return false;
            }
            *line = ipkRow(entry, rowsSoFar, &cache);
            return true;
        },
        60, options);
}

namespace {

ReportResult runStudentReport(const db::Connection &conn, const QString &sql,
                              QString (*build)(const db::Recordset &, const QDate &), const QDate &today)
{
    const db::Transaction snapshot(conn, db::Transaction::Mode::Snapshot);
    db::Recordset rows;
    if (const db::Result opened = rows.open(sql, conn); !opened.ok())
        return databaseFailed(opened);
    if (rows.recordCount() == 0)
        return noData();
    ReportResult result;
    result.text = build(rows, today);
    return result;
}

} // namespace

ReportResult runGradeStatement(const db::Connection &conn, const QString &nis, const QDate &today)
{
    return runStudentReport(conn, store::gradeStatementSql(nis, conn.isPostgres()), gradeStatementText, today);
}

ReportResult runCertificate(const db::Connection &conn, const QString &nis, const QDate &today)
{
    return runStudentReport(conn, store::certificateSql(nis, conn.isPostgres()), certificateText, today);
}

} // namespace pel::reports
