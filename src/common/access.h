#pragma once

#include <QString>

#include <optional>

namespace pel {

namespace db {
class Recordset;
}

// Which of the five data menus an access level opens.
struct MenuRights
{
    bool file = false;     // "&File": student and subject entry
    bool proses = false;   // "&Proses Data": grade entry
    bool cari = false;     // "&Cari data": student search
    bool laporan = false;  // "&Laporan": reports
    bool utility = false;  // "&Utility": credits
};

// The rights of a level, compared after trimming, letter case counting;
// nothing for an unknown level.
std::optional<MenuRights> rightsForLevel(const QString &level);

// The first operator row (user ID in column 1, password in column 3) that
// matches both texts, each trimmed at both ends and compared exactly; -1 when
// none does. A row with a missing user ID or password never matches.
int findOperatorRow(const db::Recordset &operators, const QString &userId, const QString &password);

} // namespace pel
