#include "common/access.h"

namespace pel {

std::optional<MenuRights> rightsForLevel(const QString &level)
{
    const QString trimmed = level.trimmed();
    if (trimmed == QLatin1String("Entri"))
        return MenuRights{true, false, false, false, true};
    if (trimmed == QLatin1String("Operator"))
        return MenuRights{false, false, true, false, true};
    if (trimmed == QLatin1String("Activasi"))
        return MenuRights{false, true, false, true, true};
    if (trimmed == QLatin1String("Manager"))
        return MenuRights{true, true, true, true, true};
    return std::nullopt;
}

} // namespace pel
