#pragma once
// The database maintenance commands of the main window ("Obsługa bazy
// danych") on the one database of a data folder:
// - "Indeksowanie" builds the dictionaries' named indexes and the registers'
//   indexes again (and the missing ones); other copies may go on working;
// - "Pakowanie" compacts the database; only when no other copy runs;
// - "Archiwizowanie" stores a consistent snapshot of the database, taken
//   while others may work, and the settings file in the archive folder as
//   "fenwa5_YYYYMMDD.zip" (a second archive of a day gets "_2", "_3"...);
// - "Odtwarzanie" reads an archive into a temporary folder and checks it
//   whole (member names, sizes, the database's integrity and that it is a
//   database of this program) before anything is changed; then, with no
//   other copy running, keeps the current database beside it as a dated file
//   and puts the restored content in its place in one step. A damaged,
//   foreign or hostile archive changes nothing and the user is told why; an
//   archive of the previous program's Paradox folder can be carried over
//   through the migration of such folders (restoreParadox).
// On a server installation the same commands: "Indeksowanie" rebuilds the
// schema's indexes (REINDEX), "Pakowanie" is VACUUM (ANALYZE) of its tables;
// "Archiwizowanie" writes the program's own export, not a pg_dump: every
// table, copied from one repeatable-read snapshot into an SQLite database
// fenwa5.sqlite (data/InstallationCopy.h), in the same ZIP form as on a data
// folder, so an archive of either kind restores on either, and no server
// tool of a version matching the server's is needed. "Odtwarzanie" makes the
// same checks of the archive, keeps the current content as the dated SQLite
// file in the data folder and replaces the schema's tables in one
// transaction: on any failure nothing is changed.
// Each shows the files it treats through a data::FileListView. The caller
// closes the data module's shared tables around a command (SharedTablesClosed).
#include "data/Checks.h"
#include "data/Dane.h"
#include "data/Database.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::admin {

// What a command did: done, or refused with nothing changed; the text to
// show (an information when done, an error when not; empty: nothing to show).
struct Outcome {
    bool done = false;
    QString text;
    // A restore refused because the archive holds the previous program's
    // Paradox tables (their names) rather than a database of this program:
    // restoreParadox can bring them in through the migration.
    QStringList paradoxTables = {};
};

// Closes the shared tables of the data module while it lives and opens again
// those it closed (also when a command fails).
class SharedTablesClosed {
public:
    explicit SharedTablesClosed(data::TF_Dane &dane);
    ~SharedTablesClosed();
    SharedTablesClosed(const SharedTablesClosed &) = delete;
    SharedTablesClosed &operator=(const SharedTablesClosed &) = delete;

private:
    QVector<data::Table *> closed_;
};

// "Indeksowanie". EngineError when a table cannot be treated (those treated
// before it stay treated).
void reindex(data::Database &db, data::FileListView *view);

// "Pakowanie": refused (naming them) while other copies run.
Outcome pack(data::Database &db, data::FileListView *view);

// "Archiwizowanie" into archiveFolder on `today`; settingsFile is added when it exists.
Outcome archive(data::Database &db, const QString &settingsFile, const QString &archiveFolder,
                const QDate &today, data::FileListView *view);

// "Odtwarzanie" from zipFile at `now` (the date and time named in the kept
// copy of the current database). osUser: this copy's entry in the running
// copies is made again in the restored content (empty: it had none).
Outcome restore(data::Database &db, const QString &zipFile, const QDateTime &now, const QString &osUser,
                data::FileListView *view);

// "Odtwarzanie" of an archive of the previous program's Paradox folder: its
// tables are read into a temporary folder, migrated into a new database
// (admin/Migration.h) and that database, checked like a restored one, takes
// the current one's place in the same way. The text tells what was carried
// over and what was skipped.
Outcome restoreParadox(data::Database &db, const QString &zipFile, const QDateTime &now, const QString &osUser,
                       data::FileListView *view);

} // namespace fenwa::admin
