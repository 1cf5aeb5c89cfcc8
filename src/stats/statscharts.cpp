#include "stats/statscharts.h"

#include "stats/statsrules.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCategoryAxis>
#include <QLegend>
#include <QLineSeries>
#include <QMap>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace pel::stats {

namespace {

// The title of a count column, or of its share.
QString shown(const QString &countTitle, Scale scale)
{
    return scale == Scale::Shares ? countTitle + QStringLiteral(" %") : countTitle;
}

QList<qreal> columnValues(const Table &table, const QString &title)
{
    QList<qreal> values;
    const int column = table.column(title);
    for (const QList<Cell> &row : table.rows)
        values << (column < 0 ? 0.0 : cellValue(row.at(column)));
    return values;
}

QString rowText(const Table &table, int row, const QString &title)
{
    const int column = table.column(title);
    return column < 0 ? QString() : cellText(table.rows.at(row).at(column), systemDecimalPoint());
}

QBarSet *barSet(const QString &label, const QList<qreal> &values, const QColor &color)
{
    auto *set = new QBarSet(label);
    set->append(values);
    set->setColor(color);
    set->setBorderColor(color.darker(130));
    return set;
}

// The value axis: from 0 to a round number above the largest value, or to
// 100 for shares.
QValueAxis *valueAxis(const QString &title, Scale scale, qreal largest)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setRange(0, scale == Scale::Shares ? 100 : std::max<qreal>(largest, 1));
    if (scale == Scale::Counts)
        axis->applyNiceNumbers();
    return axis;
}

// Category names are read as HTML (a "<br>" breaks one); stored texts come escaped.
QBarCategoryAxis *categoryAxis(const QString &title, const QStringList &categories)
{
    auto *axis = new QBarCategoryAxis;
    axis->setTitleText(title);
    axis->append(categories);
    // Many categories stand upright so that each keeps its name.
    if (categories.size() > 12)
        axis->setLabelsAngle(-90);
    return axis;
}

void addBars(QChart *chart, QAbstractBarSeries *series, const QString &categoryTitle, const QStringList &categories,
             const QString &valueTitle, Scale scale)
{
    qreal largest = 0;
    for (QBarSet *set : series->barSets())
        for (int i = 0; i < set->count(); ++i)
            largest = std::max(largest, set->at(i));
    if (qobject_cast<QStackedBarSeries *>(series)) {
        largest = 0;
        for (int i = 0; i < categories.size(); ++i) {
            qreal sum = 0;
            for (QBarSet *set : series->barSets())
                sum += set->at(i);
            largest = std::max(largest, sum);
        }
    }
    chart->addSeries(series);
    QBarCategoryAxis *x = categoryAxis(categoryTitle, categories);
    QValueAxis *y = valueAxis(valueTitle, scale, largest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

// Colours that stay apart on paper, also in grey.
const QList<QColor> Palette{QColor(0x1b, 0x5e, 0x20), QColor(0x66, 0xbb, 0x6a), QColor(0xfd, 0xd8, 0x35),
                            QColor(0xfb, 0x8c, 0x00), QColor(0xc6, 0x28, 0x28), QColor(0x15, 0x65, 0xc0)};

void subjectChart(QChart *chart, const Table &table, Scale scale)
{
    auto *series = new QStackedBarSeries;
    const QStringList letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                              QStringLiteral("E")};
    for (int i = 0; i < letters.size(); ++i)
        series->append(barSet(letters.at(i), columnValues(table, shown(letters.at(i), scale)), Palette.at(i)));
    QStringList codes;
    for (int row = 0; row < table.rows.size(); ++row)
        codes << rowText(table, row, QStringLiteral("KdMatpel")).toHtmlEscaped();
    addBars(chart, series, QStringLiteral("Mata pelajaran"), codes,
            scale == Scale::Shares ? QStringLiteral("Persen dari baris nilai") : QStringLiteral("Baris nilai"), scale);
}

void ipkChart(QChart *chart, const Table &table, Scale scale)
{
    auto *series = new QBarSeries;
    for (int band = 0; band < IpkBandCount; ++band)
        series->append(barSet(QStringLiteral("IPK ") + ipkBandLabel(band),
                              columnValues(table, shown(ipkBandLabel(band), scale)),
                              Palette.at(IpkBandCount - 1 - band)));
    QStringList classes;
    for (int row = 0; row < table.rows.size(); ++row)
        classes << rowText(table, row, QStringLiteral("Program")).toHtmlEscaped() + QStringLiteral("<br>")
                       + rowText(table, row, QStringLiteral("Level")).toHtmlEscaped();
    addBars(chart, series, QStringLiteral("Program / Level"), classes,
            scale == Scale::Shares ? QStringLiteral("Persen dari siswa") : QStringLiteral("Siswa"), scale);
}

void instructorChart(QChart *chart, const Table &table, Scale scale)
{
    auto *series = new QBarSeries;
    if (scale == Scale::Shares) {
        series->append(barSet(QStringLiteral("Lulus (%)"), columnValues(table, QStringLiteral("Lulus %")), Palette.at(1)));
    } else {
        series->append(barSet(QStringLiteral("Baris nilai"), columnValues(table, QStringLiteral("Jumlah")), Palette.at(5)));
        series->append(barSet(QStringLiteral("Lulus"), columnValues(table, QStringLiteral("Lulus")), Palette.at(1)));
    }
    QStringList names;
    for (int row = 0; row < table.rows.size(); ++row) {
        const QString name = rowText(table, row, QStringLiteral("Tentor"));
        names << (name.isEmpty() ? QStringLiteral("(tanpa nama)") : name.toHtmlEscaped());
    }
    addBars(chart, series, QStringLiteral("Instruktur"), names,
            scale == Scale::Shares ? QStringLiteral("Persen lulus") : QStringLiteral("Baris nilai"), scale);
}

// One line per programme over the months from the first to the last, a
// month without students at 0, each month at its own place on the axis,
// named where there is room; students without an entry date stay in the
// table.
void intakeChart(QChart *chart, const Table &table, Scale scale)
{
    const int year = table.column(QStringLiteral("Tahun"));
    const int month = table.column(QStringLiteral("Bulan"));
    const QList<qreal> values = columnValues(table, shown(QStringLiteral("Jumlah"), scale));
    QMap<QString, QMap<int, qreal>> lines; // programme -> months since year 0 -> value
    int first = 0, last = 0;
    for (int row = 0; row < table.rows.size(); ++row) {
        if (!std::holds_alternative<Number>(table.rows.at(row).at(month)))
            continue;
        const int index =
            int(cellValue(table.rows.at(row).at(year))) * 12 + int(cellValue(table.rows.at(row).at(month))) - 1;
        first = lines.isEmpty() ? index : std::min(first, index);
        last = lines.isEmpty() ? index : std::max(last, index);
        lines[rowText(table, row, QStringLiteral("Program"))][index] = values.at(row);
    }
    if (lines.isEmpty())
        return;
    auto *x = new QCategoryAxis;
    x->setTitleText(QStringLiteral("Bulan masuk"));
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const int months = last - first + 1;
    x->setRange(-0.5, months - 0.5);
    // Every month, or every half year, or every so many Januaries: twenty
    // names at the most.
    const int step = months <= 20 ? 1 : months <= 120 ? 6 : 12 * ((months + 239) / 240);
    for (int index = first; index <= last; ++index)
        if (index % step == 0)
            x->append(QStringLiteral("%1-%2").arg(index % 12 + 1, 2, 10, QLatin1Char('0')).arg(index / 12),
                      index - first);
    qreal largest = 0;
    int colour = 0;
    QList<QLineSeries *> series;
    for (auto line = lines.constBegin(); line != lines.constEnd(); ++line) {
        auto *points = new QLineSeries;
        points->setName(line.key().isEmpty() ? QStringLiteral("(tanpa program)") : line.key());
        points->setColor(Palette.at(colour++ % Palette.size()));
        points->setPointsVisible(months <= 60);
        points->setMarkerSize(8);
        for (int index = first; index <= last; ++index) {
            const qreal value = line.value().value(index, 0);
            points->append(index - first, value);
            largest = std::max(largest, value);
        }
        chart->addSeries(points);
        series << points;
    }
    if (months > 20)
        x->setLabelsAngle(-90);
    QValueAxis *y = valueAxis(scale == Scale::Shares ? QStringLiteral("Persen dari penerimaan bulan itu")
                                                     : QStringLiteral("Siswa"),
                              scale, largest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *points : series) {
        points->attachAxis(x);
        points->attachAxis(y);
    }
}

} // namespace

QChart *makeChart(const Table &table, Scale scale)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(table.rows.isEmpty() ? table.title + QStringLiteral(" (tidak ada data)") : table.title);
    QFont title = chart->titleFont();
    title.setBold(true);
    title.setPointSize(title.pointSize() + 2);
    chart->setTitleFont(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (table.rows.isEmpty())
        return chart;
    switch (table.view) {
    case View::Subjects:
        subjectChart(chart, table, scale);
        break;
    case View::Ipk:
        ipkChart(chart, table, scale);
        break;
    case View::Intake:
        intakeChart(chart, table, scale);
        break;
    case View::Instructors:
        instructorChart(chart, table, scale);
        break;
    }
    return chart;
}

} // namespace pel::stats
