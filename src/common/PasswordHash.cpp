#include "common/PasswordHash.h"

#include <sodium.h>

namespace fenwa {

namespace {

// Argon2id, two passes over 19 MiB (the least that current password-storage
// advice accepts): 0.05 s of processor time on a two-core office machine, so
// a login stays under 0.3 s even on a busy one. libsodium's "interactive"
// 64 MiB took 0.2 s, too near that limit for a login that also re-stores.
constexpr unsigned long long opsLimit = 2;
constexpr size_t memLimit = size_t(19) << 20;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString hashPassword(const QString &digest)
{
    if (!sodiumReady())
        return {};
    const QByteArray secret = digest.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, secret.constData(), size_t(secret.size()), opsLimit, memLimit) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString &stored, const QString &digest)
{
    if (!sodiumReady())
        return false;
    const QByteArray secret = digest.toUtf8();
    if (isLegacyDigest(stored)) {
        const QByteArray old = stored.toLatin1();
        return secret.size() == old.size() && sodium_memcmp(secret.constData(), old.constData(), size_t(old.size())) == 0;
    }
    const QByteArray hash = stored.toLatin1();
    if (hash.isEmpty() || hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    return crypto_pwhash_str_verify(hash.constData(), secret.constData(), size_t(secret.size())) == 0;
}

bool isLegacyDigest(const QString &stored)
{
    if (stored.size() != 40)
        return false;
    for (const QChar c : stored)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return false;
    return true;
}

} // namespace fenwa
