#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The one source of today's date and the time of day. The clock belongs to
// the program's surroundings: the system's clock answers unless another one
// is installed (a test's stand-in fixes the moment).
namespace pel::env {

// What the core asks of its surroundings: the time of day. The screens'
// surroundings (ui/surroundings.h) extend it with what needs widgets.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
};

// The clock in use: the installed one, or the system's.
Clock &currentClock();
// Installs clock for clock::now(); nullptr brings the system's clock back.
void installClock(Clock *clock);

} // namespace pel::env

namespace pel::clock {

QDateTime now();
inline QDate today() { return now().date(); }

// The clock labels of the screens: the weekday in the system's language, then
// month, day and year with the system's date separator ("Monday, 12/07/2026"),
// and the 24-hour time ("14:05:09").
QString dayDateText(const QDateTime &moment);
QString timeText(const QDateTime &moment);

} // namespace pel::clock
