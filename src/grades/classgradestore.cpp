#include "grades/classgradestore.h"

#include "db/connection.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"
#include "grades/grading.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace pel::grades {

namespace {

db::Result refused(const QSqlQuery &query)
{
    return db::Result::from(query.lastError());
}

// A like pattern for a text's start, "%" and "_" in it taken literally.
QString prefixPattern(const QString &prefix)
{
    QString pattern;
    pattern.reserve(prefix.size() + 1);
    for (const QChar c : prefix) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

db::Result storedValues(const db::Connection &conn, const QString &column, QStringList *values)
{
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select distinct %1 from SISWA where %1 is not null and %1 <> '' order by %1")
                        .arg(column)))
        return refused(query);
    values->clear();
    while (query.next())
        values->append(query.value(0).toString());
    return db::Result::success();
}

bool onServer(const QSqlDatabase &database)
{
    return database.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

// The column that names a row of Nilai and numbers the rows in the order
// they were added: SQLite's rowid, the server's Urutan.
QString rowKey(const QSqlDatabase &database)
{
    return onServer(database) ? QStringLiteral("Urutan") : QStringLiteral("rowid");
}

// The same number the grade screen draws: the one after the last row of Nilai.
db::Result nextRegistration(QSqlQuery &last, QString *number)
{
    if (!last.exec(db::LastGradeRowStatement(last.driver()->dbmsType() == QSqlDriver::PostgreSQL)))
        return refused(last);
    *number = last.next() ? NextNumberAfter(last.value(0)) : QStringLiteral("1");
    last.finish();
    return db::Result::success();
}

} // namespace

db::Result FindClassSubject(const db::Connection &conn, const QString &code, ClassSubject *subject)
{
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select NmMatpel, SKS, Instruktur from Pelajaran where KdMatpel = ?"));
    query.addBindValue(code);
    if (!query.exec())
        return refused(query);
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
                           .arg(rowKey(conn.database()))))
        return refused(query);
    query.bindValue(QStringLiteral(":code"), subjectCode);
    query.bindValue(QStringLiteral(":programme"), filter.programme);
    query.bindValue(QStringLiteral(":level"), filter.level);
    query.bindValue(QStringLiteral(":prefix"), prefixPattern(filter.nisPrefix));
    if (!query.exec())
        return refused(query);
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
    QSqlDatabase database = conn.database();
    // The write lock first, as the grade screen's save takes it: between the
    // check of a number and the insert no other desk saves under it.
    db::Transaction transaction(conn, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return db::Result::from(transaction.lastError());

    QSqlQuery last(database);
    QSqlQuery taken(database);
    taken.setForwardOnly(true);
    QSqlQuery insert(database);
    QSqlQuery update(database);
    if (!taken.prepare(QStringLiteral("select 1 from Nilai where Noreg = ? and Nis <> ? limit 1")))
        return refused(taken);
    if (!update.prepare(QStringLiteral("update Nilai set TglProses = ?, Nilangka = ?, Nilhu = ?, Bobot = ?, Mutu = ?, "
                                       "Prediket = ?, Ket = ? where %1 = ?")
                            .arg(rowKey(database))))
        return refused(update);
    // The server hands out no row id of its own: the insert returns Urutan.
    const QString returning = onServer(database) ? QStringLiteral(" returning Urutan") : QString();

    const auto refusedFor = [](const ClassStudent &student, db::Result result) {
        result.reason = QStringLiteral("NIS %1: %2").arg(student.nis, result.reason);
        return result;
    };

    ClassSaveSummary counted;
    QString next;
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
                return refusedFor(student, refused(update));
            if (update.numRowsAffected() != 1)
                return refusedFor(student, db::Result::failure(db::Result::Kind::NotFound,
                                                               QStringLiteral("baris nilai tidak ada lagi")));
            ++counted.changed;
            continue;
        }

        if (next.isEmpty()) {
            if (db::Result drawn = nextRegistration(last, &next); !drawn.ok())
                return refusedFor(student, drawn);
        }
        // Never a number that another student's row already carries.
        for (;;) {
            taken.addBindValue(next);
            taken.addBindValue(student.nis);
            if (!taken.exec())
                return refusedFor(student, refused(taken));
            const bool used = taken.next();
            taken.finish();
            if (!used)
                break;
            next = NextNumberAfter(next);
        }
        if (!insert.exec(db::GradeInsertStatement(ClassGradeRow(next, date, student, subject, write.score))
                         + returning))
            return refusedFor(student, refused(insert));
        write.newRowId = returning.isEmpty() ? insert.lastInsertId().toLongLong()
                                             : (insert.next() ? insert.value(0).toLongLong() : 0);
        write.registration = next;
        ++counted.added;
        // The row just added is now the last one: the grade screen would
        // draw the number after it.
        next = NextNumberAfter(next);
    }
    if (!transaction.commit())
        return db::Result::from(database.lastError());
    if (summary)
        *summary = counted;
    return db::Result::success(counted.added + counted.changed);
}

} // namespace pel::grades
