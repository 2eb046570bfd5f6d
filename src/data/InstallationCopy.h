#pragma once
// Copying a whole installation from one database to another: a data folder's
// SQLite file to a server schema, back, or between two of a kind. It serves
// fenwa5-baza's "kopiuj" and the archive and restore of an installation on
// the server (whose archive holds the same SQLite file as a data folder's).
//
// What is copied: every table file of the source (the running copies' list
// is not: it belongs to the copies of the source), its columns with their
// declared types, every row with its Id, the Id each table gives next and
// the indexes the program builds on it.
#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QString>
#include <QVector>
#include <functional>

namespace fenwa::data {

struct CopiedTable {
    QString file;      // "g_2016_2201.db"
    qint64 rows = 0;
};

// Copies every table file of `from` into `to`, which must hold no table file
// (EngineError, Polish, otherwise). The source is read in one consistent
// snapshot while others may go on writing to it. Each table is created,
// filled, counted and committed in a transaction of its own (inside the
// caller's transaction when one is open: then the whole copy is one); a
// table whose count in the target differs from the rows read is rolled
// back. On any failure (also one thrown by `copied`, called after each table
// is committed) the tables made in `to` are dropped again, so the target is
// left empty as it was, and the error goes on to the caller.
QVector<CopiedTable> copyInstallation(const Database &from, Database &to,
                                      const std::function<void(const CopiedTable &)> &copied = {});

// Copies every table file of `from` (copyInstallation) into a new
// installation: in the folder `folder` (createDatabase) when `server` is not
// set, else in the new schema of `server` (createServerDatabase; `folder` is
// then its data folder). A copy that fails leaves the place as it was (a
// schema it made is dropped) and says so in its Polish message.
std::unique_ptr<Database> copyToNewInstallation(const Database &from, const QString &folder, const ServerAddress &server,
                                                const std::function<void(const CopiedTable &)> &copied = {});

// The last Id a table's AUTOINC field has given (0 when none): the next
// record gets a greater one. On SQLite the table's AUTOINCREMENT counter, on
// the server its identity sequence; never less than the greatest stored Id.
qint64 lastIssuedId(const Database &db, const QString &file, const QString &field);

} // namespace fenwa::data
