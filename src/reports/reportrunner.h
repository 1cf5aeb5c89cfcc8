#pragma once

#include "db/result.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace pel::db {
class Connection;
class FileWriter;
}

// Runs the reports on the connection given and gives back the report's
// text. The report screen and the administration tool both run them, so
// both produce the same text.
namespace pel::reports {

inline const QString StudentListFileName = QStringLiteral("Data Siswa.txt");
inline const QString IpkListFileName = QStringLiteral("IPK.txt");

// The message and title shown when a report finds no record.
inline const QString NoDataMessage = QStringLiteral("Data tidak ditemukan!");
inline const QString NoDataTitle = QStringLiteral("NIHIL");

struct ReportResult
{
    // Ok; NotFound: the query found no record and nothing was written;
    // otherwise why the report failed, its first line (about) naming the
    // report file, or saying that the database refused the report's
    // statement (origin tells which).
    db::Result result;
    // Done: the whole text of a file report, or the piece a per-student
    // report adds to the end of the viewer's text.
    QString text;
    bool done() const { return result.ok(); }
};

// Progress of a file report: started(record count) once the query found
// records and the header is written, then rowWritten(rows written so far) every hundredth of the rows
// or so (at most every 250 rows, and after the last row). Whenever
// rowWritten is called the temporary report file holds the text so far.
struct Progress
{
    std::function<void(int count)> started;
    std::function<void(int rows)> rowWritten;
};

// How a file report is run beyond writing its own file.
struct FileReportOptions
{
    Progress progress;
    // False: the text is written but not given back (a whole-table report
    // then needs no more memory than one row).
    bool keepText = true;
    // Receives the report's text too (without the file's closing CR LF);
    // the caller commits it.
    db::FileWriter *copy = nullptr;
    // Receives the report's text as UTF-8 (without the file's closing CR LF),
    // half the memory of the text kept as a QString.
    QByteArray *utf8Text = nullptr;
};

// The student list, also written to "Data Siswa.txt" in the current folder.
ReportResult writeStudentList(const db::Connection &conn, const QDate &today, const FileReportOptions &options = {});
// The IPK list, also written to "IPK.txt" in the current folder.
ReportResult writeIpkList(const db::Connection &conn, const QDate &today, const FileReportOptions &options = {});
// The grade statement of the student with this NIS, exactly as typed.
ReportResult runGradeStatement(const db::Connection &conn, const QString &nis, const QDate &today);
// The certificate of the student with this NIS, exactly as typed.
ReportResult runCertificate(const db::Connection &conn, const QString &nis, const QDate &today);

} // namespace pel::reports
