#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The one source of today's date and the time of day. Tests fix it.
namespace pel::clock {

QDateTime now();
inline QDate today() { return now().date(); }

// The clock labels of the screens: the weekday in the system's language, then
// month, day and year with the system's date separator ("Monday, 12/07/2026"),
// and the 24-hour time ("14:05:09").
QString dayDateText(const QDateTime &moment);
QString timeText(const QDateTime &moment);

// From now on now() answers moment, until release().
void fix(const QDateTime &moment);
void release();

} // namespace pel::clock
