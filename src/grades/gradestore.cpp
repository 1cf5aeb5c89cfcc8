#include "grades/gradestore.h"

#include "db/statement.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"
#include "grades/gradewriter.h"

#include <algorithm>
#include <limits>

namespace pel::grades {

namespace {

QString text(const db::Recordset &rows, const char *column)
{
    return rows.value(QString::fromLatin1(column)).toString();
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

db::Result NextRegistrationNumber(const db::Connection &conn, QString *number)
{
    db::Recordset rows;
    const db::Result result = db::run(conn, db::LastGradeRowStatement(conn.isPostgres()), &rows);
    if (!result.ok())
        return result;
    if (rows.recordCount() == 0) {
        *number = QStringLiteral("1");
        return result;
    }
    rows.moveLast();
    *number = NextNumberAfter(rows.value(QStringLiteral("Noreg")));
    return result;
}

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

db::Result FindRegistration(const db::Connection &conn, const QString &noreg)
{
    db::Recordset rows;
    return db::find(conn, db::RegistrationCheckStatement(noreg), &rows);
}

db::Result FindGradeStudent(const db::Connection &conn, const QString &nis, GradeStudent *student)
{
    db::Recordset rows;
    const db::Result result = db::find(conn, db::GradeStudentLookupStatement(nis), &rows);
    if (result.ok() && student)
        *student = {text(rows, "NamaSiswa"), text(rows, "ProgamJurusan"), text(rows, "LevelTahap")};
    return result;
}

db::Result FindGradeSubject(const db::Connection &conn, const QString &code, GradeSubject *subject)
{
    db::Recordset rows;
    const db::Result result = db::find(conn, db::GradeSubjectLookupStatement(code), &rows);
    if (result.ok() && subject) {
        const QVariant sks = rows.value(QStringLiteral("SKS"));
        subject->name = text(rows, "NmMatpel");
        subject->credits = sks.isNull() ? std::nullopt : std::optional<double>(sks.toDouble());
        subject->instructor = text(rows, "Instruktur");
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

db::Result PossibleNumbers(const db::GradeRowValues &row)
{
    const struct { const char *column; const QString &text; bool credits; } numbers[] = {
        {"SKS", row.sks, true}, {"Nilangka", row.nilangka, false}, {"Bobot", row.bobot, false}, {"Mutu", row.mutu, false}};
    for (const auto &number : numbers)
        if (ImpossibleNumber(number.text, number.credits))
            return db::Result::refused(db::Cause::NotANumber,
                                       QStringLiteral("%1 tidak boleh %2: %3")
                                           .arg(QLatin1String(number.column),
                                                number.credits ? QStringLiteral("negatif atau tak terhingga")
                                                               : QStringLiteral("tak terhingga"),
                                                number.text));
    return db::Result::success();
}

db::Result SaveGrade(const db::Connection &conn, const db::GradeRowValues &row, QString *savedNumber)
{
    db::Transaction transaction(conn, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();
    db::GradeRowValues stored = row;
    const db::Result inserted = GradeWriter(conn).insert(stored, Numbering::GivenOrNew);
    if (!inserted.ok())
        return inserted;
    if (!transaction.commit())
        return transaction.lastError();
    if (savedNumber)
        *savedNumber = stored.noreg;
    return inserted;
}

db::Result FindGradeRows(const db::Connection &conn, const QString &noreg, const QString &code,
                         QList<db::GradeRowValues> *rows)
{
    db::Recordset found;
    const db::Result result = db::run(conn, db::GradeRowsLookupStatement(noreg, code), &found);
    if (!result.ok() || !rows)
        return result;
    rows->clear();
    for (found.moveFirst(); !found.eof(); found.moveNext())
        rows->append({text(found, "Noreg"), text(found, "TglProses"), text(found, "Nis"), text(found, "Program"),
                      text(found, "Jenjang"), text(found, "KdMatpel"), text(found, "SKS"), text(found, "Tentor"),
                      text(found, "Nilangka"), text(found, "Nilhu"), text(found, "Bobot"), text(found, "Mutu"),
                      text(found, "Prediket"), text(found, "Ket")});
    const auto key = [](const db::GradeRowValues &r) {
        return QStringList{r.noreg, r.tglProses, r.nis, r.program, r.jenjang, r.kdMatpel, r.sks, r.tentor,
                           r.nilangka, r.nilhu, r.bobot, r.mutu, r.prediket, r.ket};
    };
    std::sort(rows->begin(), rows->end(), [&key](const auto &a, const auto &b) { return key(a) < key(b); });
    return result;
}

db::Result UpdateGradeRow(const db::Connection &conn, const db::GradeRowValues &row,
                          const QList<db::GradeRowValues> *lookedUp, QList<db::GradeRowValues> *stored)
{
    const db::GradeRowValues values = ForStorage(row);
    if (const db::Result possible = PossibleNumbers(values); !possible.ok())
        return possible;
    // The rows are gone when none is left: the update then changes nothing.
    const auto read = [&](QList<db::GradeRowValues> *rows) {
        const db::Result found = FindGradeRows(conn, values.noreg, values.kdMatpel, rows);
        return found.ok() && rows->isEmpty() ? db::Result::notFound() : found;
    };
    return db::guardedUpdate(conn, db::GradeUpdateStatement(values), lookedUp, stored, read);
}

db::Result DeleteGradeRows(const db::Connection &conn, const QString &noreg)
{
    return db::writeKeyed(conn, db::GradeDeleteStatement(noreg));
}

} // namespace pel::grades
