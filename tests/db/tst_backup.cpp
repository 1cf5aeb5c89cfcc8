// Backups and restores of the database file, and the short lines that name
// why a database or file call failed.
#include "common/module1.h"
#include "db/backup.h"
#include "db/dailybackup.h"
#include "db/failure.h"
#include "db/result.h"
#include "db/schema.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>

#include <sys/stat.h>

using namespace pel;

namespace {

const QDateTime Morning(QDate(2026, 12, 7), QTime(9, 30, 15));

unsigned modeOf(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void backupIsACheckedPrivateCopy();
    void dailyCopyInStepsWhileAnotherDeskWrites();
    void dailyCopyStopsWhenAsked();
    void dailyBackupInTheBackground();
    void onlyTheNewestAreKept();
    void keepSetting_data();
    void keepSetting();
    void restoreKeepsTheCurrentDatabaseFirst();
    void restoreRefusesWhileInUse();
    void restoreRefusesBadFiles_data();
    void restoreRefusesBadFiles();
    void causes_data();
    void causes();
    void storeResultCauses_data();
    void storeResultCauses();
    void fullDiskIsNamed();
    void messageLines();
};

void TestBackup::backupIsACheckedPrivateCopy()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("S1"));
    QVERIFY(db::backupDue(db.filePath(), Morning.date()));
    QString path;
    const db::Result made = db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &path);
    QVERIFY2(made.ok(), qPrintable(db::failureMessage(made)));
    QCOMPARE(path, db.folder() + QStringLiteral("/backup/SISWA-20261207-093015.mdb"));
    QCOMPARE(modeOf(path), 0600u);
    QVERIFY(!db::backupDue(db.filePath(), Morning.date()));
    QVERIFY(db::backupDue(db.filePath(), Morning.date().addDays(1)));
    // A second copy within the same second gets a name of its own.
    QVERIFY(db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &path).ok());
    QCOMPARE(path, db.folder() + QStringLiteral("/backup/SISWA-20261207-093015-2.mdb"));

    dbConnection.close();
    QVERIFY(dbConnection.open(path).ok());
    QCOMPARE(db.scalar(QStringLiteral("select NIS from SISWA")).toString(), QStringLiteral("S1"));
}

void TestBackup::dailyCopyInStepsWhileAnotherDeskWrites()
{
    test::TestDatabase db;
    for (int i = 0; i < 100; ++i)
        db.addStudent(QStringLiteral("S%1").arg(i), QString(200, QLatin1Char('N')));
    // Another desk saves students all the while the copy is made a page at
    // a time: each save makes the copy start over, until it reads the rest
    // in one step.
    std::atomic_bool copying{true};
    std::atomic_int saved{0};
    QThread *desk = QThread::create([&db, &copying, &saved] {
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("desk"));
            other.setDatabaseName(db.filePath());
            other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            other.open();
            for (int i = 0; copying && i < 100000; ++i) {
                if (QSqlQuery(other).exec(QStringLiteral("insert into SISWA (NIS) values ('D%1')").arg(i)))
                    ++saved;
                QThread::msleep(20);
            }
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("desk"));
    });
    desk->start();
    while (saved < 3)
        QThread::msleep(1);
    db::BackupPace pace = db::DailyBackup::pace(nullptr);
    pace.pagesPerStep = 1;
    pace.pauseMs = 5;
    QString path;
    const db::Result made = db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &path, pace);
    QVERIFY2(made.ok(), qPrintable(db::failureMessage(made)));
    copying = false;
    desk->wait();
    delete desk;
    QVERIFY(saved > 3);

    // A whole, checked copy of the database as it stood at some moment.
    dbConnection.close();
    QVERIFY(dbConnection.open(path).ok());
    const int copied = db.scalar(QStringLiteral("select count(*) from SISWA where NIS like 'S%'")).toInt();
    QCOMPARE(copied, 100);
    QVERIFY(db.scalar(QStringLiteral("select count(*) from SISWA where NIS like 'D%'")).toInt() <= saved);
}

void TestBackup::dailyCopyStopsWhenAsked()
{
    test::TestDatabase db;
    const std::atomic_bool stop{true};
    QString path;
    const QString error =
        db::failureMessage(db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &path,
                                         db::DailyBackup::pace(&stop)));
    QVERIFY2(error.contains(QStringLiteral("penyalinan dihentikan")), qPrintable(error));
    QCOMPARE(QDir(db.folder() + QStringLiteral("/backup")).entryList(QDir::Files), QStringList());
}

void TestBackup::dailyBackupInTheBackground()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("S1"));
    const QDir backups(db.folder() + QStringLiteral("/backup"));
    {
        // Made on a thread of its own; told on this one.
        db::DailyBackup backup(db.filePath(), Morning, 30);
        QSignalSpy finished(&backup, &db::DailyBackup::finished);
        QVERIFY(finished.wait());
        QVERIFY(finished.first().at(0).value<db::Result>().ok());
        QCOMPARE(finished.first().at(1).toString(), backups.filePath(QStringLiteral("SISWA-20261207-093015.mdb")));
    }
    QVERIFY(QFile::remove(backups.filePath(QStringLiteral("SISWA-20261207-093015.mdb"))));

    // Another desk holds the database: the copy waits. Gone before it could
    // be made (the main window closed, the program ended), it leaves no file.
    QSqlDatabase desk = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("desk"));
    desk.setDatabaseName(db.filePath());
    QVERIFY(desk.open());
    QVERIFY(QSqlQuery(desk).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    {
        db::DailyBackup backup(db.filePath(), Morning, 30);
        QSignalSpy finished(&backup, &db::DailyBackup::finished);
        QTest::qWait(300);
        QVERIFY(backup.running());
        QCOMPARE(finished.count(), 0);
    }
    QVERIFY(QSqlQuery(desk).exec(QStringLiteral("ROLLBACK")));
    desk.close();
    desk = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("desk"));
    QCOMPARE(backups.entryList(QDir::Files), QStringList());
}

void TestBackup::onlyTheNewestAreKept()
{
    test::TestDatabase db;
    for (int day = 1; day <= 5; ++day)
        QVERIFY(db::backupNow(dbConnection.database(), db.filePath(), Morning.addDays(day), 3, nullptr).ok());
    QCOMPARE(QDir(db::backupFolder(db.filePath())).entryList(QDir::Files, QDir::Name),
             QStringList({"SISWA-20261210-093015.mdb", "SISWA-20261211-093015.mdb", "SISWA-20261212-093015.mdb"}));
}

void TestBackup::keepSetting_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<int>("keep");
    QTest::newRow("no file") << QString() << 30;
    QTest::newRow("set") << "[backup]\nkeep=7\n" << 7;
    QTest::newRow("not a number") << "[backup]\nkeep=banyak\n" << 30;
    QTest::newRow("zero") << "[backup]\nkeep=0\n" << 30;
}

void TestBackup::keepSetting()
{
    QFETCH(QString, ini);
    QFETCH(int, keep);
    test::TestDatabase db(false);
    if (!ini.isNull()) {
        QFile file(QStringLiteral("pelitaksa.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini.toUtf8());
    }
    QCOMPARE(db::backupsToKeep(), keep);
}

void TestBackup::restoreKeepsTheCurrentDatabaseFirst()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("LAMA"));
    QString saved;
    QVERIFY(db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &saved).ok());
    db.addStudent(QStringLiteral("BARU"));
    dbConnection.close();

    QString current;
    const db::Result restored = db::restoreDatabase(saved, db.filePath(), Morning.addSecs(60), 30, &current);
    QVERIFY2(restored.ok(), qPrintable(db::failureMessage(restored)));
    QCOMPARE(modeOf(db.filePath()), 0600u);
    QVERIFY(OpenDatabase().ok());
    QCOMPARE(db.rows(QStringLiteral("select NIS from SISWA")), (QList<QVariantList>{{QStringLiteral("LAMA")}}));
    dbConnection.close();
    QVERIFY(dbConnection.open(current).ok());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 2);
}

void TestBackup::restoreRefusesWhileInUse()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("S1"));
    QString saved;
    QVERIFY(db::backupNow(dbConnection.database(), db.filePath(), Morning, 30, &saved).ok());
    db.addStudent(QStringLiteral("S2"));
    const db::Result restored = db::restoreDatabase(saved, db.filePath(), Morning, 30, nullptr);
    QCOMPARE(restored.cause, db::Cause::InUse);
    QVERIFY(db::failureMessage(restored).contains(db::causeLine(db::Cause::InUse)));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 2);
}

void TestBackup::restoreRefusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a database") << QByteArray("Data Siswa\n") << QString() << db::causeLine(db::Cause::NotOurDatabase);
    QTest::newRow("another database") << QByteArray() << "create table lain (x)" << "tabel SISWA tidak ada";
    QTest::newRow("newer") << QByteArray() << QStringLiteral("PRAGMA user_version = 99") << "versi program yang lebih baru";
}

void TestBackup::restoreRefusesBadFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, statement);
    QFETCH(QString, reason);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("S1"));
    const QString from = db.folder() + QStringLiteral("/salinan.mdb");
    if (statement.isEmpty()) {
        QFile file(from);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    } else if (statement.startsWith(QStringLiteral("PRAGMA"))) {
        QVERIFY(db::backupDatabase(dbConnection.database(), from).ok());
        QSqlQuery(dbConnection.database()).exec(QStringLiteral("attach '%1' as salinan").arg(from));
        QVERIFY(QSqlQuery(dbConnection.database()).exec(QStringLiteral("PRAGMA salinan.user_version = 99")));
        QSqlQuery(dbConnection.database()).exec(QStringLiteral("detach salinan"));
    } else {
        QSqlQuery(dbConnection.database()).exec(QStringLiteral("attach '%1' as salinan").arg(from));
        QVERIFY(QSqlQuery(dbConnection.database()).exec(QStringLiteral("create table salinan.lain (x)")));
        QSqlQuery(dbConnection.database()).exec(QStringLiteral("detach salinan"));
    }
    dbConnection.close();
    const QString error = db::failureMessage(db::restoreDatabase(from, db.filePath(), Morning, 30, nullptr));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(error.contains(from));
    QVERIFY(OpenDatabase().ok());
    QCOMPARE(db.scalar(QStringLiteral("select NIS from SISWA")).toString(), QStringLiteral("S1"));
}

void TestBackup::causes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("cause");
    auto row = [](const char *name, const char *text, const char *code, db::Cause cause) {
        QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(code) << int(cause);
    };
    // SQLite's extended result codes, as its driver passes them on.
    row("key", "UNIQUE constraint failed: SISWA.NIS", "2067", db::Cause::DuplicateKey);
    row("primary key", "UNIQUE constraint failed: Pelajaran.KdMatpel", "1555", db::Cause::DuplicateKey);
    row("text in a number", "cannot store TEXT value in REAL column Pelajaran.SKS", "3091", db::Cause::NotANumber);
    row("infinite", "CHECK constraint failed: SKS >= 0 AND SKS < 9e999", "275", db::Cause::NotANumber);
    row("empty key", "CHECK constraint failed: NIS <> ''", "275", db::Cause::EmptyKey);
    row("no key", "NOT NULL constraint failed: SISWA.NIS", "1299", db::Cause::EmptyKey);
    row("referenced", "FOREIGN KEY constraint failed", "787", db::Cause::Referenced);
    row("locked", "database is locked", "5", db::Cause::InUse);
    row("locked, extended", "", "517", db::Cause::InUse);
    row("full", "database or disk is full", "13", db::Cause::DiskFull);
    row("not a database", "file is not a database", "26", db::Cause::NotOurDatabase);
    row("damaged", "database disk image is malformed", "11", db::Cause::Damaged);
    row("read-only", "attempt to write a readonly database", "8", db::Cause::NotWritable);
    row("cannot open", "unable to open database file", "14", db::Cause::NotWritable);
    row("other", "near \"selec\": syntax error", "1", db::Cause::Other);
    // The words alone decide nothing: a text that only reads like a cause
    // is no more than the engine's detail.
    row("words without a code", "database is locked", "", db::Cause::Other);
    // A server's SQLSTATE, as its native code or at the end of the text.
    row("empty key on a server", "new row for relation \"pelajaran\" violates check constraint "
                                 "\"pelajaran_kdmatpel_check\"", "23514", db::Cause::EmptyKey);
    row("text in a number on a server", "ERROR:  invalid input syntax for type double precision: \"TIGA\"\n(22P02)",
        "", db::Cause::NotANumber);
    row("key on a server", "ERROR:  duplicate key value violates unique constraint \"siswa_pkey\"", "23505",
        db::Cause::DuplicateKey);
    row("deadlock on a server", "ERROR:  deadlock detected", "40P01", db::Cause::InUse);
    row("no right on a server, not a lock", "ERROR:  permission denied for table siswa", "42501", db::Cause::Other);
}

void TestBackup::storeResultCauses_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("line");
    QTest::newRow("stored key") << "2067" << "UNIQUE constraint failed: SISWA.NIS"
                                << "Sebab: kunci tersebut sudah tersimpan.";
    QTest::newRow("refused number") << "275" << "CHECK constraint failed: SKS >= 0 AND SKS < 9e999"
                                    << "Sebab: ada nilai yang bukan angka yang sah.";
    QTest::newRow("refused value on a server") << "22P02" << "invalid input syntax for type double"
                                               << "Sebab: ada nilai yang bukan angka yang sah.";
    QTest::newRow("empty key") << "275" << "CHECK constraint failed: KdMatpel <> ''" << "Sebab: kunci masih kosong.";
    QTest::newRow("referenced") << "787" << "FOREIGN KEY constraint failed" << "Sebab: data masih diacu oleh data lain.";
    QTest::newRow("in use") << "5" << "database is locked"
                            << "Sebab: database sedang dipakai program lain; coba lagi setelah program itu selesai.";
}

// A screen's message: its own first line, the cause, the engine's detail.
void TestBackup::storeResultCauses()
{
    QFETCH(QString, code);
    QFETCH(QString, reason);
    QFETCH(QString, line);
    const db::Result refused = db::Result::from(QSqlError(QString(), reason, QSqlError::StatementError, code));
    QCOMPARE(refused.code, code);
    QCOMPARE(db::failureMessage(QStringLiteral("Salah Proses"), refused).split(QLatin1Char('\r')),
             QStringList({QStringLiteral("Salah Proses"), line, QStringLiteral("Detail: ") + reason}));
}

void TestBackup::causes()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QFETCH(int, cause);
    QCOMPARE(int(db::Result::from(QSqlError(QStringLiteral("Unable to execute statement"), text,
                                            QSqlError::StatementError, code))
                     .cause),
             cause);
}

void TestBackup::fullDiskIsNamed()
{
    test::TestDatabase db;
    // A database that may not grow stands for a full disk.
    QSqlQuery query(dbConnection.database());
    QVERIFY(query.exec(QStringLiteral("PRAGMA page_count")) && query.next());
    QVERIFY(query.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(query.value(0).toInt())));
    QVERIFY(!query.exec(QStringLiteral("insert into SISWA (NIS, Alamat) values ('S1', printf('%.*c', 100000, 'x'))")));
    const db::Result refused = dbConnection.refused(query.lastError(), true);
    QCOMPARE(refused.cause, db::Cause::DiskFull);
    QCOMPARE(db::failureLines(refused),
             QStringList({QStringLiteral("Sebab: disk penuh."), QStringLiteral("Detail: database or disk is full")}));
}

void TestBackup::messageLines()
{
    QCOMPARE(db::failureMessage(QStringLiteral("Salah Proses, isi dulu fieldnya..!"),
                                db::Result::from(QSqlError(QString(),
                                                           QStringLiteral("UNIQUE constraint failed: Pelajaran.KdMatpel"),
                                                           QSqlError::StatementError, QStringLiteral("1555")))),
             QStringLiteral("Salah Proses, isi dulu fieldnya..!\rSebab: kunci tersebut sudah tersimpan.\r"
                            "Detail: UNIQUE constraint failed: Pelajaran.KdMatpel"));
    // A file's failure: its own first line, the cause from errno, the system's words.
    const db::Result full = db::Result::fromErrno(ENOSPC, QStringLiteral("File X tidak dapat ditulis."));
    QCOMPARE(db::failureMessage(full).split(QLatin1Char('\r')).mid(0, 2),
             QStringList({QStringLiteral("File X tidak dapat ditulis."), QStringLiteral("Sebab: disk penuh.")}));
    QCOMPARE(db::Result::fromErrno(EACCES, {}).cause, db::Cause::NotWritable);
    QCOMPARE(db::Result::fromErrno(EISDIR, {}).cause, db::Cause::IsFolder);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
