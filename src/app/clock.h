#pragma once

#include <QDate>
#include <QDateTime>

// The one source of today's date and the time of day. Tests fix it.
namespace pel::clock {

QDateTime now();
inline QDate today() { return now().date(); }

// From now on now() answers moment, until release().
void fix(const QDateTime &moment);
void release();

} // namespace pel::clock
