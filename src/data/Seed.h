#pragma once
// The installation database: every shared table of a data folder with the
// content an installation comes with (the administrator account, the
// inspectorates of the territorial register, the budget classification and
// the first dictionary entries).
#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

namespace fenwa::data {

// The password digest of the empty password (SHA-1 of zero bytes): the stored
// password of a user whose password is empty.
QString emptyPasswordDigest();

// Creates every shared table of the schema catalogue, with its indexes, in
// an empty database.
void createSharedTables(Database &db);
// Fills the shared tables with the installation content. `today` is the
// password date of the administrator and the year of the financing sources.
void fillInstallation(Database &db, const QDate &today);

// Creates FOLDER (when missing) and in it a new database that `fill` fills.
// The database is built aside and put in place in one step only when the
// folder holds no database file; otherwise (also when another process made
// one meanwhile) it is refused (EngineError, Polish: "... już istnieje ...").
// A failed run leaves the folder as it was and never removes a file it did
// not create.
std::unique_ptr<Database> createDatabase(const QString &folder, const std::function<void(Database &)> &fill);
// Creates FOLDER's installation database (createDatabase) with every shared
// table and its content, and whatever fillMore adds (a demo).
std::unique_ptr<Database> createInstallation(const QString &folder, const QDate &today,
                                             const std::function<void(Database &)> &fillMore = {});

// Creates the schema of `address` on its server for a new installation and
// in it what `fill` writes, as createDatabase does for a folder. A schema
// that holds any table file already is refused (EngineError, Polish), so no
// installation is ever overwritten. When anything fails, a schema the call
// made is dropped again (in one that was there already, `fill` undoes its
// own writes, as a transaction does), and the error goes on.
std::unique_ptr<Database> createServerDatabase(const QString &dataFolder, const ServerAddress &address,
                                               const std::function<void(Database &)> &fill);
// Creates a server installation like createInstallation, in the new schema
// of `address` (createServerDatabase), in one transaction: a failure leaves
// no table behind.
std::unique_ptr<Database> createServerInstallation(const QString &dataFolder, const ServerAddress &address,
                                                   const QDate &today,
                                                   const std::function<void(Database &)> &fillMore = {});

// The voivodeship code of the installation's own inspectorate (podlaskie).
inline constexpr const char *seedVoivodeship = "20";

} // namespace fenwa::data
