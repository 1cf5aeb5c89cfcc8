#pragma once

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
// records, then rowWritten(rows written so far) after each row.
struct Progress
{
    std::function<void(int count)> started;
    std::function<void(int rows)> rowWritten;
};

// The student list, also written to "Data Siswa.txt" in the current folder.
ReportResult runStudentList(const QDate &today, const Progress &progress = {});
// The IPK list, also written to "IPK.txt" in the current folder.
ReportResult runIpkList(const QDate &today, const Progress &progress = {});
// The grade statement of the student with this NIS, exactly as typed.
ReportResult runGradeStatement(const QString &nis, const QDate &today);
// The certificate of the student with this NIS, exactly as typed.
ReportResult runCertificate(const QString &nis, const QDate &today);

// Every student's NIS, in the order the table gives them. False, with the
// reason in *error, when the query is refused.
bool studentNisList(QStringList *nisList, QString *error);

} // namespace pel::reports
