#include "grades/gradestore.h"

#include "app/module1.h"
#include "grades/gradenumbers.h"

#include <limits>

namespace pel {

namespace {

bool run(const QString &sql, QString *error)
{
    if (dbRecordset.open(sql, dbConnection))
        return true;
    if (error)
        *error = dbRecordset.lastError();
    return false;
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
    return grades::NextNumberAfter(dbRecordset.value(0));
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

db::GradeRowValues ForStorage(db::GradeRowValues row)
{
    row.sks = StoredNumber(row.sks);
    row.nilangka = StoredNumber(row.nilangka);
    row.bobot = StoredNumber(row.bobot);
    row.mutu = StoredNumber(row.mutu);
    return row;
}

// Refuses, before any statement runs, a row whose numbers cannot be right.
bool possibleNumbers(const db::GradeRowValues &row, QString *error)
{
    const struct { const char *column; const QString &text; bool credits; } numbers[] = {
        {"SKS", row.sks, true}, {"Nilangka", row.nilangka, false}, {"Bobot", row.bobot, false}, {"Mutu", row.mutu, false}};
    for (const auto &number : numbers) {
        if (ImpossibleNumber(number.text, number.credits)) {
            if (error)
                *error = QStringLiteral("CHECK constraint failed: %1 = %2").arg(QLatin1String(number.column), number.text);
            return false;
        }
    }
    return true;
}

bool SaveGradeRow(const db::GradeRowValues &row, QString *error)
{
    const db::GradeRowValues stored = ForStorage(row);
    return possibleNumbers(stored, error) && run(db::GradeInsertStatement(stored), error);
}

bool UpdateGradeRows(const db::GradeRowValues &row, QString *error)
{
    const db::GradeRowValues stored = ForStorage(row);
    return possibleNumbers(stored, error) && run(db::GradeUpdateStatement(stored), error);
}

bool DeleteGradeRows(const QString &noreg, QString *error)
{
    return run(db::GradeDeleteStatement(noreg), error);
}

} // namespace grades
} // namespace pel
