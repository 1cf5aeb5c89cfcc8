#include "common/password.h"

#include <sodium.h>

namespace pel {

namespace {

// Argon2id with 19 MiB and two passes: the cost recommended as a floor for
// stored passwords, and a login that keeps the program's memory small (the
// engine's "interactive" preset takes 64 MiB at every login). Hashes stored
// with other costs name them and still verify.
constexpr unsigned long long HashPasses = 2;
constexpr size_t HashMemory = size_t(19) * 1024 * 1024;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

bool isPasswordHash(const QString &stored)
{
    return stored.trimmed().startsWith(QLatin1String("$argon2"));
}

QString hashPassword(const QString &password)
{
    if (!sodiumReady())
        return {};
    const QByteArray text = password.trimmed().toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, text.constData(), static_cast<unsigned long long>(text.size()),
                          HashPasses, HashMemory)
        != 0)
        return {};
    return QString::fromLatin1(hash);
}

bool passwordMatches(const QString &stored, const QString &typed)
{
    if (stored.isNull())
        return false;
    if (!isPasswordHash(stored))
        return stored.trimmed() == typed.trimmed();
    if (!sodiumReady())
        return false;
    const QByteArray hash = stored.trimmed().toLatin1();
    const QByteArray text = typed.trimmed().toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), text.constData(), static_cast<unsigned long long>(text.size()))
           == 0;
}

} // namespace pel
