#include "reports/reportrunner.h"

#include "common/module1.h"
#include "db/failure.h"
#include "db/transaction.h"
#include "reports/reportfile.h"
#include "reports/reportstore.h"
#include "reports/reporttext.h"

namespace pel::reports {

namespace {

ReportResult failed(Outcome outcome, const QString &error)
{
    ReportResult result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

ReportResult databaseFailed(const QString &reason)
{
    return failed(Outcome::DatabaseFailed,
                  db::failureMessage(QStringLiteral("Laporan tidak dapat dibuat karena database menolak perintahnya:"),
                                     reason));
}

ReportResult fileFailed(const ReportFile &file)
{
    return failed(Outcome::FileFailed,
                  QStringLiteral("Laporan tidak dapat disimpan ke file \"%1\":\r%2\rLaporan tidak ditampilkan.")
                      .arg(file.path(), file.errorString()));
}

// What a file report writes each row with: the report text (kept when the
// caller wants it), the report file and the caller's copy.
class Output
{
public:
    Output(ReportFile &file, const FileReportOptions &options) : m_file(file), m_options(options) {}

    bool add(const QString &piece)
    {
        if (m_options.keepText)
            text += piece;
        m_bytes = piece.toUtf8();
        if (m_options.utf8Text)
            m_options.utf8Text->append(m_bytes);
        if (!m_file.write(m_bytes)) {
            m_failed = &m_file;
            return false;
        }
        if (m_options.copy && !m_options.copy->write(m_bytes)) {
            m_failed = m_options.copy;
            return false;
        }
        return true;
    }
    bool flush()
    {
        if (!m_file.flush()) {
            m_failed = &m_file;
            return false;
        }
        return true;
    }
    const ReportFile *failedFile() const { return m_failed; }

    QString text;

private:
    ReportFile &m_file;
    const FileReportOptions &m_options;
    QByteArray m_bytes;
    const ReportFile *m_failed = nullptr;
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
                           const std::function<bool(int rowsSoFar, QString *line, QString *error)> &nextLine,
                           qsizetype charsPerRow, const FileReportOptions &options)
{
    const Progress &progress = options.progress;
    // The bar moves once every hundredth of the rows, at most every 250 rows:
    // often enough to be seen, rarely enough to cost nothing beside the report.
    // Without a count (nobody watches) the file is handed its text every 250 rows.
    const int step = count > 0 ? qBound(1, count / 100, 250) : 250;

    ReportFile file(fileName);
    if (!file.open())
        return fileFailed(file);
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
        return fileFailed(*out.failedFile());
    // The report is under way once its file is open and its header written.
    if (progress.started)
        progress.started(count);

    QString line;
    QString piece;
    QString databaseError;
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
            return fileFailed(*out.failedFile());
        ++rows;
        ++onPage;
        if (rows % step == 0 || rows == count) {
            if (!out.flush())
                return fileFailed(*out.failedFile());
            if (progress.rowWritten)
                progress.rowWritten(rows);
        }
    }
    if (!databaseError.isEmpty())
        return databaseFailed(databaseError);
    if (rows == 0)
        return failed(Outcome::NoData, NoDataMessage);

    const QString footer = fileReportFooter(layout, rows, today);
    // The file ends with one CR LF more than the text.
    if (options.copy) {
        if (!out.add(footer))
            return fileFailed(*out.failedFile());
        if (!file.write(QByteArrayView("\r\n")))
            return fileFailed(file);
    } else if (!out.add(footer + Crlf)) {
        return fileFailed(*out.failedFile());
    } else {
        if (options.keepText)
            out.text.chop(2);
        if (options.utf8Text)
            options.utf8Text->chop(2);
    }
    if (!file.commit())
        return fileFailed(file);

    ReportResult result;
    result.text = std::move(out.text);
    return result;
}

} // namespace

ReportResult writeStudentList(const QDate &today, const FileReportOptions &options)
{
    // The count and the rows from one state of the table, whatever other
    // desks write meanwhile.
    const db::Transaction snapshot(dbConnection, db::Transaction::Mode::Snapshot);
    // The rows are read straight from the engine; the shared recordset is released.
    dbRecordset.close();
    store::RowStream rows;
    const bool counted = isWatched(options);
    if (const db::Result opened = rows.open(store::studentListSql(), counted); !opened.ok())
        return databaseFailed(opened.reason);
    const int count = rows.recordCount();
    if (counted && count == 0)
        return failed(Outcome::NoData, NoDataMessage);

    std::array<int, 12> fields{};
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i] = rows.fieldIndex(QLatin1String(StudentListColumns[i]));
    std::array<QVariant, 12> values;
    CellCache cache;
    return runFileReport(
        StudentListFileName, studentListLayout(), count, today,
        [&](int rowsSoFar, QString *line, QString *error) {
            if (!rows.next()) {
                if (!rows.result().ok())
                    *error = rows.result().reason;
                return false;
            }
            for (size_t i = 0; i < fields.size(); ++i)
                values[i] = rows.value(fields[i]);
            *line = studentListRow(values, rowsSoFar, &cache);
            return true;
        },
        200, options);
}

ReportResult runStudentList(const QDate &today, const Progress &progress)
{
    return writeStudentList(today, {progress, true, nullptr});
}

ReportResult writeIpkList(const QDate &today, const FileReportOptions &options)
{
    // One read transaction for the whole list: every student's totals come
    // from the same state of the tables as the student query, whatever other
    // desks write meanwhile, and the engine does not lock and check the file
    // again for each of them. Nothing is written, so leaving it rolls it back.
    const db::Transaction snapshot(dbConnection, db::Transaction::Mode::Snapshot);
    dbRecordset.close();
    dbRecordset2.close();
    // The students are read one at a time; their sums come alongside.
    store::RowStream rows;
    const bool counted = isWatched(options);
    if (const db::Result opened = store::openIpkStudents(&rows, counted); !opened.ok())
        return databaseFailed(opened.reason);
    const int count = rows.recordCount();
    if (counted && count == 0)
        return failed(Outcome::NoData, NoDataMessage);

    store::IpkTotals totals;
    CellCache cache;
    return runFileReport(
        IpkListFileName, ipkListLayout(), count, today,
        [&](int rowsSoFar, QString *line, QString *error) {
            if (!rows.next()) {
                if (!rows.result().ok())
                    *error = rows.result().reason;
                return false;
            }
            IpkEntry entry;
            entry.nis = rows.value(0);
            entry.name = rows.value(1);
            if (const db::Result read = totals.totals(entry.nis, &entry.creditSum, &entry.pointSum); !read.ok()) {
                *error = read.reason;
                return false;
            }
            *line = ipkRow(entry, rowsSoFar, &cache);
            return true;
        },
        60, options);
}

ReportResult runIpkList(const QDate &today, const Progress &progress)
{
    return writeIpkList(today, {progress, true, nullptr});
}

namespace {

ReportResult runStudentReport(const QString &sql, QString (*build)(const db::Recordset &, const QDate &),
                              const QDate &today)
{
    const db::Transaction snapshot(dbConnection, db::Transaction::Mode::Snapshot);
    if (!dbRecordset.open(sql, dbConnection))
        return databaseFailed(dbRecordset.lastError());
    if (dbRecordset.recordCount() == 0)
        return failed(Outcome::NoData, NoDataMessage);
    ReportResult result;
    result.text = build(dbRecordset, today);
    return result;
}

} // namespace

ReportResult runGradeStatement(const QString &nis, const QDate &today)
{
    return runStudentReport(store::gradeStatementSql(nis), gradeStatementText, today);
}

ReportResult runCertificate(const QString &nis, const QDate &today)
{
    return runStudentReport(store::certificateSql(nis), certificateText, today);
}

} // namespace pel::reports
