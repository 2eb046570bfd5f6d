#include "admin/Passwords.h"

#include "common/PasswordHash.h"

namespace fenwa::admin {

bool storePassword(data::Database &db, int id, const QString &digest, const QDate &changed)
{
    const QString hash = hashPassword(digest);
    if (hash.isEmpty())
        return false;
    const QString table = db.path(QStringLiteral("passwd.db"));
    if (changed.isValid())
        return db.exec(QStringLiteral("UPDATE \"%1\" SET Password=:p, D=:d WHERE Id=:id").arg(table),
                       {{QStringLiteral(":p"), hash}, {QStringLiteral(":d"), changed}, {QStringLiteral(":id"), id}})
               == 1;
    return db.exec(QStringLiteral("UPDATE \"%1\" SET Password=:p WHERE Id=:id").arg(table),
                   {{QStringLiteral(":p"), hash}, {QStringLiteral(":id"), id}})
           == 1;
}

bool upgradeLegacyPassword(data::Database &db, int id, const QString &stored, const QString &digest) noexcept
{
    try {
        if (!isLegacyDigest(stored) || !verifyPassword(stored, digest))
            return false;
        const QString hash = hashPassword(digest);
        if (hash.isEmpty())
            return false;
        return db.exec(QStringLiteral("UPDATE \"%1\" SET Password=:p WHERE Id=:id AND Password=:old")
                           .arg(db.path(QStringLiteral("passwd.db"))),
                       {{QStringLiteral(":p"), hash}, {QStringLiteral(":id"), id}, {QStringLiteral(":old"), stored}})
               == 1;
    } catch (...) {
        return false;
    }
}

} // namespace fenwa::admin
