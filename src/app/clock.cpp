#include "app/clock.h"

namespace pel::clock {

namespace {
QDateTime fixedMoment;
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
