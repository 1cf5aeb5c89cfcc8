#pragma once

#include <QString>

// Operator passwords as t_petugas keeps them: Argon2id hashes in libsodium's
// string form ("$argon2id$v=19$m=...").
namespace pel {

// True when stored is a password hash, false for a password kept as text by
// an older file.
bool isPasswordHash(const QString &stored);

// The hash of password, trimmed at both ends as the login compares it, at
// libsodium's interactive limits (about a tenth of a second and 64 MiB).
// An empty text when the machine lacks the memory for it.
QString hashPassword(const QString &password);

// The login's rule: the typed password, trimmed at both ends, letter case
// counting, against a stored hash, or against a stored text trimmed the
// same way. A missing (null) stored value never matches.
bool passwordMatches(const QString &stored, const QString &typed);

} // namespace pel
