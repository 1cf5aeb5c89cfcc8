#pragma once

#include <QString>

// Pieces from which the statement builders join their SQL text. A typed
// value can never change what a statement means.
namespace pel::db {

// The value between single quotes, with every quote inside it doubled:
// O'NEIL becomes 'O''NEIL'.
QString quoted(const QString &value);

// The value as a like pattern that matches it literally: "%", "_" and "\"
// escaped by a backslash (the pattern's escape is '\'). For a bound
// pattern, as the start of a text: likeEscaped(prefix) + "%".
QString likeEscaped(const QString &value);

// A quoted like pattern that matches the value literally. A value without
// "%", "_" and "\" reads exactly as quoted(value); one with them gets those
// escaped and an escape clause: 'a\%' escape '\'.
QString likeLiteral(const QString &value);

} // namespace pel::db
