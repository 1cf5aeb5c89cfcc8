#include "db/result.h"

#include <QRegularExpression>
#include <QSqlError>

namespace pel::db {

QString errorText(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

QString sqlState(const QSqlError &error)
{
    // PostgreSQL gives the five-character SQLSTATE of a refusal as the
    // native code, and its driver puts it at the end of the text, as
    // "(23505)"; SQLite's codes are shorter numbers.
    if (error.nativeErrorCode().size() == 5)
        return error.nativeErrorCode();
    static const QRegularExpression atEnd(QStringLiteral("\\(([0-9A-Z]{5})\\)\\s*$"));
    const QRegularExpressionMatch match = atEnd.match(error.databaseText());
    return match.hasMatch() ? match.captured(1) : QString();
}

Result Result::from(const QSqlError &error)
{
    const QString state = sqlState(error);
    if (state == QLatin1String("23503") || state == QLatin1String("23001"))
        return {Kind::ForeignKey, errorText(error), 0};
    if (state == QLatin1String("23505"))
        return {Kind::DuplicateKey, errorText(error), 0};
    if (state == QLatin1String("23502") || state == QLatin1String("23514") || state.startsWith(QLatin1String("22")))
        return {Kind::BadValue, errorText(error), 0};
    if (!state.isEmpty())
        return {Kind::Failure, errorText(error), 0};
    return refused(errorText(error));
}

Result Result::refused(const QString &reason)
{
    // A server's refusal carries its SQLSTATE at the end of the text.
    if (!sqlState(QSqlError(QString(), reason)).isEmpty())
        return from(QSqlError(QString(), reason));
    // SQLite names the constraint in its text; the extended codes are not
    // always passed on by the driver, so the text decides.
    const auto has = [&reason](const char *word) { return reason.contains(QLatin1String(word), Qt::CaseInsensitive); };
    Kind kind = Kind::Failure;
    if (has("FOREIGN KEY"))
        kind = Kind::ForeignKey;
    else if (has("UNIQUE constraint") || has("PRIMARY KEY"))
        kind = Kind::DuplicateKey;
    else if (has("CHECK constraint") || has("NOT NULL constraint") || has("cannot store") || has("datatype mismatch"))
        kind = Kind::BadValue;
    return {kind, reason, 0};
}

} // namespace pel::db
