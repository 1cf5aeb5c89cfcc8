// The class grade store and grid model on a real database: which students a
// class is, the registration numbers of new rows, rows changed in place, one
// transaction for the whole save; the grid's derived cells, validity, paste
// and fill.
#include "common/module1.h"
#include "grades/classgrademodel.h"
#include "grades/classgradestore.h"
#include "testsupport.h"

#include <QLocale>
#include <QTest>

using namespace pel;
using grades::ClassGradeModel;

namespace {

void addStudentIn(test::TestDatabase &db, const QString &nis, const QString &programme, const QString &level)
{
    db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa, ProgamJurusan, LevelTahap) values "
                           "('%1', 'NAMA %1', '%2', '%3')")
                .arg(QString(nis).replace(QLatin1Char('\''), QLatin1String("''")), programme, level));
}

void addGrade(test::TestDatabase &db, const QString &noreg, const QString &nis, const QString &subject,
              double score, double sks = 3)
{
    db.exec(QStringLiteral("insert into Nilai values ('%1', '01-12-2026', '%2', 'KOMPUTER', 'DASAR', '%3', %4, "
                           "'BUDI', %5, 'X', 0, 0, 'Worst', 'Failed')")
                .arg(noreg, nis, subject)
                .arg(sks)
                .arg(score));
}

QList<QVariantList> allGrades(test::TestDatabase &db)
{
    return db.gradeRows(db.gradeKey() + QStringLiteral(", ") + test::GradeColumns);
}

grades::ClassSubject subjectM1()
{
    grades::ClassSubject subject;
    [&] { QVERIFY(grades::FindClassSubject(dbConnection, QStringLiteral("m1"), &subject).ok()); }();
    return subject;
}

QList<grades::ClassStudent> loadClass(const grades::ClassFilter &filter = {}, const QString &subject = "M1")
{
    QList<grades::ClassStudent> students;
    const db::Result result = grades::LoadClass(dbConnection, filter, subject, &students);
    [&] { QVERIFY2(result.ok(), qPrintable(result.reason)); }();
    return students;
}

grades::ClassGradeWrite writeFor(const grades::ClassStudent &student, const QString &score)
{
    grades::ClassGradeWrite write;
    write.student = student;
    write.score = score;
    return write;
}

} // namespace

class TestClassGradeStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void classByFilter_data();
    void classByFilter();
    void newRowsUnderFreshNumbers();
    void existingRowChangedInPlace();
    void refusedRowWritesNothing();
    void gridFollowsScore_data();
    void gridFollowsScore();
    void pasteAndFill();
};

void TestClassGradeStore::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestClassGradeStore::classByFilter_data()
{
    QTest::addColumn<QString>("programme");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("everyone, NIS order") << QString() << QString() << QString() << QStringList{"A1", "A_3", "B2", "C%1", "D3"};
    QTest::newRow("programme") << "KOMPUTER" << "" << "" << QStringList{"A1", "A_3", "B2"};
    QTest::newRow("level") << "" << "DASAR" << "" << QStringList{"A1", "B2", "D3"};
    QTest::newRow("programme and level") << "komputer" << "DASAR" << "" << QStringList{"A1", "B2"};
    QTest::newRow("prefix with _ taken literally") << "" << "" << "A_" << QStringList{"A_3"};
    QTest::newRow("prefix with % taken literally") << "" << "" << "c%" << QStringList{"C%1"};
    QTest::newRow("nobody") << "AKUNTANSI" << "DASAR" << "A" << QStringList{};
}

void TestClassGradeStore::classByFilter()
{
    QFETCH(QString, programme);
    QFETCH(QString, level);
    QFETCH(QString, prefix);
    QFETCH(QStringList, expected);
    test::TestDatabase db;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    addStudentIn(db, QStringLiteral("B2"), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    addStudentIn(db, QStringLiteral("A1"), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    addStudentIn(db, QStringLiteral("A_3"), QStringLiteral("KOMPUTER"), QStringLiteral("LANJUT"));
    addStudentIn(db, QStringLiteral("D3"), QStringLiteral("AKUNTANSI"), QStringLiteral("DASAR"));
    addStudentIn(db, QStringLiteral("C%1"), QStringLiteral("AKUNTANSI"), QStringLiteral("LANJUT"));
    // A1's latest row for the subject is the one shown; other subjects do not count.
    addGrade(db, QStringLiteral("1"), QStringLiteral("A1"), QStringLiteral("M1"), 85);
    addGrade(db, QStringLiteral("2"), QStringLiteral("A1"), QStringLiteral("m1"), 70, 2);
    addGrade(db, QStringLiteral("3"), QStringLiteral("B2"), QStringLiteral("M2"), 60);

    const QList<grades::ClassStudent> students = loadClass({programme, level, prefix});
    QStringList found;
    for (const grades::ClassStudent &student : students)
        found << student.nis;
    QCOMPARE(found, expected);
    for (const grades::ClassStudent &student : students) {
        if (student.nis == QLatin1String("A1")) {
            QCOMPARE(student.gradeRowId, qint64(2));
            QCOMPARE(student.score.toDouble(), 70.0);
            QCOMPARE(student.rowCredits.toDouble(), 2.0);
            QCOMPARE(student.programme, QStringLiteral("KOMPUTER"));
        } else {
            QCOMPARE(student.gradeRowId, qint64(0));
            QVERIFY(student.score.isNull());
        }
    }

    QStringList programmes, levels;
    QVERIFY(grades::StoredProgrammes(dbConnection, &programmes).ok());
    QVERIFY(grades::StoredLevels(dbConnection, &levels).ok());
    QCOMPARE(programmes, QStringList({"AKUNTANSI", "KOMPUTER"}));
    QCOMPARE(levels, QStringList({"DASAR", "LANJUT"}));
}

void TestClassGradeStore::newRowsUnderFreshNumbers()
{
    test::TestDatabase db;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    for (const char *nis : {"A1", "B2", "X9", "Y9"})
        addStudentIn(db, QLatin1String(nis), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    // The last row says 41, so 42 comes next; 43 belongs to another student.
    addGrade(db, QStringLiteral("43"), QStringLiteral("Y9"), QStringLiteral("M2"), 60);
    addGrade(db, QStringLiteral("41"), QStringLiteral("X9"), QStringLiteral("M2"), 60);

    const QList<grades::ClassStudent> students = loadClass({QString(), QString(), QStringLiteral("A")})
                                               + loadClass({QString(), QString(), QStringLiteral("B")});
    QCOMPARE(students.size(), 2);
    QList<grades::ClassGradeWrite> writes{writeFor(students.at(0), QStringLiteral("85")),
                                          writeFor(students.at(1), QStringLiteral("39.5"))};
    grades::ClassSaveSummary summary;
    const db::Result result =
        grades::SaveClassGrades(dbConnection, subjectM1(), QStringLiteral("07-12-2026"), writes, &summary);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(summary.added, 2);
    QCOMPARE(summary.changed, 0);
    QCOMPARE(writes.at(0).registration, QStringLiteral("42"));
    QCOMPARE(writes.at(1).registration, QStringLiteral("44"));
    QCOMPARE(writes.at(0).newRowId, qint64(3));
    QCOMPARE(writes.at(1).newRowId, qint64(4));

    const QList<QVariantList> rows = db.gradeRows(QString(), db.gradeKey() + QStringLiteral(" > 2"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), (QVariantList{"42", "07-12-2026", "A1", "KOMPUTER", "DASAR", "m1", 3.0, "BUDI", 85.0, "A",
                                       4.0, 12.0, "Excellent", "Lulus"}));
    QCOMPARE(rows.at(1).mid(0, 3), (QVariantList{"44", "07-12-2026", "B2"}));
    QCOMPARE(rows.at(1).at(8), QVariant(39.5));
}

void TestClassGradeStore::existingRowChangedInPlace()
{
    test::TestDatabase db;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    addStudentIn(db, QStringLiteral("A1"), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    addStudentIn(db, QStringLiteral("B2"), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    // One registration holds A1's two subjects and, by mistake, a row of B2.
    addGrade(db, QStringLiteral("7"), QStringLiteral("A1"), QStringLiteral("M1"), 50, 2);
    addGrade(db, QStringLiteral("7"), QStringLiteral("A1"), QStringLiteral("M2"), 60);
    addGrade(db, QStringLiteral("7"), QStringLiteral("B2"), QStringLiteral("M1"), 65);
    const QList<QVariantList> before = allGrades(db);

    const QList<grades::ClassStudent> students = loadClass({QString(), QString(), QStringLiteral("A")});
    QCOMPARE(students.size(), 1);
    QList<grades::ClassGradeWrite> writes{writeFor(students.at(0), QStringLiteral("90"))};
    grades::ClassSaveSummary summary;
    const db::Result result =
        grades::SaveClassGrades(dbConnection, subjectM1(), QStringLiteral("08-12-2026"), writes, &summary);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(summary.added, 0);
    QCOMPARE(summary.changed, 1);
    QCOMPARE(writes.at(0).newRowId, qint64(0));

    const QList<QVariantList> after = allGrades(db);
    QCOMPARE(after.size(), 3);
    // Date, score and derived values change; the quality points use the row's own credit units.
    QCOMPARE(after.at(0), (QVariantList{1, "7", "08-12-2026", "A1", "KOMPUTER", "DASAR", "M1", 2.0, "BUDI", 90.0, "A",
                                        4.0, 8.0, "Excellent", "Lulus"}));
    QCOMPARE(after.at(1), before.at(1));
    QCOMPARE(after.at(2), before.at(2));
}

void TestClassGradeStore::refusedRowWritesNothing()
{
    test::TestDatabase db;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    for (const char *nis : {"A1", "B2", "C3"})
        addStudentIn(db, QLatin1String(nis), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"));
    addGrade(db, QStringLiteral("5"), QStringLiteral("A1"), QStringLiteral("M1"), 50);
    db.refuseGradesOf(QStringLiteral("C3"));
    const QList<QVariantList> before = allGrades(db);

    const QList<grades::ClassStudent> students = loadClass();
    QCOMPARE(students.size(), 3);
    QList<grades::ClassGradeWrite> writes{writeFor(students.at(0), QStringLiteral("95")),
                                          writeFor(students.at(1), QStringLiteral("75")),
                                          writeFor(students.at(2), QStringLiteral("65"))};
    grades::ClassSaveSummary summary;
    const db::Result result =
        grades::SaveClassGrades(dbConnection, subjectM1(), QStringLiteral("07-12-2026"), writes, &summary);
    QVERIFY(!result.ok());
    QVERIFY2(result.reason.contains(QLatin1String("C3")), qPrintable(result.reason));
    QVERIFY2(result.reason.contains(QLatin1String("ditolak untuk uji")), qPrintable(result.reason));
    QCOMPARE(summary.added + summary.changed, 0);
    QCOMPARE(allGrades(db), before);

    // Without the trigger the same save goes through whole.
    db.allowGrades();
    QVERIFY(grades::SaveClassGrades(dbConnection, subjectM1(), QStringLiteral("07-12-2026"), writes, &summary).ok());
    QCOMPARE(summary.added, 2);
    QCOMPARE(summary.changed, 1);
}

void TestClassGradeStore::gridFollowsScore_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("derived"); // letter, weight, points, predicate, remark
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("changed");
    const QStringList none{"", "", "", "", ""};
    QTest::newRow("new, A") << false << "85" << QStringList{"A", "4", "12", "Excellent", "Lulus"} << true << true;
    QTest::newRow("new, D") << false << " 40 " << QStringList{"D", "1", "3", "Bad", "Failed"} << true << true;
    QTest::newRow("new, above 100") << false << "150" << QStringList{"E", "0", "0", "Worst", "Failed"} << true << true;
    QTest::newRow("new, left empty") << false << "" << none << true << false;
    QTest::newRow("new, not a number") << false << "8o" << none << false << true;
    QTest::newRow("new, two points") << false << "7.5.1" << none << false << true;
    QTest::newRow("stored, same number") << true << "70.0" << QStringList{"B", "3", "6", "Very Good", "Lulus"} << true
                                         << false;
    QTest::newRow("stored, changed") << true << "60" << QStringList{"C", "2", "4", "Good", "Lulus"} << true << true;
    QTest::newRow("stored, emptied") << true << "" << none << false << true;
}

void TestClassGradeStore::gridFollowsScore()
{
    QFETCH(bool, stored);
    QFETCH(QString, typed);
    QFETCH(QStringList, derived);
    QFETCH(bool, valid);
    QFETCH(bool, changed);
    grades::ClassStudent student;
    student.nis = QStringLiteral("A1");
    if (stored) {
        student.gradeRowId = 5;
        student.score = 70.0;
        student.rowCredits = 2.0; // the row's own credit units
    }
    grades::ClassSubject subject;
    subject.code = QStringLiteral("M1");
    subject.credits = 3.0;
    ClassGradeModel model;
    model.setClass({student}, subject);
    QVERIFY(!model.hasChanges());

    QVERIFY(model.setData(model.index(0, ClassGradeModel::Score), typed));
    QStringList shown;
    for (int column = ClassGradeModel::Letter; column <= ClassGradeModel::Remark; ++column)
        shown << model.index(0, column).data().toString();
    QCOMPARE(shown, derived);
    QCOMPARE(model.isValid(0), valid);
    QCOMPARE(model.index(0, ClassGradeModel::Score).data(ClassGradeModel::InvalidRole).toBool(), !valid);
    QCOMPARE(model.firstInvalidRow(), valid ? -1 : 0);
    QCOMPARE(model.isChanged(0), changed);
    QCOMPARE(model.pendingWrites().size(), changed && valid ? 1 : 0);
    QVERIFY(!(model.flags(model.index(0, ClassGradeModel::Letter)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, ClassGradeModel::Score)) & Qt::ItemIsEditable);
}

void TestClassGradeStore::pasteAndFill()
{
    QList<grades::ClassStudent> students;
    for (int i = 1; i <= 5; ++i) {
        grades::ClassStudent student;
        student.nis = QStringLiteral("N%1").arg(i);
        students << student;
    }
    ClassGradeModel model;
    model.setClass(students, {});
    auto scores = [&model] {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.scoreText(row);
        return texts;
    };

    // A spreadsheet column: CR LF line ends, a trailing line end, other cells after a tab.
    QCOMPARE(model.pasteScores(1, QStringLiteral("70\r\n55\tBUDI\r\n\r\n90\r\n")), 4);
    QCOMPARE(scores(), QStringList({"", "70", "55", "", "90"}));
    // Lines beyond the last student are dropped.
    QCOMPARE(model.pasteScores(3, QStringLiteral("61\n62\n63\n64")), 2);
    QCOMPARE(scores(), QStringList({"", "70", "55", "61", "62"}));

    QCOMPARE(model.fillEmpty(QStringLiteral("45")), 1);
    QCOMPARE(scores(), QStringList({"45", "70", "55", "61", "62"}));
    QCOMPARE(model.pendingWrites().size(), 5);
}

QTEST_GUILESS_MAIN(TestClassGradeStore)
#include "tst_classgradestore.moc"
