#pragma once
// The session on the data folder and the users table as the login uses it.
#include "app/Login.h"
#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QDateTime>
#include <memory>
#include <optional>

namespace fenwa::app {

// Opens the installation's database (the session): on the server when
// `server` names one (its schema; `folder` is then only where exports go),
// else the data folder's. An empty folder, a folder without a database or an
// unreadable database, a server that does not answer, a refused login, a
// missing database or schema, or a schema without an installation:
// EngineError with a Polish message (for an empty folder it names the
// settings file at settingsPath).
std::unique_ptr<data::Database> openSession(const QString &folder, const QString &settingsPath,
                                            const data::ServerAddress &server = {});

// Where the session's data is, as the main window shows it: the server, its
// database and schema, or the data folder.
QString dataPlace(const QString &folder, const data::ServerAddress &server);

// Adds the password-date column D to passwd.db when it lacks it and gives
// every user `now`'s date. Every error is swallowed: the login goes on with
// the table as it is. Returns whether the column was added.
bool upgradePasswd(data::Database &db, const QDateTime &now) noexcept;

// The row of passwd.db whose Login equals `login` exactly (letter case
// included), or none. EngineError when the table cannot be read.
std::optional<UserRow> findUser(data::Database &db, const QString &login);

} // namespace fenwa::app
