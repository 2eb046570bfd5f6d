#pragma once
// The session on one installation's database: on a data folder, the SQLite
// database fenwa5.sqlite in it (open); on a database server, one PostgreSQL
// schema (openServer). Every "table file" of the program (passwd.db,
// g_2016_2201.db, temp.db...) is one table of that database named after the
// file without ".db"; names compare without regard to letter case.
//
// Only this class, Statement and the backends behind them (Backend.h) know
// which database runs underneath; datasets and everything above see the same
// values from either.
//
// What the parameters of the older engine's session become here:
// - driver "PARADOX", language driver "polish", level 7: one database; the
//   statements that sort text use the Polish order (SQLite's collation "PL",
//   registered on open; the server's ICU collation "pl-PL-x-icu");
// - the shared control directory: SQLite's own file locking on fenwa5.sqlite
//   (rollback journal, so a network share works), or the server's locks;
// - the private directory: nothing; work tables live in the database;
// - the table password and its request event: nothing; the database has no
//   password (access is the folder's file permissions or the server's login).
#include "data/Backend.h"
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
    // Opens an installation on a PostgreSQL server: its tables are those of
    // `schema` in the database `conninfo` (libpq's connection text) names;
    // Create makes the schema when missing. dataFolder is what the dialect's
    // statements write before table names ("{folder}\g_2016_2201.db") and
    // where exports go. EngineError (Polish) for a server that does not
    // answer, a refused login, a missing database or schema (named), and a
    // server without the Polish ICU collation.
    static std::unique_ptr<Database> openServer(const QString &dataFolder, const QByteArray &conninfo,
                                                const QString &schema, OpenMode mode = OpenMode::ExistingOnly);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The data folder as given, without a trailing separator.
    const QString &folder() const { return folder_; }
    // The path of a table file as the dialect's SQL writes it: folder + "\" + file.
    QString path(const QString &file) const;
    const SqlDialect &dialect() const { return dialect_; }
    // True on a database server, false on a data folder's SQLite file.
    bool isServer() const { return dialect_.backend() == SqlBackend::PostgreSql; }

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
    // Drops deleted records' space: the whole database file is rebuilt (on
    // the server: VACUUM (ANALYZE) of the installation's tables).
    // Needs no open transaction; other workstations wait meanwhile.
    void pack();
    // Builds a table file's indexes anew.
    void reindex(const QString &file);
    // What the backend's own check finds wrong in the stored data; empty when
    // whole (the server keeps its own pages whole: always empty there).
    QStringList integrityProblems();

    // Writes a consistent copy of the whole database to a new file (other
    // workstations may go on writing meanwhile). EngineError when it fails,
    // and on the server, which keeps no database file (its archive is the
    // program's own export).
    void copyTo(const QString &file) const;
    // Replaces the whole content of the database by that of the SQLite file
    // `file`, in one step: other connections see either the old content or
    // the new one. Needs no open transaction. EngineError when it fails (and
    // on the server, as copyTo); the content is then unchanged.
    void replaceWith(const QString &file);

    // Runs one statement of the dialect that returns no rows; returns rows changed.
    int exec(const QString &dialectSql, const Params &params = {});
    // Runs the backend's own text directly (used by the engine itself and by tools).
    void execNative(const QString &nativeSql);
    // Rows changed by the last statement; the value the last INSERT gave a
    // table's AUTOINC column.
    qint64 changes() const;
    qint64 lastInsertId();
    // What statements name a row by: "rowid" on SQLite, the AUTOINC field on
    // the server (a table without one: its row address, valid until the row changes).
    QString rowIdentity(const QVector<FieldDef> &fields) const;
    // A work table of this session only (not seen by other workstations);
    // dropWorkTable ends it.
    void createWorkTable(const QString &table, const QVector<FieldDef> &columns);
    void dropWorkTable(const QString &table);

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

    // Running copies of the program on this database (the lock list). On a
    // data folder a copy is live while its process runs and its heartbeat is
    // fresh; on the server while its connection lasts (a crashed copy's
    // connection ends, and with it the copy).
    void registerRunningCopy(const QString &osUser);
    void unregisterRunningCopy();
    void heartbeat();
    QStringList runningUsers() const;   // OS user names of live copies
    // Live copies other than this one (what an exclusive open must wait for).
    int otherRunningCopies() const;
    // Those copies as "user (host)", in the order they started.
    QStringList otherRunningCopyNames() const;
    // Forgets every entry of the list (an administrator's clean-up).
    void clearRunningCopies();

    // What a table's rows were read at: equal stamps mean that nothing has
    // been written to the table since, neither through this session nor by
    // another workstation. SQLite: this session's changes counted per table
    // as rows change, and any commit of another connection or a change of
    // the schema gives a new stamp. Server: a change counter per table kept
    // by the server (a trigger of each table bumps it) and the table's
    // catalog row.
    using DataStamp = data::DataStamp;
    DataStamp dataStamp(const QString &file) const;

    // Busy database: retried for this long before an error.
    void setBusyTimeout(int ms);

    // The SQLite handle (for tools and benchmarks that measure SQLite
    // itself); null on the server.
    sqlite3 *handle() const { return sqlite_; }
    // Turns the last error into the engine's Polish message.
    QString lastError() const;
    // The Polish message of an SQLite result code.
    QString describeError(int rc) const;

    // The session behind (Statement's use).
    Connection &connection() const { return *conn_; }
    // Prepared statements kept for reuse (see Statement): take gives the
    // kept one or null; put keeps it and returns null, or hands it back
    // when it cannot be kept.
    std::unique_ptr<Cursor> takeCached(const QString &sql) const;
    std::unique_ptr<Cursor> putCached(const QString &sql, std::unique_ptr<Cursor> st) const;

private:
    Database(const QString &folder, SqlBackend backend, std::unique_ptr<Connection> conn, sqlite3 *sqlite);
    void clearCache() const;
    void watchColumns();

    QString folder_;
    SqlDialect dialect_;
    std::unique_ptr<Connection> conn_;
    sqlite3 *sqlite_ = nullptr;
    int txDepth_ = 0;
    qint64 copyId_ = 0;
    mutable QHash<QString, Cursor *> cache_;   // owned
    mutable QHash<QString, QVector<FieldDef>> fieldsCache_;
    mutable qint64 fieldsVersion_ = -1;
};

// The Polish message for a data folder that the system could not reach
// (permissions, a path through a file...).
QString describePathProblem(const QString &folder, std::error_code ec);

// Polish alphabetical order, as the statements that sort text apply it.
int polishCompare(const QString &a, const QString &b);

} // namespace fenwa::data
