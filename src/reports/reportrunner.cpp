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
    const int step = qBound(1, count / 100, 250);

    ReportFile file(fileName);
    if (!file.open())
        return fileFailed(file);
    Output out(file, options);
    if (options.keepText)
        out.text.reserve(qsizetype(count) * charsPerRow + qsizetype(count / RowsPerPage) * charsPerRow * 10 + 4096);
    if (!out.add(fileReportHeader(layout) + Crlf))
        return fileFailed(*out.failedFile());
    // The report is under way once its file is open and its header written.
    if (progress.started)
        progress.started(count);

    const PageBreakPieces pageBreak(layout);
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
    } else if (options.keepText) {
        out.text.chop(2);
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
    if (const db::Result opened = rows.open(store::studentListSql()); !opened.ok())
        return databaseFailed(opened.reason);
    const int count = rows.recordCount();
    if (count == 0)
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
    // The students (NIS and name) are kept, a few bytes each, so that the
    // engine groups the grades once instead of once more for a count.
    QList<std::pair<QVariant, QVariant>> students;
    {
        store::RowStream rows;
        if (const db::Result opened = rows.open(store::ipkStudentsSql(dbConnection.isPostgres()), false); !opened.ok())
            return databaseFailed(opened.reason);
        while (rows.next())
            students.append({rows.value(0), rows.value(1)});
        if (!rows.result().ok())
            return databaseFailed(rows.result().reason);
    }
    const int count = int(students.size());
    if (count == 0)
        return failed(Outcome::NoData, NoDataMessage);

    CellCache cache;
    int next = 0;
    return runFileReport(
        IpkListFileName, ipkListLayout(), count, today,
        [&](int rowsSoFar, QString *line, QString *error) {
            if (next == count)
                return false;
            IpkEntry entry;
            entry.nis = students.at(next).first;
            entry.name = students.at(next).second;
            ++next;
            if (const db::Result totals = store::ipkTotals(entry.nis.toString(), &entry.creditSum, &entry.pointSum);
                !totals.ok()) {
                *error = totals.reason;
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
