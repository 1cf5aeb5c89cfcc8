// A whole institution: 100,000 students and a million grade rows. The two
// file reports run through the screen, with the window kept painted and the
// progress bar moving, and come out whole: every row, every page, the file
// equal to the text and one CR LF. Durations are printed, not asserted.
#include "common/module1.h"
#include "db/audit.h"
#include "reports/frmLaporan.h"
#include "testsupport.h"
#include "ui/reportviewer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProgressBar>
#include <QTest>

using namespace pel;

namespace {

constexpr int Students = 100000;
constexpr int GradesPerStudent = 10;

// The rows are made by the database itself, one statement a table, so that
// a server is not asked a million times over the wire.
void build(test::TestDatabase &db)
{
    // Generated rows are no operator's changes: the audit trail is left out.
    QVERIFY(db::removeAudit(dbConnection.database()).ok());
    QVERIFY(db.exec(QStringLiteral("begin")));
    QVERIFY(db.exec(QStringLiteral(
        "insert into SISWA with recursive n(i) as (select 0 union all select i + 1 from n where i < %1) "
        "select cast(1000000 + i as text), 'SISWA NOMOR ' || cast(i as text), 'JAKARTA', '01-02-2000', "
        "'JL. MAWAR 1', 'LAKI-LAKI', 'ISLAM', '01-07-2020', 'KOMPUTER', 'DASAR', 'SMA 1', '0812' from n order by i")
                        .arg(Students - 1)));
    for (int s = 0; s < GradesPerStudent; ++s)
        db.addSubject(QStringLiteral("M%1").arg(s), QStringLiteral("MATPEL %1").arg(s), 2);
    QVERIFY(db.exec(QStringLiteral(
        "insert into Nilai (Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, Tentor, Nilangka, Nilhu, Bobot, "
        "Mutu, Prediket, Ket) "
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < %1), "
        "m(s) as (select 0 union all select s + 1 from m where s < %2) "
        "select 'R1', '09-03-2026', cast(1000000 + i as text), 'KOMPUTER', 'DASAR', 'M' || cast(s as text), 2, "
        "'BUDI', 80, 'A', 4, 8, 'Sangat Baik', '' from n, m order by i, s")
                        .arg(Students - 1)
                        .arg(GradesPerStudent - 1)));
    QVERIFY(db.exec(QStringLiteral("commit")));
}

} // namespace

class TestReportScale : public QObject
{
    Q_OBJECT
private slots:
    void wholeInstitution();
};

void TestReportScale::wholeInstitution()
{
    test::TestDatabase db;
    QElapsedTimer timer;
    timer.start();
    build(db);
    qInfo("database of %d students and %d grades built in %lld ms", Students, Students * GradesPerStudent,
          timer.elapsed());

    test::StandIn messages(QDateTime(QDate(2026, 3, 9), QTime(10, 0)));
    frmLaporan screen;
    screen.show();
    auto *bar = test::child<QProgressBar>(&screen, QStringLiteral("prgBar3"));
    auto *viewer = test::child<ui::ReportViewer>(&screen, QStringLiteral("rtfLap2"));

    // The window is painted again while the report is written.
    int paints = 0;
    int shownValues = 0;
    struct PaintCounter : QObject
    {
        int *count;
        explicit PaintCounter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    bar->installEventFilter(&counter);
    connect(bar, &QProgressBar::valueChanged, &screen, [&](int value) {
        if (value > 0 && bar->isVisible())
            ++shownValues;
    });

    const struct
    {
        const char *button;
        const char *file;
        int lineWidth;
    } reports[] = {{"cmdLihat", "Data Siswa.txt", 197}, {"cmdIPK", "IPK.txt", 56}};
    for (const auto &report : reports) {
        paints = 0;
        shownValues = 0;
        timer.restart();
        test::click(&screen, QLatin1String(report.button));
        qInfo("%s: %lld ms", report.button, timer.elapsed());
        QCOMPARE(messages.count(), 0);
        // The bar moves at least once every hundredth of the rows.
        QVERIFY2(shownValues >= 100, qPrintable(QString::number(shownValues)));
        QVERIFY2(paints > 10, qPrintable(QString::number(paints)));
        QVERIFY(!bar->isVisible());
        QVERIFY(viewer->isVisible());

        const QString text = screen.reportText();
        QFile file(QLatin1String(report.file));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (text + QStringLiteral("\r\n")).toUtf8());
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        // Row 100,000 needs six digits: its number takes the spaces after
        // it, keeping one; the NIS moves right by one and the gap after it
        // brings the name back to its column.
        QVERIFY(text.contains(QStringLiteral("\r\n 100000 1099999 SISWA NOMOR 999")));
        // The last page break comes before row 99,996, on page 20,000.
        QVERIFY(text.contains(QStringLiteral(" Sub Total= ") + QLocale::system().toString(99995) + QStringLiteral(" \r\n")));
        QVERIFY(text.contains(QStringLiteral("Halaman: 20000\r\n")));
        QVERIFY(text.contains(QStringLiteral(" Total= 100000\r\n")));
        int rows = 0;
        for (const QString &line : lines) {
            if (line.size() >= report.lineWidth && line.at(1).isDigit())
                ++rows;
        }
        QCOMPARE(rows, Students);
    }
}

QTEST_MAIN(TestReportScale)
#include "tst_reportscale.moc"
