#include "reports/reportrunner.h"

#include "common/module1.h"
#include "db/reportstatements.h"
#include "db/transaction.h"
#include "reports/reportfile.h"
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
                  QStringLiteral("Laporan tidak dapat dibuat karena database menolak perintahnya:\r%1").arg(reason));
}

ReportResult fileFailed(ReportFile &file)
{
    const QString reason = file.errorString();
    file.discard();
    return failed(Outcome::FileFailed,
                  QStringLiteral("Laporan tidak dapat disimpan ke file \"%1\":\r%2\rLaporan tidak ditampilkan.")
                      .arg(file.path(), reason));
}

// The part both file reports share: header, file, rows with paging, footer.
ReportResult runFileReport(const QString &fileName, int count, const QString &header,
                           const std::function<bool(int index, int rowsSoFar, QString *line, QString *error)> &rowLine,
                           const std::function<QString(int, int)> &pageBreak, const QString &footer,
                           qsizetype bytesPerRow, const Progress &progress)
{
    if (progress.started)
        progress.started(count);
    ReportFile file(fileName);
    QString text;
    if (!file.start(header, &text))
        return fileFailed(file);
    text.reserve(text.size() + qsizetype(count) * bytesPerRow + qsizetype(count / RowsPerPage) * bytesPerRow * 10
                 + footer.size());

    QString databaseError;
    bool fileError = false;
    int written = 0;
    const bool complete = composePages(count, {
        [&](int index, int rowsSoFar, QString *line) { return rowLine(index, rowsSoFar, line, &databaseError); },
        pageBreak,
        [&](const QString &piece) {
            text += piece;
            if (!file.append(piece)) {
                fileError = true;
                return false;
            }
            if (progress.rowWritten)
                progress.rowWritten(++written);
            return true;
        },
    });
    if (!complete) {
        if (fileError)
            return fileFailed(file);
        file.discard();
        return databaseFailed(databaseError);
    }
    text += footer;
    if (!file.append(footer) || !file.finish())
        return fileFailed(file);

    ReportResult result;
    result.text = std::move(text);
    return result;
}

} // namespace

ReportResult runStudentList(const QDate &today, const Progress &progress)
{
    if (!dbRecordset.open(db::studentListSql(), dbConnection))
        return databaseFailed(dbRecordset.lastError());
    const int count = dbRecordset.recordCount();
    if (count == 0)
        return failed(Outcome::NoData, NoDataMessage);

    const db::Recordset rows = dbRecordset;
    const StudentListRows lines(rows);
    ReportResult result = runFileReport(
        StudentListFileName, count, studentListHeader(),
        [&](int index, int rowsSoFar, QString *line, QString *) {
            *line = lines.line(index, rowsSoFar);
            return true;
        },
        studentListPageBreak, studentListFooter(count, today), 200, progress);
    dbRecordset.close();
    return result;
}

ReportResult runIpkList(const QDate &today, const Progress &progress)
{
    // One read transaction for the whole list: every student's totals come
    // from the same state of the tables as the student query, and the engine
    // does not lock and check the file again for each of them. Nothing is
    // written, so leaving it rolls it back.
    const db::Transaction snapshot(dbConnection);
    if (!dbRecordset.open(db::ipkStudentsSql(), dbConnection))
        return databaseFailed(dbRecordset.lastError());
    const int count = dbRecordset.recordCount();
    if (count == 0)
        return failed(Outcome::NoData, NoDataMessage);

    const db::Recordset students = dbRecordset;
    CellCache cache;
    ReportResult result = runFileReport(
        IpkListFileName, count, ipkListHeader(),
        [&](int index, int rowsSoFar, QString *line, QString *error) {
            IpkEntry entry;
            entry.nis = students.value(index, 0);
            entry.name = students.value(index, 1);
            // A fresh second recordset for this student's totals.
            dbRecordset2 = db::Recordset();
            if (!dbRecordset2.open(db::ipkTotalsSql(entry.nis.toString()), dbConnection)) {
                *error = dbRecordset2.lastError();
                return false;
            }
            if (dbRecordset2.recordCount() > 0) {
                entry.creditSum = dbRecordset2.value(0, dbRecordset2.fieldIndex(QStringLiteral("vsks")));
                entry.pointSum = dbRecordset2.value(0, dbRecordset2.fieldIndex(QStringLiteral("vnilai")));
            }
            *line = ipkRow(entry, rowsSoFar, &cache);
            return true;
        },
        ipkPageBreak, ipkFooter(count, today), 60, progress);
    dbRecordset.close();
    dbRecordset2.close();
    return result;
}

namespace {

ReportResult runStudentReport(const QString &sql, QString (*build)(const db::Recordset &, const QDate &),
                              const QDate &today)
{
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
    return runStudentReport(db::gradeStatementSql(nis), gradeStatementText, today);
}

ReportResult runCertificate(const QString &nis, const QDate &today)
{
    return runStudentReport(db::certificateSql(nis), certificateText, today);
}

bool studentNisList(QStringList *nisList, QString *error)
{
    nisList->clear();
    if (!dbRecordset.open(db::reportStudentsSql(), dbConnection)) {
        *error = dbRecordset.lastError();
        return false;
    }
    const int field = dbRecordset.fieldIndex(QStringLiteral("nis"));
    nisList->reserve(dbRecordset.recordCount());
    for (int row = 0; row < dbRecordset.recordCount(); ++row)
        *nisList << dbRecordset.value(row, field).toString();
    return true;
}

} // namespace pel::reports
