#pragma once
// The session on one data folder: the SQLite database fenwa5.sqlite in it.
// Every "table file" of the program (passwd.db, g_2016_2201.db, temp.db...)
// is one table of that database named after the file without ".db"; names
// compare without regard to letter case.
//
// Only this class and the datasets know that the backend is SQLite.
//
// What the parameters of the older engine's session become here:
// - driver "PARADOX", language driver "polish", level 7: one SQLite database;
//   the statements that sort text use the Polish order (the collation "PL",
//   registered on open, never declared in the stored schema);
// - the shared control directory: SQLite's own file locking on fenwa5.sqlite
//   (rollback journal, so a network share works);
// - the private directory: nothing; work tables live in the database;
// - the table password and its request event: nothing; the database has no
//   password (access is the folder's file permissions).
#include "data/EngineError.h"
#include "data/FieldDef.h"
#include "data/SqlDialect.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <system_error>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace fenwa::data {

using Params = QVector<std::pair<QString, QVariant>>;   // named (":dzis") parameters

class Database {
public:
    static constexpr const char *fileName = "fenwa5.sqlite";
    enum class OpenMode { ExistingOnly, Create };

    // Opens the database of a data folder and brings an older one to the
    // current form (upgradeSchema). ExistingOnly refuses (EngineError, Polish)
    // a folder without fenwa5.sqlite. Either mode tells apart a missing folder,
    // a folder that cannot be read, a foreign file (not an SQLite database) and
    // a damaged database ("uszkodzona": cut short, or garbage after its header).
    static std::unique_ptr<Database> open(const QString &folder, OpenMode mode = OpenMode::ExistingOnly);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The data folder as given, without a trailing separator.
    const QString &folder() const { return folder_; }
    // The path of a table file as the dialect's SQL writes it: folder + "\" + file.
    QString path(const QString &file) const;
    const SqlDialect &dialect() const { return dialect_; }
    // A statement of the dialect as SQLite's (the dialect's translation),
    // kept for the next use of the same text; a translation that read the
    // tables' columns is made again once the schema has changed.
    TranslatedSql translate(const QString &dialectSql) const;

    // Table files.
    bool fileExists(const QString &file) const;
    // Masks with ? and *, several separated by ";"; an empty pattern matches nothing.
    // Result: file names ("g_2016_2201.db"), in name order.
    QStringList listFiles(const QString &masks) const;
    void deleteFile(const QString &file);
    // Fields of a table file, in their physical order (EngineError when missing).
    QVector<FieldDef> fields(const QString &file) const;

    // Indexes: a named secondary index on one field; the primary index is the
    // Id key every table is created with. Indexes declare no collation (the
    // file stays a standard SQLite file); the Polish order is applied by the
    // statements that sort.
    void addIndex(const QString &file, const QString &field);
    // Names of the indexes a table file has (from the schema), the key's own included.
    QStringList indexNames(const QString &file) const;
    // Drops deleted records' space: the whole database file is rebuilt.
    // Needs no open transaction; other workstations wait meanwhile.
    void pack();

    // Writes a consistent copy of the whole database to a new file (other
    // workstations may go on writing meanwhile). EngineError when it fails.
    void copyTo(const QString &file) const;
    // Replaces the whole content of the database by that of the SQLite file
    // `file`, in one step: other connections see either the old content or
    // the new one. Needs no open transaction. EngineError when it fails; the
    // content is then unchanged.
    void replaceWith(const QString &file);

    // Runs one statement of the dialect that returns no rows; returns rows changed.
    int exec(const QString &dialectSql, const Params &params = {});
    // Runs SQLite text directly (used by the engine itself and by tools).
    void execNative(const QString &sqliteSql);

    // An immediate transaction: the write lock is taken at once, so a check and
    // the write it guards cannot interleave with another workstation. Nested
    // transactions join the outer one.
    class Transaction {
    public:
        explicit Transaction(Database &db);
        ~Transaction();   // rolls back unless committed
        void commit();

    private:
        Database &db_;
        bool outer_ = false;
        bool done_ = false;
    };
    bool inTransaction() const { return txDepth_ > 0; }

    // Running copies of the program on this database (the lock list).
    void registerRunningCopy(const QString &osUser);
    void unregisterRunningCopy();
    void heartbeat();
    QStringList runningUsers() const;   // OS user names of live copies
    // Live copies other than this one (what an exclusive open must wait for).
    int otherRunningCopies() const;
    // Those copies as "user (host)", in the order they started.
    QStringList otherRunningCopyNames() const;

    // What a table's rows were read at: equal stamps mean that nothing has
    // been written to the table since, neither through this session (counted
    // per table as rows change) nor by another workstation (any commit of
    // another connection, or a change of the schema, gives a new stamp).
    struct DataStamp {
        qint64 dataVersion = -1;
        qint64 schemaVersion = -1;
        quint64 unaccounted = 0;   // this session's changes no table was told of
        quint64 tableWrites = 0;
        bool operator==(const DataStamp &) const = default;
    };
    DataStamp dataStamp(const QString &file) const;

    // Busy database: retried for this long before an error.
    void setBusyTimeout(int ms);

    sqlite3 *handle() const { return db_; }
    // Turns the current SQLite error into the engine's Polish message.
    QString lastError() const;
    QString describeError(int rc) const;

    // Prepared statements kept for reuse (see Statement).
    sqlite3_stmt *takeCached(const QString &sql) const;
    sqlite3_stmt *putCached(const QString &sql, sqlite3_stmt *st) const;

private:
    Database(const QString &folder, sqlite3 *db);
    void installFunctions();

    QString folder_;
    SqlDialect dialect_;
    sqlite3 *db_ = nullptr;
    int txDepth_ = 0;
    qint64 copyId_ = 0;
    mutable QHash<QString, sqlite3_stmt *> cache_;
    // The fields and index names of tables, read at the schema version fieldsVersion_.
    mutable QHash<QString, QVector<FieldDef>> fieldsCache_;
    mutable QHash<QString, QStringList> indexesCache_;
    mutable QHash<QString, QStringList> filesCache_;   // listFiles by masks
    mutable qint64 fieldsVersion_ = -1;
    struct Translation {
        TranslatedSql sql;
        qint64 schemaVersion = -1;   // what it was made at; -1: it read no columns
    };
    mutable QHash<QString, Translation> translations_;
    mutable bool columnsRead_ = false;   // the translation under way read columns
    qint64 schemaVersion() const;
    // Whether the caches above hold the current schema; empties them when not.
    bool schemaKnown() const;
    // Rows changed through this session, per table (lower-case SQL name), as
    // SQLite reports them; and the changes SQLite counted without reporting
    // them (a DELETE of every row): those make every table's stamp new.
    QHash<QByteArray, quint64> tableWrites_;
    quint64 reportedChanges_ = 0;
    mutable quint64 accountedReported_ = 0;
    mutable qint64 accountedTotal_ = 0;
    mutable quint64 unaccounted_ = 0;
};

// The Polish message for a data folder that the system could not reach
// (permissions, a path through a file...).
QString describePathProblem(const QString &folder, std::error_code ec);

// Polish alphabetical order, as the statements that sort text apply it.
int polishCompare(const QString &a, const QString &b);

} // namespace fenwa::data
