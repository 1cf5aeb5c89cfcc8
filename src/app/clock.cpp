#include "app/clock.h"

#include <QLocale>

namespace pel::clock {

namespace {

QDateTime fixedMoment;

// The system's date separator, read off its short date format; "/" for a
// format that separates with blanks only (the C locale's "d MMM yyyy").
QString dateSeparator()
{
    for (const QChar c : QLocale().dateFormat(QLocale::ShortFormat))
        if (!c.isLetter() && !c.isSpace())
            return QString(c);
    return QStringLiteral("/");
}

} // namespace

QString dayDateText(const QDateTime &moment)
{
    const QDate date = moment.date();
    return QLocale().dayName(date.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ")
           + date.toString(QStringLiteral("MM%1dd%1yyyy").arg(dateSeparator()));
}

QString timeText(const QDateTime &moment)
{
    return moment.time().toString(QStringLiteral("HH:mm:ss"));
}

QDateTime now()
{
    return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
}

void fix(const QDateTime &moment)
{
    fixedMoment = moment;
}

void release()
{
    fixedMoment = QDateTime();
}

} // namespace pel::clock
