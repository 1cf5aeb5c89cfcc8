#pragma once

#include "stats/statsstore.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

// The figures of a view as one table, and that table as the texts it is
// shown, printed, copied and written as: the fixed-width text of the tool and
// of the printed page, the CSV of the tool's --csv, and the tab-separated
// text a spreadsheet takes from the clipboard. The screen's grid, its chart
// and the tool all read the same table, so they show the same numbers.
namespace pel::stats {

// A number as shown: value / 10^decimals, e.g. {8513, 2} is 85.13.
struct Number
{
    qint64 value = 0;
    int decimals = 0;
};

// An empty cell, a text, or a number.
using Cell = std::variant<std::monostate, QString, Number>;

struct Column
{
    QString title;
    bool number = false; // right-aligned
    // The share in percent of the count before it; shown on the screen, in
    // the fixed-width text and in the copy, left out of the CSV.
    bool share = false;
};

struct Table
{
    View view = View::Subjects;
    QString title;
    QList<Column> columns;
    QList<QList<Cell>> rows;

    // The index of the column with this title, or -1.
    int column(const QString &title) const;
};

// Beside each count its share: of all rows counted (Jumlah), of the row's
// own Jumlah (letters, passes, IPK bands), or of the month (intake).
Table subjectTable(const QList<GradeFigures> &figures);
Table ipkTable(const QList<IpkFigures> &figures);
Table intakeTable(const QList<IntakeFigures> &figures);
Table instructorTable(const QList<GradeFigures> &figures);

// The view's figures read on conn and put into its table.
db::Result readView(const db::Connection &conn, View view, const Filter &filter, Table *table,
                    const std::atomic_bool *cancel = nullptr);

// The name of a view as its tab and the tool call it.
QString viewCaption(View view);
// The year of the students whose entry date is no date, in the intake's table.
inline const QString NoDateText = QStringLiteral("tanpa tanggal");

// The decimal sign of the system's number settings, as the reports print it.
QChar systemDecimalPoint();

// A cell's text with decimalPoint between the whole and the decimals.
QString cellText(const Cell &cell, QChar decimalPoint);
// A number cell's value (0 for text and for an empty cell), for the charts.
double cellValue(const Cell &cell);

// "Program: ...   Level: ...   Periode: ..." of a filter, "(Semua)" for any.
QString filterLine(const Filter &filter);

// The fixed-width text: the title, the filter line, an empty line, the
// column heading, a rule and the rows; numbers right-aligned. Lines end with
// CR LF.
QString fixedWidthText(const Table &table, const Filter &filter, QChar decimalPoint);
// The CSV: a header row and one row per table row, the columns that are not
// shares, "," between them, a decimal point, UTF-8, lines ending with CR LF.
QByteArray csvText(const Table &table);
// The text a spreadsheet reads from the clipboard: every column, tabs
// between the cells, lines ending with LF.
QString tabSeparatedText(const Table &table, QChar decimalPoint);

} // namespace pel::stats
