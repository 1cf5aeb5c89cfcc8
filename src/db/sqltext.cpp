#include "db/sqltext.h"

namespace pel::db {

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString likeEscaped(const QString &value)
{
    QString pattern;
    pattern.reserve(value.size() + 4);
    for (const QChar c : value) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern;
}

QString likeLiteral(const QString &value)
{
    // A backslash is like's escape on PostgreSQL even when none is named, so
    // a text holding one is escaped as well, and names its escape.
    if (!value.contains(QLatin1Char('%')) && !value.contains(QLatin1Char('_')) && !value.contains(QLatin1Char('\\')))
        return quoted(value);
    return quoted(likeEscaped(value)) + QLatin1String(" escape '\\'");
}

} // namespace pel::db
