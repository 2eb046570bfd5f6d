#pragma once
// Storing passwords in passwd.db: always as the salted hash of
// common/PasswordHash.h, never as the bare digest.
#include "data/Database.h"

#include <QDate>
#include <QString>

namespace fenwa::admin {

// Stores the password whose digest is `digest` for the user `id`; a valid
// `changed` is stored as the password date D (a reset leaves D as it was).
// False when nothing was stored: the user is not there, or the hash could not
// be made. EngineError when the table cannot be written.
bool storePassword(data::Database &db, int id, const QString &digest, const QDate &changed = {});

// After a successful login: when the user's row still holds the old unsalted
// digest `stored`, replaces it with the hash of `digest` (the same password).
// A row changed meanwhile by another workstation is left alone. Every error
// is swallowed (the login goes on); returns whether the row was replaced.
bool upgradeLegacyPassword(data::Database &db, int id, const QString &stored, const QString &digest) noexcept;

} // namespace fenwa::admin
