#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The search family of the student search screen: one search button per
// attribute, each with its column and its own not-found message.
namespace pel::search {

struct SearchButton
{
    QString name;     // the button's control name
    QString category; // the entry of the category list that brings it forward; empty for none
    QString column;   // the column of SISWA compared with the search text
    QString notFoundLine1;
    QString notFoundLine2;
};

inline const QString NotFoundTitle = QStringLiteral("Not Found");
inline const QString EmptySearchTextMessage = QStringLiteral("Silakan Inputkan kategori pencarian data !");
// The one search button the screen shows before any category is chosen.
inline const QString NisButtonName = QStringLiteral("cmdnis");

// The eleven search buttons, the ten of the category list first, in its order.
const QList<SearchButton> &searchButtons();

// The entries of the category list, in order.
QStringList searchCategories();

// The button the category entry brings forward, compared exactly (letter
// case counts); nullptr for an entry that is not in the list.
const SearchButton *searchButtonForCategory(const QString &entry);

// The message of a search that finds nothing: line 1, a carriage return, line 2.
QString notFoundMessage(const SearchButton &button);

// The message of a list-all that finds nothing.
QString listAllNotFoundMessage();

} // namespace pel::search
