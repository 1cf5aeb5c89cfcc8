// The statements of the student screen: their exact texts, and what they do
// on the engine with quotes and wildcards in the typed values.
#include "app/module1.h"
#include "db/recordset.h"
#include "db/studentstatements.h"
#include "students/studententry.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;

namespace {

db::StudentRecord budi()
{
    db::StudentRecord s;
    s.nis = QStringLiteral("001");
    s.namaSiswa = QStringLiteral("BUDI");
    s.tptLahir = QStringLiteral("BANDUNG");
    s.tglLahir = QStringLiteral("07-12-2006");
    s.alamat = QStringLiteral("JL. MELATI 5");
    s.jenisKelamin = QStringLiteral("LAKI-LAKI");
    s.agama = QStringLiteral("ISLAM");
    s.tglMasuk = QStringLiteral("01-07-2026");
    s.progamJurusan = QStringLiteral("KOMPUTER");
    s.levelTahap = QStringLiteral("DASAR");
    s.asalSekolah = QStringLiteral("SMA 3");
    s.telpHp = QStringLiteral("0812");
    return s;
}

QStringList storedRow(test::TestDatabase &db, const QString &nis)
{
    QStringList values;
    const QList<QVariantList> rows =
        db.rows(QStringLiteral("select * from SISWA where NIS = '%1'").arg(QString(nis).replace(QLatin1Char('\''), QStringLiteral("''"))));
    if (rows.size() == 1)
        for (const QVariant &value : rows.first())
            values << value.toString();
    return values;
}

QStringList asList(const db::StudentRecord &s)
{
    return {s.nis, s.namaSiswa, s.tptLahir, s.tglLahir, s.alamat, s.jenisKelamin,
            s.agama, s.tglMasuk, s.progamJurusan, s.levelTahap, s.asalSekolah, s.telpHp};
}

} // namespace

class TestStudentStatements : public QObject
{
    Q_OBJECT
private slots:
    void exactTexts();
    void lookupText_data();
    void lookupText();
    void insertLookupUpdateOnEngine();
    void quoteInEveryValue();
    void deleteMatchesTypedNisLiterally_data();
    void deleteMatchesTypedNisLiterally();
    void recordFromRowAndNullColumns();
    void characterKeys_data();
    void characterKeys();
};

void TestStudentStatements::exactTexts()
{
    QCOMPARE(db::studentInsertSql(budi()),
             QStringLiteral("insert into SISWA(NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,TglMasuk,"
                            "ProgamJurusan,LevelTahap,AsalSekolah, TelpHp) values('001','BUDI', 'BANDUNG', "
                            "'07-12-2006', 'JL. MELATI 5', 'LAKI-LAKI', 'ISLAM', '01-07-2026', 'KOMPUTER', "
                            "'DASAR', 'SMA 3', '0812')"));
    QCOMPARE(db::studentUpdateSql(budi()),
             QStringLiteral("update SISWA  set NamaSiswa='BUDI', TptLahir='BANDUNG', TglLahir='07-12-2006', "
                            "Alamat='JL. MELATI 5', JenisKelamin='LAKI-LAKI', Agama='ISLAM', TglMasuk='01-07-2026', "
                            "ProgamJurusan='KOMPUTER', LevelTahap='DASAR', AsalSekolah='SMA 3', TelpHp='0812' "
                            "where NIS='001'"));
    QCOMPARE(db::studentDeleteSql(QStringLiteral("001")), QStringLiteral("delete from SISWA where(NIS like '001')"));
    QCOMPARE(db::studentDeleteSql(QStringLiteral("1%")),
             QStringLiteral("delete from SISWA where(NIS like '1\\%' escape '\\')"));

    // Empty boxes and untouched dates travel as they are.
    db::StudentRecord bare;
    bare.nis = QStringLiteral("9");
    bare.tglLahir = QStringLiteral("__-__-____");
    QCOMPARE(db::studentInsertSql(bare),
             QStringLiteral("insert into SISWA(NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,TglMasuk,"
                            "ProgamJurusan,LevelTahap,AsalSekolah, TelpHp) values('9','', '', '__-__-____', '', '', "
                            "'', '', '', '', '', '')"));
}

void TestStudentStatements::lookupText_data()
{
    QTest::addColumn<QString>("nis");
    QTest::addColumn<QString>("sql");
    QTest::newRow("plain") << "001" << "select * from SISWA where NIS ='001'";
    QTest::newRow("quote") << "O'1" << "select * from SISWA where NIS ='O''1'";
    QTest::newRow("blank kept") << " 1 " << "select * from SISWA where NIS =' 1 '";
    QTest::newRow("empty") << "" << "select * from SISWA where NIS =''";
}

void TestStudentStatements::lookupText()
{
    QFETCH(QString, nis);
    QFETCH(QString, sql);
    QCOMPARE(db::studentLookupSql(nis), sql);
}

void TestStudentStatements::insertLookupUpdateOnEngine()
{
    test::TestDatabase db;
    QVERIFY2(dbRecordset.open(db::studentInsertSql(budi()), dbConnection), qPrintable(dbRecordset.lastError()));
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(budi()));

    // A second insert of the key is refused, in any letter case.
    db::StudentRecord again = budi();
    QVERIFY(!dbRecordset.open(db::studentInsertSql(again), dbConnection));
    QVERIFY(!dbRecordset.lastError().isEmpty());

    db.addStudent(QStringLiteral("AB7"), QStringLiteral("ANI"));
    QVERIFY(dbRecordset.open(db::studentLookupSql(QStringLiteral("ab7")), dbConnection));
    QCOMPARE(dbRecordset.recordCount(), 1);
    QCOMPARE(students::studentFromRecordset(dbRecordset).namaSiswa, QStringLiteral("ANI"));
    QVERIFY(dbRecordset.open(db::studentLookupSql(QStringLiteral("AB")), dbConnection));
    QCOMPARE(dbRecordset.recordCount(), 0);

    db::StudentRecord changed = budi();
    changed.nis = QStringLiteral("ab7");
    changed.namaSiswa = QStringLiteral("ANI SUSANTI");
    QVERIFY(dbRecordset.open(db::studentUpdateSql(changed), dbConnection));
    QCOMPARE(dbRecordset.rowsAffected(), 1);
    changed.nis = QStringLiteral("AB7"); // the key itself is not changed
    QCOMPARE(storedRow(db, QStringLiteral("AB7")), asList(changed));
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(budi()));
}

void TestStudentStatements::quoteInEveryValue()
{
    test::TestDatabase db;
    db::StudentRecord s = budi();
    s.nis = QStringLiteral("O'1");
    s.namaSiswa = QStringLiteral("O'NEIL");
    s.alamat = QStringLiteral("JL. 'X'); drop table SISWA; --");
    QVERIFY2(dbRecordset.open(db::studentInsertSql(s), dbConnection), qPrintable(dbRecordset.lastError()));
    QCOMPARE(storedRow(db, s.nis), asList(s));

    QVERIFY(dbRecordset.open(db::studentLookupSql(s.nis), dbConnection));
    QCOMPARE(dbRecordset.recordCount(), 1);
    QCOMPARE(asList(students::studentFromRecordset(dbRecordset)), asList(s));

    s.namaSiswa = QStringLiteral("D'ARCY O'NEIL");
    QVERIFY(dbRecordset.open(db::studentUpdateSql(s), dbConnection));
    QCOMPARE(storedRow(db, s.nis), asList(s));

    QVERIFY(dbRecordset.open(db::studentDeleteSql(s.nis), dbConnection));
    QCOMPARE(dbRecordset.rowsAffected(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 0);
}

void TestStudentStatements::deleteMatchesTypedNisLiterally_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"%", "1%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("percent alone") << "%" << QStringList(all.mid(1));
    QTest::newRow("trailing percent") << "1%" << QStringList{"%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("underscore") << "1_" << QStringList{"%", "1%", "10", "12", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("underscore, other case") << "a_b" << QStringList{"%", "1%", "10", "12", "1_", "1\\", "AXB", "a_b2"};
    QTest::newRow("backslash") << "1\\" << QStringList{"%", "1%", "10", "12", "1_", "A_B", "AXB", "a_b2"};
    QTest::newRow("plain, whole key only") << "1" << all;
    QTest::newRow("plain") << "12" << QStringList{"%", "1%", "10", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("empty") << "" << all;
    QTest::newRow("not stored") << "9_" << all;
}

void TestStudentStatements::deleteMatchesTypedNisLiterally()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, left);
    test::TestDatabase db;
    for (const char *nis : {"%", "1%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"})
        db.addStudent(QString::fromLatin1(nis));
    QVERIFY2(dbRecordset.open(db::studentDeleteSql(typed), dbConnection), qPrintable(dbRecordset.lastError()));
    QStringList remaining;
    for (const QVariantList &row : db.rows(QStringLiteral("select NIS from SISWA order by NIS collate binary")))
        remaining << row.first().toString();
    left.sort();
    QCOMPARE(remaining, left);
}

void TestStudentStatements::recordFromRowAndNullColumns()
{
    test::TestDatabase db;
    QVERIFY(db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa) values ('N1', 'NONA')")));
    QVERIFY(dbRecordset.open(db::studentLookupSql(QStringLiteral("N1")), dbConnection));
    const db::StudentRecord s = students::studentFromRecordset(dbRecordset);
    QCOMPARE(s.nis, QStringLiteral("N1"));
    QCOMPARE(s.namaSiswa, QStringLiteral("NONA"));
    QVERIFY(s.tglLahir.isEmpty());
    QVERIFY(s.telpHp.isEmpty());
}

void TestStudentStatements::characterKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("character");
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << true;
    QTest::newRow("digit") << int(Qt::Key_1) << "1" << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "" << true;
    QTest::newRow("return") << int(Qt::Key_Return) << "\r" << true;
    QTest::newRow("enter") << int(Qt::Key_Enter) << "" << true;
    QTest::newRow("left") << int(Qt::Key_Left) << "" << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << QString(QChar(0x7f)) << false;
    QTest::newRow("tab") << int(Qt::Key_Tab) << "\t" << false;
    QTest::newRow("shift") << int(Qt::Key_Shift) << "" << false;
}

void TestStudentStatements::characterKeys()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, character);
    QCOMPARE(students::isCharacterKey(key, text), character);
}

QTEST_MAIN(TestStudentStatements)
#include "tst_studentstatements.moc"
