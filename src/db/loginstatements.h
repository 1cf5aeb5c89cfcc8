#pragma once

#include <QString>

namespace pel::db {

// Every operator row, in the table's natural order.
QString selectOperators();

// The operator rows whose user ID equals userId (letter case ignored),
// matched literally.
QString selectOperatorByUserId(const QString &userId);

} // namespace pel::db
