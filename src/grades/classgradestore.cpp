#include "grades/classgradestore.h"

#include "db/connection.h"
#include "db/sqltext.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"
#include "grades/gradewriter.h"
#include "grades/grading.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace pel::grades {

namespace {

db::Result storedValues(const db::Connection &conn, const QString &column, QStringList *values)
{
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select distinct %1 from SISWA where %1 is not null and %1 <> '' order by %1")
                        .arg(column)))
        return conn.refused(query.lastError());
    values->clear();
    while (query.next())
        values->append(query.value(0).toString());
    return db::Result::success();
}

// The column that names a row of Nilai and numbers the rows in the order
// they were added: SQLite's rowid, the server's Urutan.
QString rowKey(const db::Connection &conn)
{
    return conn.isPostgres() ? QStringLiteral("Urutan") : QStringLiteral("rowid");
}

} // namespace

db::Result FindClassSubject(const db::Connection &conn, const QString &code, ClassSubject *subject)
{
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select NmMatpel, SKS, Instruktur from Pelajaran where KdMatpel = ?"));
    query.addBindValue(code);
    if (!query.exec())
        return conn.refused(query.lastError());
    if (!query.next())
        return db::Result::notFound();
    subject->code = code;
    subject->name = query.value(0).toString();
    subject->credits = query.value(1);
    subject->instructor = query.value(2).toString();
    return db::Result::success();
}

db::Result StoredProgrammes(const db::Connection &conn, QStringList *values)
{
    return storedValues(conn, QStringLiteral("ProgamJurusan"), values);
}

db::Result StoredLevels(const db::Connection &conn, QStringList *values)
{
    return storedValues(conn, QStringLiteral("LevelTahap"), values);
}

db::Result LoadClass(const db::Connection &conn, const ClassFilter &filter, const QString &subjectCode,
                     QList<ClassStudent> *students)
{
    // A student with several rows for the subject shows (and changes) the
    // latest of them.
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral(
            "select s.NIS, s.NamaSiswa, s.ProgamJurusan, s.LevelTahap, n.%1, n.Nilangka, n.SKS "
            "from SISWA s left join Nilai n on n.%1 = "
            "(select max(%1) from Nilai where Nis = s.NIS and KdMatpel = :code) "
            "where (coalesce(:programme, '') = '' or s.ProgamJurusan = :programme) "
            "and (coalesce(:level, '') = '' or s.LevelTahap = :level) "
            "and s.NIS like :prefix escape '\\' order by s.NIS")
                           .arg(rowKey(conn))))
        return conn.refused(query.lastError());
    query.bindValue(QStringLiteral(":code"), subjectCode);
    query.bindValue(QStringLiteral(":programme"), filter.programme);
    query.bindValue(QStringLiteral(":level"), filter.level);
    query.bindValue(QStringLiteral(":prefix"), db::likeEscaped(filter.nisPrefix) + QLatin1Char('%'));
    if (!query.exec())
        return conn.refused(query.lastError());
    students->clear();
    while (query.next()) {
        ClassStudent student;
        student.nis = query.value(0).toString();
        student.name = query.value(1).toString();
        student.programme = query.value(2).toString();
        student.level = query.value(3).toString();
        student.gradeRowId = query.value(4).isNull() ? 0 : query.value(4).toLongLong();
        student.score = query.value(5);
        student.rowCredits = query.value(6);
        students->append(student);
    }
    return db::Result::success();
}

db::GradeRowValues ClassGradeRow(const QString &registration, const QString &date, const ClassStudent &student,
                                 const ClassSubject &subject, const QString &score)
{
    // The grade screen's boxes: credit units shown in the boxes' number form,
    // the grading rule on the typed score, quality points from the weight and
    // credit-unit texts read back; nothing computed when a value is missing.
    db::GradeRowValues row;
    row.noreg = registration;
    row.tglProses = date;
    row.nis = student.nis;
    row.program = student.programme;
    row.jenjang = student.level;
    row.kdMatpel = subject.code;
    row.sks = subject.credits.isNull() ? QString() : FormatNumber(subject.credits.toDouble());
    row.tentor = subject.instructor;
    row.nilangka = score;
    if (const std::optional<double> number = ReadNumber(score)) {
        const Grade grade = GradeForScore(*number);
        row.nilhu = grade.letter;
        row.bobot = QString::number(grade.weight);
        row.prediket = grade.predicate;
        row.ket = grade.remark;
        const std::optional<double> weight = ReadNumber(row.bobot);
        const std::optional<double> credits = ReadNumber(row.sks);
        if (weight && credits) {
            const double points = QualityPoints(*weight, *credits);
            if (std::isfinite(points))
                row.mutu = FormatQualityPoints(points);
        }
    }
    return ForStorage(row);
}

db::Result SaveClassGrades(const db::Connection &conn, const ClassSubject &subject, const QString &date,
                           QList<ClassGradeWrite> &writes, ClassSaveSummary *summary)
{
    // The write lock first, as the grade screen's save takes it: between the
    // check of a number and the insert no other desk saves under it.
    db::Transaction transaction(conn, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();

    QSqlQuery update(conn.database());
    if (!update.prepare(QStringLiteral("update Nilai set TglProses = ?, Nilangka = ?, Nilhu = ?, Bobot = ?, Mutu = ?, "
                                       "Prediket = ?, Ket = ? where %1 = ?")
                            .arg(rowKey(conn))))
        return conn.refused(update.lastError());
    GradeWriter writer(conn);

    const auto refusedFor = [](const ClassStudent &student, db::Result result) {
        result.reason = QStringLiteral("NIS %1: %2").arg(student.nis, result.reason);
        return result;
    };

    ClassSaveSummary counted;
    for (ClassGradeWrite &write : writes) {
        const ClassStudent &student = write.student;
        if (student.gradeRowId != 0) {
            // The row's own credit units give its quality points, so that a
            // row keeps Mutu = Bobot x SKS; the subject's when it has none.
            ClassSubject own = subject;
            if (!student.rowCredits.isNull())
                own.credits = student.rowCredits;
            const db::GradeRowValues row = ClassGradeRow(QString(), date, student, own, write.score);
            for (const QString &value : {row.tglProses, row.nilangka, row.nilhu, row.bobot, row.mutu,
                                         row.prediket, row.ket})
                update.addBindValue(value);
            update.addBindValue(student.gradeRowId);
            if (!update.exec())
                return refusedFor(student, conn.refused(update.lastError(), true));
            if (update.numRowsAffected() != 1) {
                db::Result gone = db::Result::notFound();
                gone.reason = QStringLiteral("baris nilai tidak ada lagi");
                return refusedFor(student, gone);
            }
            ++counted.changed;
            continue;
        }
        // A registration number of his own: the one after the last row, or
        // the next one that no other student's rows carry.
        db::GradeRowValues row = ClassGradeRow(QString(), date, student, subject, write.score);
        if (const db::Result inserted = writer.insert(row, Numbering::GivenOrNew, &write.newRowId); !inserted.ok())
            return refusedFor(student, inserted);
        write.registration = row.noreg;
        ++counted.added;
    }
    if (!transaction.commit())
        return transaction.lastError();
    if (summary)
        *summary = counted;
    return db::Result::success(counted.added + counted.changed);
}

} // namespace pel::grades
