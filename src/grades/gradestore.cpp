#include "grades/gradestore.h"

#include "common/module1.h"
#include "common/statement.h"
#include "grades/gradenumbers.h"

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

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString NextRegistrationNumber(QString *error)
{
    if (!run(db::LastGradeRowStatement(), error))
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

db::Result SaveGrade(const db::GradeRowValues &row)
{
    return OpenRecordset(db::GradeInsertStatement(ForStorage(row)));
}

bool SaveGradeRow(const db::GradeRowValues &row, QString *error)
{
    const db::Result result = SaveGrade(row);
    if (!result.ok() && error)
        *error = result.reason;
    return result.ok();
}

db::Result UpdateGradeRow(const db::GradeRowValues &row)
{
    return WriteKeyedRows(db::GradeUpdateStatement(ForStorage(row)));
}

db::Result DeleteGradeRows(const QString &noreg)
{
    return WriteKeyedRows(db::GradeDeleteStatement(noreg));
}

} // namespace grades
} // namespace pel
