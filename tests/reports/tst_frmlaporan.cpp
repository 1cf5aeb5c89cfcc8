// The report screen: its controls, the NIS panel, per-student reports
// appended to the viewer, the file reports replacing it with the progress
// bar moving, the no-data and file-failure messages, and the exit.
#include "common/module1.h"
#include "reports/frmLaporan.h"
#include "reports/reportrunner.h"
#include "testsupport.h"
#include "ui/reportviewer.h"
#include "ui/screens.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace pel;

namespace {

const QDateTime Moment(QDate(2026, 3, 9), QTime(10, 0));

void addGrade(test::TestDatabase &db, const QString &nis, const QString &code, double sks, double score,
              const QString &letter, double weight, double points, const QString &remark)
{
    db.exec(QStringLiteral("insert into Nilai values ('R1', '09-03-2026', '%1', 'KOMPUTER', 'DASAR', '%2', %3, "
                           "'BUDI', %4, '%5', %6, %7, '%8', '')")
                .arg(QString(nis).replace(QLatin1String("'"), QLatin1String("''")), code)
                .arg(sks).arg(score).arg(letter).arg(weight).arg(points).arg(remark));
}

// Three students, two with grades; the table keeps them in the order they came.
void fill(test::TestDatabase &db)
{
    db.addStudent(QStringLiteral("1001"), QStringLiteral("BUDI"));
    db.addStudent(QStringLiteral("3001"), QStringLiteral("ANI"));
    db.addStudent(QStringLiteral("2001"), QStringLiteral("CICI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("FISIKA"), 3);
    addGrade(db, QStringLiteral("1001"), QStringLiteral("M1"), 2, 85, QStringLiteral("A"), 4, 8, QStringLiteral("Sangat Baik"));
    addGrade(db, QStringLiteral("1001"), QStringLiteral("M2"), 3, 70, QStringLiteral("B"), 3, 9, QStringLiteral("Baik"));
    addGrade(db, QStringLiteral("2001"), QStringLiteral("M1"), 2, 60, QStringLiteral("C"), 2, 4, QStringLiteral("Cukup"));
}

QString fileText(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestFrmLaporan : public QObject
{
    Q_OBJECT
private slots:
    void loadsControlsAndNisLists();
    void panelShowsOneNisBoxAtATime();
    void statementsAppendAndHidePanel();
    void noDataLeavesViewerAndFocus_data();
    void noDataLeavesViewerAndFocus();
    void fileReportReplacesTextAndMovesProgress();
    void fileFailureKeepsViewer();
    void clearAndExit();
};

void TestFrmLaporan::loadsControlsAndNisLists()
{
    test::TestDatabase db;
    fill(db);
    frmLaporan screen;
    QCOMPARE(screen.objectName(), QStringLiteral("frmLaporan"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Laporan"));

    const QList<std::pair<const char *, const char *>> buttons{
        {"cmdLihat", "&Data Siswa"}, {"cmdLht", "&Data Nilai Siswa"}, {"cmdIPK", "&Data IPK Siswa"},
        {"cmdSrt", "&Sertifikat"},   {"cmdKsg", "&Hapus Layar"},      {"cmdCetak", "&Cetak"},
        {"cmdPdf", "Simpan &PDF"},   {"cmdExit", "&Keluar"},
    };
    auto *frame2 = test::child<QGroupBox>(&screen, QStringLiteral("Frame2"));
    QVERIFY(frame2);
    QCOMPARE(frame2->title(), QStringLiteral("[ Pilih laporan yang akan ditampilkan ]"));
    for (const auto &[name, caption] : buttons) {
        auto *button = test::child<QPushButton>(frame2, QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->text(), QLatin1String(caption));
    }
    QCOMPARE(test::child<QGroupBox>(&screen, QStringLiteral("frBantu1"))->title(), QStringLiteral("[ Pilih NIS ]"));
    QCOMPARE(test::child<QGroupBox>(&screen, QStringLiteral("Frame1"))->title(), QStringLiteral("Jenis Printer"));
    QVERIFY(test::child<QComboBox>(&screen, QStringLiteral("cmbPrinter1")));
    QCOMPARE(test::child<QLabel>(&screen, QStringLiteral("Label1"))->text(), QStringLiteral("NIS"));
    for (const char *hint : {"lblInfo1", "lblInfo2"})
        QCOMPARE(test::child<QLabel>(&screen, QLatin1String(hint))->text(),
                 QStringLiteral("Untuk melihat nilai siswa, pilih NIS lalu tekan Enter "));

    auto *viewer = test::child<ui::ReportViewer>(&screen, QStringLiteral("rtfLap2"));
    QCOMPARE(viewer->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(viewer->font().pointSize(), 9);
    QVERIFY(viewer->text().isEmpty());

    screen.show();
    QVERIFY(!test::child<QWidget>(&screen, QStringLiteral("frBantu1"))->isVisible());
    QVERIFY(!test::child<QWidget>(&screen, QStringLiteral("prgBar3"))->isVisible());

    // Both NIS lists hold every student in the table's order, the first one chosen.
    for (const char *name : {"cmbNis", "cmbNis1"}) {
        auto *box = test::child<QComboBox>(&screen, QLatin1String(name));
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, QStringList({QStringLiteral("1001"), QStringLiteral("3001"), QStringLiteral("2001")}));
        QCOMPARE(box->currentText(), QStringLiteral("1001"));
    }
}

void TestFrmLaporan::panelShowsOneNisBoxAtATime()
{
    test::TestDatabase db;
    fill(db);
    frmLaporan screen;
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    const auto visible = [&](const char *name) { return test::child<QWidget>(&screen, QLatin1String(name))->isVisible(); };

    // Enter on the focused button presses it, as a click does.
    auto *cmdLht = test::child<QPushButton>(&screen, QStringLiteral("cmdLht"));
    cmdLht->setFocus();
    QTest::keyClick(cmdLht, Qt::Key_Return);
    QVERIFY(visible("frBantu1"));
    QVERIFY(visible("cmbNis") && visible("lblInfo1"));
    QVERIFY(!visible("cmbNis1") && !visible("lblInfo2"));
    QCOMPARE(QApplication::focusWidget() == test::child<QWidget>(&screen, QStringLiteral("cmbNis"))
                 || QApplication::focusWidget()->parentWidget() == test::child<QWidget>(&screen, QStringLiteral("cmbNis")),
             true);

    test::click(&screen, QStringLiteral("cmdSrt"));
    QVERIFY(visible("frBantu1"));
    QVERIFY(visible("cmbNis1") && visible("lblInfo2"));
    QVERIFY(!visible("cmbNis") && !visible("lblInfo1"));
    QCOMPARE(test::child<QWidget>(&screen, QStringLiteral("cmbNis1"))->geometry(),
             test::child<QWidget>(&screen, QStringLiteral("cmbNis"))->geometry());
}

void TestFrmLaporan::statementsAppendAndHidePanel()
{
    test::TestDatabase db;
    fill(db);
    test::StandIn messages(Moment);
    frmLaporan screen;
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));

    test::click(&screen, QStringLiteral("cmdLht"));
    test::typeInto(&screen, QStringLiteral("cmbNis"), QStringLiteral("1001"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    QCOMPARE(messages.count(), 0);
    const QString statement = reports::runGradeStatement(dbConnection, QStringLiteral("1001"), Moment.date()).text;
    QVERIFY(statement.contains(QStringLiteral("Nama Siswa    : BUDI")));
    QCOMPARE(screen.reportText(), statement);
    QVERIFY(!test::child<QWidget>(&screen, QStringLiteral("frBantu1"))->isVisible());
    // The typed NIS was not added to the list.
    QCOMPARE(test::child<QComboBox>(&screen, QStringLiteral("cmbNis"))->count(), 3);

    // A second statement, then a certificate, continue on the last line.
    test::click(&screen, QStringLiteral("cmdLht"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    test::click(&screen, QStringLiteral("cmdSrt"));
    test::typeInto(&screen, QStringLiteral("cmbNis1"), QStringLiteral("2001"));
    test::pressEnter(&screen, QStringLiteral("cmbNis1"));
    const QString certificate = reports::runCertificate(dbConnection, QStringLiteral("2001"), Moment.date()).text;
    QCOMPARE(screen.reportText(), statement + statement + certificate);
    QVERIFY(screen.reportText().contains(QStringLiteral("( PIMPINAN )") + QString(45, QLatin1Char(' '))
                                         + QStringLiteral("MIRSA PELITAKSA\r\n")));
    QCOMPARE(messages.count(), 0);
}

void TestFrmLaporan::noDataLeavesViewerAndFocus_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("nis");
    const QString statement = QStringLiteral("cmdLht"), certificate = QStringLiteral("cmdSrt");
    QTest::newRow("statement, no such student") << statement << QStringLiteral("cmbNis") << QStringLiteral("9999");
    QTest::newRow("statement, no grades") << statement << QStringLiteral("cmbNis") << QStringLiteral("3001");
    QTest::newRow("statement, quote") << statement << QStringLiteral("cmbNis") << QStringLiteral("x' or '1'='1");
    QTest::newRow("certificate, no such student") << certificate << QStringLiteral("cmbNis1") << QStringLiteral("9999");
    QTest::newRow("certificate, no grades") << certificate << QStringLiteral("cmbNis1") << QStringLiteral("3001");
}

void TestFrmLaporan::noDataLeavesViewerAndFocus()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, nis);
    test::TestDatabase db;
    fill(db);
    test::StandIn messages;
    frmLaporan screen;
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    test::click(&screen, QStringLiteral("cmdLht"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    const QString before = screen.reportText();
    QVERIFY(!before.isEmpty());

    test::click(&screen, button);
    test::typeInto(&screen, box, nis);
    test::pressEnter(&screen, box);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("Data tidak ditemukan!"));
    QCOMPARE(messages.last().title, QStringLiteral("NIHIL"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(messages.last().buttons, ui::Buttons::Ok);
    QCOMPARE(screen.reportText(), before);
    QVERIFY(test::child<QWidget>(&screen, QStringLiteral("frBantu1"))->isVisible());
    QWidget *focused = QApplication::focusWidget();
    QWidget *expected = test::child<QWidget>(&screen, box);
    QVERIFY(focused == expected || (focused && focused->parentWidget() == expected));
}

void TestFrmLaporan::fileReportReplacesTextAndMovesProgress()
{
    test::TestDatabase db;
    {
        // Enough students for the window to be repainted during the report.
        QSqlQuery query(dbConnection.database());
        query.exec(QStringLiteral("begin"));
        for (int i = 0; i < 600; ++i)
            db.addStudent(QStringLiteral("%1").arg(10000 + i), QStringLiteral("SISWA %1").arg(i));
        query.exec(QStringLiteral("commit"));
    }
    db.addSubject(QStringLiteral("M1"));
    addGrade(db, QStringLiteral("10000"), QStringLiteral("M1"), 2, 85, QStringLiteral("A"), 4, 8, QStringLiteral("Sangat Baik"));
    test::StandIn messages(Moment);
    frmLaporan screen;
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    test::click(&screen, QStringLiteral("cmdLht"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    QVERIFY(!screen.reportText().isEmpty());

    auto *bar = test::child<QProgressBar>(&screen, QStringLiteral("prgBar3"));
    auto *viewer = test::child<ui::ReportViewer>(&screen, QStringLiteral("rtfLap2"));
    QList<int> values;
    bool shownWhileWriting = true;
    bool viewerHidden = true;
    connect(bar, &QProgressBar::valueChanged, &screen, [&](int value) {
        values << value;
        if (value > 1) {
            shownWhileWriting = shownWhileWriting && bar->isVisible();
            viewerHidden = viewerHidden && !viewer->isVisible();
        }
    });
    test::click(&screen, QStringLiteral("cmdLihat"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(bar->maximum(), 600);
    QVERIFY(values.contains(300));
    QVERIFY(values.contains(600));
    QCOMPARE(values.last(), 0);
    QVERIFY(shownWhileWriting);
    QVERIFY(viewerHidden);
    QVERIFY(!bar->isVisible());
    QVERIFY(viewer->isVisible());

    // The header replaced the statement; the file holds the text and one CR LF.
    const QString text = screen.reportText();
    QVERIFY(text.startsWith(QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU\r\n")));
    QVERIFY(text.contains(QStringLiteral(" Total= 600 \r\n")));
    QCOMPARE(fileText(QStringLiteral("Data Siswa.txt")), text + QStringLiteral("\r\n"));
    // Lines of 197 characters stay whole lines in the viewer: none is wrapped.
    QCOMPARE(viewer->lineCount(), text.count(QStringLiteral("\r\n")) + 1);
    QCOMPARE(viewer->line(8).size(), 197);

    test::click(&screen, QStringLiteral("cmdIPK"));
    QCOMPARE(messages.count(), 0);
    QVERIFY(screen.reportText().startsWith(QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU\r\n JL Teratai")));
    QVERIFY(screen.reportText().contains(QStringLiteral(" Total= 1   \r\n")));
    QCOMPARE(fileText(QStringLiteral("IPK.txt")), screen.reportText() + QStringLiteral("\r\n"));
    QVERIFY(!bar->isVisible());
}

void TestFrmLaporan::fileFailureKeepsViewer()
{
    test::TestDatabase db;
    fill(db);
    test::StandIn messages;
    frmLaporan screen;
    screen.show();
    test::click(&screen, QStringLiteral("cmdLht"));
    test::pressEnter(&screen, QStringLiteral("cmbNis"));
    const QString before = screen.reportText();

    // A folder where the file should be: the file cannot be opened.
    QVERIFY(QDir().mkdir(QStringLiteral("Data Siswa.txt")));
    test::click(&screen, QStringLiteral("cmdLihat"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("Kesalahan File"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QVERIFY(messages.last().text.contains(QStringLiteral("\"Data Siswa.txt\"")));
    QCOMPARE(screen.reportText(), before);
    QVERIFY(test::child<QWidget>(&screen, QStringLiteral("rtfLap2"))->isVisible());
    QVERIFY(!test::child<QWidget>(&screen, QStringLiteral("prgBar3"))->isVisible());

    // The screen goes on: the IPK list still runs.
    test::click(&screen, QStringLiteral("cmdIPK"));
    QCOMPARE(messages.count(), 1);
    QVERIFY(screen.reportText().startsWith(QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU\r\n JL Teratai")));

    // A refused statement is reported with the database's reason, the viewer kept.
    const QString ipk = screen.reportText();
    db.exec(QStringLiteral("drop table Nilai"));
    test::click(&screen, QStringLiteral("cmdIPK"));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().title, QStringLiteral("Kesalahan Database"));
    QVERIFY(messages.last().text.contains(QStringLiteral("nilai"), Qt::CaseInsensitive));
    QCOMPARE(screen.reportText(), ipk);
}

void TestFrmLaporan::clearAndExit()
{
    test::TestDatabase db;
    fill(db);
    test::StandIn messages;
    QPointer<frmLaporan> screen = ui::showScreen<frmLaporan>();
    test::click(screen, QStringLiteral("cmdSrt"));
    test::pressEnter(screen, QStringLiteral("cmbNis1"));
    QVERIFY(!screen->reportText().isEmpty());
    test::click(screen, QStringLiteral("cmdSrt"));
    test::click(screen, QStringLiteral("cmdKsg"));
    QCOMPARE(screen->reportText(), QString());
    QVERIFY(!test::child<QWidget>(screen, QStringLiteral("frBantu1"))->isVisible());

    test::click(screen, QStringLiteral("cmdExit"));
    test::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(screen.isNull());
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestFrmLaporan)
#include "tst_frmlaporan.moc"
