#include "grades/gradestore.h"

#include "common/module1.h"
#include "common/statement.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"

#include <algorithm>

#include <limits>

namespace pel {

namespace {

bool run(const QString &sql, QString *error)
{
    const db::Result result = OpenRecordset(sql);
    if (!result.ok() && error)
        *error = result.reason;
    return result.ok();
}

// A lookup: Ok standing on the first row, NotFound without rows.
db::Result find(const QString &sql)
{
    const db::Result result = OpenRecordset(sql);
    if (!result.ok())
        return result;
    if (dbRecordset.recordCount() == 0)
        return db::Result::notFound();
    dbRecordset.moveFirst();
    return result;
}

QString text(const char *column)
{
    return dbRecordset.value(QString::fromLatin1(column)).toString();
}

// Whether rows of Nilai carry this registration number for a student other
// than nis (NIS compared without letter case, as the keys are).
db::Result usedByOtherStudent(const QString &noreg, const QString &nis, bool *used)
{
    const db::Result result = OpenRecordset(db::RegistrationCheckStatement(noreg));
    if (!result.ok())
        return result;
    *used = false;
    for (dbRecordset.moveFirst(); !dbRecordset.eof(); dbRecordset.moveNext()) {
        if (QString::compare(text("Nis"), nis, Qt::CaseInsensitive) != 0) {
            *used = true;
            break;
        }
    }
    return result;
}

// The grade rows of the current query, in an order that does not depend on
// where the engine keeps them.
QList<db::GradeRowValues> gradeRows()
{
    QList<db::GradeRowValues> rows;
    for (dbRecordset.moveFirst(); !dbRecordset.eof(); dbRecordset.moveNext())
        rows.append({text("Noreg"), text("TglProses"), text("Nis"), text("Program"), text("Jenjang"),
                     text("KdMatpel"), text("SKS"), text("Tentor"), text("Nilangka"), text("Nilhu"), text("Bobot"),
                     text("Mutu"), text("Prediket"), text("Ket")});
    const auto key = [](const db::GradeRowValues &r) {
        return QStringList{r.noreg, r.tglProses, r.nis, r.program, r.jenjang, r.kdMatpel, r.sks, r.tentor,
                           r.nilangka, r.nilhu, r.bobot, r.mutu, r.prediket, r.ket};
    };
    std::sort(rows.begin(), rows.end(), [&key](const auto &a, const auto &b) { return key(a) < key(b); });
    return rows;
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString NextRegistrationNumber(QString *error)
{
    if (!run(db::LastGradeRowStatement(dbConnection.isPostgres()), error))
        return {};
    if (dbRecordset.recordCount() == 0)
        return QStringLiteral("1");
    dbRecordset.moveLast();
    return grades::NextNumberAfter(dbRecordset.value(QStringLiteral("Noreg")));
}

namespace grades {

QString NextNumberAfter(const QVariant &last)
{
    const QString text = last.toString().trimmed();
    if (text.isEmpty())
        return QStringLiteral("1");
    bool whole = false;
    const qlonglong number = text.toLongLong(&whole);
    if (whole && number < std::numeric_limits<qlonglong>::max())
        return QString::number(number + 1);

    qsizetype start = text.size();
    while (start > 0 && isAsciiDigit(text.at(start - 1)))
        --start;
    if (start == text.size())
        return text + QLatin1Char('1');
    QString digits = text.mid(start);
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        if (digits.at(i) != QLatin1Char('9')) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            break;
        }
        digits[i] = QLatin1Char('0');
    }
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    return text.left(start) + digits;
}

db::Result FindRegistration(const QString &noreg)
{
    return find(db::RegistrationCheckStatement(noreg));
}

db::Result FindGradeStudent(const QString &nis, GradeStudent *student)
{
    const db::Result result = find(db::GradeStudentLookupStatement(nis));
    if (result.ok() && student)
        *student = {text("NamaSiswa"), text("ProgamJurusan"), text("LevelTahap")};
    return result;
}

db::Result FindGradeSubject(const QString &code, GradeSubject *subject)
{
    const db::Result result = find(db::GradeSubjectLookupStatement(code));
    if (result.ok() && subject) {
        const QVariant sks = dbRecordset.value(QStringLiteral("SKS"));
        subject->name = text("NmMatpel");
        subject->credits = sks.isNull() ? std::nullopt : std::optional<double>(sks.toDouble());
        subject->instructor = text("Instruktur");
    }
    return result;
}

db::GradeRowValues ForStorage(db::GradeRowValues row)
{
    row.sks = StoredNumber(row.sks);
    row.nilangka = StoredNumber(row.nilangka);
    row.bobot = StoredNumber(row.bobot);
    row.mutu = StoredNumber(row.mutu);
    return row;
}

// Refuses, before any statement runs, a row whose numbers cannot be right.
db::Result possibleNumbers(const db::GradeRowValues &row)
{
    const struct { const char *column; const QString &text; bool credits; } numbers[] = {
        {"SKS", row.sks, true}, {"Nilangka", row.nilangka, false}, {"Bobot", row.bobot, false}, {"Mutu", row.mutu, false}};
    for (const auto &number : numbers) {
        if (ImpossibleNumber(number.text, number.credits))
            return db::Result::failure(db::Result::Kind::BadValue, QStringLiteral("CHECK constraint failed: %1 = %2")
                                                                       .arg(QLatin1String(number.column), number.text));
    }
    return db::Result::success();
}

db::Result SaveGrade(const db::GradeRowValues &row, QString *savedNumber)
{
    db::GradeRowValues stored = ForStorage(row);
    if (const db::Result possible = possibleNumbers(stored); !possible.ok())
        return possible;
    // The write lock first: between the check of the number and the insert
    // no other desk can save under it.
    db::Transaction transaction(dbConnection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return db::Result::from(transaction.lastError());
    bool used = false;
    if (const db::Result checked = usedByOtherStudent(stored.noreg, stored.nis, &used); !checked.ok())
        return checked;
    if (used) {
        // Another desk saved another student under the number since it was
        // drawn: draw again, past every number of another student.
        QString error;
        QString next = NextRegistrationNumber(&error);
        if (next.isEmpty())
            return db::Result::refused(error);
        for (;;) {
            if (const db::Result checked = usedByOtherStudent(next, stored.nis, &used); !checked.ok())
                return checked;
            if (!used)
                break;
            next = NextNumberAfter(next);
        }
        stored.noreg = next;
    }
    const db::Result inserted = OpenRecordset(db::GradeInsertStatement(stored));
    if (!inserted.ok())
        return inserted;
    if (!transaction.commit())
        return db::Result::from(transaction.lastError());
    if (savedNumber)
        *savedNumber = stored.noreg;
    return inserted;
}

bool SaveGradeRow(const db::GradeRowValues &row, QString *error)
{
    const db::Result result = SaveGrade(row);
    if (!result.ok() && error)
        *error = result.reason;
    return result.ok();
}

db::Result FindGradeRows(const QString &noreg, const QString &code, QList<db::GradeRowValues> *rows)
{
    const db::Result result = OpenRecordset(db::GradeRowsLookupStatement(noreg, code));
    if (result.ok() && rows)
        *rows = gradeRows();
    return result;
}

db::Result UpdateGradeRow(const db::GradeRowValues &row, const QList<db::GradeRowValues> *lookedUp,
                          QList<db::GradeRowValues> *stored)
{
    const db::GradeRowValues values = ForStorage(row);
    if (const db::Result possible = possibleNumbers(values); !possible.ok())
        return possible;
    if (!lookedUp)
        return WriteKeyedRows(db::GradeUpdateStatement(values));
    // The write lock first: no other desk writes between the comparison and
    // the update.
    db::Transaction transaction(dbConnection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return db::Result::from(transaction.lastError());
    QList<db::GradeRowValues> current;
    if (const db::Result found = FindGradeRows(values.noreg, values.kdMatpel, &current); !found.ok())
        return found;
    if (!current.isEmpty() && current != *lookedUp) {
        if (stored)
            *stored = current;
        return db::Result::failure(db::Result::Kind::Conflict, {});
    }
    const db::Result updated = WriteKeyedRows(db::GradeUpdateStatement(values));
    if (!updated.ok())
        return updated;
    if (stored) {
        if (const db::Result found = FindGradeRows(values.noreg, values.kdMatpel, stored); !found.ok())
            return found;
    }
    if (!transaction.commit())
        return db::Result::from(transaction.lastError());
    return updated;
}

db::Result DeleteGradeRows(const QString &noreg)
{
    return WriteKeyedRows(db::GradeDeleteStatement(noreg));
}

} // namespace grades
} // namespace pel
