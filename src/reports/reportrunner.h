#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the reports on the shared connection: each opens its query on
// dbRecordset (the IPK list its per-student totals on dbRecordset2) and
// gives back the report's text. The report screen and the administration
// tool both run them, so both produce the same text.
namespace pel::reports {

inline const QString StudentListFileName = QStringLiteral("Data Siswa.txt");
inline const QString IpkListFileName = QStringLiteral("IPK.txt");

// The message and title shown when a report finds no record.
inline const QString NoDataMessage = QStringLiteral("Data tidak ditemukan!");
inline const QString NoDataTitle = QStringLiteral("NIHIL");

enum class Outcome {
    Done,
    NoData,         // the query found no record; nothing was written
    DatabaseFailed, // a statement was refused; error holds the reason
    FileFailed,     // the report file could not be written; error says which and why
};

struct ReportResult
{
    Outcome outcome = Outcome::Done;
    // Done: the whole text of a file report, or the piece a per-student
    // report adds to the end of the viewer's text.
    QString text;
    QString error; // a message for the operator when the report failed
    bool done() const { return outcome == Outcome::Done; }
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

class ReportFile;

// How a file report is run beyond writing its own file.
struct FileReportOptions
{
    Progress progress;
    // False: the text is written but not given back (a whole-table report
    // then needs no more memory than one row).
    bool keepText = true;
    // Receives the report's text too (without the file's closing CR LF);
    // the caller commits it.
    ReportFile *copy = nullptr;
    // Receives the report's text as UTF-8 (without the file's closing CR LF),
    // half the memory of the text kept as a QString.
    QByteArray *utf8Text = nullptr;
};

// The student list, also written to "Data Siswa.txt" in the current folder.
ReportResult runStudentList(const QDate &today, const Progress &progress = {});
ReportResult writeStudentList(const QDate &today, const FileReportOptions &options);
// The IPK list, also written to "IPK.txt" in the current folder.
ReportResult runIpkList(const QDate &today, const Progress &progress = {});
ReportResult writeIpkList(const QDate &today, const FileReportOptions &options);
// The grade statement of the student with this NIS, exactly as typed.
ReportResult runGradeStatement(const QString &nis, const QDate &today);
// The certificate of the student with this NIS, exactly as typed.
ReportResult runCertificate(const QString &nis, const QDate &today);

} // namespace pel::reports
