#pragma once
// The engine on SQLite: the database fenwa5.sqlite of a data folder.
//
// - the Polish order: the collation "PL", registered on open, never declared
//   in the stored schema;
// - the write lock: SQLite's own file locking (rollback journal, so a network
//   share works); a writing transaction is BEGIN IMMEDIATE;
// - running copies: a row each in _fenwa5_running with the process id and a
//   heartbeat; a copy whose process is gone or whose heartbeat is old is over;
// - data stamps: SQLite's data_version for other connections' commits and
//   this session's own changes counted per table as SQLite reports them.
#include "data/Backend.h"

#include <QHash>
#include <QString>

struct sqlite3;

namespace fenwa::data {

class SqliteConnection final : public Connection {
public:
    // Takes over an open handle.
    SqliteConnection(sqlite3 *db, QString folder);
    ~SqliteConnection() override;

    sqlite3 *handle() const { return db_; }
    // The Polish message of an SQLite result code (extended codes name the cause).
    QString describeError(int rc) const;

    std::unique_ptr<Cursor> prepare(const QString &nativeSql, bool kept) override;
    void execNative(const QString &nativeSql) override;
    qint64 changes() const override;
    qint64 lastInsertId() override;
    QString rowIdentity(const QVector<FieldDef> &fields) const override;

    void beginWrite() override;
    void commit() override;
    void rollback() noexcept override;
    bool beginRead() override;
    void endRead() noexcept override;
    void setBusyTimeout(int ms) override;

    bool tableExists(const QString &table) override;
    QStringList tableNames() override;
    QVector<FieldDef> columns(const QString &table) override;
    qint64 schemaVersion() override;
    QStringList indexNames(const QString &table) override;
    void createIndex(const QString &index, const QString &table, const QString &column) override;
    void reindex(const QString &table) override;
    void pack() override;
    void copyTo(const QString &file) override;
    void replaceWith(const QString &file) override;
    QStringList integrityProblems() override;
    void createWorkTable(const QString &table, const QVector<FieldDef> &columns) override;
    void dropWorkTable(const QString &table) override;

    DataStamp dataStamp(const QString &table) override;

    qint64 registerCopy(const QString &osUser, const QString &host, qint64 pid, const QDateTime &now) override;
    void unregisterCopy(qint64 id) override;
    void heartbeat(qint64 id, const QDateTime &now) override;
    QVector<RunningCopy> liveCopies(const QDateTime &now) override;
    void clearCopies() override;

    QString lastError() const override;

private:
    void installFunctions();
    void ensureRunningTable();
    // A statement of the connection's own, prepared once and kept.
    Cursor &kept(std::unique_ptr<Cursor> &slot, const char *sql);

    sqlite3 *db_ = nullptr;
    QString folder_;
    // Rows changed through this session, per table (lower-case SQL name), as
    // SQLite reports them; and the changes SQLite counted without reporting
    // them (a DELETE of every row): those make every table's stamp new.
    QHash<QByteArray, quint64> tableWrites_;
    quint64 reportedChanges_ = 0;
    quint64 accountedReported_ = 0;
    qint64 accountedTotal_ = 0;
    quint64 unaccounted_ = 0;
    std::unique_ptr<Cursor> existsSt_, schemaSt_, stampSt_;
};

} // namespace fenwa::data
