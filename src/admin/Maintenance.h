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
//   foreign or hostile archive changes nothing and the user is told why.
// Each shows the files it treats through a data::FileListView. The caller
// closes the data module's shared tables around a command (SharedTablesClosed).
#include "data/Checks.h"
#include "data/Dane.h"
#include "data/Database.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace fenwa::admin {

// What a command did: done, or refused with nothing changed; the text to
// show (an information when done, an error when not; empty: nothing to show).
struct Outcome {
    bool done = false;
    QString text;
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

} // namespace fenwa::admin
