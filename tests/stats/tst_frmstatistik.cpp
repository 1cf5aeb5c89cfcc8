// The statistics screen, driven by keys: it opens from the Laporan menu
// below "Lihat Laporan" for the levels that open Laporan, shows the four
// views with the tool's very figures, narrows them by the filter boxes,
// refuses a date that is none, saves PNG and PDF, prints, copies, and keeps
// answering while a view waits for the database.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "stats/frmStatistik.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "ui/keys.h"
#include "ui/screens.h"

using namespace pel;
using test::child;

namespace {

void fill(test::TestDatabase &db)
{
    db.addSubject(QStringLiteral("MP01"), QStringLiteral("MATEMATIKA"), 2);
    db.addSubject(QStringLiteral("MP02"), QStringLiteral("FISIKA"), 3);
    const QList<QVariantList> students{
        {"S1", "01-07-2025", "KOMPUTER", "DASAR"},
        {"S2", "15-07-2025", "komputer", "MAHIR"},
        {"S3", "03-08-2025", "DESAIN", "DASAR"},
        {"S4", "7-8-2025", "DESAIN", "DASAR"},
    };
    for (const QVariantList &student : students)
        test::execShared(QStringLiteral("insert into SISWA values (?, 'SISWA', 'LIRAK', '01-02-2000', 'JL', 'LAKI-LAKI', "
                              "'ISLAM', ?, ?, ?, 'SMA', '08')"),
               student);
    const QList<QVariantList> grades{
        {"10-01-2026", "S1", "KOMPUTER", "DASAR", "MP01", 2, "BUDI", 85.1, "A", 8, "Lulus"},
        {"10-02-2026", "S1", "KOMPUTER", "DASAR", "MP02", 3, "BUDI", 64, "C", 6, "Lulus"},
        {"11-01-2026", "S2", "komputer", "MAHIR", "mp01", 2, "SARI", 85.15, "A", 8, "Lulus"},
        {"12-03-2026", "S3", "DESAIN", "DASAR", "MP01", 2, "SARI", 45, "D", 2, "Failed"},
        {"12-03-2026", "S4", "DESAIN", "DASAR", "MP02", 3, "SARI", 71, "B", 9, "Lulus"},
    };
    for (const QVariantList &grade : grades)
        test::execShared(QStringLiteral("insert into Nilai (Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, Tentor, "
                              "Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket) values ('1', ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                              "0, ?, 'P', ?)"),
               grade);
}

// The tool's CSV of a view on the test database.
QByteArray toolCsv(const test::TestDatabase &db, const QStringList &args)
{
    QTemporaryDir folder;
    QProcess tool;
    tool.setWorkingDirectory(folder.path());
    tool.start(qEnvironmentVariable("PELITAKSA_ADMIN"),
               QStringList{QStringLiteral("--database"), db.databaseArgument(), QStringLiteral("stats")} + args
                   + QStringList{QStringLiteral("--csv")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return "(the tool failed: " + tool.readAllStandardError() + ")";
    return tool.readAllStandardOutput();
}

// Waits until the screen has shown the view, and gives its figure.
const stats::Figure *shown(frmStatistik *screen, stats::View view)
{
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!screen->isBusy() && screen->figure(view), 30000); }();
    return screen->figure(view);
}

void pressAlt(QWidget *screen, Qt::Key key)
{
    QTest::keyClick(screen->windowHandle(), key, Qt::AltModifier);
    QTest::qWait(300); // a button pressed by its letter clicks after a short animation
}

} // namespace

class TestFrmStatistik : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensFromLaporanMenu_data();
    void opensFromLaporanMenu();
    void viewsAreTheTools();
    void filterBoxesByKeys();
    void datesThatAreNone_data();
    void datesThatAreNone();
    void savesPictures();
    void printsAndCopies();
    void answersWhileAViewWaits();

private:
    frmStatistik *openScreen();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::StandIn> m_standIn;
};

void TestFrmStatistik::init()
{
    m_standIn = std::make_unique<test::StandIn>(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    m_db = std::make_unique<test::TestDatabase>();
    fill(*m_db);
}

void TestFrmStatistik::cleanup()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        top->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_db.reset();
    m_standIn.reset();
}

frmStatistik *TestFrmStatistik::openScreen()
{
    frmStatistik *screen = ui::showScreen<frmStatistik>();
    [&] { QVERIFY(QTest::qWaitForWindowActive(screen)); }();
    return screen;
}

void TestFrmStatistik::opensFromLaporanMenu_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("opens");
    QTest::newRow("Activasi") << "Activasi" << true;
    QTest::newRow("Manager") << "Manager" << true;
    QTest::newRow("Operator") << "Operator" << false;
}

void TestFrmStatistik::opensFromLaporanMenu()
{
    QFETCH(QString, level);
    QFETCH(bool, opens);
    m_db->addOperator(QStringLiteral("user"), QStringLiteral("PETUGAS"), QStringLiteral("pw1"), level);
    auto *window = static_cast<FrmUtama *>(ui::showMainWindow());
    QVERIFY(QTest::qWaitForWindowActive(window));
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("user"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("pw1"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));

    // Directly below "&Lihat Laporan", enabled with the menu.
    auto *menu = child<QMenu>(window, QStringLiteral("report"));
    const QList<QAction *> items = menu->actions();
    const qsizetype below = items.indexOf(child<QAction>(window, QStringLiteral("reporttransaction"))) + 1;
    QCOMPARE(items.value(below)->objectName(), QStringLiteral("reportstatistik"));
    QCOMPARE(items.value(below)->text(), QStringLiteral("&Statistik Nilai"));
    QCOMPARE(menu->menuAction()->isEnabled(), opens);
    if (!opens)
        return;
    items.value(below)->trigger();
    frmStatistik *screen = ui::openScreen<frmStatistik>();
    QVERIFY(screen);
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Statistik Nilai"));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmbProgram"));
    QVERIFY(shown(screen, stats::View::Subjects));
    // The main window stays, and comes forward again when the screen ends.
    test::click(screen, QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<frmStatistik>());
    QVERIFY(window->isVisible());
    QCOMPARE(m_standIn->count(), 0);
}

void TestFrmStatistik::viewsAreTheTools()
{
    frmStatistik *screen = openScreen();
    auto *tabs = child<QTabWidget>(screen, QStringLiteral("tabStatistik"));
    const QList<std::tuple<Qt::Key, stats::View, QString, QString>> views{
        {Qt::Key_M, stats::View::Subjects, "subjects", "dgMatpel"},
        {Qt::Key_I, stats::View::Ipk, "ipk", "dgIpk"},
        {Qt::Key_P, stats::View::Intake, "intake", "dgPenerimaan"},
        {Qt::Key_N, stats::View::Instructors, "instructors", "dgInstruktur"},
    };
    // The last first: Alt+M then goes back to a view already shown.
    for (int i = int(views.size()) - 1; i >= 0; --i) {
        const auto &[key, view, name, grid] = views.at(i);
        pressAlt(screen, key);
        QCOMPARE(tabs->currentIndex(), i);
        const stats::Figure *figure = shown(screen, view);
        QVERIFY(figure);
        QVERIFY(!figure->table.rows.isEmpty());
        QCOMPARE(stats::csvText(figure->table), toolCsv(*m_db, {name}));
        QCOMPARE(child<QTableView>(screen, grid)->model()->rowCount(), figure->table.rows.size());
        QVERIFY(!child<QChartView>(screen, QString(grid).replace(QLatin1String("dg"), QLatin1String("cht")))
                     ->chart()
                     ->series()
                     .isEmpty());
    }
    QCOMPARE(m_standIn->count(), 0);
}

void TestFrmStatistik::filterBoxesByKeys()
{
    frmStatistik *screen = openScreen();
    shown(screen, stats::View::Subjects);
    auto *programme = child<QComboBox>(screen, QStringLiteral("cmbProgram"));
    QCOMPARE(programme->itemText(0), QStringLiteral("(Semua)"));
    // Keys pick the programme; Enter goes on from box to box and, from the
    // last one, shows the view.
    ui::moveFocus(programme);
    QTest::keyClicks(programme, QStringLiteral("K"));
    QCOMPARE(programme->currentText().toUpper(), QStringLiteral("KOMPUTER"));
    QTest::keyClick(programme, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmbLevel"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("MstglDari"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01012026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("MstglSampai"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31012026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!screen->isBusy() && screen->figure(stats::View::Subjects)->filter.from.isValid(), 30000);
    const stats::Figure *figure = screen->figure(stats::View::Subjects);
    QCOMPARE(figure->filter.to, QDate(2026, 1, 31));
    QCOMPARE(stats::csvText(figure->table),
             toolCsv(*m_db, {QStringLiteral("subjects"), QStringLiteral("--program"), programme->currentText(),
                             QStringLiteral("--from"), QStringLiteral("01-01-2026"), QStringLiteral("--to"),
                             QStringLiteral("31-01-2026")}));
    // MP01 of S1 and S2 only: 85.1 and 85.15 average 85.13.
    QCOMPARE(stats::csvText(figure->table), QByteArray("KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus\r\n"
                                                       "MP01,MATEMATIKA,2,85.13,2,0,0,0,0,2\r\n"));
    // Another view shown now comes with the same filter.
    pressAlt(screen, Qt::Key_N);
    QCOMPARE(shown(screen, stats::View::Instructors)->filter, figure->filter);
    QCOMPARE(m_standIn->count(), 0);
}

void TestFrmStatistik::datesThatAreNone_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no such day") << "31022026" << "" << "Tanggal tidak valid, isikan dd-mm-yyyy atau kosongkan !"
                                 << "MstglDari";
    QTest::newRow("half typed") << "" << "1203" << "Tanggal tidak valid, isikan dd-mm-yyyy atau kosongkan !"
                                << "MstglSampai";
    QTest::newRow("backwards") << "02022026" << "01022026" << "Tanggal awal jatuh sesudah tanggal akhir !"
                               << "MstglDari";
}

void TestFrmStatistik::datesThatAreNone()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    frmStatistik *screen = openScreen();
    const stats::Figure *before = shown(screen, stats::View::Subjects);
    const QByteArray figures = stats::csvText(before->table);
    test::typeInto(screen, QStringLiteral("MstglDari"), from);
    test::typeInto(screen, QStringLiteral("MstglSampai"), to);
    test::pressEnter(screen, QStringLiteral("MstglSampai"));
    QCOMPARE(m_standIn->count(), 1);
    QCOMPARE(m_standIn->last().text, message);
    QCOMPARE(m_standIn->last().title, QStringLiteral("Pesan"));
    QCOMPARE(m_standIn->last().icon, ui::Icon::Critical);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(!screen->isBusy());
    QCOMPARE(stats::csvText(screen->figure(stats::View::Subjects)->table), figures);
}

void TestFrmStatistik::savesPictures()
{
    frmStatistik *screen = openScreen();
    pressAlt(screen, Qt::Key_I);
    shown(screen, stats::View::Ipk);
    const QString folder = QDir::currentPath();
    for (const auto &[name, header] : {std::pair{"ipk.png", QByteArray("\x89PNG\r\n")},
                                       std::pair{"ipk.PDF", QByteArray("%PDF-")},
                                       std::pair{"ipk", QByteArray("\x89PNG\r\n")}}) {
        m_standIn->clear();
        m_standIn->printer.chosenPath = QDir(folder).filePath(QLatin1String(name));
        pressAlt(screen, Qt::Key_G);
        QCOMPARE(m_standIn->printer.proposedPaths.last(),
                 QDir(folder).filePath(QStringLiteral("Statistik IPK 07-12-2026.png")));
        const QString written = m_standIn->printer.chosenPath + (QString(name) == QLatin1String("ipk") ? ".png" : "");
        QCOMPARE(m_standIn->count(), 1);
        QCOMPARE(m_standIn->last().text, QStringLiteral("Gambar sudah disimpan:\r") + QDir::toNativeSeparators(written));
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.read(header.size()) == header, name);
        QVERIFY(file.size() > 5000);
    }
    // Cancelled, nothing is written or said.
    m_standIn->clear();
    m_standIn->printer.chosenPath.clear();
    test::click(screen, QStringLiteral("cmdSimpanGambar"));
    QCOMPARE(m_standIn->count(), 0);
    // A folder that is not there: the file writer's reason, nothing left behind.
    m_standIn->printer.chosenPath = QDir(folder).filePath(QStringLiteral("missing/ipk.png"));
    test::click(screen, QStringLiteral("cmdSimpanGambar"));
    QCOMPARE(m_standIn->count(), 1);
    QVERIFY(m_standIn->last().text.startsWith(QStringLiteral("Gambar tidak dapat disimpan:\r")));
    QCOMPARE(m_standIn->last().icon, ui::Icon::Critical);
}

void TestFrmStatistik::printsAndCopies()
{
    frmStatistik *screen = openScreen();
    const stats::Figure *figure = shown(screen, stats::View::Subjects);
    pressAlt(screen, Qt::Key_C);
    QCOMPARE(m_standIn->texts(), QStringList({"Hasil cetakan sudah benar?"}));
    QCOMPARE(m_standIn->printer.setups, 1);
    QCOMPARE(m_standIn->printer.previews, 1);
    QCOMPARE(m_standIn->printer.drawings, 1);
    QCOMPARE(m_standIn->printer.printedOrientation, QPageLayout::Landscape);
    QVERIFY(m_standIn->printer.drawnPdf.startsWith("%PDF-"));

    // No is no print.
    m_standIn->clear();
    m_standIn->plan(ui::Answer::No);
    test::click(screen, QStringLiteral("cmdCetak"));
    QCOMPARE(m_standIn->texts(), QStringList({"Hasil cetakan sudah benar?", "Pencetakan ke Printer Batal.. "}));
    QCOMPARE(m_standIn->printer.drawings, 1);

    // The table, as a spreadsheet takes it, with the chart's shares in percent.
    child<QComboBox>(screen, QStringLiteral("cmbSkala"))->setCurrentIndex(1);
    pressAlt(screen, Qt::Key_L);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, stats::tabSeparatedText(figure->table, stats::systemDecimalPoint()));
    QVERIFY(copied.startsWith(QStringLiteral("KdMatpel\tNmMatpel\tJumlah\tJumlah %\tRataRata\tA\tA %\t")));
    QCOMPARE(figure->scale, stats::Scale::Shares);
}

void TestFrmStatistik::answersWhileAViewWaits()
{
    frmStatistik *screen = openScreen();
    shown(screen, stats::View::Subjects);
    // The program's own connection holds the grade table, so the view's
    // thread waits for it.
    QVERIFY(test::execShared(test::onPostgres() ? QStringLiteral("begin") : QStringLiteral("BEGIN EXCLUSIVE")));
    if (test::onPostgres())
        QVERIFY(test::execShared(QStringLiteral("lock table Nilai in access exclusive mode")));
    test::click(screen, QStringLiteral("cmdTampil"));
    QVERIFY(screen->isBusy());
    QTRY_VERIFY(child<QProgressBar>(screen, QStringLiteral("prgProses"))->isVisible());
    QVERIFY(child<QLabel>(screen, QStringLiteral("lblProses"))->isVisible());
    // Meanwhile the screen takes keys.
    auto *scale = child<QComboBox>(screen, QStringLiteral("cmbSkala"));
    ui::moveFocus(scale);
    QTest::keyClick(scale, Qt::Key_Down);
    QCOMPARE(scale->currentIndex(), 1);
    // A view not computed yet has nothing to copy or print.
    pressAlt(screen, Qt::Key_I);
    QCOMPARE(child<QTabWidget>(screen, QStringLiteral("tabStatistik"))->currentIndex(), 1);
    test::click(screen, QStringLiteral("cmdSalin"));
    test::click(screen, QStringLiteral("cmdCetak"));
    QCOMPARE(m_standIn->texts(), QStringList({"Belum ada statistik yang ditampilkan.",
                                              "Belum Ada Informasi Yang Akan Dicetak!\rTampilkan Data Yang Akan "
                                              "Dicetak."}));
    QCOMPARE(m_standIn->printer.jobs, 0);
    QVERIFY(screen->isBusy());
    QVERIFY(test::execShared(QStringLiteral("commit")));
    // The view asked for meanwhile follows.
    QTRY_VERIFY_WITH_TIMEOUT(!screen->isBusy() && screen->figure(stats::View::Ipk), 30000);
    QVERIFY(!child<QProgressBar>(screen, QStringLiteral("prgProses"))->isVisible());
    QCOMPARE(screen->figure(stats::View::Subjects)->scale, stats::Scale::Shares);
    QCOMPARE(screen->figure(stats::View::Ipk)->scale, stats::Scale::Shares);
    QCOMPARE(m_standIn->count(), 2);
}

QTEST_MAIN(TestFrmStatistik)
#include "tst_frmstatistik.moc"
