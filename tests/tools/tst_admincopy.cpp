// The administration tool on a PostgreSQL database: create, and copy from
// SQLite to PostgreSQL and back with every value kept, the refusal of a target
// that holds rows, --replace, and the refused password.
#include "common/module1.h"
#include "db/postgres.h"
#include "db/schema.h"
#include "pgtestsupport.h"
#include "testsupport.h"

#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace pel;

class TestAdminCopy : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copiesToPostgresAndBack();
    void refusesPasswordInUrl();

private:
    struct Run
    {
        int code;
        QString out;
        QString err;
    };
    Run admin(const QStringList &args, const QString &folder);
    // Every row of the four tables of the open dbConnection, in the order the
    // program reads them, each value tagged with its kind.
    static QStringList dump();
    QString m_tool;
};

void TestAdminCopy::initTestCase()
{
    m_tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (m_tool.isEmpty() || test::postgresServerUrl().isEmpty())
        QSKIP("PELITAKSA_ADMIN or PELITAKSA_TEST_PG not set; run through ctest");
}

TestAdminCopy::Run TestAdminCopy::admin(const QStringList &args, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(m_tool, args);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QStringList TestAdminCopy::dump()
{
    // Every table in the order its rows were stored: SQLite's rowid, a server's Urutan.
    const QString order = dbConnection.isPostgres() ? QStringLiteral("Urutan") : QStringLiteral("rowid");
    QStringList statements;
    for (const char *table : {"SISWA", "Pelajaran", "t_petugas", "Nilai"})
        statements << QStringLiteral("select %1 from %2 order by %3")
                          .arg(db::schemaColumns(QLatin1String(table)).join(QStringLiteral(", ")),
                               QLatin1String(table), order);
    QStringList lines;
    for (const QString &sql : statements) {
        QSqlQuery query(dbConnection.database());
        if (!query.exec(sql)) {
            lines << QStringLiteral("refused: ") + sql;
            continue;
        }
        while (query.next()) {
            QStringList cells;
            for (int i = 0; i < query.record().count(); ++i) {
                const QVariant value = query.value(i);
                if (value.isNull())
                    cells << QStringLiteral("NULL");
                else if (value.typeId() == QMetaType::Double)
                    cells << QStringLiteral("n:") + QString::number(value.toDouble(), 'g', 17);
                else
                    cells << QStringLiteral("t:") + value.toString();
            }
            lines << cells.join(QLatin1Char('|'));
        }
    }
    return lines;
}

void TestAdminCopy::copiesToPostgresAndBack()
{
    QStringList original;
    QString sourceFile;
    test::TestDatabase sqlite;
    sourceFile = sqlite.filePath();
    sqlite.addStudent(QStringLiteral("007"), QStringLiteral("O'NEIL \"SI KANCIL\""));
    sqlite.addStudent(QStringLiteral("B2"), QStringLiteral("JOSÉ ÑANDÚ 山田"));
    sqlite.exec(QStringLiteral("insert into SISWA (NIS) values ('A1')"));
    sqlite.addSubject(QStringLiteral("KOM01"), QStringLiteral("PENGANTAR"), 2.5);
    sqlite.exec(QStringLiteral("insert into Pelajaran (KdMatpel) values ('kosong')"));
    sqlite.addOperator(QStringLiteral("admin"), QStringLiteral("ÁDMIN"), QStringLiteral("RaHaSia"), QStringLiteral("Manager"));
    // Grades in an order no column sorts them by.
    sqlite.exec(QStringLiteral("insert into Nilai values ('10', '15-06-2026', 'b2', 'KOMPUTER', 'DASAR', 'KOM01', 2.5, "
                               "'ANI', 79.6, 'B', 3, 7.5, 'BAIK', 'LULUS')"));
    sqlite.exec(QStringLiteral("insert into Nilai (Noreg, Nis, Nilangka, Mutu) values ('2', '007', 0.1, 1e-7)"));
    sqlite.exec(QStringLiteral("insert into Nilai (Noreg, Nis) values ('09', 'A1')"));
    original = dump();
    QCOMPARE(original.size(), 3 + 2 + 1 + 3);
    dbConnection.close();

    test::PgTestDatabase pg(false, false);
    const QString folder = sqlite.folder();
    const Run create = admin({"--database", pg.url(), "create"}, folder);
    QVERIFY2(create.code == 0, qPrintable(create.err));
    QVERIFY(admin({"--database", pg.url(), "create"}, folder).err.contains(QStringLiteral("sudah ada")));

    const Run copy = admin({"copy", "--from", sourceFile, "--to", pg.url()}, folder);
    QVERIFY2(copy.code == 0, qPrintable(copy.err));
    for (const char *line : {"SISWA: 3 baris disalin, 3 baris diperiksa", "Pelajaran: 2 baris disalin, 2 baris diperiksa",
                             "t_petugas: 1 baris disalin, 1 baris diperiksa", "Nilai: 3 baris disalin, 3 baris diperiksa"})
        QVERIFY2(copy.out.contains(QLatin1String(line)), qPrintable(copy.out));
    QVERIFY(dbConnection.open(pg.target()).ok());
    QCOMPARE(dump(), original);
    dbConnection.close();

    // A target holding rows is left alone, unless --replace says otherwise.
    const Run again = admin({"copy", "--from", sourceFile, "--to", pg.url()}, folder);
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(QStringLiteral("--replace")) && again.err.contains(QStringLiteral("Nilai 3 baris")),
             qPrintable(again.err));
    const Run replaced = admin({"copy", "--from", sourceFile, "--to", pg.url(), "--replace"}, folder);
    QVERIFY2(replaced.code == 0, qPrintable(replaced.err));
    QVERIFY(dbConnection.open(pg.target()).ok());
    QCOMPARE(dump(), original);
    dbConnection.close();

    const QString back = sqlite.folder() + QStringLiteral("/kembali.mdb");
    const Run home = admin({"copy", "--from", pg.url(), "--to", back}, folder);
    QVERIFY2(home.code == 0, qPrintable(home.err));
    QVERIFY(dbConnection.open(back).ok());
    QCOMPARE(dump(), original);

    // A copy refused halfway changes nothing: the server refuses a grade of
    // a student who is not stored (written here past the file's foreign
    // key), and the target keeps its rows.
    QVERIFY(sqlite.exec(QStringLiteral("PRAGMA foreign_keys = OFF")));
    QVERIFY(sqlite.exec(QStringLiteral("insert into Nilai (Noreg, Nis, Nilangka) values ('11', 'TIDAKADA', 70)")));
    dbConnection.close();
    const Run refused = admin({"copy", "--from", back, "--to", pg.url(), "--replace"}, folder);
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("Nilai, baris 4")), qPrintable(refused.err));
    QVERIFY(dbConnection.open(pg.target()).ok());
    QCOMPARE(dump(), original);
}

void TestAdminCopy::refusesPasswordInUrl()
{
    QTemporaryDir dir;
    for (const QStringList &args : {QStringList{"--database", "postgresql://tu:rahasia@/akad", "create"},
                                    QStringList{"copy", "--from", "a.mdb", "--to", "postgresql://tu@/akad?password=rahasia"}}) {
        const Run run = admin(args, dir.path());
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(QStringLiteral("PGPASSWORD")) && !run.err.contains(QStringLiteral("rahasia")),
                 qPrintable(run.err));
    }
}

QTEST_MAIN(TestAdminCopy)
#include "tst_admincopy.moc"
