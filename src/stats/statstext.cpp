#include "stats/statstext.h"

#include "stats/statsrules.h"
#include "transfer/csv.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace pel::stats {

namespace {

Cell count(qint64 value)
{
    return Number{value, 0};
}

// part's share of whole in percent with one decimal; empty for no whole.
Cell share(qint64 part, qint64 whole)
{
    if (whole <= 0)
        return {};
    return Number{shareTenths(part, whole), 1};
}

Cell text(const QString &value)
{
    return value;
}

Column textColumn(const QString &title)
{
    return {title, false, false};
}

Column numberColumn(const QString &title)
{
    return {title, true, false};
}

Column shareColumn(const QString &countTitle)
{
    return {countTitle + QStringLiteral(" %"), true, true};
}

// A count column and its share column.
void addCounted(QList<Column> &columns, const QString &title)
{
    columns << numberColumn(title) << shareColumn(title);
}

const QList<QString> Letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                             QStringLiteral("E")};

Cell mean(const GradeFigures &row)
{
    if (!row.meanKnown || row.scored == 0)
        return {};
    return Number{meanHundredths(row.scoreMillionths, row.scored), 2};
}

qint64 allRowsOf(const QList<GradeFigures> &figures)
{
    qint64 all = 0;
    for (const GradeFigures &row : figures)
        all += row.rows;
    return all;
}

QString numberText(const Number &number, QChar decimalPoint)
{
    const qint64 magnitude = number.value < 0 ? -number.value : number.value;
    QString digits = QString::number(magnitude);
    if (number.decimals > 0) {
        digits = digits.rightJustified(number.decimals + 1, QLatin1Char('0'));
        digits.insert(digits.size() - number.decimals, decimalPoint);
    }
    return number.value < 0 ? QLatin1Char('-') + digits : digits;
}

QString periodText(const Filter &filter)
{
    const auto shown = [](const QDate &date) { return date.toString(QStringLiteral("dd-MM-yyyy")); };
    if (filter.from.isValid() && filter.to.isValid())
        return shown(filter.from) + QStringLiteral(" s.d. ") + shown(filter.to);
    if (filter.from.isValid())
        return QStringLiteral("sejak ") + shown(filter.from);
    if (filter.to.isValid())
        return QStringLiteral("sampai ") + shown(filter.to);
    return QStringLiteral("semua tanggal");
}

QString orAny(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("(Semua)") : value;
}

} // namespace

int Table::column(const QString &title) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).title == title)
            return i;
    return -1;
}

namespace {

// The table of grade rows counted by a key: the key's columns, the rows and
// their share of all, the mean, the letters when asked for, the passes.
Table gradeTable(View view, const QString &title, const QStringList &keyColumns, bool letters,
                 const QList<GradeFigures> &figures)
{
    Table table;
    table.view = view;
    table.title = title;
    for (const QString &column : keyColumns)
        table.columns << textColumn(column);
    addCounted(table.columns, QStringLiteral("Jumlah"));
    table.columns << numberColumn(QStringLiteral("RataRata"));
    if (letters)
        for (const QString &letter : Letters)
            addCounted(table.columns, letter);
    addCounted(table.columns, QStringLiteral("Lulus"));

    const qint64 all = allRowsOf(figures);
    for (const GradeFigures &row : figures) {
        QList<Cell> cells{text(row.key)};
        if (keyColumns.size() > 1)
            cells << text(row.name);
        cells << count(row.rows) << share(row.rows, all) << mean(row);
        if (letters)
            for (const qint64 letter : row.letters)
                cells << count(letter) << share(letter, row.rows);
        cells << count(row.passed) << share(row.passed, row.rows);
        table.rows << cells;
    }
    return table;
}

} // namespace

Table subjectTable(const QList<GradeFigures> &figures)
{
    return gradeTable(View::Subjects, QStringLiteral("Nilai per Mata Pelajaran"),
                      {QStringLiteral("KdMatpel"), QStringLiteral("NmMatpel")}, true, figures);
}

Table instructorTable(const QList<GradeFigures> &figures)
{
    return gradeTable(View::Instructors, QStringLiteral("Nilai per Instruktur"), {QStringLiteral("Tentor")}, false,
                      figures);
}

Table ipkTable(const QList<IpkFigures> &figures)
{
    Table table;
    table.view = View::Ipk;
    table.title = QStringLiteral("IPK per Program dan Level");
    table.columns << textColumn(QStringLiteral("Program")) << textColumn(QStringLiteral("Level"));
    addCounted(table.columns, QStringLiteral("Jumlah"));
    table.columns << numberColumn(QStringLiteral("RataRataIPK"));
    for (int band = 0; band < IpkBandCount; ++band)
        addCounted(table.columns, ipkBandLabel(band));

    qint64 all = 0;
    for (const IpkFigures &row : figures)
        all += row.students;
    for (const IpkFigures &row : figures) {
        QList<Cell> cells{text(row.programme), text(row.level), count(row.students), share(row.students, all)};
        cells << (row.students > 0 ? Cell(Number{roundedQuotient(row.ipkHundredths, row.students), 2}) : Cell());
        for (const qint64 band : row.bands)
            cells << count(band) << share(band, row.students);
        table.rows << cells;
    }
    return table;
}

Table intakeTable(const QList<IntakeFigures> &figures)
{
    Table table;
    table.view = View::Intake;
    table.title = QStringLiteral("Penerimaan Siswa per Bulan");
    table.columns << numberColumn(QStringLiteral("Tahun")) << numberColumn(QStringLiteral("Bulan"))
                  << textColumn(QStringLiteral("Program"));
    addCounted(table.columns, QStringLiteral("Jumlah"));

    // The share of each programme in its month's intake.
    QHash<qint64, qint64> months;
    for (const IntakeFigures &row : figures)
        months[row.year * 100 + row.month] += row.students;
    for (const IntakeFigures &row : figures) {
        QList<Cell> cells;
        if (row.month == 0)
            cells << text(NoDateText) << Cell();
        else
            cells << count(row.year) << count(row.month);
        cells << text(row.programme) << count(row.students)
              << share(row.students, months.value(row.year * 100 + row.month));
        table.rows << cells;
    }
    return table;
}

db::Result readView(const db::Connection &conn, View view, const Filter &filter, Table *table,
                    const std::atomic_bool *cancel)
{
    db::Result result;
    switch (view) {
    case View::Subjects: {
        QList<GradeFigures> figures;
        result = subjectFigures(conn, filter, &figures, cancel);
        *table = subjectTable(figures);
        break;
    }
    case View::Instructors: {
        QList<GradeFigures> figures;
        result = instructorFigures(conn, filter, &figures, cancel);
        *table = instructorTable(figures);
        break;
    }
    case View::Ipk: {
        QList<IpkFigures> figures;
        result = ipkFigures(conn, filter, &figures, cancel);
        *table = ipkTable(figures);
        break;
    }
    case View::Intake: {
        QList<IntakeFigures> figures;
        result = intakeFigures(conn, filter, &figures, cancel);
        *table = intakeTable(figures);
        break;
    }
    }
    return result;
}

QString viewCaption(View view)
{
    switch (view) {
    case View::Subjects: return QStringLiteral("Mata pelajaran");
    case View::Ipk: return QStringLiteral("IPK");
    case View::Intake: return QStringLiteral("Penerimaan");
    case View::Instructors: return QStringLiteral("Instruktur");
    }
    return {};
}

QChar systemDecimalPoint()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

QString cellText(const Cell &cell, QChar decimalPoint)
{
    if (const auto *value = std::get_if<QString>(&cell))
        return *value;
    if (const auto *number = std::get_if<Number>(&cell))
        return numberText(*number, decimalPoint);
    return {};
}

double cellValue(const Cell &cell)
{
    const auto *number = std::get_if<Number>(&cell);
    if (!number)
        return 0;
    double value = double(number->value);
    for (int i = 0; i < number->decimals; ++i)
        value /= 10;
    return value;
}

QString filterLine(const Filter &filter)
{
    return QStringLiteral("Program: %1   Level: %2   Periode: %3")
        .arg(orAny(filter.programme), orAny(filter.level), periodText(filter));
}

QString fixedWidthText(const Table &table, const Filter &filter, QChar decimalPoint)
{
    QList<QStringList> lines;
    QStringList heading;
    for (const Column &column : table.columns)
        heading << column.title;
    lines << heading;
    for (const QList<Cell> &row : table.rows) {
        QStringList cells;
        for (const Cell &cell : row)
            cells << cellText(cell, decimalPoint);
        lines << cells;
    }
    QList<qsizetype> widths(table.columns.size(), 0);
    for (const QStringList &line : lines)
        for (qsizetype i = 0; i < widths.size(); ++i)
            widths[i] = std::max(widths[i], line.value(i).size());

    const auto joined = [&](const QStringList &cells) {
        QString line;
        for (qsizetype i = 0; i < widths.size(); ++i) {
            const QString cell = cells.value(i);
            line += QLatin1Char(' ');
            line += table.columns.at(i).number ? cell.rightJustified(widths.at(i)) : cell.leftJustified(widths.at(i));
            line += QLatin1Char(' ');
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        return line;
    };
    QString rule;
    for (const qsizetype width : widths)
        rule += QLatin1Char(' ') + QString(width, QLatin1Char('-')) + QLatin1Char(' ');
    rule.chop(1);

    const QLatin1StringView crlf("\r\n");
    QString text = QStringLiteral(" STATISTIK NILAI - ") + table.title.toUpper() + crlf;
    text += QLatin1Char(' ') + filterLine(filter) + crlf + crlf;
    text += joined(lines.first()) + crlf + rule + crlf;
    for (qsizetype i = 1; i < lines.size(); ++i)
        text += joined(lines.at(i)) + crlf;
    if (table.rows.isEmpty())
        text += QStringLiteral(" (tidak ada data)") + crlf;
    return text;
}

QByteArray csvText(const Table &table)
{
    QStringList header;
    for (const Column &column : table.columns)
        if (!column.share)
            header << column.title;
    QByteArray csv = transfer::CsvLine(header, ',');
    for (const QList<Cell> &row : table.rows) {
        QStringList cells;
        for (qsizetype i = 0; i < row.size(); ++i)
            if (!table.columns.at(i).share)
                cells << cellText(row.at(i), QLatin1Char('.'));
        csv += transfer::CsvLine(cells, ',');
    }
    return csv;
}

QString tabSeparatedText(const Table &table, QChar decimalPoint)
{
    QStringList lines;
    QStringList heading;
    for (const Column &column : table.columns)
        heading << column.title;
    lines << heading.join(QLatin1Char('\t'));
    for (const QList<Cell> &row : table.rows) {
        QStringList cells;
        for (const Cell &cell : row)
            // A tab or a line break inside a text would split its cell.
            cells << cellText(cell, decimalPoint)
                         .replace(QLatin1Char('\t'), QLatin1Char(' '))
                         .replace(QLatin1Char('\n'), QLatin1Char(' '))
                         .replace(QLatin1Char('\r'), QLatin1Char(' '));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace pel::stats
