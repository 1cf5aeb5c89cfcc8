// The database file across versions: a new file's version and mode, an older
// file upgraded in place after a backup, a newer one refused, a file with
// other columns refused, the constraints on numbers, and the audit trail.
#include "common/module1.h"
#include "db/statement.h"
#include "db/audit.h"
#include "db/connection.h"
#include "db/failure.h"
#include "db/recordset.h"
#include "db/result.h"
#include "db/schema.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sys/stat.h>

using namespace pel;

namespace {

// Runs statements on a file of its own connection, outside the program.
void onFile(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("outside");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement + QStringLiteral(": ") + query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The tables as builds before schema versions made them.
const QStringList VersionOne{
    "CREATE TABLE SISWA (NIS TEXT COLLATE NOCASE NOT NULL PRIMARY KEY CHECK (NIS <> ''), NamaSiswa TEXT COLLATE "
    "NOCASE, TptLahir TEXT COLLATE NOCASE, TglLahir TEXT COLLATE NOCASE, Alamat TEXT COLLATE NOCASE, JenisKelamin "
    "TEXT COLLATE NOCASE, Agama TEXT COLLATE NOCASE, TglMasuk TEXT COLLATE NOCASE, ProgamJurusan TEXT COLLATE NOCASE, "
    "LevelTahap TEXT COLLATE NOCASE, AsalSekolah TEXT COLLATE NOCASE, TelpHp TEXT COLLATE NOCASE) STRICT",
    "CREATE TABLE Pelajaran (KdMatpel TEXT COLLATE NOCASE NOT NULL PRIMARY KEY CHECK (KdMatpel <> ''), NmMatpel TEXT "
    "COLLATE NOCASE, TglEntry TEXT COLLATE NOCASE, Lokal TEXT COLLATE NOCASE, Instruktur TEXT COLLATE NOCASE, SKS REAL) "
    "STRICT",
    "CREATE TABLE Nilai (Noreg TEXT COLLATE NOCASE, TglProses TEXT COLLATE NOCASE, Nis TEXT COLLATE NOCASE REFERENCES "
    "SISWA (NIS), Program TEXT COLLATE NOCASE, Jenjang TEXT COLLATE NOCASE, KdMatpel TEXT COLLATE NOCASE, SKS REAL, "
    "Tentor TEXT COLLATE NOCASE, Nilangka REAL, Nilhu TEXT COLLATE NOCASE, Bobot REAL, Mutu REAL, Prediket TEXT "
    "COLLATE NOCASE, Ket TEXT COLLATE NOCASE) STRICT",
    "CREATE INDEX NilaiNis ON Nilai (Nis)",
    "CREATE INDEX NilaiNoreg ON Nilai (Noreg)",
    "CREATE TABLE t_petugas (userid TEXT COLLATE NOCASE, nama TEXT COLLATE NOCASE, password TEXT, level TEXT) STRICT",
};

} // namespace

class TestSchemaVersions : public QObject
{
    Q_OBJECT
private slots:
    void newFileIsCurrentAndPrivate();
    void olderFileIsUpgradedKeepingEveryRow();
    void newerFileIsRefused();
    void fileWithOtherColumnsIsRefused();
    void folderInPlaceOfTheFile();
    void lockedDatabaseIsNamedAsInUse();
    void impossibleNumbersAreRefused_data();
    void impossibleNumbersAreRefused();
    void everyChangeIsLoggedInItsTransaction();
};

void TestSchemaVersions::newFileIsCurrentAndPrivate()
{
    test::TestDatabase db;
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA user_version")).toInt(), db::SchemaVersion);
    struct stat info{};
    QCOMPARE(::stat(QFile::encodeName(db.filePath()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);
    QVERIFY(db::schemaProblem(dbConnection.database(), db::SchemaVersion).isEmpty());
}

void TestSchemaVersions::olderFileIsUpgradedKeepingEveryRow()
{
    test::TestDatabase db(false);
    QVERIFY(QFile::remove(db.filePath()));
    QStringList statements = VersionOne;
    statements << "INSERT INTO SISWA (NIS, NamaSiswa) VALUES ('S1', 'ANI'), ('S2', 'BUDI')"
               << "INSERT INTO Pelajaran VALUES ('M1', 'MATEMATIKA', '01-01-2026', 'R1', 'BUDI', 3), "
                  "('M2', 'TAK TERHINGGA', '01-01-2026', 'R1', 'BUDI', '1e309'), "
                  "('M3', 'NEGATIF', '01-01-2026', 'R1', 'BUDI', -5)"
               << "INSERT INTO Nilai (Noreg, Nis, KdMatpel, SKS, Nilangka, Bobot, Mutu) VALUES "
                  "('2', 'S2', 'M1', 3, 80, 4, 12), ('1', 'S1', 'M2', '1e309', '1e309', 4, '1e309'), "
                  "('1', 'S1', 'M3', -5, 70, 3, -15)"
               << "INSERT INTO t_petugas VALUES ('budi', 'BUDI', 'rahasia', 'Manager')";
    onFile(db.filePath(), statements);

    QVERIFY(OpenDatabase().ok());
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA user_version")).toInt(), db::SchemaVersion);
    QVERIFY(db::schemaProblem(dbConnection.database(), db::SchemaVersion).isEmpty());
    // Every row stays, grades in their order; what cannot be a number is gone.
    QCOMPARE(db.rows(QStringLiteral("select KdMatpel || ' ' || quote(SKS) from Pelajaran order by KdMatpel")),
             (QList<QVariantList>{{"M1 3.0"}, {"M2 NULL"}, {"M3 NULL"}}));
    QCOMPARE(db.rows(QStringLiteral("select Noreg || ' ' || KdMatpel || ' ' || quote(SKS) || ' ' || quote(Nilangka) "
                                    "|| ' ' || quote(Mutu) from Nilai")),
             (QList<QVariantList>{{"2 M1 3.0 80.0 12.0"}, {"1 M2 NULL NULL NULL"}, {"1 M3 NULL 70.0 -15.0"}}));
    QCOMPARE(db.scalar(QStringLiteral("select password from t_petugas")).toString(), QStringLiteral("rahasia"));
    // The old values are kept in the log.
    QCOMPARE(db.rows(QStringLiteral("select tabel || ' ' || kunci || ' ' || aksi || ' ' || sebelum from t_log "
                                    "where tabel = 'Pelajaran' order by id")),
             (QList<QVariantList>{{"Pelajaran M2 upgrade {\"KdMatpel\":\"M2\",\"NmMatpel\":\"TAK TERHINGGA\",\"TglEntry\":"
                                   "\"01-01-2026\",\"Lokal\":\"R1\",\"Instruktur\":\"BUDI\",\"SKS\":Inf}"},
                                  {"Pelajaran M3 upgrade {\"KdMatpel\":\"M3\",\"NmMatpel\":\"NEGATIF\",\"TglEntry\":"
                                   "\"01-01-2026\",\"Lokal\":\"R1\",\"Instruktur\":\"BUDI\",\"SKS\":-5.0}"}}));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from t_log where tabel = 'Nilai'")).toInt(), 2);
    // The grade key, foreign key and indexes still work.
    QVERIFY(!db::run(dbConnection, QStringLiteral("delete from SISWA where NIS = 'S1'")).ok());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'index' and name like 'Nilai%'"))
                 .toInt(),
             2);
    QVERIFY(!db::run(dbConnection, QStringLiteral("update Pelajaran set SKS = '1e309'")).ok());
    // The file as it was is in the backup folder.
    const QStringList backups = QDir(db.folder() + QStringLiteral("/backup")).entryList(QDir::Files);
    QCOMPARE(backups.size(), 1);
    QVERIFY(backups.first().startsWith(QStringLiteral("SISWA-")));
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        copy.setDatabaseName(db.folder() + QStringLiteral("/backup/") + backups.first());
        QVERIFY(copy.open());
        QSqlQuery query(copy);
        QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
        QCOMPARE(query.value(0).toInt(), 0);
        QVERIFY(query.exec(QStringLiteral("select count(*) from Nilai")) && query.next());
        QCOMPARE(query.value(0).toInt(), 3);
        copy.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
}

void TestSchemaVersions::newerFileIsRefused()
{
    test::TestDatabase db(false);
    onFile(db.filePath(), {QStringLiteral("PRAGMA user_version = %1").arg(db::SchemaVersion + 1)});
    const QString refused = db::failureMessage(OpenDatabase());
    QVERIFY2(refused.contains(QStringLiteral("versi program yang lebih baru")), qPrintable(refused));
    QVERIFY(refused.contains(db.filePath()));
    QVERIFY(!QDir(db.folder() + QStringLiteral("/backup")).exists());
}

void TestSchemaVersions::fileWithOtherColumnsIsRefused()
{
    test::TestDatabase db(false);
    QVERIFY(QFile::remove(db.filePath()));
    onFile(db.filePath(), {"create table SISWA (a, b)", "create table Pelajaran (a)", "create table Nilai (a)",
                           "create table t_petugas (nama, kata)"});
    const QStringList lines = db::failureMessage(OpenDatabase()).split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).contains(db.filePath()));
    QCOMPARE(lines.at(1), db::causeLine(db::Cause::NotOurDatabase));
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("Detail: kolom tabel SISWA")), qPrintable(lines.at(2)));
}

void TestSchemaVersions::folderInPlaceOfTheFile()
{
    test::TestDatabase db(false);
    QVERIFY(QFile::remove(db.filePath()));
    QVERIFY(QDir().mkdir(db.filePath()));
    const QString refused = db::failureMessage(OpenDatabase());
    QVERIFY(refused.contains(db.filePath()));
    QVERIFY2(refused.contains(db::causeLine(db::Cause::IsFolder)), qPrintable(refused));
}

void TestSchemaVersions::lockedDatabaseIsNamedAsInUse()
{
    test::TestDatabase db(false);
    const QString name = QStringLiteral("holder");
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        holder.setDatabaseName(db.filePath());
        QVERIFY(holder.open());
        QSqlQuery query(holder);
        QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const db::Result refused = OpenDatabase();
        QCOMPARE(refused.cause, db::Cause::InUse);
        QVERIFY(!db::failureMessage(refused).contains(QStringLiteral("bukan database")));
        query.exec(QStringLiteral("ROLLBACK"));
        holder.close();
    }
    QSqlDatabase::removeDatabase(name);
    // Once the lock is gone the file opens.
    QVERIFY(OpenDatabase().ok());
}

void TestSchemaVersions::impossibleNumbersAreRefused_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("stored");
    const QString subject = QStringLiteral("insert into Pelajaran (KdMatpel, SKS) values ('M9', '%1')");
    const QString grade = QStringLiteral("insert into Nilai (Noreg, Nis, SKS, Nilangka, Bobot, Mutu) values "
                                         "('1', 'S1', %1, %2, %3, %4)");
    QTest::newRow("credit units") << subject.arg("3") << true;
    QTest::newRow("no credit units") << QStringLiteral("insert into Pelajaran (KdMatpel) values ('M9')") << true;
    QTest::newRow("zero credit units") << subject.arg("0") << true;
    QTest::newRow("infinite credit units") << subject.arg("1e309") << false;
    QTest::newRow("negative credit units") << subject.arg("-5") << false;
    QTest::newRow("grade") << grade.arg("3", "85.5", "4", "12") << true;
    QTest::newRow("negative grade credits") << grade.arg("-3", "85", "4", "-12") << false;
    QTest::newRow("infinite score") << grade.arg("3", "'1e309'", "4", "12") << false;
    QTest::newRow("minus infinite score") << grade.arg("3", "-9e999", "4", "12") << false;
    QTest::newRow("infinite weight") << grade.arg("3", "85", "9e999", "12") << false;
    QTest::newRow("infinite points") << grade.arg("3", "85", "4", "'1e400'") << false;
}

void TestSchemaVersions::impossibleNumbersAreRefused()
{
    QFETCH(QString, sql);
    QFETCH(bool, stored);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("S1"));
    const db::Result written = db::run(dbConnection, sql);
    QCOMPARE(written.ok(), stored);
    if (!stored)
        QCOMPARE(written.kind, db::Result::Kind::BadValue);
}

void TestSchemaVersions::everyChangeIsLoggedInItsTransaction()
{
    test::TestDatabase db;
    QVERIFY(dbConnection.setOperator(QStringLiteral("budi")).ok());
    db.addStudent(QStringLiteral("S1"), QStringLiteral("ANI"));
    db.exec(QStringLiteral("update SISWA set NamaSiswa = 'ANI S' where NIS = 'S1'"));
    db.addSubject(QStringLiteral("M1"));
    db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel, SKS) values ('7', 'S1', 'M1', 3)"));
    db.exec(QStringLiteral("delete from Nilai where Noreg = '7'"));
    db.exec(QStringLiteral("delete from Pelajaran where KdMatpel = 'M1'"));
    // Refused and rolled-back changes leave no row.
    QVERIFY(!db::run(dbConnection, QStringLiteral("insert into SISWA (NIS) values ('s1')")).ok());
    {
        QSqlDatabase connection = dbConnection.database();
        QVERIFY(connection.transaction());
        QSqlQuery(connection).exec(QStringLiteral("delete from SISWA"));
        QVERIFY(connection.rollback());
    }

    const QList<QVariantList> log =
        db.rows(QStringLiteral("select userid, tabel, kunci, nis, aksi, sebelum, sesudah from t_log order by id"));
    QStringList summary;
    for (const QVariantList &row : log)
        summary << QStringList{row[0].toString(), row[1].toString(), row[2].toString(), row[3].toString(),
                               row[4].toString()}
                       .join(QLatin1Char(' '));
    QCOMPARE(summary, QStringList({"budi SISWA S1 S1 insert", "budi SISWA S1 S1 update", "budi Pelajaran M1  insert",
                                   "budi Nilai 7 S1 insert", "budi Nilai 7 S1 delete", "budi Pelajaran M1  delete"}));
    const auto json = [](const QVariant &text) { return QJsonDocument::fromJson(text.toString().toUtf8()).object(); };
    QVERIFY(log.at(0)[5].isNull());
    QCOMPARE(json(log.at(1)[5]).value(QStringLiteral("NamaSiswa")).toString(), QStringLiteral("ANI"));
    QCOMPARE(json(log.at(1)[6]).value(QStringLiteral("NamaSiswa")).toString(), QStringLiteral("ANI S"));
    QCOMPARE(json(log.at(4)[5]).value(QStringLiteral("SKS")).toDouble(), 3.0);
    QVERIFY(log.at(4)[6].isNull());

    // A bulk load of generated rows may leave the trail out, on its own connection only.
    QVERIFY(db::removeAudit(dbConnection.database()).ok());
    db.addStudent(QStringLiteral("S2"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from t_log")).toInt(), 6);
}

QTEST_GUILESS_MAIN(TestSchemaVersions)
#include "tst_schemaversions.moc"
