#include "reports/reporttext.h"

#include "common/formatters.h"
#include "db/recordset.h"
#include "reports/reportline.h"

#include <cmath>
#include <optional>

namespace pel::reports {

namespace {

using Fit = ReportLine::Fit;

QString blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

QString rule(QChar c, int count)
{
    return QLatin1Char(' ') + QString(count, c);
}

// Appends each line with CR LF after it.
void addLines(QString &text, std::initializer_list<QString> lines)
{
    for (const QString &line : lines) {
        text += line;
        text += Crlf;
    }
}

// What a report shows where a value cannot be computed (an index over no
// credits): a dash, never a number that would read as right.
const QString NoValue = QStringLiteral("-");

// Field positions of a result, looked up once per report.
struct Fields
{
    Fields(const db::Recordset &rows, std::initializer_list<const char *> names)
    {
        for (const char *name : names)
            index << rows.fieldIndex(QLatin1String(name));
    }
    QList<int> index;
};

// ---- student list ----

const QString StudentHeading = QStringLiteral(
    " NO.   NIS      NM SISWA         TPT LAHIR      TGL LAHIR    ALAMAT                    JENIS KELAMIN    "
    "AGAMA       TGL MASUK   PROG JURUSAN       LEVEL            ASAL                 TELP         ");

// ---- grade statement and certificate ----

const QString GradeHeading = QStringLiteral(
    " No.   Kode      Mata Pelajaran        SKS    Nilai Angka    Nilai Huruf     Bobot    Mutu    Keterangan       ");

const QString CertificateHeading = QStringLiteral(
    " |  No.     Mata Pelajaran           Nilai Angka        Keterangan       |");

const QString CertificateRule = QStringLiteral(" +") + QString(71, QLatin1Char('-')) + QLatin1Char('+');

// ---- IPK list ----

const QString IpkHeadingFirst = QStringLiteral(" NO.  NIS      NM SISWA          SKS       BOBOT     IPK       ");
const QString IpkHeadingNext = QStringLiteral(" NO.  NIS      NM SISWA          SKS       NILAI     IPK       ");

// The quality-point index over a credit total, or nothing when there are no credits.
std::optional<double> indexOf(double points, double credits)
{
    if (credits == 0 || !std::isfinite(points) || !std::isfinite(credits))
        return std::nullopt;
    return points / credits;
}

double sumOf(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : 0.0;
}

} // namespace

QString pageLabel(int page)
{
    QString label = QString::number(page);
    if (label.size() == 1)
        label.prepend(QLatin1Char('0'));
    return label;
}

QString reportDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd-MM-yyyy"));
}

// ------------------------------------------------------------ file reports

QString fileReportHeader(const FileReportLayout &layout)
{
    QString text;
    for (const QString &line : layout.titleLines) {
        text += line;
        text += Crlf;
    }
    addLines(text, {
        blanks(layout.firstPageIndent) + QStringLiteral("Halaman: 01"),
        rule(QLatin1Char('='), layout.ruleWidth),
        layout.firstHeading,
    });
    text += rule(QLatin1Char('-'), layout.ruleWidth);
    return text;
}

PageBreakPieces::PageBreakPieces(const FileReportLayout &layout)
{
    // Each piece after the first begins with the CR LF that ends the value before it.
    head = rule(QLatin1Char('-'), layout.ruleWidth) + Crlf + QStringLiteral(" Sub Total= ");
    addLines(middle, {
        QString(),
        rule(QLatin1Char('='), layout.ruleWidth),
        QStringLiteral(" Dipindahkan  "),
    });
    for (int i = 0; i < layout.blankLinesAfterCarried; ++i)
        addLines(middle, {QStringLiteral(" ")});
    middle += blanks(layout.nextPageIndent) + QStringLiteral("Halaman: ");
    addLines(tail, {
        QString(),
        rule(QLatin1Char('='), layout.ruleWidth),
        layout.nextHeading,
        rule(QLatin1Char('-'), layout.ruleWidth),
    });
}

void PageBreakPieces::appendTo(QString &text, int rowsSoFar, int page) const
{
    text += head;
    text += PadRightFormat(rowsSoFar, QStringLiteral("###,###"));
    text += middle;
    text += pageLabel(page);
    text += tail;
}

QString fileReportPageBreak(const FileReportLayout &layout, int rowsSoFar, int page)
{
    QString text;
    PageBreakPieces(layout).appendTo(text, rowsSoFar, page);
    return text;
}

QList<qsizetype> laterPageStarts(const QStringList &lines)
{
    static const QString Carried = QStringLiteral(" Dipindahkan  ");
    static const QString Blank = QStringLiteral(" ");
    QList<qsizetype> starts;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines.at(i).trimmed().startsWith(QLatin1String("Halaman: ")))
            continue;
        qsizetype before = i - 1;
        while (before > 0 && lines.at(before) == Blank)
            --before;
        if (lines.at(before) == Carried)
            starts.append(i);
    }
    return starts;
}

QString fileReportFooter(const FileReportLayout &layout, int rowCount, const QDate &today)
{
    QString text;
    addLines(text, {
        rule(QLatin1Char('-'), layout.ruleWidth),
        QStringLiteral(" Total= ") + PadRightFormat(rowCount, QStringLiteral("####")),
        rule(QLatin1Char('='), layout.ruleWidth),
        QStringLiteral(" "),
    });
    const QStringList signature = layout.signature(today);
    for (const QString &line : signature) {
        text += line;
        text += Crlf;
    }
    return text;
}

// ---------------------------------------------------------------- student list

const FileReportLayout &studentListLayout()
{
    static const FileReportLayout layout{
        {
            QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU"),
            QStringLiteral(" Jl Teratai Baruraya No. 12A Lirak telp.(0700) 55501 "),
            QStringLiteral(" "),
            blanks(61) + QStringLiteral("LAPORAN DATA SISWA YAYASAN PELITAKSA BUDIMAJU "),
        },
        128,
        192,
        StudentHeading,
        StudentHeading,
        1,
        129,
        [](const QDate &today) {
            return QStringList{
                QStringLiteral("    DIBUAT OLEH,") + blanks(140) + QStringLiteral("LIRAK,") + reportDate(today),
                QStringLiteral(" "),
                QStringLiteral(" "),
                QStringLiteral(" "),
                QStringLiteral(" "),
                QLatin1Char(' ') + PadRightFormat(QStringLiteral("( PETUGAS ENTRI )"), QStringLiteral("##################"))
                    + blanks(139) + PadRightFormat(QStringLiteral("( PIMPINAN )"), QStringLiteral("####################")),
            };
        },
    };
    return layout;
}

QString studentListRow(const std::array<QVariant, 12> &v, int rowsSoFar, CellCache *cache)
{
    const QString name14 = QStringLiteral("##############");
    ReportLine line(cache);
    line.text(u" ")
        .left(rowsSoFar + 1, QStringLiteral("####"), 2, Fit::Whole)
        .left(v[0], QStringLiteral("#######"), 2, Fit::Whole)
        .left(firstChars(v[1], 15), name14, 3, Fit::Text)
        .left(firstChars(v[2], 15), name14, 1, Fit::Text)
        .left(v[3], QStringLiteral("dd-mm-yyyy"), 3, Fit::Text)
        .left(firstChars(v[4], 25), QStringLiteral("########################"), 3, Fit::Text)
        .left(v[5], QStringLiteral("##########"), 6, Fit::Text)
        .left(v[6], QStringLiteral("###########"), 1, Fit::Text)
        .left(v[7], QStringLiteral("dd-mm-yyyy"), 3, Fit::Text)
        .left(v[8], QStringLiteral("###############"), 2, Fit::Text)
        .left(v[9], name14, 2, Fit::Text)
        .left(v[10], QStringLiteral("###################"), 2, Fit::Text)
        .left(v[11], name14, 0, Fit::Whole);
    return line.takeWithBreak();
}

// ------------------------------------------------------------- grade statement

QString gradeStatementText(const db::Recordset &rows, const QDate &today)
{
    const Fields f(rows, {"NamaSiswa", "nis", "jenjang", "program", "KdMatpel", "NmMatpel", "sks", "Nilangka",
                          "Nilhu", "Bobot", "Mutu", "Prediket"});
    const auto v = [&](int row, int field) { return rows.value(row, f.index.at(field)); };
    QString text;
    addLines(text, {
        blanks(45) + QStringLiteral("MIRSA PELITAKSA"),
        blanks(40) + QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"),
        blanks(28) + QStringLiteral("Jl. Teratai Baruraya No 12A Lirak Telp. (0700)55501"),
        rule(QLatin1Char('_'), 104),
        QStringLiteral(" "),
        blanks(40) + QStringLiteral("Nama Siswa    : ") + v(0, 0).toString(),
        blanks(40) + QStringLiteral("NIS           : ") + v(0, 1).toString(),
        blanks(40) + QStringLiteral("Jenjang Study : ") + v(0, 2).toString(),
        blanks(40) + QStringLiteral("Program Study : ") + v(0, 3).toString(),
        rule(QLatin1Char('-'), 104),
        GradeHeading,
        rule(QLatin1Char('-'), 104),
    });

    double credits = 0, weights = 0, points = 0;
    const QString three = QStringLiteral("###");
    for (int row = 0; row < rows.recordCount(); ++row) {
        ReportLine line;
        line.text(u" ")
            .left(row + 1, three, 3, Fit::Whole)
            .left(v(row, 4), QStringLiteral("#########"), 1, Fit::Whole)
            .left(v(row, 5), QStringLiteral("###################"), 3, Fit::Text)
            .left(v(row, 6), QStringLiteral("##"), 8, Fit::Whole)
            .left(v(row, 7), three, 13, Fit::Whole)
            .left(v(row, 8), three, 11, Fit::Text)
            .left(v(row, 9), three, 4, Fit::Whole)
            .left(v(row, 10), three, 5, Fit::Whole)
            .left(v(row, 11), QStringLiteral("####################"), 0, Fit::Whole);
        text += line.withBreak();
        credits += sumOf(v(row, 6));
        weights += sumOf(v(row, 9));
        points += sumOf(v(row, 10));
    }

    ReportLine totals;
    totals.text(u" Total   :       ")
        .spaces(20)
        .right(credits, three, 37)
        .right(weights, three, 5)
        .right(points, three, 10);
    ReportLine index;
    index.text(u" Indeks Prestasi : ");
    if (const auto ipk = indexOf(points, credits))
        index.right(*ipk, QStringLiteral("0.00"), 0);
    else
        index.rightText(NoValue.rightJustified(4), 4, 0);

    addLines(text, {
        rule(QLatin1Char('-'), 104),
        totals.str(),
        rule(QLatin1Char('-'), 104),
        QStringLiteral(" "),
        index.str(),
        blanks(76) + QStringLiteral("Lirak,") + reportDate(today),
        blanks(81) + QStringLiteral("Diketahui,"),
        QString(),
        QString(),
        QString(),
    });
    text += blanks(79) + QStringLiteral("( PIMPINAN )");
    return text;
}

// ----------------------------------------------------------------- certificate

QString certificateText(const db::Recordset &rows, const QDate &today)
{
    const Fields f(rows, {"nis", "NamaSiswa", "jenjang", "program", "NmMatpel", "Nilangka", "Prediket"});
    const auto v = [&](int row, int field) { return rows.value(row, f.index.at(field)); };
    QString text;
    addLines(text, {
        blanks(33) + QStringLiteral("MIRSA PELITAKSA"),
        blanks(27) + QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"),
        blanks(13) + QStringLiteral("Jl. Teratai Baruraya No. 12A Lirak Telp.(0700)55501"),
        blanks(31) + QStringLiteral("S E R T I F I K A T   "),
        rule(QLatin1Char('_'), 72),
        QStringLiteral(" "),
        blanks(29) + QStringLiteral("NIS           : ") + v(0, 0).toString(),
        blanks(29) + QStringLiteral("Nama Siswa    : ") + v(0, 1).toString(),
        blanks(29) + QStringLiteral("Jenjang Study : ") + v(0, 2).toString(),
        blanks(29) + QStringLiteral("Program Study : ") + v(0, 3).toString(),
        CertificateRule,
        CertificateHeading,
        CertificateRule,
    });

    double total = 0;
    for (int row = 0; row < rows.recordCount(); ++row) {
        ReportLine line;
        line.text(u" |  ")
            .left(row + 1, QStringLiteral("###"), 5, Fit::Whole)
            .left(v(row, 4), QStringLiteral("###################"), 8, Fit::Text)
            .left(v(row, 5), QStringLiteral("###"), 14, Fit::Whole)
            .left(v(row, 6), QStringLiteral("################"), 0, Fit::Text)
            .text(u" |");
        text += line.withBreak();
        total += sumOf(v(row, 5));
    }

    ReportLine totalLine;
    totalLine.text(u" | Total   :       ").spaces(20).right(total, QStringLiteral("###"), 30).text(u" |");
    addLines(text, {
        CertificateRule,
        totalLine.str(),
        CertificateRule,
        QStringLiteral(" "),
        QStringLiteral(" "),
        blanks(41) + QStringLiteral("Lirak,") + reportDate(today),
        blanks(45) + QStringLiteral("Diketahui,"),
        QString(),
        QString(),
        QString(),
    });
    text += blanks(43) + QStringLiteral("( PIMPINAN )");
    return text;
}

// -------------------------------------------------------------------- IPK list

QVariant wholeSum(const QVariant &sum)
{
    bool ok = false;
    const double value = sum.toDouble(&ok);
    if (sum.isNull() || !ok || !std::isfinite(value))
        return {};
    // The default rounding mode sends halves to the even neighbour.
    return qint64(std::nearbyint(value));
}

std::optional<double> ipkOf(const QVariant &creditSum, const QVariant &pointSum)
{
    const QVariant credits = wholeSum(creditSum);
    const QVariant points = wholeSum(pointSum);
    if (credits.isNull() || points.isNull())
        return std::nullopt;
    return indexOf(double(points.toLongLong()), double(credits.toLongLong()));
}

const FileReportLayout &ipkListLayout()
{
    static const FileReportLayout layout{
        {
            QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU"),
            QStringLiteral(" JL Teratai Baruraya No. 12A Lirak Telp.(0700)55501"),
            QStringLiteral(" "),
            QStringLiteral(" "),
            blanks(24) + QStringLiteral("DAFTAR IPK SISWA "),
        },
        117,
        62,
        IpkHeadingFirst,
        IpkHeadingNext,
        3,
        40,
        [](const QDate &today) {
            return QStringList{
                QStringLiteral("  PETUGAS ENTRI,") + blanks(29) + QStringLiteral("Lirak,") + reportDate(today),
                blanks(49) + QStringLiteral("Diketahui,"),
                QStringLiteral(" "),
                QStringLiteral(" "),
                QStringLiteral(" "),
                QLatin1Char(' ') + PadRightFormat(QStringLiteral("( WIDARSAN )"), QStringLiteral("##################"))
                    + blanks(29) + PadRightFormat(QStringLiteral("( PIMPINAN )"), QStringLiteral("##################")),
            };
        },
    };
    return layout;
}

QString ipkRow(const IpkEntry &entry, int rowsSoFar, CellCache *cache)
{
    const QVariant credits = wholeSum(entry.creditSum);
    const QVariant points = wholeSum(entry.pointSum);
    ReportLine line(cache);
    line.text(u" ")
        .left(rowsSoFar + 1, QStringLiteral("####"), 1, Fit::Whole)
        .left(entry.nis, QStringLiteral("#######"), 2, Fit::Whole)
        .left(firstChars(entry.name, 15), QStringLiteral("##############"), 5, Fit::Text)
        .left(credits, QStringLiteral("###"), 7, Fit::Whole)
        .left(points, QStringLiteral("###"), 5, Fit::Whole);
    if (const auto ipk = ipkOf(entry.creditSum, entry.pointSum))
        line.left(*ipk, IpkMask, 0, Fit::Whole);
    else
        line.left(NoValue, IpkMask, 0, Fit::Whole);
    return line.takeWithBreak();
}

} // namespace pel::reports
