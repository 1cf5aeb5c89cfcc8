// Several desks on one database at once: each desk is a process of its own
// with its own connection, running the program's stores as the screens do
// (student lookups, grade saves with the registration number check, checked
// student updates, grade statements and now and then a whole-table report)
// for a set time. Afterwards the database is checked: every save reported
// done is stored once, no registration number belongs to two students, and
// no successful update was overwritten by one that had not seen it. Prints
// the throughput and the 95th percentile of each operation's time; exits 1
// when a check fails.
//   pelitaksa-loadtest --database URL [--desks N] [--seconds S]
// (--desk I --log FILE runs one desk; the coordinating run starts them.)
#include "common/module1.h"
#include "db/failure.h"
#include "db/databaseurl.h"
#include "db/recordset.h"
#include "grades/gradestore.h"
#include "reports/reportrunner.h"
#include "students/studentstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>

using namespace pel;

namespace {

// The students every desk updates: few enough that desks meet on them.
constexpr int HotStudents = 40;
// The start of every marker this test writes, and of the hot students'
// addresses before the run.
const QString MarkerPrefix = QStringLiteral("LT-");
const QString InitialPrefix = QStringLiteral("LT-AWAL-");

int usage()
{
    std::fprintf(stderr, "usage: pelitaksa-loadtest --database URL [--desks N] [--seconds S]\n");
    return 2;
}

bool openDatabase(const QString &url, bool quiet = false)
{
    const db::DatabaseChoice choice = db::parseDatabaseUrl(url, QDir::currentPath());
    if (!choice.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(choice.error));
        return false;
    }
    ChosenDatabase = choice.target;
    if (const db::Result opened = OpenDatabase(); !opened.ok()) {
        if (!quiet)
            std::fprintf(stderr, "%s\n", qPrintable(db::failureMessage(opened).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
        return false;
    }
    return true;
}

// The values of the first column of sql, or nothing when it is refused.
QStringList column(const QString &sql, QString *error)
{
    QStringList values;
    db::Recordset rows;
    if (const db::Result read = rows.open(sql, dbConnection); !read.ok()) {
        *error = db::failureMessage(read);
        return values;
    }
    for (int row = 0; row < rows.recordCount(); ++row)
        values << rows.value(row, 0).toString();
    return values;
}

// Every NIS, and the subject codes, sorted the same way on both engines.
bool readPools(QStringList *students, QStringList *subjects, QString *error)
{
    *students = column(QStringLiteral("select NIS from SISWA"), error);
    *subjects = column(QStringLiteral("select KdMatpel from Pelajaran"), error);
    if (!error->isEmpty())
        return false;
    if (students->size() < HotStudents || subjects->isEmpty()) {
        *error = QStringLiteral("the database needs at least %1 students and one subject").arg(HotStudents);
        return false;
    }
    students->sort();
    subjects->sort();
    return true;
}

// ------------------------------------------------------------------- a desk

int runDesk(const QString &url, int desk, int seconds, const QString &logPath)
{
    QFile log(logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "desk %d: cannot write %s\n", desk, qPrintable(logPath));
        return 1;
    }
    QTextStream out(&log);
    QElapsedTimer clock;
    clock.start();
    QStringList students;
    QStringList subjects;
    QString error;
    // A file another desk holds locked refuses for a while; a desk tries
    // again as an operator would.
    while (!(dbConnection.isOpen() || openDatabase(url, true)) || !readPools(&students, &subjects, &error)) {
        if (clock.elapsed() >= qint64(seconds) * 1000) {
            std::fprintf(stderr, "desk %d: %s\n", desk,
                         qPrintable(error.isEmpty() ? QStringLiteral("database tidak dapat dibuka") : error));
            return 1;
        }
        error.clear();
        QThread::msleep(100);
    }
    QRandomGenerator random(quint32(desk) * 7919u + 17u);
    const QDate today = QDate::currentDate();
    QElapsedTimer timer;
    int sequence = 0;
    const auto outcome = [](const db::Result &result) {
        switch (result.kind) {
        case db::Result::Kind::Ok:
            return QStringLiteral("ok");
        case db::Result::Kind::Conflict:
            return QStringLiteral("conflict");
        case db::Result::Kind::NotFound:
            return QStringLiteral("notfound");
        default:
            return QStringLiteral("fail");
        }
    };
    const auto reason = [](const QString &text) { return QString(text).simplified().replace(QLatin1Char('\t'), QLatin1Char(' ')); };

    while (clock.elapsed() < qint64(seconds) * 1000) {
        ++sequence;
        const QString marker = QStringLiteral("%1%2-%3").arg(MarkerPrefix).arg(desk).arg(sequence);
        const int pick = int(random.bounded(100));
        timer.start();
        if (sequence % 400 == 0) {
            // Now and then a whole-table report, as the report screen runs it.
            reports::FileReportOptions options;
            options.keepText = false;
            const bool ipk = (sequence / 400) % 2 == 0;
            const reports::ReportResult result = ipk ? reports::writeIpkList(dbConnection, today, options)
                                                     : reports::writeStudentList(dbConnection, today, options);
            out << (ipk ? "ipklist" : "studentlist") << '\t' << timer.nsecsElapsed() / 1000 << '\t'
                << (result.done() ? "ok" : "fail") << '\t' << reason(db::failureMessage(result.result)) << '\n';
        } else if (pick < 40) {
            db::StudentRecord student;
            const db::Result found = students::FindStudent(dbConnection, students.at(random.bounded(students.size())), &student);
            out << "lookup\t" << timer.nsecsElapsed() / 1000 << '\t' << outcome(found) << '\t' << reason(found.reason)
                << '\n';
        } else if (pick < 65) {
            // A grade row under the next registration number, as the grade
            // screen draws it; the store renumbers it when another desk took it.
            db::GradeRowValues row;
            const db::Result drawn = grades::NextRegistrationNumber(dbConnection, &row.noreg);
            row.tglProses = today.toString(QStringLiteral("dd-MM-yyyy"));
            row.nis = students.at(random.bounded(students.size()));
            row.program = QStringLiteral("KOMPUTER");
            row.jenjang = QStringLiteral("DASAR");
            row.kdMatpel = subjects.at(random.bounded(subjects.size()));
            row.sks = QStringLiteral("2");
            row.tentor = marker;
            row.nilangka = QStringLiteral("80");
            row.nilhu = QStringLiteral("A");
            row.bobot = QStringLiteral("4");
            row.mutu = QStringLiteral("8");
            row.prediket = QStringLiteral("ISTIMEWA");
            row.ket = QStringLiteral("LULUS");
            QString saved;
            const db::Result result = drawn.ok() ? grades::SaveGrade(dbConnection, row, &saved) : drawn;
            out << "save\t" << timer.nsecsElapsed() / 1000 << '\t' << outcome(result) << '\t' << row.nis << '\t'
                << row.kdMatpel << '\t' << saved << '\t' << marker << '\t' << reason(result.reason) << '\n';
        } else if (pick < 85) {
            // A checked update of one of the students every desk works on.
            const QString nis = students.at(random.bounded(HotStudents));
            db::StudentRecord lookedUp;
            db::Result result = students::FindStudent(dbConnection, nis, &lookedUp);
            QString previous = lookedUp.alamat;
            if (result.ok()) {
                db::StudentRecord changed = lookedUp;
                changed.alamat = marker;
                db::StudentRecord stored;
                result = students::UpdateStudent(dbConnection, changed, &lookedUp, &stored);
            }
            out << "update\t" << timer.nsecsElapsed() / 1000 << '\t' << outcome(result) << '\t' << nis << '\t'
                << previous << '\t' << marker << '\t' << reason(result.reason) << '\n';
        } else {
            const reports::ReportResult result =
                reports::runGradeStatement(dbConnection, students.at(random.bounded(students.size())), today);
            out << "statement\t" << timer.nsecsElapsed() / 1000 << '\t'
                << (result.done() || result.result.kind == db::Result::Kind::NotFound ? "ok" : "fail") << '\t'
                << reason(db::failureMessage(result.result)) << '\n';
        }
    }
    out.flush();
    return log.error() == QFileDevice::NoError ? 0 : 1;
}

// ------------------------------------------------------------- the checks

struct Operation
{
    QStringList fields; // op, micros, outcome, ...
};

double percentile(QList<qint64> values, double share)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype index = qBound<qsizetype>(0, qsizetype(share * double(values.size()) + 0.999999) - 1,
                                              values.size() - 1);
    return double(values.at(index)) / 1000.0;
}

int coordinate(const QString &url, int desks, int seconds)
{
    if (!openDatabase(url))
        return 1;
    QStringList students;
    QStringList subjects;
    QString error;
    if (!readPools(&students, &subjects, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // The hot students start from addresses of their own, so that every
    // version of them is known by its address.
    for (int i = 0; i < HotStudents; ++i) {
        db::Recordset write;
        if (!write.open(QStringLiteral("update SISWA set Alamat = '%1%2' where NIS = '%2'")
                            .arg(InitialPrefix, QString(students.at(i)).replace(QLatin1Char('\''), QStringLiteral("''"))),
                        dbConnection).ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(db::failureMessage(write.failure())));
            return 1;
        }
    }
    const QString sharedSql = QStringLiteral(
        "select Noreg from Nilai group by Noreg having count(distinct lower(Nis)) > 1");
    const QStringList sharedBefore = column(sharedSql, &error);
    const QString engine = dbConnection.isPostgres() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite");
    dbConnection.close();

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    std::printf("%d desks for %d s on %s (%lld students, %lld subjects)\n", desks, seconds, qPrintable(engine),
                qint64(students.size()), qint64(subjects.size()));
    std::fflush(stdout);
    QElapsedTimer wall;
    wall.start();
    QList<QProcess *> processes;
    for (int desk = 1; desk <= desks; ++desk) {
        const QString folder = work.filePath(QStringLiteral("desk%1").arg(desk));
        QDir().mkpath(folder);
        auto *process = new QProcess;
        process->setWorkingDirectory(folder);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--database"), url, QStringLiteral("--desk"), QString::number(desk),
                        QStringLiteral("--seconds"), QString::number(seconds), QStringLiteral("--log"),
                        work.filePath(QStringLiteral("desk%1.log").arg(desk))});
        processes << process;
    }
    int failedDesks = 0;
    for (QProcess *process : processes) {
        if (!process->waitForFinished((seconds + 600) * 1000)) {
            process->kill();
            process->waitForFinished();
        }
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            ++failedDesks;
        delete process;
    }
    // A desk ends the operation under way when its time is up.
    const double elapsed = double(wall.elapsed()) / 1000.0;

    // What the desks were told.
    QMap<QString, QList<qint64>> times;
    QMap<QString, QMap<QString, int>> outcomes;
    QHash<QString, QStringList> savedDone;   // marker -> nis, subject, number
    QSet<QString> saveRefused;               // markers of saves reported refused
    QHash<QString, QList<std::pair<QString, QString>>> updatesDone; // nis -> (previous, new) addresses
    QMap<QString, QString> firstReasons;     // op/outcome -> the first refusal's reason
    qint64 total = 0;
    for (int desk = 1; desk <= desks; ++desk) {
        QFile log(work.filePath(QStringLiteral("desk%1.log").arg(desk)));
        if (!log.open(QIODevice::ReadOnly)) {
            ++failedDesks;
            continue;
        }
        QTextStream in(&log);
        while (!in.atEnd()) {
            const QStringList f = in.readLine().split(QLatin1Char('\t'));
            if (f.size() < 3)
                continue;
            const QString &op = f.at(0);
            const QString &result = f.at(2);
            ++total;
            times[op] << f.at(1).toLongLong();
            ++outcomes[op][result];
            if (result != QLatin1String("ok") && result != QLatin1String("conflict") && !f.last().isEmpty())
                firstReasons.insert(op + QLatin1Char('/') + result, f.last());
            if (op == QLatin1String("save") && f.size() >= 7) {
                if (result == QLatin1String("ok"))
                    savedDone.insert(f.at(6), {f.at(3), f.at(4), f.at(5)});
                else
                    saveRefused.insert(f.at(6));
            } else if (op == QLatin1String("update") && f.size() >= 6 && result == QLatin1String("ok")) {
                updatesDone[f.at(3)].append({f.at(4), f.at(5)});
            }
        }
    }

    // What the database holds.
    if (!openDatabase(url))
        return 1;
    bool ok = failedDesks == 0;
    QStringList problems;
    if (failedDesks)
        problems << QStringLiteral("%1 desks did not finish").arg(failedDesks);

    QHash<QString, QList<QStringList>> stored; // marker -> rows
    {
        db::Recordset rows;
        if (!rows.open(QStringLiteral("select Tentor, Nis, KdMatpel, Noreg from Nilai where Tentor like 'LT-%'"),
                       dbConnection).ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(db::failureMessage(rows.failure())));
            return 1;
        }
        for (int row = 0; row < rows.recordCount(); ++row)
            stored[rows.value(row, 0).toString()].append(
                {rows.value(row, 1).toString(), rows.value(row, 2).toString(), rows.value(row, 3).toString()});
    }
    int lost = 0;
    int wrong = 0;
    for (auto it = savedDone.cbegin(); it != savedDone.cend(); ++it) {
        const QList<QStringList> rows = stored.value(it.key());
        if (rows.isEmpty())
            ++lost;
        else if (rows.size() != 1 || rows.first().at(0).compare(it->at(0), Qt::CaseInsensitive) != 0
                 || rows.first().at(1).compare(it->at(1), Qt::CaseInsensitive) != 0 || rows.first().at(2) != it->at(2))
            ++wrong;
    }
    int storedThoughRefused = 0;
    for (const QString &marker : saveRefused)
        if (stored.contains(marker))
            ++storedThoughRefused;
    if (lost)
        problems << QStringLiteral("%1 saves reported done are missing").arg(lost);
    if (wrong)
        problems << QStringLiteral("%1 saves reported done are stored otherwise than reported").arg(wrong);
    if (storedThoughRefused)
        problems << QStringLiteral("%1 saves reported refused are stored").arg(storedThoughRefused);

    const QStringList sharedAfter = column(sharedSql, &error);
    QStringList newlyShared;
    for (const QString &number : sharedAfter)
        if (!sharedBefore.contains(number))
            newlyShared << number;
    if (!error.isEmpty())
        problems << error;
    if (!newlyShared.isEmpty())
        problems << QStringLiteral("%1 registration numbers belong to two students: %2")
                        .arg(newlyShared.size())
                        .arg(newlyShared.mid(0, 5).join(QStringLiteral(", ")));

    // The successful updates of a student form one chain from its address
    // before the run to the address stored now: each one saw the one before.
    // Two of them that saw the same version mean that one overwrote the
    // other without seeing it.
    int overwritten = 0;
    int brokenChains = 0;
    for (int i = 0; i < HotStudents; ++i) {
        const QString &nis = students.at(i);
        const QList<std::pair<QString, QString>> done = updatesDone.value(nis);
        QHash<QString, QString> next;
        for (const auto &[previous, written] : done) {
            if (next.contains(previous))
                ++overwritten;
            next.insert(previous, written);
        }
        QString address = InitialPrefix + nis;
        int steps = 0;
        while (next.contains(address) && steps <= done.size()) {
            address = next.value(address);
            ++steps;
        }
        db::StudentRecord now;
        students::FindStudent(dbConnection, nis, &now);
        if (steps != done.size() || now.alamat != address)
            ++brokenChains;
    }
    if (overwritten)
        problems << QStringLiteral("%1 successful updates were overwritten by an update that had not seen them")
                        .arg(overwritten);
    if (brokenChains)
        problems << QStringLiteral("%1 students' stored values are not the last of their successful updates")
                        .arg(brokenChains);
    ok = ok && problems.isEmpty();

    // The figures.
    std::printf("\n%-12s %8s %8s %9s %7s %10s %10s\n", "operation", "count", "ok", "conflict", "failed", "median ms",
                "p95 ms");
    for (auto it = times.cbegin(); it != times.cend(); ++it) {
        const QMap<QString, int> &counts = outcomes.value(it.key());
        int failed = 0;
        for (auto c = counts.cbegin(); c != counts.cend(); ++c)
            if (c.key() != QLatin1String("ok") && c.key() != QLatin1String("conflict"))
                failed += c.value();
        std::printf("%-12s %8lld %8d %9d %7d %10.1f %10.1f\n", qPrintable(it.key()), qint64(it->size()),
                    counts.value(QStringLiteral("ok")), counts.value(QStringLiteral("conflict")), failed,
                    percentile(*it, 0.5), percentile(*it, 0.95));
    }
    std::printf("\nthroughput: %.1f operations per second (%lld in %.1f s, %d desks)\n", double(total) / elapsed, total,
                elapsed, desks);
    for (auto it = firstReasons.cbegin(); it != firstReasons.cend(); ++it)
        std::printf("refusal %s, for example: %s\n", qPrintable(it.key()), qPrintable(it.value().left(200)));
    std::printf("\nchecks: %lld saves reported done, all stored once: %s; registration numbers of two students: %lld; "
                "successful updates overwritten: %d\n",
                qint64(savedDone.size()), lost + wrong == 0 ? "yes" : "NO", qint64(newlyShared.size()), overwritten);
    if (!ok) {
        for (const QString &problem : problems)
            std::printf("FAILED: %s\n", qPrintable(problem));
        return 1;
    }
    std::printf("all checks passed\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString url;
    QString logPath;
    int desks = 20;
    int seconds = 60;
    int desk = 0;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (args.isEmpty())
            return usage();
        const QString value = args.takeFirst();
        bool number = true;
        if (arg == QLatin1String("--database"))
            url = value;
        else if (arg == QLatin1String("--log"))
            logPath = value;
        else if (arg == QLatin1String("--desks"))
            desks = value.toInt(&number);
        else if (arg == QLatin1String("--seconds"))
            seconds = value.toInt(&number);
        else if (arg == QLatin1String("--desk"))
            desk = value.toInt(&number);
        else
            return usage();
        if (!number)
            return usage();
    }
    if (url.isEmpty() || desks < 1 || seconds < 1)
        return usage();
    if (desk > 0) {
        if (logPath.isEmpty())
            return usage();
        return runDesk(url, desk, seconds, logPath);
    }
    return coordinate(url, desks, seconds);
}
