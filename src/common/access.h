#pragma once

#include <QString>

#include <optional>

namespace pel {

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

} // namespace pel
