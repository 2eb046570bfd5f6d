#pragma once
// Migration of a legacy data folder (Paradox tables of an earlier
// installation of this program) into a new installation database.
//
// Every table file of the old folder is read with the Paradox reader: the
// users, the dictionaries and the other shared tables, every register pair
// (g_YYYY_UUUU.db, p_YYYY_UUUU.db) and plan.db. Rows keep their Ids, values,
// stamps and flags; the upgrades of an older folder are applied on the way
// (a dictionary without Ukr gets Ukr false, a positions file without ob gets
// a blank ob); registers get the indexes the program creates. A shared table
// the old folder lacks keeps the new installation's content.
//
// A table whose fields differ from what the program knows (a field missing
// or unknown, another type) is not guessed at: it is skipped and reported.
// The new database is built aside and put in place only at the end; a
// folder that already holds a database is refused (EngineError).
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace fenwa::admin {

struct MigrationReport {
    struct Table {
        QString file;   // as in the old folder: "Kontr.DB"
        int read = 0;
        int written = 0;
    };
    QVector<Table> tables;   // in name order
    QStringList skipped;     // "file: reason"
    // The report the tool prints: one line per table, then the skipped files.
    QString text() const;
};

// Migrates OLDFOLDER into a new database in NEWFOLDER. `today` dates what the
// installation content dates (the administrator's password date when the old
// folder has no users). `reading` is told each file before it is read.
MigrationReport migrateLegacyFolder(const QString &oldFolder, const QString &newFolder, const QDate &today,
                                    const std::function<void(const QString &file)> &reading = {});

} // namespace fenwa::admin
