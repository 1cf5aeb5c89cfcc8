#include "env/clock.h"

#include <QLocale>

namespace pel::env {

namespace {

class SystemClock : public Clock
{
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

Clock *installed = nullptr;

} // namespace

Clock &currentClock()
{
    static SystemClock system;
    return installed ? *installed : system;
}

void installClock(Clock *clock)
{
    installed = clock;
}

} // namespace pel::env

namespace pel::clock {

namespace {

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
    return env::currentClock().now();
}

} // namespace pel::clock
