// The schema on the PostgreSQL engine behaves as the program relies on:
// letter case in keys, like and joins, numeric columns, keys, the foreign key
// from grades, the insertion order of grades, column names, and the messages
// of a database that cannot be opened.
#include "common/module1.h"
#include "db/failure.h"
#include "db/postgres.h"
#include "db/recordset.h"
#include "db/recordsetmodel.h"
#include "db/result.h"
#include "db/gradestatements.h"
#include "db/searchstatements.h"
#include "db/sqltext.h"
#include "db/transaction.h"
#include "grades/gradestore.h"
#include "pgtestsupport.h"
#include "reports/reportrunner.h"
#include "search/searchbuttons.h"
#include "search/searchstore.h"
#include "students/studentstore.h"
#include "subjects/subjectstore.h"
#include "testsupport.h"

#include <QProcess>

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace pel;

class TestPgEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void lettersCaseIgnored();
    void columnsInProgramSpelling();
    void refusals_data();
    void refusals();
    void gradesKeepInsertionOrder();
    void writeLockAndChangedRowOnServer();
    void registrationNumbersOnServer();
    void reportsAsOnSqlite();
    void searchAsOnSqlite();
    void openFailures_data();
    void openFailures();
    void createRefusesExistingTables();
    void valuesStayValuesWithOldStringRules();

private:
    static void addStudent(test::PgTestDatabase &db, const QString &nis);
};

void TestPgEngine::initTestCase()
{
    if (test::postgresServerUrl().isEmpty())
        QSKIP("PELITAKSA_TEST_PG names no server; run through ctest");
}

void TestPgEngine::addStudent(test::PgTestDatabase &db, const QString &nis)
{
    db.exec(QStringLiteral("insert into SISWA values (%1, 'SISWA', 'JAKARTA', '01-02-2000', 'JL. MAWAR 1', "
                           "'LAKI-LAKI', 'ISLAM', '05-01-2026', 'KOMPUTER', 'DASAR', 'SMA 1', '0812')")
                .arg(db::quoted(nis)));
}

void TestPgEngine::lettersCaseIgnored()
{
    test::PgTestDatabase db;
    db::Recordset rs;
    addStudent(db, QStringLiteral("AB1"));
    addStudent(db, QStringLiteral("AB12"));
    addStudent(db, QStringLiteral("B_2"));
    addStudent(db, QStringLiteral("BX2"));
    db.exec(QStringLiteral("insert into Pelajaran values ('KOM01', 'KOMPUTER', '02-01-2026', 'LAB', 'ANI', '3')"));
    db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel, SKS) values ('1', 'ab1', 'kom01', 3)"));

    QVERIFY(rs.open(QStringLiteral("select * from SISWA where NIS='ab1'"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QVERIFY(rs.open(QStringLiteral("select * from siswa where(NIS like 'ab1')"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QVERIFY(rs.open(QStringLiteral("select NIS from SISWA where NIS like %1").arg(db::likeLiteral(QStringLiteral("b_2"))),
                             dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(0).toString(), QStringLiteral("B_2"));
    QVERIFY(rs.open(QStringLiteral("select siswa.namasiswa, pelajaran.NmMatpel from nilai, siswa, pelajaran "
                                            "where nilai.nis=siswa.nis and nilai.KdMatpel=pelajaran.KdMatpel"),
                             dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QVERIFY(rs.open(QStringLiteral("select distinct(nis), sum(nilai.sks)AS VSKS from nilai group by nis"),
                             dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("VSKS")).toDouble(), 3.0);
}

void TestPgEngine::columnsInProgramSpelling()
{
    test::PgTestDatabase db;
    addStudent(db, QStringLiteral("7"));
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA"), dbConnection).ok());
    QCOMPARE(rs.fieldNames(),
             QStringList({"NIS", "NamaSiswa", "TptLahir", "TglLahir", "Alamat", "JenisKelamin", "Agama", "TglMasuk",
                          "ProgamJurusan", "LevelTahap", "AsalSekolah", "TelpHp"}));
    db::RecordsetModel model;
    model.setRecordset(rs);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("NamaSiswa"));
    QCOMPARE(db::programColumnName(QStringLiteral("vsks")), QStringLiteral("vsks"));
}

void TestPgEngine::refusals_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<db::Result::Kind>("kind");
    using K = db::Result::Kind;
    QTest::newRow("text in a number") << "insert into Pelajaran (KdMatpel, SKS) values ('M2', 'TIGA')" << K::BadValue;
    QTest::newRow("empty text in a number") << "insert into Pelajaran (KdMatpel, SKS) values ('M2', '')" << K::BadValue;
    QTest::newRow("NaN in a number") << "insert into Nilai (Noreg, Nilangka) values ('1', 'NaN')" << K::BadValue;
    QTest::newRow("infinity in a number") << "update Pelajaran set SKS='Infinity'" << K::BadValue;
    QTest::newRow("empty student key") << "insert into SISWA (NIS) values ('')" << K::BadValue;
    QTest::newRow("empty subject key") << "insert into Pelajaran (KdMatpel) values ('')" << K::BadValue;
    QTest::newRow("key in other case") << "insert into SISWA (NIS) values ('a1')" << K::DuplicateKey;
    QTest::newRow("subject key twice") << "insert into Pelajaran (KdMatpel) values ('m1')" << K::DuplicateKey;
    QTest::newRow("student with grades") << "delete from SISWA where(NIS like 'A1')" << K::ForeignKey;
    QTest::newRow("grade of nobody") << "insert into Nilai (Noreg, Nis) values ('2', 'ZZ')" << K::ForeignKey;
}

void TestPgEngine::refusals()
{
    QFETCH(QString, sql);
    QFETCH(db::Result::Kind, kind);
    test::PgTestDatabase db;
    db::Recordset rs;
    addStudent(db, QStringLiteral("A1"));
    addStudent(db, QStringLiteral("A2"));
    db.exec(QStringLiteral("insert into Pelajaran (KdMatpel, SKS) values ('M1', '3')"));
    db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, SKS) values ('1', 'a1', 3)"));
    QCOMPARE(db.scalar(QStringLiteral("select SKS from Pelajaran")).toDouble(), 3.0);

    QSqlQuery query(dbConnection.database());
    QVERIFY(!query.exec(sql));
    const db::Result result = db::Result::from(query.lastError());
    QVERIFY2(result.kind == kind, qPrintable(result.reason));
    QVERIFY(!result.reason.isEmpty());
    // A student without grades still goes.
    QVERIFY(rs.open(QStringLiteral("delete from SISWA where(NIS like 'A2')"), dbConnection).ok());
    QCOMPARE(rs.rowsAffected(), 1);
}

void TestPgEngine::gradesKeepInsertionOrder()
{
    test::PgTestDatabase db;
    addStudent(db, QStringLiteral("A1"));
    // The fourteen values without a column list, as the grade screen saves them.
    for (const char *noreg : {"3", "10", "1", "2"})
        db.exec(QStringLiteral("insert into Nilai values ('%1', '15-06-2026', 'A1', 'KOMPUTER', 'DASAR', 'KOM01', '3', "
                               "'ANI', '80', 'A', '4', '12', 'ISTIMEWA', 'LULUS')").arg(QLatin1String(noreg)));
    // Rows rewritten after insertion move on disk, not in the order.
    db.exec(QStringLiteral("update Nilai set Ket='LULUS' where Noreg='3'"));
    QStringList order;
    for (const QVariantList &row : db.rows(QStringLiteral("select * from Nilai order by Urutan")))
        order << row.value(0).toString();
    QCOMPARE(order, QStringList({"3", "10", "1", "2"}));
}

void TestPgEngine::writeLockAndChangedRowOnServer()
{
    test::PgTestDatabase db;
    addStudent(db, QStringLiteral("A1"));
    addStudent(db, QStringLiteral("B2"));
    db::Connection other;
    QVERIFY(other.open(db.target()).ok());
    QSqlQuery otherQuery(other.database());
    // The other desk gives up soon instead of waiting for the lock.
    QVERIFY(otherQuery.exec(QStringLiteral("set lock_timeout = '200ms'")));
    {
        db::Transaction holding(dbConnection, db::Transaction::Mode::Write);
        QVERIFY(holding.isActive());
        db::Transaction refused(other, db::Transaction::Mode::Write);
        QVERIFY(!refused.isActive());
        QVERIFY(!refused.lastError().ok());
    }
    {
        db::Transaction later(other, db::Transaction::Mode::Write);
        QVERIFY(later.isActive());
        QVERIFY(later.commit());
    }

    // This desk's grade row, looked up and then changed by the other desk:
    // the update writes nothing.
    const db::GradeRowValues mine{QStringLiteral("2"), QStringLiteral("15-06-2026"), QStringLiteral("A1"),
                                  QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"), QStringLiteral("KOM01"),
                                  QStringLiteral("3"), QStringLiteral("ANI"), QStringLiteral("80"),
                                  QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("12"),
                                  QStringLiteral("ISTIMEWA"), QStringLiteral("LULUS")};
    db.exec(db::GradeInsertStatement(mine));
    QList<db::GradeRowValues> lookedUp;
    QVERIFY(grades::FindGradeRows(dbConnection, QStringLiteral("2"), QStringLiteral("kom01"), &lookedUp).ok());
    QCOMPARE(lookedUp.size(), 1);
    QVERIFY(otherQuery.exec(QStringLiteral("update Nilai set Nilangka = 70 where Noreg = '2'")));
    db::GradeRowValues changed = mine;
    changed.nilangka = QStringLiteral("60");
    QCOMPARE(grades::UpdateGradeRow(dbConnection, changed, &lookedUp).kind, db::Result::Kind::Conflict);
    QCOMPARE(db.scalar(QStringLiteral("select Nilangka from Nilai where Noreg = '2'")).toDouble(), 70.0);
}

void TestPgEngine::registrationNumbersOnServer()
{
    test::PgTestDatabase db;
    addStudent(db, QStringLiteral("A1"));
    addStudent(db, QStringLiteral("B2"));
    db::GradeRowValues row{QStringLiteral("3"), QStringLiteral("15-06-2026"), QStringLiteral("A1"),
                           QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"), QStringLiteral("KOM01"),
                           QStringLiteral("3"), QStringLiteral("ANI"), QStringLiteral("80"),
                           QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("12"),
                           QStringLiteral("ISTIMEWA"), QStringLiteral("LULUS")};
    for (const char *noreg : {"3", "10", "1"}) {
        row.noreg = QLatin1String(noreg);
        db.exec(db::GradeInsertStatement(row));
    }
    // The number after the last row in insertion order, as on SQLite.
    QString next;
    QVERIFY(grades::NextRegistrationNumber(dbConnection, &next).ok());
    QCOMPARE(next, QStringLiteral("2"));
    // Another student's number is not shared: the save moves on to a free one.
    row.noreg = QStringLiteral("10");
    row.nis = QStringLiteral("B2");
    QString saved;
    const db::Result result = grades::SaveGrade(dbConnection, row, &saved);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(saved, QStringLiteral("2"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai where Noreg = '10'")).toInt(), 1);
}

void TestPgEngine::reportsAsOnSqlite()
{
    // The same rows on both engines, students inserted out of NIS order and
    // grade rows out of subject-code order (a server joins by its own plan,
    // not in the order rows were stored), enough of them that the server
    // plans a real join.
    QStringList rows{
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, TptLahir, TglLahir, ProgamJurusan, LevelTahap, TelpHp) "
                       "values ('0012', 'SITI O''NEIL', 'BANDUNG', '01-02-2003', 'KOMPUTER', 'DASAR', '0812')"),
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, ProgamJurusan, LevelTahap) values ('0002', 'ANI', 'AKUNTANSI', 'MADYA')"),
        QStringLiteral("insert into Pelajaran values ('KOM01', 'PENGANTAR KOMPUTER', '01-01-2026', 'R1', 'BUDI', 3)"),
        QStringLiteral("insert into Pelajaran values ('AK1', 'AKUNTANSI DASAR', '01-01-2026', 'R2', 'CICI', 2.5)"),
        QStringLiteral("insert into Nilai values ('7', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', 'KOM01', 3, 'BUDI', "
                       "79.5, 'A', 4, 12, 'Excellent', 'Lulus')"),
        QStringLiteral("insert into Nilai values ('7', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', 'AK1', 2.5, 'CICI', "
                       "61, 'C', 2, 5, 'Good', 'Lulus')"),
        QStringLiteral("insert into Nilai values ('8', '16-06-2026', '0002', 'AKUNTANSI', 'MADYA', 'AK1', 2.5, 'CICI', "
                       "45, 'E', 0, 0, 'Fail', 'Tidak Lulus')")};
    for (int i = 40; i >= 1; --i)
        rows << QStringLiteral("insert into Pelajaran values ('MP%1', 'MATA PELAJARAN %1', '01-01-2026', 'R', 'T', 2)")
                    .arg(i, 3, 10, QLatin1Char('0'));
    for (int s = 0; s < 30; ++s) {
        const QString nis = QStringLiteral("S%1").arg((s * 17) % 30, 3, 10, QLatin1Char('0'));
        rows << QStringLiteral("insert into SISWA (NIS, NamaSiswa) values ('%1', 'SISWA %1')").arg(nis);
        for (int k = 0; k < 5; ++k)
            rows << QStringLiteral("insert into Nilai values ('%1', '15-06-2026', '%2', 'P', 'L', 'MP%3', 2, 'T', "
                                   "70, 'B', 3, 6, 'Good', 'Lulus')")
                        .arg(100 + s)
                        .arg(nis)
                        .arg(1 + (k * 13 + s) % 40, 3, 10, QLatin1Char('0'));
    }
    for (const char *code : {"MP031", "MP033", "MP006", "MP015", "MP009", "MP026"})
        rows << QStringLiteral("insert into Nilai values ('9', '17-06-2026', '0012', 'KOMPUTER', 'DASAR', '%1', 2, 'T', "
                               "70, 'B', 3, 6, 'Good', 'Lulus')")
                    .arg(QLatin1String(code));
    const QDate today(2026, 12, 8);
    const auto texts = [&today] {
        QStringList result;
        for (const reports::ReportResult &report :
             {reports::writeStudentList(dbConnection, today), reports::writeIpkList(dbConnection, today),
              reports::runGradeStatement(dbConnection, QStringLiteral("0012"), today),
              reports::runCertificate(dbConnection, QStringLiteral("0012"), today),
              reports::runGradeStatement(dbConnection, QStringLiteral("S007"), today),
              reports::runCertificate(dbConnection, QStringLiteral("s013"), today)}) {
            result << (report.done() ? report.text : QStringLiteral("refused: ") + db::failureMessage(report.result));
        }
        return result;
    };
    QStringList onServer;
    {
        test::PgTestDatabase db;
        db.exec(QStringLiteral("begin"));
        for (const QString &sql : rows)
            QVERIFY2(db.exec(sql), qPrintable(sql));
        db.exec(QStringLiteral("commit"));
        db.exec(QStringLiteral("analyze"));
        // A plan that joins by subject code sorts the rows by it, as the
        // server's planner chooses for a large catalogue.
        db.exec(QStringLiteral("set enable_hashjoin = off"));
        db.exec(QStringLiteral("set enable_nestloop = off"));
        onServer = texts();
    }
    QStringList onFile;
    {
        test::TestDatabase db;
        db.exec(QStringLiteral("begin"));
        for (const QString &sql : rows)
            QVERIFY2(db.exec(sql), qPrintable(sql));
        db.exec(QStringLiteral("commit"));
        onFile = texts();
    }
    for (const QString &text : onFile)
        QVERIFY2(!text.startsWith(QStringLiteral("refused: ")), qPrintable(text));
    // The statement lists the rows in the order they were stored.
    const QString statement = onFile.at(2);
    QVERIFY(statement.indexOf(QStringLiteral("MP031")) < statement.indexOf(QStringLiteral("MP006")));
    QVERIFY(statement.indexOf(QStringLiteral("KOM01")) < statement.indexOf(QStringLiteral("AK1")));
    for (int i = 0; i < onFile.size(); ++i)
        QCOMPARE(onServer.at(i), onFile.at(i));
}

void TestPgEngine::searchAsOnSqlite()
{
    // Students inserted out of NIS order, the first one changed afterwards
    // (a changed row takes a new place on the server, not a new position in
    // the table's order); the search grid reads two rows a page.
    const QStringList rows{
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('B7', 'SITI O''NEIL', 'PEREMPUAN')"),
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('0012', 'ANI', 'PEREMPUAN')"),
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('A1', 'BUDI', 'LAKI-LAKI')"),
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('000', 'CICI', 'perempuan')"),
        QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('9', 'DEDI', 'LAKI-LAKI')"),
        QStringLiteral("update SISWA set Alamat = 'JL. MAWAR 2' where NIS = 'B7'")};
    const auto results = [] {
        QStringList result;
        for (const QString &sql : {db::listAllStudentsStatement(),
                                   db::searchStudentsStatement(QStringLiteral("JenisKelamin"), QStringLiteral("Perempuan")),
                                   db::searchStudentsStatement(QStringLiteral("NamaSiswa"), QStringLiteral("siti o'neil"))}) {
            db::Recordset found;
            if (!found.openPaged(sql, dbConnection, 2).ok())
                return QStringList{db::failureMessage(found.failure())};
            result << found.fieldNames().join(QLatin1Char(','));
            QStringList nis;
            for (found.moveFirst(); !found.eof(); found.moveNext())
                nis << found.value(QStringLiteral("NIS")).toString();
            result << nis.join(QLatin1Char(' '));
        }
        return result;
    };
    QStringList onServer;
    {
        test::PgTestDatabase db;
        for (const QString &sql : rows)
            QVERIFY2(db.exec(sql), qPrintable(sql));
        onServer = results();
    }
    QStringList onFile;
    {
        test::TestDatabase db;
        for (const QString &sql : rows)
            QVERIFY2(db.exec(sql), qPrintable(sql));
        onFile = results();
    }
    QCOMPARE(onFile.value(1), QStringLiteral("B7 0012 A1 000 9"));
    QCOMPARE(onServer, onFile);
}

void TestPgEngine::openFailures_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("server unreachable") << "host" << QStringList{"tidak dapat dihubungi", "/tidak/ada"};
    QTest::newRow("database missing") << "database" << QStringList{"Database tidak_ada tidak ada di server"};
    QTest::newRow("role refused") << "role" << QStringList{"menolak pengguna orang_asing", "database pelitaksa_t"};
    QTest::newRow("tables missing") << "tables" << QStringList{"bukan database PELITAKSA: tabel SISWA tidak ada", "di server /"};
    QTest::newRow("role may only read") << "reader" << QStringList{"tidak dapat ditulisi", "pembaca"};
}

void TestPgEngine::openFailures()
{
    QFETCH(QString, change);
    QFETCH(QStringList, words);
    test::PgTestDatabase db(change != QLatin1String("tables"), false);
    db::DatabaseTarget target = db.target();
    if (change == QLatin1String("host"))
        target.host = QStringLiteral("/tidak/ada");
    else if (change == QLatin1String("database"))
        target.databaseName = QStringLiteral("tidak_ada");
    else if (change == QLatin1String("role"))
        target.user = QStringLiteral("orang_asing");
    else if (change == QLatin1String("reader")) {
        QVERIFY(dbConnection.open(target).ok());
        db.exec(QStringLiteral("drop role if exists pembaca"));
        db.exec(QStringLiteral("create role pembaca login"));
        db.exec(QStringLiteral("grant select on siswa, pelajaran, nilai, t_petugas to pembaca"));
        dbConnection.close();
        target.user = QStringLiteral("pembaca");
    }
    ChosenDatabase = target;
    const QString refused = db::failureMessage(OpenDatabase());
    QVERIFY(!dbConnection.isOpen());
    for (const QString &word : words)
        QVERIFY2(refused.contains(word), qPrintable(refused));
    if (change == QLatin1String("reader")) {
        QVERIFY(dbConnection.open(db.target()).ok());
        db.exec(QStringLiteral("revoke all on siswa, pelajaran, nilai, t_petugas from pembaca"));
        db.exec(QStringLiteral("drop role pembaca"));
    }
}

void TestPgEngine::createRefusesExistingTables()
{
    test::PgTestDatabase db(true, false);
    const QString error = db::failureMessage(db::createPostgresTables(db.target()));
    QVERIFY2(error.contains(QLatin1String("sudah ada")), qPrintable(error));
}

// A database whose default is standard_conforming_strings = off reads a
// backslash before a quote as an escape, so a doubled quote no longer keeps
// a typed key a value: every session of the program sets it on. A key
// holding "\\' or 1=1) --" is found, changed and deleted alone, by the
// stores and by the tool.
void TestPgEngine::valuesStayValuesWithOldStringRules()
{
    test::PgTestDatabase db(true, false);
    {
        db::Connection admin;
        QVERIFY(admin.open(db.target()).ok());
        QVERIFY(QSqlQuery(admin.database())
                    .exec(QStringLiteral("alter database %1 set standard_conforming_strings = off")
                              .arg(db.target().databaseName)));
    }
    ChosenDatabase = db.target();
    QVERIFY(OpenDatabase().ok());
    QCOMPARE(db.scalar(QStringLiteral("show standard_conforming_strings")).toString(), QStringLiteral("on"));
    QVERIFY(db.scalar(QStringLiteral("select array_to_string(setconfig, ' ') from pg_db_role_setting "
                                     "where setdatabase = (select oid from pg_database where datname = current_database())"))
                .toString()
                .contains(QStringLiteral("standard_conforming_strings=off")));

    const QString key = QStringLiteral("\\' or 1=1) --");
    for (const QString &nis : {QStringLiteral("A1"), QStringLiteral("B2"), key}) {
        db::StudentRecord student;
        student.nis = nis;
        student.namaSiswa = QStringLiteral("SISWA ") + nis;
        QVERIFY(students::SaveStudent(dbConnection, student).ok());
    }
    for (const QString &code : {QStringLiteral("M1"), key})
        QVERIFY(subjects::SaveSubject(dbConnection, {code, QStringLiteral("MAPEL ") + code, QString(), QString(),
                                                     QString(), QStringLiteral("2")})
                    .ok());
    for (const QString &nis : {QStringLiteral("A1"), key}) {
        const db::GradeRowValues row{nis, QStringLiteral("01-07-2026"), nis, QString(), QString(), key,
                                     QStringLiteral("2"), QString(), QStringLiteral("80"), QStringLiteral("A"),
                                     QStringLiteral("4"), QStringLiteral("8"), QStringLiteral("Excellent"),
                                     QStringLiteral("Lulus")};
        QVERIFY(grades::SaveGrade(dbConnection, row).ok());
    }

    db::StudentRecord found;
    QVERIFY(students::FindStudent(dbConnection, key, &found).ok());
    QCOMPARE(found.nis, key);
    db::StudentRecord changed = found;
    changed.alamat = QStringLiteral("DIUBAH");
    QCOMPARE(students::UpdateStudent(dbConnection, changed).rowsAffected, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA where Alamat = 'DIUBAH'")).toInt(), 1);
    QObject owner;
    search::SearchStore search(dbConnection, &owner);
    for (const search::SearchButton &button : search::searchButtons())
        if (button.name == search::NisButtonName)
            QVERIFY(search.searchStudents(button, key).ok());
    QCOMPARE(search.positionText(), QStringLiteral("Record ke-1 dari 1"));

    const reports::ReportResult statement = reports::runGradeStatement(dbConnection, key, QDate(2026, 12, 8));
    QVERIFY(statement.done());
    QVERIFY(statement.text.contains(QStringLiteral("SISWA ") + key));
    QVERIFY(!statement.text.contains(QStringLiteral("SISWA A1")));
    // The tool's connection sets it on too.
    const QString tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (!tool.isEmpty()) {
        QProcess process;
        process.start(tool, {"--database", db.url(), "report", "statement", key});
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(out.contains(QStringLiteral("SISWA ") + key));
        QVERIFY(!out.contains(QStringLiteral("SISWA A1")));
    }

    QCOMPARE(grades::DeleteGradeRows(dbConnection, key).rowsAffected, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 1);
    QCOMPARE(students::DeleteStudent(dbConnection, key).rowsAffected, 1);
    QCOMPARE(subjects::DeleteSubject(dbConnection, key).rowsAffected, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Pelajaran")).toInt(), 1);
}

QTEST_MAIN(TestPgEngine)
#include "tst_pgengine.moc"
