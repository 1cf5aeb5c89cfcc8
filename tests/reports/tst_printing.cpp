// Printing the report viewer's text: the sheets, the PDF file, and the
// report screen's "&Cetak" and "Simpan &PDF" buttons.
#include "db/failure.h"
#include "reports/frmLaporan.h"
#include "reports/printing.h"
#include "testsupport.h"
#include "ui/reportviewer.h"
#include "ui/printing.h"
#include "ui/printsheets.h"

#include <QPrinter>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace pel;
using print::SheetPlan;

namespace {

// The pages of a PDF file, from its page tree.
int pdfPageCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression count(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = count.match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The lines of one page of a PDF file as pdftotext reads them, with blanks
// run together, or nullopt when pdftotext (poppler-utils) is not installed.
std::optional<QStringList> pdfPageLines(const QString &path, int page)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                         QString::number(page), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return QStringList();
    QStringList lines;
    const QStringList raw = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : raw) {
        const QString simple = line.simplified().remove(QLatin1Char('\f'));
        if (!simple.isEmpty())
            lines.append(simple);
    }
    return lines;
}

// The box around every word of one page of a PDF file, in points, as
// pdftotext -bbox reads it, or nullopt when pdftotext is not installed.
std::optional<QRectF> pdfTextBox(const QString &path, int page)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                         QString::number(page), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return QRectF();
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\""));
    QRectF box;
    auto matches = word.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        box |= QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return box;
}

// The size of the first page of a PDF file in points, from its media box.
QSizeF pdfPageSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const QRegularExpressionMatch match = mediaBox.match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// A text as wide as the student list: numbered lines of 197 characters.
QString wideReport(int lineCount)
{
    QStringList lines;
    for (int i = 1; i <= lineCount; ++i) {
        QString line = QStringLiteral(" BARIS %1 ").arg(i, 3, 10, QLatin1Char('0'));
        line += QString(196 - line.size(), QLatin1Char(i % 2 ? '=' : '-'));
        line += QLatin1Char('|');
        lines.append(line);
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void addStudents(test::TestDatabase &db, int count)
{
    for (int i = 1; i <= count; ++i)
        db.addStudent(QStringLiteral("N%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("SISWA %1").arg(i));
}

QString viewerText(QWidget *screen)
{
    return test::child<ui::ReportViewer>(screen, QStringLiteral("rtfLap2"))->text();
}

void checkMessage(const ui::Message &message, const QString &text, const QString &title, ui::Icon icon,
                  ui::Buttons buttons = ui::Buttons::Ok)
{
    QCOMPARE(message.text, text);
    QCOMPARE(message.title, title);
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.buttons, buttons);
}

const QString NothingToPrint = QStringLiteral("Belum Ada Informasi Yang Akan Dicetak!\rTampilkan Data Yang Akan Dicetak.");
const QString Cancelled = QStringLiteral("Pencetakan ke Printer Batal.. ");

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private slots:
    void reportLines_data();
    void reportLines();
    void planSheets_data();
    void planSheets();
    void fillSheets_data();
    void fillSheets();
    void layoutFollowsWidestPrintedLine();
    void pdfHasPrintedLayout();
    void pdfFailsWholeAndNeverGoesThroughALink();
    void proposedPdfName_data();
    void proposedPdfName();
    void printerErrorMessage();

    void printWithoutPrinter_data();
    void printWithoutPrinter();
    void printEmptyViewer();
    void printAnsweredYes();
    void printAnsweredNo();
    void printStoppedBeforeJob_data();
    void printStoppedBeforeJob();
    void printerFails();
    void pdfOfStudentList();
    void pdfNotWritten();
    void pdfOfIpkListFillsItsSheets();
    void pdfNameFollowsShownReports();
};

void TestPrinting::reportLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line, no end") << QStringLiteral(" A ") << QStringList{QStringLiteral(" A ")};
    QTest::newRow("final line end") << QStringLiteral("A\r\nB\r\n") << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("inner empty lines kept")
        << QStringLiteral("A\r\n\r\n \r\nB") << QStringList{QStringLiteral("A"), QString(), QStringLiteral(" "), QStringLiteral("B")};
    QTest::newRow("lone LF and CR") << QStringLiteral("A\nB\rC") << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    QTest::newRow("only a line end") << QStringLiteral("\r\n") << QStringList{QString()};
}

void TestPrinting::reportLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(print::reportLines(text), lines);
}

void TestPrinting::planSheets_data()
{
    // A4 is 595 x 842 points; a 10 mm margin leaves 538.307 x 785.307.
    QTest::addColumn<qreal>("widest");
    QTest::addColumn<qreal>("spacing");
    QTest::addColumn<int>("given"); // -1: none, else the orientation
    QTest::addColumn<int>("tallestPage"); // 0: no page breaks
    QTest::addColumn<int>("orientation");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("lines");
    const int none = -1, portrait = QPageLayout::Portrait, landscape = QPageLayout::Landscape;
    // The widest line fills the printable width: enlarged or shrunk.
    QTest::newRow("narrow report, portrait, enlarged") << 500.0 << 10.0 << none << 0 << portrait << 1.07661 << 72;
    QTest::newRow("exactly portrait width") << 538.3070866 << 10.0 << none << 0 << portrait << 1.0 << 78;
    QTest::newRow("just wider, landscape") << 538.4 << 10.0 << none << 0 << landscape << 1.45859 << 36;
    QTest::newRow("student list, landscape shrunk") << 945.6 << 10.0 << none << 0 << landscape << 0.83049 << 64;
    QTest::newRow("portrait chosen, shrunk") << 600.0 << 10.0 << portrait << 0 << portrait << 0.89718 << 87;
    QTest::newRow("landscape chosen, narrow") << 100.0 << 10.0 << landscape << 0 << landscape << 7.85307 << 6;
    QTest::newRow("line taller than sheet") << 100.0 << 1000.0 << none << 0 << portrait << 5.38307 << 1;
    // A report page stays on one sheet: the width is not filled when the
    // page would then be taller than the sheet.
    QTest::newRow("page keeps to one sheet") << 100.0 << 10.0 << none << 30 << portrait << 2.61769 << 30;
    QTest::newRow("short pages, width filled") << 500.0 << 10.0 << none << 30 << portrait << 1.07661 << 72;
}

void TestPrinting::planSheets()
{
    QFETCH(qreal, widest);
    QFETCH(qreal, spacing);
    QFETCH(int, given);
    QFETCH(int, tallestPage);
    QFETCH(int, orientation);
    QFETCH(qreal, scale);
    QFETCH(int, lines);
    std::optional<QPageLayout::Orientation> chosen;
    if (given >= 0)
        chosen = QPageLayout::Orientation(given);
    const SheetPlan plan = print::planSheets(QSizeF(595, 842), 10 * 72 / 25.4, widest, spacing, chosen, tallestPage);
    QCOMPARE(int(plan.orientation), orientation);
    QVERIFY2(std::abs(plan.scale - scale) < 1e-4, qPrintable(QString::number(plan.scale)));
    QCOMPARE(plan.linesPerSheet, lines);
}

void TestPrinting::fillSheets_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("perSheet");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("none") << 0 << 3 << QList<int>{};
    QTest::newRow("one short sheet") << 2 << 3 << QList<int>{2};
    QTest::newRow("exactly full") << 6 << 3 << QList<int>{3, 3};
    QTest::newRow("one over") << 7 << 3 << QList<int>{3, 3, 1};
}

void TestPrinting::fillSheets()
{
    QFETCH(int, lineCount);
    QFETCH(int, perSheet);
    QFETCH(QList<int>, sizes);
    QStringList lines;
    for (int i = 0; i < lineCount; ++i)
        lines.append(QString::number(i));
    const QList<QStringList> sheets = print::fillSheets(lines, perSheet);
    QList<int> got;
    QStringList joined;
    for (const QStringList &sheet : sheets) {
        got.append(int(sheet.size()));
        joined += sheet;
    }
    QCOMPARE(got, sizes);
    QCOMPARE(joined, lines); // in order, none lost
}

void TestPrinting::layoutFollowsWidestPrintedLine()
{
    const QFont font = print::printFont();
    QCOMPARE(font.family(), QStringLiteral("Courier New"));
    QCOMPARE(font.pointSizeF(), 8.0);
    const QPageSize a4(QPageSize::A4);

    // The grade statement (111 characters) goes on a portrait sheet, set a
    // little larger than 8 points so that it fills the width.
    const print::SheetLayout statement = print::layoutSheets(QString(111, QLatin1Char('-')), font, a4);
    QCOMPARE(statement.plan.orientation, QPageLayout::Portrait);
    QVERIFY2(statement.plan.scale > 1.0 && statement.plan.scale < 1.05, qPrintable(QString::number(statement.plan.scale)));

    // Blanks at a line's end print nothing and do not widen it.
    const QString padded = QString(100, QLatin1Char('x')) + QString(150, QLatin1Char(' '));
    QCOMPARE(print::layoutSheets(padded, font, a4).plan.orientation, QPageLayout::Portrait);

    // The student list (197 characters) goes landscape, shrunk to fit, and
    // its sheets hold every line in order.
    const QString wide = wideReport(150);
    const print::SheetLayout list = print::layoutSheets(wide, font, a4);
    QCOMPARE(list.pageLayout.orientation(), QPageLayout::Landscape);
    QVERIFY(list.plan.scale < 1.0);
    QVERIFY(list.plan.scale > 0.75);
    QCOMPARE(list.pageLayout.margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));
    QCOMPARE(list.sheets.size(), qsizetype(std::ceil(150.0 / list.plan.linesPerSheet)));
    QVERIFY(list.lineSpacingPt * list.plan.scale * list.plan.linesPerSheet
            <= list.pageLayout.paintRect(QPageLayout::Point).height());
    QStringList all;
    for (const QStringList &sheet : list.sheets)
        all += sheet;
    QCOMPARE(all, print::reportLines(wide));
}

void TestPrinting::pdfHasPrintedLayout()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("laporan.pdf"));
    const QString text = wideReport(150);
    const db::Result written = print::writePdf(path, text);
    QVERIFY2(written.ok(), qPrintable(db::failureMessage(written)));

    const print::SheetLayout layout = print::layoutSheets(text, print::printFont(), QPageSize(QPageSize::A4));
    QCOMPARE(pdfPageCount(path), int(layout.sheets.size()));
    QVERIFY(layout.sheets.size() >= 2);

    const auto first = pdfPageLines(path, 1);
    if (!first)
        QSKIP("pdftotext (poppler-utils) is not installed: page texts not checked");
    const QStringList lines = print::reportLines(text);
    const int perSheet = layout.plan.linesPerSheet;
    QCOMPARE(first->size(), perSheet);
    QCOMPARE(first->constFirst(), lines.first().simplified()); // whole, nothing cut at the right
    QCOMPARE(first->constLast(), lines.at(perSheet - 1).simplified());
    const auto second = pdfPageLines(path, 2);
    QCOMPARE(second->constFirst(), lines.at(perSheet).simplified());
}

// A PDF that cannot be written leaves nothing; one written where a link
// was planted replaces the link, leaves its target alone and is its
// owner's alone.
void TestPrinting::pdfFailsWholeAndNeverGoesThroughALink()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tidak-ada/laporan.pdf"));
    const db::Result failure = print::writePdf(path, QStringLiteral("A\r\n"));
    QVERIFY(!failure.ok());
    QVERIFY(!db::failureMessage(failure).isEmpty());
    QVERIFY(!QFileInfo::exists(path));

    const QString target = dir.filePath(QStringLiteral("korban.txt"));
    const QString linked = dir.filePath(QStringLiteral("tautan.pdf"));
    QFile victim(target);
    QVERIFY(victim.open(QIODevice::WriteOnly) && victim.write("tetap") == 5);
    victim.close();
    QVERIFY(QFile::link(target, linked));
    const db::Result written = print::writePdf(linked, QStringLiteral("A\r\n"));
    QVERIFY2(written.ok(), qPrintable(db::failureMessage(written)));
    QVERIFY(!QFileInfo(linked).isSymLink());
    QCOMPARE(pdfPageCount(linked), 1);
    QVERIFY(victim.open(QIODevice::ReadOnly));
    QCOMPARE(victim.readAll(), QByteArray("tetap"));
    QCOMPARE(QFile::permissions(linked) & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
}

void TestPrinting::proposedPdfName_data()
{
    using Kind = reports::ReportKind;
    QTest::addColumn<QList<Kind>>("shown");
    QTest::addColumn<QString>("name");
    QTest::newRow("student list") << QList<Kind>{Kind::StudentList} << QStringLiteral("Data Siswa 07-12-2026.pdf");
    QTest::newRow("grade statement") << QList<Kind>{Kind::GradeStatement} << QStringLiteral("Nilai Siswa 07-12-2026.pdf");
    QTest::newRow("two statements") << QList<Kind>{Kind::GradeStatement, Kind::GradeStatement}
                                    << QStringLiteral("Nilai Siswa 07-12-2026.pdf");
    QTest::newRow("certificate") << QList<Kind>{Kind::Certificate} << QStringLiteral("Sertifikat 07-12-2026.pdf");
    QTest::newRow("ipk list") << QList<Kind>{Kind::IpkList} << QStringLiteral("IPK 07-12-2026.pdf");
    QTest::newRow("mixed") << QList<Kind>{Kind::GradeStatement, Kind::Certificate} << QStringLiteral("Laporan 07-12-2026.pdf");
    QTest::newRow("none") << QList<Kind>{} << QStringLiteral("Laporan 07-12-2026.pdf");
}

void TestPrinting::proposedPdfName()
{
    QFETCH(QList<reports::ReportKind>, shown);
    QFETCH(QString, name);
    QCOMPARE(reports::proposedPdfName(shown, QDate(2026, 12, 7)), name);
}

void TestPrinting::printerErrorMessage()
{
    QCOMPARE(reports::printerErrorMessage({27, QStringLiteral("Kertas habis")}),
             QStringLiteral("Kesalahan nomor: 27. Keterangan: Kertas habis\r\rKemungkinan printer belum diaktifkan\r"
                            "atau kertas habis/belum dipasang!\rNyalakan printer atau pasang kertas,\r"
                            "lalu klik menu Cetak kembali!,\r"));
}

void TestPrinting::printWithoutPrinter_data()
{
    QTest::addColumn<bool>("withReport");
    QTest::newRow("empty viewer") << false;
    QTest::newRow("report shown") << true;
}

void TestPrinting::printWithoutPrinter()
{
    QFETCH(bool, withReport);
    test::TestDatabase db;
    addStudents(db, 2);
    test::StandIn messages;
    auto &printer = messages.printer;
    printer.installed = false;
    frmLaporan screen;
    screen.show();
    if (withReport)
        test::click(&screen, QStringLiteral("cmdLihat"));
    const QString before = viewerText(&screen);
    QCOMPARE(before.isEmpty(), !withReport);

    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(),
                 QStringLiteral("Belum ada printer terinstall di\rkomputer Anda. Silahkan install\rprinter terlebih dulu!"),
                 QStringLiteral("Printer Belum Diinstall"), ui::Icon::Critical);
    QCOMPARE(printer.setups + printer.previews + printer.jobs, 0);
    QCOMPARE(viewerText(&screen), before);
}

void TestPrinting::printEmptyViewer()
{
    test::TestDatabase db;
    test::StandIn messages;
    auto &printer = messages.printer;
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), NothingToPrint, QStringLiteral("Data Tidak Ada"), ui::Icon::Critical);
    QCOMPARE(printer.setups + printer.previews + printer.jobs, 0);
}

void TestPrinting::printAnsweredYes()
{
    test::TestDatabase db;
    addStudents(db, 7);
    test::StandIn messages;
    auto &printer = messages.printer;
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLihat"));
    const QString report = screen.reportText();
    QVERIFY(report.contains(QStringLiteral("LAPORAN DATA SISWA")));
    messages.clear();

    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), QStringLiteral("Hasil cetakan sudah benar?"), QStringLiteral("Cetak"),
                 ui::Icon::Question, ui::Buttons::YesNo);
    QCOMPARE(printer.setups, 1);
    QCOMPARE(printer.previews, 1);
    QCOMPARE(printer.jobs, 1);
    QCOMPARE(printer.printedText, report); // the whole text, CR LF line ends
    QCOMPARE(printer.printedFont.family(), QStringLiteral("Courier New"));
    QCOMPARE(printer.printedFont.pointSizeF(), 8.0);
    QCOMPARE(printer.printedOrientation, QPageLayout::Landscape); // 197 characters wide
    QCOMPARE(viewerText(&screen), QString());

    // Printed and emptied: a second press finds nothing to print.
    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.count(), 2);
    checkMessage(messages.last(), NothingToPrint, QStringLiteral("Data Tidak Ada"), ui::Icon::Critical);
    QCOMPARE(printer.jobs, 1);
}

void TestPrinting::printAnsweredNo()
{
    test::TestDatabase db;
    addStudents(db, 1);
    test::StandIn messages;
    auto &printer = messages.printer;
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLihat"));
    QVERIFY(!viewerText(&screen).isEmpty());
    messages.clear();
    messages.plan(ui::Answer::No);

    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.texts(), (QStringList{QStringLiteral("Hasil cetakan sudah benar?"), Cancelled}));
    checkMessage(messages.last(), Cancelled, QStringLiteral("Informasi"), ui::Icon::Information);
    QCOMPARE(printer.setups + printer.previews + printer.jobs, 0);
    QCOMPARE(viewerText(&screen), QString());
}

void TestPrinting::printStoppedBeforeJob_data()
{
    QTest::addColumn<bool>("setupAccepted");
    QTest::addColumn<int>("previews");
    QTest::newRow("setup dialog cancelled") << false << 0;
    QTest::newRow("preview closed") << true << 1;
}

void TestPrinting::printStoppedBeforeJob()
{
    QFETCH(bool, setupAccepted);
    QFETCH(int, previews);
    test::TestDatabase db;
    addStudents(db, 1);
    test::StandIn messages;
    auto &printer = messages.printer;
    printer.acceptSetup = setupAccepted;
    printer.acceptPreview = false;
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLihat"));
    const QString before = viewerText(&screen);
    messages.clear();

    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.texts(), (QStringList{QStringLiteral("Hasil cetakan sudah benar?"), Cancelled}));
    QCOMPARE(printer.setups, 1);
    QCOMPARE(printer.previews, previews);
    QCOMPARE(printer.jobs, 0);
    QCOMPARE(viewerText(&screen), before); // nothing was sent: the text stays
}

void TestPrinting::printerFails()
{
    test::TestDatabase db;
    addStudents(db, 3);
    test::StandIn messages;
    auto &printer = messages.printer;
    printer.failure = print::PrintError{print::PrinterFailed, QStringLiteral("Printer melaporkan kesalahan")};
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLihat"));
    const QString before = viewerText(&screen);
    messages.clear();

    test::click(&screen, QStringLiteral("cmdCetak"));
    QCOMPARE(messages.count(), 2);
    checkMessage(messages.last(),
                 QStringLiteral("Kesalahan nomor: 2. Keterangan: Printer melaporkan kesalahan\r\r"
                                "Kemungkinan printer belum diaktifkan\ratau kertas habis/belum dipasang!\r"
                                "Nyalakan printer atau pasang kertas,\rlalu klik menu Cetak kembali!,\r"),
                 QStringLiteral("PrinterError"), ui::Icon::Critical);
    QCOMPARE(printer.jobs, 1);
    QCOMPARE(viewerText(&screen), before); // kept for another try
}

void TestPrinting::pdfOfStudentList()
{
    test::TestDatabase db;
    test::StandIn messages(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    auto &printer = messages.printer;
    addStudents(db, 40);
    printer.installed = false; // a PDF needs no printer
    printer.chosenPath = QDir(db.folder()).filePath(QStringLiteral("daftar siswa")); // suffix added
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLihat"));
    const QString report = screen.reportText();
    messages.clear();

    test::click(&screen, QStringLiteral("cmdPdf"));
    QCOMPARE(printer.proposedPaths,
             QStringList{QDir::current().filePath(QStringLiteral("Data Siswa 07-12-2026.pdf"))});
    const QString path = printer.chosenPath + QStringLiteral(".pdf");
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), QStringLiteral("Laporan sudah disimpan sebagai PDF:\r") + QDir::toNativeSeparators(path),
                 QStringLiteral("Simpan PDF"), ui::Icon::Information);
    QCOMPARE(screen.reportText(), report); // saving is not printing: the text stays
    QCOMPARE(printer.jobs, 0);

    // Laid out as printed: landscape A4, a sheet for each of the report's
    // pages (five students a page).
    const print::SheetLayout layout = print::layoutSheets(report, print::printFont(), QPageSize(QPageSize::A4));
    QCOMPARE(report.count(QStringLiteral("Halaman: ")), 8);
    QCOMPARE(layout.sheets.size(), 8);
    QCOMPARE(pdfPageCount(path), 8);

    const auto first = pdfPageLines(path, 1);
    if (!first)
        QSKIP("pdftotext (poppler-utils) is not installed: page texts not checked");
    QCOMPARE(first->constFirst(), QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"));
    QVERIFY(first->contains(QString(192, QLatin1Char('=')))); // the widest rule, whole
    // A page ends with its carried-forward line; the next one begins on a
    // sheet of its own with its page number.
    QCOMPARE(first->constLast(), QStringLiteral("Dipindahkan"));
    const auto second = pdfPageLines(path, 2);
    QCOMPARE(second->constFirst(), QStringLiteral("Halaman: 02"));
}

void TestPrinting::pdfOfIpkListFillsItsSheets()
{
    test::TestDatabase db;
    test::StandIn messages(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    auto &printer = messages.printer;
    addStudents(db, 7); // two pages: five students, then two
    for (int i = 1; i <= 7; ++i)
        QVERIFY(db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, SKS, Mutu) values ('%1', 'N%2', 3, 9)")
                            .arg(i)
                            .arg(i, 3, 10, QLatin1Char('0'))));
    printer.chosenPath = QDir(db.folder()).filePath(QStringLiteral("ipk.pdf"));
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdIPK"));
    const QString report = screen.reportText();
    QCOMPARE(report.count(QStringLiteral("Halaman: ")), 2);
    test::click(&screen, QStringLiteral("cmdPdf"));
    QCOMPARE(pdfPageCount(printer.chosenPath), 2);

    const auto second = pdfPageLines(printer.chosenPath, 2);
    if (!second)
        QSKIP("pdftotext (poppler-utils) is not installed: page texts not checked");
    QCOMPARE(second->constFirst(), QStringLiteral("Halaman: 02"));
    // The widest line reaches across the sheet's printable width, whatever
    // its orientation.
    const std::optional<QRectF> words = pdfTextBox(printer.chosenPath, 1);
    QVERIFY(words);
    const QSizeF sheet = pdfPageSize(printer.chosenPath);
    QVERIFY(!sheet.isEmpty());
    const qreal margin = print::SheetMarginMm * 72 / 25.4;
    QVERIFY2(words->left() < margin + 10, qPrintable(QString::number(words->left())));
    QVERIFY2(words->right() > sheet.width() - margin - 10,
             qPrintable(QStringLiteral("%1 of %2").arg(words->right()).arg(sheet.width())));
}

void TestPrinting::pdfNotWritten()
{
    test::TestDatabase db;
    test::StandIn messages;
    auto &printer = messages.printer;
    frmLaporan screen;
    screen.show();

    // Nothing shown: nothing to save, no dialog.
    test::click(&screen, QStringLiteral("cmdPdf"));
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), NothingToPrint, QStringLiteral("Data Tidak Ada"), ui::Icon::Critical);
    QVERIFY(printer.proposedPaths.isEmpty());

    addStudents(db, 1);
    test::click(&screen, QStringLiteral("cmdLihat"));
    messages.clear();

    // The save dialog cancelled: no file, no message.
    test::click(&screen, QStringLiteral("cmdPdf"));
    QCOMPARE(printer.proposedPaths.size(), 1);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(QDir(db.folder()).entryList({QStringLiteral("*.pdf")}), QStringList());

    // A folder that does not exist: the reason is shown, nothing is written.
    printer.chosenPath = QDir(db.folder()).filePath(QStringLiteral("tidak-ada/laporan.pdf"));
    test::click(&screen, QStringLiteral("cmdPdf"));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("File PDF tidak dapat disimpan:\r")
                                            + QDir::toNativeSeparators(printer.chosenPath) + QLatin1Char('\r')));
    QCOMPARE(messages.last().title, QStringLiteral("Simpan PDF"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QVERIFY(!QFileInfo::exists(printer.chosenPath));
}

void TestPrinting::pdfNameFollowsShownReports()
{
    test::TestDatabase db;
    test::StandIn messages(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    db.addStudent(QStringLiteral("1001"), QStringLiteral("BUDI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    db.exec(QStringLiteral("insert into Nilai values ('R1', '07-12-2026', '1001', 'KOMPUTER', 'DASAR', 'M1', 2, "
                           "'BUDI', 85, 'A', 4, 8, 'Sangat Baik', '')"));
    frmLaporan screen;
    screen.show();
    // The name the save dialog proposes for what the viewer shows (the
    // dialog is cancelled: nothing is written).
    const auto proposed = [&] {
        test::click(&screen, QStringLiteral("cmdPdf"));
        return QFileInfo(messages.printer.proposedPaths.value(messages.printer.proposedPaths.size() - 1)).fileName();
    };

    test::click(&screen, QStringLiteral("cmdLihat"));
    QCOMPARE(proposed(), QStringLiteral("Data Siswa 07-12-2026.pdf"));
    // A grade statement added after the list: two kinds in the viewer.
    test::click(&screen, QStringLiteral("cmdLht"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    QCOMPARE(proposed(), QStringLiteral("Laporan 07-12-2026.pdf"));
    // Cleared, then two certificates.
    test::click(&screen, QStringLiteral("cmdKsg"));
    for (int i = 0; i < 2; ++i) {
        test::click(&screen, QStringLiteral("cmdSrt"));
        test::pressEnter(&screen, QStringLiteral("cmbNis1"));
    }
    QCOMPARE(proposed(), QStringLiteral("Sertifikat 07-12-2026.pdf"));
    // A file report replaces whatever the viewer held.
    test::click(&screen, QStringLiteral("cmdIPK"));
    QCOMPARE(proposed(), QStringLiteral("IPK 07-12-2026.pdf"));
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
