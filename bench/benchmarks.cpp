// Times the program's own screens and reports on a large SISWA.mdb in the
// current folder, and the sqlite3 command-line shell doing the same queries
// on the same file (the "Floor_" benchmarks), so that each operation can be
// set against what the database engine alone needs.
//
// Every benchmark reports two counters: peak_MB, the highest resident memory
// while it ran (the program's operations: of this process, counted from the
// moment its loop starts; the floors: of the sqlite3 process), and before_MB,
// the resident memory when the loop started. bench/run runs each benchmark
// in a process of its own and prints the table.
#include "app/FrmUtama.h"
#include "common/formatters.h"
#include "common/module1.h"
#include "db/failure.h"
#include "grades/classgrademodel.h"
#include "grades/frmnilaikelas.h"
#include "grades/frmtransaksi.h"
#include "reports/reportstore.h"
#include "db/searchstatements.h"
#include "grades/gradestore.h"
#include "reports/frmLaporan.h"
#include "ui/reportviewer.h"
#include "reports/reportrunner.h"
#include "search/FrmCari.h"
#include "stats/frmStatistik.h"
#include "stats/statstext.h"
#include "db/backup.h"
#include "db/schema.h"
#include "transfer/csv.h"
#include "transfer/importer.h"
#include "students/FrmEntri.h"
#include "ui/messages.h"
#include "ui/screens.h"
#include "ui/surroundings.h"

#include "floors.h"
#include "generator.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QEventLoop>
#include <QLabel>
#include <QTabWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <fstream>
#include <string>

namespace {

using pel::ui::Answer;
using pel::ui::Message;

// A NIS from the middle of the table.
const QString SampleNis = pel::bench::studentNis(50000);
// The registration number the grade save writes under; removed afterwards.
const QString BenchRegistration = QStringLiteral("BENCH-9");

// ---- memory -------------------------------------------------------------

double statusMegabytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(key.size())) / 1024.0;
    return 0;
}

// Starts counting the peak resident memory afresh from now.
double resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusMegabytes("VmRSS");
}

// The processor time of a benchmark's own processes, per operation.
double processorPerOperation(const benchmark::State &state, double total)
{
    return state.iterations() > 0 ? total / double(state.iterations()) : 0;
}

void reportMemory(benchmark::State &state, double before)
{
    state.counters["peak_MB"] = statusMegabytes("VmHWM");
    state.counters["before_MB"] = before;
}

// ---- messages -----------------------------------------------------------

// Every message box is answered with OK (or Yes); the ones an operation does
// not expect fail the benchmark.
QList<Message> shownMessages;

// The real surroundings, except that messages are recorded and answered and
// the program never ends.
class BenchSurroundings : public pel::ui::Surroundings
{
public:
    QDateTime now() override { return real().now(); }
    Answer message(const Message &message, QWidget *) override
    {
        shownMessages << message;
        return message.buttons == pel::ui::Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    void endProgram() override {}
    void beep() override { real().beep(); }
    bool printerInstalled() override { return real().printerInstalled(); }
    bool printSetup(QPrinter &printer, QWidget *parent) override { return real().printSetup(printer, parent); }
    bool printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent) override
    {
        return real().printPreview(printer, paint, parent);
    }
    std::optional<pel::print::PrintError> printJob(QPrinter &printer, const QString &text, const QFont &font) override
    {
        return real().printJob(printer, text, font);
    }
    QString pdfFileName(const QString &proposedPath, QWidget *parent) override
    {
        return real().pdfFileName(proposedPath, parent);
    }
    std::optional<pel::print::PrintError> printDrawing(QPrinter &printer,
                                                       const std::function<bool(QPagedPaintDevice &)> &paint) override
    {
        return real().printDrawing(printer, paint);
    }
    QString pictureFileName(const QString &proposedPath, QWidget *parent) override
    {
        return real().pictureFileName(proposedPath, parent);
    }
    QString dataFileName(const QString &title, const QString &proposedPath, const QStringList &filters,
                         QWidget *parent) override
    {
        return real().dataFileName(title, proposedPath, filters, parent);
    }

private:
    static pel::ui::Surroundings &real() { return pel::ui::realSurroundings(); }
};

bool noUnexpectedMessage(benchmark::State &state, int expected = 0)
{
    if (shownMessages.size() <= expected) {
        shownMessages.clear();
        return true;
    }
    const QString text = shownMessages.last().text;
    shownMessages.clear();
    state.SkipWithError(("message shown: " + text.toStdString()).c_str());
    return false;
}

template <class T>
T *named(QObject *root, const char *name)
{
    return root->findChild<T *>(QLatin1String(name));
}

// Shows a screen's window and waits until it is on the screen.
bool shown(QWidget *screen)
{
    return QTest::qWaitForWindowExposed(screen);
}

void settle()
{
    QCoreApplication::processEvents();
}

template <class T>
void closeScreen()
{
    if (T *screen = pel::ui::openScreen<T>())
        delete screen;
    settle();
}

bool openDatabase(benchmark::State &state)
{
    if (pel::dbConnection.isOpen())
        return true;
    const pel::db::Result opened = pel::OpenDatabase();
    if (opened.ok())
        return true;
    state.SkipWithError(pel::db::failureMessage(opened).toStdString().c_str());
    return false;
}

// ---- the program's operations --------------------------------------------

// Start-up: the main window's load (the database opened and checked) until
// the window is shown on the screen.
void StartUp(benchmark::State &state)
{
    pel::dbConnection.close();
    const double before = resetPeakMemory();
    for (auto _ : state) {
        if (!pel::FrmUtama::start()) {
            state.SkipWithError("the main window did not start");
            break;
        }
        if (!shown(pel::ui::openScreen<pel::FrmUtama>())) {
            state.SkipWithError("main window not shown");
            break;
        }
        state.PauseTiming();
        closeScreen<pel::FrmUtama>();
        pel::dbConnection.close();
        state.ResumeTiming();
    }
    reportMemory(state, before);
}

// A program started as a process of its own in the current folder (through
// pelitaksa-bench-process, which measures it): its wall time from start to
// end, and its peak memory.
void wholeProcess(benchmark::State &state, const QStringList &command, const QProcessEnvironment &environment,
                  const std::function<void()> &beforeEach = {})
{
    const QString bin = QCoreApplication::applicationDirPath();
    double peak = 0;
    double processor = 0;
    for (auto _ : state) {
        if (beforeEach)
            beforeEach();
        QProcess launcher;
        launcher.setProcessEnvironment(environment);
        launcher.start(bin + QStringLiteral("/pelitaksa-bench-process"), command);
        if (!launcher.waitForFinished(-1) || launcher.exitStatus() != QProcess::NormalExit || launcher.exitCode() != 0) {
            state.SkipWithError(("program failed: " + launcher.readAllStandardError().trimmed()).toStdString().c_str());
            break;
        }
        const QStringList figures = QString::fromLatin1(launcher.readAllStandardOutput()).split(QLatin1Char(' '));
        if (figures.size() != 3) {
            state.SkipWithError("no figures from the launcher");
            break;
        }
        state.SetIterationTime(figures.at(0).toDouble());
        peak = qMax(peak, figures.at(1).toDouble() / 1024.0);
        processor += figures.at(2).toDouble();
    }
    state.counters["peak_MB"] = peak;
    state.counters["cpu_s"] = processorPerOperation(state, processor);
    state.counters["before_MB"] = 0;
}

// The whole program on SISWA.mdb here, until its main window is on the
// screen (and, with login, until a Manager has logged in), when the
// benchmark build of the program ends by itself.
void wholeProgram(benchmark::State &state, const QString &exitWhen, const std::function<void()> &beforeEach = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PELITAKSA_BENCH_EXIT"), exitWhen);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    wholeProcess(state, {QCoreApplication::applicationDirPath() + QStringLiteral("/../pelitaksa")}, environment,
                 beforeEach);
}

void StartUpProcess(benchmark::State &state)
{
    wholeProgram(state, QStringLiteral("shown"));
}

// The day's backups of SISWA.mdb here (backup/SISWA-YYYYMMDD-*.mdb).
QStringList todaysBackups()
{
    const QString folder = pel::db::backupFolder(QDir::current().filePath(QStringLiteral("SISWA.mdb")));
    const QString pattern = QStringLiteral("SISWA") + QDate::currentDate().toString(QStringLiteral("-yyyyMMdd-"))
                            + QStringLiteral("*.mdb");
    QStringList paths;
    for (const QString &name : QDir(folder).entryList({pattern}, QDir::Files))
        paths << QDir(folder).filePath(name);
    return paths;
}

// The first start of a day: the whole program until its main window, on
// the screen, has answered a key, while the day's backup is due (removed
// again before each start).
void FirstStartOfDayProcess(benchmark::State &state)
{
    wholeProgram(state, QStringLiteral("key"), [] {
        for (const QString &path : todaysBackups())
            QFile::remove(path);
    });
}

// Any later start of the day: the same, with the day's backup made.
void LaterStartOfDayProcess(benchmark::State &state)
{
    if (todaysBackups().isEmpty()) {
        if (!openDatabase(state))
            return;
        const pel::db::Result made = pel::db::backupNow(pel::dbConnection.database(), pel::dbConnection.filePath(),
                                                        QDateTime::currentDateTime(), pel::db::backupsToKeep(), nullptr);
        if (!made.ok()) {
            state.SkipWithError(pel::db::failureMessage(made).toStdString().c_str());
            return;
        }
    }
    wholeProgram(state, QStringLiteral("key"));
}

// The administration tool writing a file report as a process of its own:
// its own file ("Data Siswa.txt" or "IPK.txt" here) and the same text on its
// standard output (which the launcher sends to /dev/null).
void toolReport(benchmark::State &state, const char *report)
{
    wholeProcess(state,
                 {QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/pelitaksa-admin"),
                  QStringLiteral("--db"), QStringLiteral("SISWA.mdb"), QStringLiteral("report"), QLatin1String(report)},
                 QProcessEnvironment::systemEnvironment());
}

void ToolStudentList(benchmark::State &state)
{
    toolReport(state, "list");
}

void ToolIpkList(benchmark::State &state)
{
    toolReport(state, "ipk");
}

// The administration tool's "stats" command as a process of its own, its
// CSV on standard output (sent to /dev/null).
void toolStats(benchmark::State &state, const char *view)
{
    wholeProcess(state,
                 {QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/pelitaksa-admin"),
                  QStringLiteral("--db"), QStringLiteral("SISWA.mdb"), QStringLiteral("stats"), QLatin1String(view),
                  QStringLiteral("--csv")},
                 QProcessEnvironment::systemEnvironment());
}

void ToolStatsSubjects(benchmark::State &state)
{
    toolStats(state, "subjects");
}

void ToolStatsIpk(benchmark::State &state)
{
    toolStats(state, "ipk");
}

void LoginProcess(benchmark::State &state)
{
    wholeProgram(state, QStringLiteral("login:manager:manager123"));
}

// Login: "OK" in the login frame with a Manager's user ID and password; the
// connection is opened again and the operator table read.
void Login(benchmark::State &state)
{
    if (!pel::FrmUtama::start()) {
        state.SkipWithError("the main window did not start");
        return;
    }
    pel::FrmUtama *window = pel::ui::openScreen<pel::FrmUtama>();
    settle();
    window->CmdLogin_Click();
    auto *user = named<QLineEdit>(window, "txtUser");
    auto *password = named<QLineEdit>(window, "txtPass");
    const double before = resetPeakMemory();
    for (auto _ : state) {
        user->setText(QStringLiteral("manager"));
        password->setText(QStringLiteral("manager123"));
        window->cmdOK_Click();
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    if (!window->statusPanel(1).contains(QLatin1String("PIMPINAN")))
        state.SkipWithError("login refused");
    closeScreen<pel::FrmUtama>();
}

pel::frmLaporan *openReportScreen(benchmark::State &state)
{
    if (!openDatabase(state))
        return nullptr;
    auto *screen = pel::ui::showScreen<pel::frmLaporan>();
    if (!shown(screen)) {
        state.SkipWithError("report screen not shown");
        return nullptr;
    }
    if (!noUnexpectedMessage(state))
        return nullptr;
    return screen;
}

// Opening the report screen: its load reads the first page of the NIS list.
void ReportScreenOpen(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    for (auto _ : state) {
        if (!shown(pel::ui::showScreen<pel::frmLaporan>())) {
            state.SkipWithError("report screen not shown");
            break;
        }
        state.PauseTiming();
        closeScreen<pel::frmLaporan>();
        state.ResumeTiming();
    }
    reportMemory(state, before);
    noUnexpectedMessage(state);
}

// A file report: from the button's press to the file closed and the whole
// text in the viewer, painted.
void fileReport(benchmark::State &state, const char *buttonName, const char *firstLineOfFooter)
{
    pel::frmLaporan *screen = openReportScreen(state);
    if (!screen)
        return;
    auto *button = named<QPushButton>(screen, buttonName);
    const double before = resetPeakMemory();
    for (auto _ : state) {
        button->click();
        settle();
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    const QString text = screen->reportText();
    if (!text.contains(QLatin1String(firstLineOfFooter)))
        state.SkipWithError("the report is not whole");
    state.counters["lines"] = double(text.count(QLatin1Char('\n')) + 1);
    closeScreen<pel::frmLaporan>();
}

void StudentList(benchmark::State &state)
{
    fileReport(state, "cmdLihat", " Total= 100000");
}

void IpkList(benchmark::State &state)
{
    fileReport(state, "cmdIPK", " Total= ");
}

// A per-student report: Enter in the NIS box until its text is added to the
// viewer. The viewer is emptied between runs, outside the time.
void studentReport(benchmark::State &state, const char *showButton, const char *boxName)
{
    pel::frmLaporan *screen = openReportScreen(state);
    if (!screen)
        return;
    auto *show = named<QPushButton>(screen, showButton);
    auto *clear = named<QPushButton>(screen, "cmdKsg");
    auto *box = named<QComboBox>(screen, boxName);
    auto *viewer = named<pel::ui::ReportViewer>(screen, "rtfLap2");
    const double before = resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        clear->click();
        show->click();
        box->setCurrentText(SampleNis);
        state.ResumeTiming();
        QTest::keyClick(box, Qt::Key_Return);
        settle();
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    if (!viewer->text().contains(SampleNis))
        state.SkipWithError("the report does not name the student");
    closeScreen<pel::frmLaporan>();
}

void GradeStatement(benchmark::State &state)
{
    studentReport(state, "cmdLht", "cmbNis");
}

void Certificate(benchmark::State &state)
{
    studentReport(state, "cmdSrt", "cmbNis1");
}

// The next registration number, as the grade screen draws it.
void NextRegistrationNumber(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    QString number;
    for (auto _ : state) {
        const pel::db::Result drawn = pel::grades::NextRegistrationNumber(pel::dbConnection, &number);
        if (!drawn.ok()) {
            state.SkipWithError(pel::db::failureMessage(drawn).toStdString().c_str());
            break;
        }
    }
    reportMemory(state, before);
}

// Enter in the student screen's NIS box with a NIS that exists: the lookup
// fills the boxes (and says twice that the NIS is taken).
void StudentLookup(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    auto *screen = pel::ui::showScreen<pel::FrmEntri>();
    if (!shown(screen)) {
        state.SkipWithError("screen not shown");
        return;
    }
    auto *nis = named<QLineEdit>(screen, "txtnis");
    auto *name = named<QLineEdit>(screen, "txtnama");
    const double before = resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        screen->cmdBatal_Click();
        nis->setText(SampleNis);
        nis->setFocus();
        state.ResumeTiming();
        QTest::keyClick(nis, Qt::Key_Return);
        if (!noUnexpectedMessage(state, 2))
            break;
    }
    reportMemory(state, before);
    if (name->text().isEmpty())
        state.SkipWithError("the student was not found");
    closeScreen<pel::FrmEntri>();
}

void removeBenchGrades()
{
    pel::grades::DeleteGradeRows(pel::dbConnection, BenchRegistration);
}

// "Save" on the grade screen with every box filled: one row into Nilai.
// The rows it adds are removed afterwards.
void SaveGradeRow(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    removeBenchGrades();
    auto *screen = pel::ui::showScreen<pel::frmtransaksi>();
    if (!shown(screen)) {
        state.SkipWithError("screen not shown");
        return;
    }
    noUnexpectedMessage(state);
    const QList<std::pair<const char *, QString>> boxes{
        {"txtNoreg", BenchRegistration}, {"txtnis", SampleNis},     {"txtprogram", QStringLiteral("NIRWA COM")},
        {"txtlevel", "DASAR"},           {"txtkopel", "MP001"},     {"txtmapel", "MATA PELAJARAN 1"},
        {"txtsks", "3"},                 {"txtinstruktur", "BUDI"}, {"txtNilangka", "85"},
        {"txtNilhuruf", "A"},            {"txtbobot", "4"},         {"txtmutu", "12"},
        {"txtPredik", "Excellent"},      {"txtket", "Lulus"}};
    const double before = resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto &[box, value] : boxes)
            named<QLineEdit>(screen, box)->setText(value);
        state.ResumeTiming();
        screen->cmdSimpan_Click();
        // One message: "Data Nilai Sudah di Simpan".
        if (!noUnexpectedMessage(state, 1))
            break;
    }
    reportMemory(state, before);
    closeScreen<pel::frmtransaksi>();
    removeBenchGrades();
}

// A class of 2,000 students, added for the class grade benchmarks and removed
// with its grades afterwards: the generator's classes are far larger.
const QString BenchProgramme = QStringLiteral("KELAS BENCH");
constexpr int BenchClassSize = 2000;

bool runStatement(const QString &sql)
{
    QSqlQuery query(pel::dbConnection.database());
    return query.exec(sql);
}

void removeBenchClass()
{
    runStatement(QStringLiteral("delete from Nilai where Nis >= 'KLS' and Nis < 'KLT'"));
    runStatement(QStringLiteral("delete from SISWA where ProgamJurusan = '%1'").arg(BenchProgramme));
}

bool addBenchClass(benchmark::State &state)
{
    removeBenchClass();
    QSqlQuery query(pel::dbConnection.database());
    bool ok = runStatement(QStringLiteral("begin"))
              && query.prepare(QStringLiteral("insert into SISWA (NIS, NamaSiswa, ProgamJurusan, LevelTahap) "
                                              "values (?, ?, ?, 'DASAR')"));
    for (int i = 1; ok && i <= BenchClassSize; ++i) {
        query.addBindValue(QStringLiteral("KLS%1").arg(i, 4, 10, QLatin1Char('0')));
        query.addBindValue(QStringLiteral("SISWA KELAS %1").arg(i));
        query.addBindValue(BenchProgramme);
        ok = query.exec();
    }
    ok = runStatement(QStringLiteral("commit")) && ok;
    if (!ok)
        state.SkipWithError("the benchmark class could not be added");
    return ok;
}

// The class grade screen with the benchmark class shown for subject MP001.
pel::frmnilaikelas *openClassGrades(benchmark::State &state)
{
    if (!openDatabase(state) || !addBenchClass(state))
        return nullptr;
    auto *screen = pel::ui::showScreen<pel::frmnilaikelas>();
    if (!shown(screen)) {
        state.SkipWithError("screen not shown");
        return nullptr;
    }
    named<QLineEdit>(screen, "txtkopel")->setText(QStringLiteral("MP001"));
    auto *programme = named<QComboBox>(screen, "cmbProgram");
    programme->setCurrentIndex(programme->findText(BenchProgramme));
    screen->cmdTampil_Click();
    settle();
    if (!noUnexpectedMessage(state))
        return nullptr;
    if (screen->gradeModel()->rowCount() != BenchClassSize) {
        state.SkipWithError("the class is not shown whole");
        return nullptr;
    }
    return screen;
}

void closeClassGrades()
{
    // Deleted, not closed: unsaved scores are left without a question.
    closeScreen<pel::frmnilaikelas>();
    removeBenchClass();
}

// "&Tampilkan" on the class grade screen: the class of 2,000 picked out of
// every student, with their grades for the subject, in the grid, painted.
void ClassGradeShow(benchmark::State &state)
{
    pel::frmnilaikelas *screen = openClassGrades(state);
    if (!screen) {
        closeClassGrades();
        return;
    }
    const double before = resetPeakMemory();
    for (auto _ : state) {
        screen->cmdTampil_Click();
        settle();
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    state.counters["rows"] = screen->gradeModel()->rowCount();
    closeClassGrades();
}

// "Save" on the class grade screen with a score typed for each of the 2,000
// students: 2,000 new rows, each under a registration number of its own, in
// one transaction. The rows are removed between runs.
void ClassGradeSave(benchmark::State &state)
{
    pel::frmnilaikelas *screen = openClassGrades(state);
    if (!screen) {
        closeClassGrades();
        return;
    }
    pel::grades::ClassGradeModel *model = screen->gradeModel();
    const QString expected = QStringLiteral("Ditambah : %1").arg(BenchClassSize);
    const double before = resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        runStatement(QStringLiteral("delete from Nilai where Nis >= 'KLS' and Nis < 'KLT'"));
        screen->cmdTampil_Click();
        for (int row = 0; row < model->rowCount(); ++row)
            model->setData(model->index(row, pel::grades::ClassGradeModel::Score), QString::number(35 + row % 66));
        state.ResumeTiming();
        screen->cmdSimpan_Click();
        // One message, the summary of the rows added.
        const QString said = shownMessages.isEmpty() ? QString() : shownMessages.last().text;
        if (shownMessages.size() != 1 || !said.contains(expected)) {
            state.SkipWithError(("not saved: " + said.toStdString()).c_str());
            break;
        }
        shownMessages.clear();
    }
    reportMemory(state, before);
    closeClassGrades();
}

// Until the statistics screen has shown the view under way.
bool viewShown(pel::frmStatistik *screen)
{
    if (screen->isBusy()) {
        QEventLoop loop;
        QObject::connect(screen, &pel::frmStatistik::viewFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    settle();
    return !screen->isBusy();
}

// A view of the statistics screen: "Tampilkan", the figures computed on the
// screen's own thread and connection, until the grid and the chart show
// them, painted.
void statsView(benchmark::State &state, pel::stats::View view)
{
    if (!openDatabase(state))
        return;
    auto *screen = pel::ui::showScreen<pel::frmStatistik>();
    if (!shown(screen) || !viewShown(screen)) {
        state.SkipWithError("screen not shown");
        return;
    }
    named<QTabWidget>(screen, "tabStatistik")->setCurrentIndex(int(view));
    viewShown(screen);
    const double before = resetPeakMemory();
    for (auto _ : state) {
        screen->cmdTampil_Click();
        viewShown(screen);
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    if (const pel::stats::Figure *figure = screen->figure(view))
        state.counters["rows"] = double(figure->table.rows.size());
    else
        state.SkipWithError("no figures");
    closeScreen<pel::frmStatistik>();
}

void StatsSubjects(benchmark::State &state)
{
    statsView(state, pel::stats::View::Subjects);
}

void StatsIpk(benchmark::State &state)
{
    statsView(state, pel::stats::View::Ipk);
}

void StatsIntake(benchmark::State &state)
{
    statsView(state, pel::stats::View::Intake);
}

void StatsInstructors(benchmark::State &state)
{
    statsView(state, pel::stats::View::Instructors);
}

// The figures of a view alone, on the program's connection, without the screen.
void statsNoScreen(benchmark::State &state, pel::stats::View view)
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    for (auto _ : state) {
        pel::stats::Table table;
        if (const pel::db::Result read = pel::stats::readView(pel::dbConnection, view, {}, &table); !read.ok()) {
            state.SkipWithError(read.reason.toStdString().c_str());
            break;
        }
    }
    reportMemory(state, before);
}

void Detail_StatsSubjectsNoScreen(benchmark::State &state)
{
    statsNoScreen(state, pel::stats::View::Subjects);
}

void Detail_StatsIpkNoScreen(benchmark::State &state)
{
    statsNoScreen(state, pel::stats::View::Ipk);
}

// "&All" on the search screen: every student into the grid, its first rows
// painted (the grid reads the others as it is scrolled to them).
void SearchAll(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    auto *screen = pel::ui::showScreen<pel::FrmCari>();
    if (!shown(screen)) {
        state.SkipWithError("screen not shown");
        return;
    }
    auto *all = named<QPushButton>(screen, "cmdRef");
    auto *grid = named<QTableView>(screen, "dgData");
    const double before = resetPeakMemory();
    for (auto _ : state) {
        all->click();
        settle();
        if (!noUnexpectedMessage(state))
            break;
    }
    reportMemory(state, before);
    state.counters["rows"] = grid->model()->rowCount();
    closeScreen<pel::FrmCari>();
}

// ---- details: where the time of the whole-table operations goes ------------

// A statement opened on the shared recordset: every row read to the client.
void recordsetOpen(benchmark::State &state, const QString &sql)
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    pel::db::Recordset rows;
    for (auto _ : state) {
        if (const pel::db::Result opened = rows.open(sql, pel::dbConnection); !opened.ok()) {
            state.SkipWithError(pel::db::failureMessage(opened).toStdString().c_str());
            break;
        }
    }
    state.counters["rows"] = rows.recordCount();
    reportMemory(state, before);
}

void Detail_StudentListQuery(benchmark::State &state)
{
    recordsetOpen(state, pel::reports::store::studentListSql());
}

void Detail_SearchAllQuery(benchmark::State &state)
{
    recordsetOpen(state, pel::db::listAllStudentsStatement());
}

// A file report without the screen: query, text and file.
void reportRunner(benchmark::State &state,
                  pel::reports::ReportResult (*run)(const pel::db::Connection &, const QDate &,
                                                    const pel::reports::FileReportOptions &))
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    for (auto _ : state) {
        const pel::reports::ReportResult result = run(pel::dbConnection, QDate::currentDate(), {});
        if (!result.done()) {
            state.SkipWithError(pel::db::failureMessage(result.result).toStdString().c_str());
            break;
        }
    }
    reportMemory(state, before);
}

void Detail_StudentListNoScreen(benchmark::State &state)
{
    reportRunner(state, pel::reports::writeStudentList);
}

void Detail_IpkListNoScreen(benchmark::State &state)
{
    reportRunner(state, pel::reports::writeIpkList);
}

// A grade statement without the screen: query and text.
void Detail_GradeStatementNoScreen(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    const double before = resetPeakMemory();
    for (auto _ : state) {
        const pel::reports::ReportResult result = pel::reports::runGradeStatement(pel::dbConnection, SampleNis, QDate::currentDate());
        if (!result.done()) {
            state.SkipWithError(pel::db::failureMessage(result.result).toStdString().c_str());
            break;
        }
    }
    reportMemory(state, before);
}

// The student list's whole text put into a viewer like the report screen's,
// as the screen does: from the report's UTF-8 bytes.
void Detail_StudentListViewer(benchmark::State &state)
{
    if (!openDatabase(state))
        return;
    QByteArray text;
    pel::reports::FileReportOptions options;
    options.keepText = false;
    options.utf8Text = &text;
    const pel::reports::ReportResult result = pel::reports::writeStudentList(pel::dbConnection, QDate::currentDate(), options);
    if (!result.done()) {
        state.SkipWithError(pel::db::failureMessage(result.result).toStdString().c_str());
        return;
    }
    pel::frmLaporan *screen = openReportScreen(state);
    if (!screen)
        return;
    auto *viewer = named<pel::ui::ReportViewer>(screen, "rtfLap2");
    const double before = resetPeakMemory();
    for (auto _ : state) {
        viewer->setUtf8(text);
        settle();
    }
    reportMemory(state, before);
    closeScreen<pel::frmLaporan>();
}

// One report cell made by the shared formatter: a name in a text cell, a
// stored date in a date cell, a count in a number cell.
void Detail_CellName(benchmark::State &state)
{
    const QVariant name(QStringLiteral("LESTARI SIMANJU"));
    for (auto _ : state)
        benchmark::DoNotOptimize(pel::PadRightFormat(name, QStringLiteral("##############")));
}

void Detail_CellDate(benchmark::State &state)
{
    const QVariant date(QStringLiteral("22-08-1978"));
    for (auto _ : state)
        benchmark::DoNotOptimize(pel::PadRightFormat(date, QStringLiteral("dd-mm-yyyy")));
}

void Detail_CellCount(benchmark::State &state)
{
    const QVariant count(12345);
    for (auto _ : state)
        benchmark::DoNotOptimize(pel::PadRightFormat(count, QStringLiteral("###,###")));
}

// ---- import: the program's checked import and the shell's .import ---------
//
// Both read the same CSV files (made once from SISWA.mdb, in import/) into
// a fresh copy of the same database: students into an empty one, grades
// into one that holds the students and subjects but no grades.

struct ImportFiles
{
    QString students;     // import/students.csv: every student
    QString grades;       // import/grades.csv: every grade row, the columns of Nilai
    QString empty;        // import/empty.mdb: the schema
    QString withStudents; // import/base.mdb: students and subjects, no grades
    QString error;
};

// The rows of a query as CSV lines without a byte-order mark (the shell
// reads the first column's name with it otherwise), numbers in C form.
bool writeCsv(const QString &path, const QString &sql)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QSqlQuery query(pel::dbConnection.database());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return false;
    QStringList cells;
    for (int i = 0; i < query.record().count(); ++i)
        cells << query.record().fieldName(i);
    file.write(pel::transfer::CsvLine(cells, ','));
    QByteArray buffer;
    while (query.next()) {
        cells.clear();
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            cells << (value.metaType().id() == QMetaType::Double
                          ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
                          : value.toString());
        }
        buffer += pel::transfer::CsvLine(cells, ',');
        if (buffer.size() > (1 << 20)) {
            file.write(buffer);
            buffer.clear();
        }
    }
    return file.write(buffer) == buffer.size();
}

const ImportFiles &importFiles()
{
    static const ImportFiles files = [] {
        ImportFiles f;
        QDir().mkpath(QStringLiteral("import"));
        f.students = QStringLiteral("import/students.csv");
        f.grades = QStringLiteral("import/grades.csv");
        f.empty = QStringLiteral("import/empty.mdb");
        f.withStudents = QStringLiteral("import/base.mdb");
        if (QFile::exists(f.withStudents))
            return f;
        if (!pel::dbConnection.isOpen()) {
            if (const pel::db::Result opened = pel::OpenDatabase(); !opened.ok()) {
                f.error = pel::db::failureMessage(opened);
                return f;
            }
        }
        pel::db::Result created = pel::db::createDatabase(f.empty);
        if (created.ok())
            created = pel::db::createDatabase(f.withStudents + ".new");
        if (!writeCsv(f.students, QStringLiteral("select * from SISWA order by rowid"))
            || !writeCsv(f.grades, QStringLiteral("select * from Nilai order by rowid")) || !created.ok()) {
            f.error = QStringLiteral("import files: ") + pel::db::failureMessage(created);
            return f;
        }
        QSqlQuery query(pel::dbConnection.database());
        const QString attach = QStringLiteral("attach database '%1' as target").arg(f.withStudents + ".new");
        if (!query.exec(attach) || !query.exec(QStringLiteral("insert into target.SISWA select * from SISWA"))
            || !query.exec(QStringLiteral("insert into target.Pelajaran select * from Pelajaran"))
            || !query.exec(QStringLiteral("detach database target"))
            || !QFile::rename(f.withStudents + ".new", f.withStudents))
            f.error = QStringLiteral("import files: ") + query.lastError().text();
        return f;
    }();
    return files;
}

// A fresh copy of a database for one import.
bool freshCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

void importBenchmark(benchmark::State &state, pel::transfer::Table table)
{
    const ImportFiles &files = importFiles();
    if (!files.error.isEmpty()) {
        state.SkipWithError(files.error.toStdString().c_str());
        return;
    }
    const bool grades = table == pel::transfer::Table::Grades;
    const QString copy = QStringLiteral("import/target.mdb");
    double before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pel::db::Connection target;
        if (!freshCopy(grades ? files.withStudents : files.empty, copy) || !target.open(copy).ok()) {
            state.SkipWithError("no copy of the database");
            break;
        }
        before = resetPeakMemory();
        state.ResumeTiming();
        const pel::transfer::ImportReport report =
            pel::transfer::importFile(target, table, grades ? files.grades : files.students, {});
        if (!report.accepted()) {
            state.SkipWithError((report.problems.isEmpty() ? report.result.reason
                                                           : pel::transfer::problemText(report.problems.first()))
                                    .toStdString()
                                    .c_str());
            break;
        }
    }
    reportMemory(state, before);
}

void ImportStudents(benchmark::State &state)
{
    importBenchmark(state, pel::transfer::Table::Students);
}

void ImportGrades(benchmark::State &state)
{
    importBenchmark(state, pel::transfer::Table::Grades);
}

void importFloor(benchmark::State &state, pel::transfer::Table table)
{
    const ImportFiles &files = importFiles();
    if (!files.error.isEmpty()) {
        state.SkipWithError(files.error.toStdString().c_str());
        return;
    }
    const bool grades = table == pel::transfer::Table::Grades;
    const QString copy = QStringLiteral("import/target.mdb");
    const QString script = pel::bench::importFloorScript(grades ? files.grades : files.students,
                                                         grades ? QStringLiteral("Nilai") : QStringLiteral("SISWA"));
    double peak = 0;
    double processor = 0;
    for (auto _ : state) {
        if (!freshCopy(grades ? files.withStudents : files.empty, copy)) {
            state.SkipWithError("no copy of the database");
            break;
        }
        const pel::bench::ShellRun run = pel::bench::runShell(
            QCoreApplication::applicationDirPath() + QStringLiteral("/pelitaksa-bench-shell"), copy, script);
        if (!run.ok) {
            state.SkipWithError(run.error.toStdString().c_str());
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = qMax(peak, run.peakMegabytes);
        processor += run.processorSeconds;
    }
    state.counters["peak_MB"] = peak;
    state.counters["cpu_s"] = processorPerOperation(state, processor);
    state.counters["before_MB"] = 0;
}

void Floor_ImportStudents(benchmark::State &state)
{
    importFloor(state, pel::transfer::Table::Students);
}

void Floor_ImportGrades(benchmark::State &state)
{
    importFloor(state, pel::transfer::Table::Grades);
}

// ---- the floors: the sqlite3 shell on the same file ------------------------

// The rows of a file report, for its footer: students, or students with grades.
int reportRows(pel::bench::Floor which)
{
    const QString sql = which == pel::bench::Floor::StudentList ? QStringLiteral("select count(*) from SISWA")
                        : which == pel::bench::Floor::IpkList   ? QStringLiteral("select count(distinct Nis) from Nilai")
                                                                : QString();
    pel::db::Recordset count;
    if (sql.isEmpty() || !(pel::dbConnection.isOpen() || pel::OpenDatabase().ok()) || !count.open(sql, pel::dbConnection).ok())
        return 0;
    return count.value(0).toInt();
}

void floor(benchmark::State &state, pel::bench::Floor which)
{
    const pel::bench::FloorScript script = pel::bench::floorScript(which, SampleNis, reportRows(which));
    double peak = 0;
    double processor = 0;
    for (auto _ : state) {
        const pel::bench::ShellRun run = pel::bench::runShell(
            QCoreApplication::applicationDirPath() + QStringLiteral("/pelitaksa-bench-shell"), QStringLiteral("SISWA.mdb"),
            script.text);
        if (!run.ok) {
            state.SkipWithError(run.error.toStdString().c_str());
            break;
        }
        state.SetIterationTime(run.seconds / script.repeats);
        peak = qMax(peak, run.peakMegabytes);
        processor += run.processorSeconds / script.repeats;
    }
    state.counters["peak_MB"] = peak;
    state.counters["cpu_s"] = processorPerOperation(state, processor);
    state.counters["before_MB"] = 0;
}

// Prints the console table and writes one line per benchmark,
// "name<TAB>seconds per operation<TAB>peak MB<TAB>iterations<TAB>error<TAB>
// processor seconds per operation", to the file named by
// PELITAKSA_BENCH_RESULTS. The processor time is that of the measured
// process: this one's, or (counter cpu_s) that of the program or shell it
// started.
class Reporter : public benchmark::ConsoleReporter
{
public:
    Reporter() : benchmark::ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        benchmark::ConsoleReporter::ReportRuns(runs);
        const QByteArray path = qgetenv("PELITAKSA_BENCH_RESULTS");
        if (path.isEmpty())
            return;
        FILE *out = std::fopen(path.constData(), "a");
        if (!out)
            return;
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const double perOperation = run.iterations > 0 ? run.real_accumulated_time / double(run.iterations) : 0;
            const auto peak = run.counters.find("peak_MB");
            const auto started = run.counters.find("cpu_s");
            const double processor = started != run.counters.end() ? double(started->second.value)
                                     : run.iterations > 0 ? run.cpu_accumulated_time / double(run.iterations)
                                                          : 0;
            std::fprintf(out, "%s\t%.9f\t%.1f\t%lld\t%s\t%.9f\n", run.benchmark_name().c_str(), perOperation,
                         peak == run.counters.end() ? 0.0 : double(peak->second.value), (long long)run.iterations,
                         run.error_occurred ? run.error_message.c_str() : "", processor);
        }
        std::fclose(out);
    }
};

} // namespace

// Heavy operations run a fixed, small number of times; the quick ones as
// often as half a second allows.
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Login)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUpProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(FirstStartOfDayProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(LaterStartOfDayProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(LoginProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(ReportScreenOpen)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(StudentList)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(IpkList)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ToolStudentList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ToolIpkList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(GradeStatement)->Unit(benchmark::kMillisecond);
BENCHMARK(Certificate)->Unit(benchmark::kMillisecond);
BENCHMARK(NextRegistrationNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK(StudentLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveGradeRow)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ClassGradeShow)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ClassGradeSave)->Unit(benchmark::kMillisecond)->Iterations(5);
// The statistics views are computed on a thread of the screen: the
// processor time is the whole process's.
BENCHMARK(StatsSubjects)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(StatsIpk)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(StatsIntake)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(StatsInstructors)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(ToolStatsSubjects)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ToolStatsIpk)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ImportStudents)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportGrades)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK(Detail_CellName)->Unit(benchmark::kMicrosecond);
BENCHMARK(Detail_CellDate)->Unit(benchmark::kMicrosecond);
BENCHMARK(Detail_CellCount)->Unit(benchmark::kMicrosecond);
BENCHMARK(Detail_GradeStatementNoScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(Detail_StudentListQuery)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Detail_StudentListNoScreen)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Detail_StudentListViewer)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Detail_IpkListNoScreen)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Detail_SearchAllQuery)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Detail_StatsSubjectsNoScreen)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Detail_StatsIpkNoScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

#define FLOOR(name, iterations)                                                                                    \
    void Floor_##name(benchmark::State &state) { floor(state, pel::bench::Floor::name); }                           \
    BENCHMARK(Floor_##name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(iterations)

FLOOR(StartUp, 5);
FLOOR(Login, 5);
// The whole program set against the whole shell doing its start-up and login.
void Floor_StartUpProcess(benchmark::State &state) { floor(state, pel::bench::Floor::StartUp); }
BENCHMARK(Floor_StartUpProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
void Floor_LoginProcess(benchmark::State &state) { floor(state, pel::bench::Floor::Login); }
BENCHMARK(Floor_LoginProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
FLOOR(ReportScreenOpen, 3);
FLOOR(StudentList, 3);
FLOOR(IpkList, 2);
// The tool's reports set against the same shell scripts as the screen's.
void Floor_ToolStudentList(benchmark::State &state) { floor(state, pel::bench::Floor::StudentList); }
BENCHMARK(Floor_ToolStudentList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
void Floor_ToolIpkList(benchmark::State &state) { floor(state, pel::bench::Floor::IpkList); }
BENCHMARK(Floor_ToolIpkList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
FLOOR(GradeStatement, 3);
FLOOR(Certificate, 3);
FLOOR(NextRegistrationNumber, 3);
FLOOR(StudentLookup, 3);
FLOOR(SaveGradeRow, 2);
FLOOR(SearchAll, 3);
FLOOR(StatsSubjects, 3);
FLOOR(StatsIpk, 3);
FLOOR(StatsIntake, 3);
FLOOR(StatsInstructors, 3);
void Floor_ToolStatsSubjects(benchmark::State &state) { floor(state, pel::bench::Floor::StatsSubjects); }
BENCHMARK(Floor_ToolStatsSubjects)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
void Floor_ToolStatsIpk(benchmark::State &state) { floor(state, pel::bench::Floor::StatsIpk); }
BENCHMARK(Floor_ToolStatsIpk)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(Floor_ImportStudents)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(Floor_ImportGrades)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PELITAKSA"));
    QApplication::setQuitOnLastWindowClosed(false);
    BenchSurroundings surroundings;
    pel::ui::installSurroundings(&surroundings);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    pel::ui::installSurroundings(nullptr);
    pel::dbConnection.close();
    return 0;
}
