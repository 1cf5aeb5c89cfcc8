#include "common/access.h"

#include "db/recordset.h"

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

int findOperatorRow(const db::Recordset &operators, const QString &userId, const QString &password)
{
    const QString user = userId.trimmed();
    const QString pass = password.trimmed();
    for (int row = 0; row < operators.recordCount(); ++row) {
        const QVariant rowUser = operators.value(row, 0);
        const QVariant rowPass = operators.value(row, 2);
        if (rowUser.isNull() || rowPass.isNull())
            continue;
        if (rowUser.toString().trimmed() == user && rowPass.toString().trimmed() == pass)
            return row;
    }
    return -1;
}

} // namespace pel
