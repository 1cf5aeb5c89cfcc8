#pragma once

#include "reports/reportline.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace pel::db {
class Recordset;
}

// The texts of the four reports, built from their query rows and today's
// date. Lines end with CR LF. A file report (student list, IPK list) is one
// whole text: the header and its CR LF, the rows with a page-break block
// before every sixth, eleventh, ... row, and the footer. A per-student
// report (grade statement, certificate) is the piece the report screen adds
// to the end of its text; its last line has no CR LF.
//
// Where a value cannot be shown as laid out:
// - cells follow ReportLine's rules: texts are cut before the next column,
//   numbers and keys are never cut and push the line only as far as they must;
// - a missing value leaves its cell blank and counts as nothing in a total
//   (as the database's own sum does);
// - an index over a credit total of 0 (or over missing sums) shows "-"
//   instead of a number;
// - the IPK list's sums are whole numbers of any size, not 16-bit ones: a
//   sum beyond 32767 is shown as it is rather than wrapped or refused.
namespace pel::reports {

inline constexpr int RowsPerPage = 5;

// The page number as text, with a "0" before a single digit: "02", "10".
QString pageLabel(int page);

// "dd-mm-yyyy".
QString reportDate(const QDate &date);

// The paging of a file report. The text starts with the header and its
// CR LF; then, for each row index 0..count-1, sink receives one piece: the
// page-break block when a page is full (pageBreak(rows written so far, new
// page number)), then the row line (rowLine(index, rows written so far)).
// Stops and returns false as soon as rowLine or sink returns false.
struct Paging
{
    std::function<bool(int index, int rowsSoFar, QString *line)> rowLine;
    std::function<QString(int rowsSoFar, int page)> pageBreak;
    std::function<bool(const QString &piece)> sink;
};
bool composePages(int count, const Paging &paging);

// Student list (file "Data Siswa.txt"): rows of "select * from SISWA ...".
QString studentListHeader(); // without its final CR LF
// The row lines over the query's rows (columns looked up once).
class StudentListRows
{
public:
    explicit StudentListRows(const db::Recordset &rows);
    QString line(int row, int rowsSoFar) const;

private:
    const db::Recordset &m_rows;
    QList<int> m_fields;
    mutable CellCache m_cache;
};
QString studentListPageBreak(int rowsSoFar, int page);
QString studentListFooter(int rowCount, const QDate &today);
QString studentListText(const db::Recordset &rows, const QDate &today);

// Grade statement of one student: rows of its query (at least one).
QString gradeStatementText(const db::Recordset &rows, const QDate &today);

// Certificate of one student: rows of its query (at least one).
QString certificateText(const db::Recordset &rows, const QDate &today);

// IPK list (file "IPK.txt"). One entry per student: the NIS and name of the
// student query and the two sums of the totals query as read (a missing sum
// is a null value).
struct IpkEntry
{
    QVariant nis;
    QVariant name;
    QVariant creditSum;
    QVariant pointSum;
};
QString ipkListHeader(); // without its final CR LF
// cache, when given, remembers cells from row to row.
QString ipkRow(const IpkEntry &entry, int rowsSoFar, CellCache *cache = nullptr);
QString ipkPageBreak(int rowsSoFar, int page);
QString ipkFooter(int rowCount, const QDate &today);
QString ipkListText(const QList<IpkEntry> &entries, const QDate &today);

// A sum brought to a whole number as the IPK list counts it: halves go to
// the even neighbour (22.5 -> 22, 23.5 -> 24). Null for a missing sum.
QVariant wholeSum(const QVariant &sum);

} // namespace pel::reports
