#pragma once

#include "reports/reportline.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <QStringList>

#include <array>
#include <optional>

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

// The shape both file reports share, told once: the header (title lines,
// "Halaman: 01", rules and column heading), the page-break block before every
// sixth, eleventh, ... row (sub-total, carried-forward line, blank lines, the
// next page's "Halaman:" line and heading), and the footer (total and the
// report's own signature block). Rules are one space and `ruleWidth` signs.
struct FileReportLayout
{
    QStringList titleLines;      // the header's lines before "Halaman: 01"
    int firstPageIndent = 0;     // spaces before the first page's "Halaman: 01"
    int ruleWidth = 0;
    QString firstHeading;        // the column heading on the first page
    QString nextHeading;         // the column heading after a page break
    int blankLinesAfterCarried = 0; // one-space lines after " Dipindahkan  "
    int nextPageIndent = 0;      // spaces before a later page's "Halaman: "
    // The footer's lines after its total, rules and one-space line.
    QStringList (*signature)(const QDate &today) = nullptr;
};

// The header without its final CR LF.
QString fileReportHeader(const FileReportLayout &layout);
// The block before a new page, after rowsSoFar rows.
QString fileReportPageBreak(const FileReportLayout &layout, int rowsSoFar, int page);
// The same block from its fixed pieces, made once for a whole report.
struct PageBreakPieces
{
    explicit PageBreakPieces(const FileReportLayout &layout);
    void appendTo(QString &text, int rowsSoFar, int page) const;
    QString head, middle, tail;
};
QString fileReportFooter(const FileReportLayout &layout, int rowCount, const QDate &today);

// Where the later pages of a report's text begin, given its lines: each
// "Halaman: " line that ends a page-break block (after the " Dipindahkan  "
// line and the one-space lines that follow it). A text without a page break
// (a grade statement, a certificate) has none.
QList<qsizetype> laterPageStarts(const QStringList &lines);

// Student list (file "Data Siswa.txt"): rows of "select * from SISWA ...".
const FileReportLayout &studentListLayout();
// One student's row line, from the student list query's columns in the
// order StudentListColumns names them.
inline constexpr std::array<const char *, 12> StudentListColumns{
    "NIS", "NamaSiswa", "TptLahir", "TglLahir", "Alamat", "JenisKelamin",
    "Agama", "TglMasuk", "ProgamJurusan", "LevelTahap", "AsalSekolah", "TelpHp"};
QString studentListRow(const std::array<QVariant, 12> &values, int rowsSoFar, CellCache *cache = nullptr);

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
const FileReportLayout &ipkListLayout();
// cache, when given, remembers cells from row to row.
QString ipkRow(const IpkEntry &entry, int rowsSoFar, CellCache *cache = nullptr);

// A sum brought to a whole number as the IPK list counts it: halves go to
// the even neighbour (22.5 -> 22, 23.5 -> 24). Null for a missing sum.
QVariant wholeSum(const QVariant &sum);

// The index of one student as the IPK list computes it from the two sums:
// each brought to a whole number (wholeSum), the points over the credits.
// Nothing where a sum is missing or the credits come to 0 (the list shows
// "-" there). The list prints it under IpkMask.
std::optional<double> ipkOf(const QVariant &creditSum, const QVariant &pointSum);
inline const QString IpkMask = QStringLiteral("0.00");

} // namespace pel::reports
