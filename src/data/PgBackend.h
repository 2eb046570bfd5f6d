#pragma once
// The engine on a PostgreSQL server (libpq): one installation is one schema
// of a database; one connection per running copy.
//
// - statements: "?" and ":name" parameters become $1, $2...; values travel
//   as text with their lengths (binary-safe for every text the program
//   stores) and the server infers their types from the statement; results
//   come back as text and are read into the program's values by the
//   column's type; a value the server refuses for its type is reported
//   naming the field it was given for (a parameter's or a literal's).
//   Statements the engine keeps (Statement's cache) and the engine's own
//   fixed catalogue and stamp queries are prepared on the server once per
//   connection (PQprepare/PQexecPrepared); the others are parsed and run in
//   one round trip.
// - the write lock: a writing transaction takes a transaction-scoped
//   advisory lock of the installation at BEGIN, so writers queue as on a
//   data folder while readers go on; a write statement run outside a
//   transaction runs as a transaction of its own under that lock (as
//   SQLite's autocommit write takes the file's lock); a reading snapshot is
//   a repeatable-read, read-only transaction. Waiting for the lock ends after the busy timeout
//   (lock_timeout) with the engine's "busy" message.
// - data stamps: each table of the schema gets a statement-level trigger
//   that bumps the table's row of _fenwa5_versions, so another connection's
//   commit gives a new stamp; a change of the table's columns changes its
//   catalog row, which is in the stamp too.
// - running copies: a row each in _fenwa5_running; a copy holds a session
//   advisory lock keyed by its row while its connection lasts, and only
//   copies whose lock is held are live (a crashed copy's lock goes with its
//   connection).
// - the schema's version is the row '' of _fenwa5_versions: every
//   statement the engine runs that creates, alters or drops a table or an
//   index bumps it in the same transaction (under the write lock), so one
//   read of a row tells whether another workstation changed tables. It is
//   read once per transaction this session opened: in a reading snapshot it
//   stands still, and under the write lock no other workstation changes
//   tables; a statement of this session that may change them (anything but
//   SELECT, INSERT, UPDATE, DELETE) makes it be read again. A schema made
//   before the row existed reads 0 until its first change inserts it; a
//   change of tables made by a copy of the program older than the row (or
//   by hand on the server) does not bump it: such a copy must not share the
//   installation with newer ones, and changes by hand are followed by
//   restarting the copies. A table's own data stamp still follows its
//   catalog row, whoever changed it.
// - identifiers: tables by their lower-case SQL name; columns as the
//   statement that created them wrote them (the program's own case: "Dok").
#include "data/Backend.h"

#include <QByteArray>
#include <QHash>

struct pg_conn;
struct pg_result;

namespace fenwa::data {

class PgConnection final : public Connection {
public:
    // Connects and checks the installation's schema (made when create is
    // set) and the Polish collation; EngineError with the Polish reason.
    static std::unique_ptr<PgConnection> open(const QByteArray &conninfo, const QString &schema, bool create);
    ~PgConnection() override;

    pg_conn *handle() const { return conn_; }
    const QString &schema() const { return schema_; }

    // Runs simple-protocol text; the result (owned by the caller) when it
    // succeeded, else EngineError.
    pg_result *run(const QString &sql);
    // The Polish message of a failed result (null: the connection's own error).
    QString describe(const pg_result *result) const;
    // After a statement finished: its changed-rows count, the tables a
    // CREATE TABLE made get their stamp trigger, and a statement that changed
    // tables bumps the schema's version.
    void finished(const pg_result *result, bool createdTable, bool changedTables);

    std::unique_ptr<Cursor> prepare(const QString &nativeSql, bool kept) override;
    void execNative(const QString &nativeSql) override;
    qint64 changes() const override { return changes_; }
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

    QString lastError() const override { return lastError_; }
    // Keeps a message made elsewhere as the last error; returns it.
    const QString &noteError(const QString &message) const
    {
        lastError_ = message;
        return lastError_;
    }

    // A fresh name for a statement prepared on the server.
    QByteArray nextStatementName() { return "f5_" + QByteArray::number(++statements_); }

private:
    PgConnection(pg_conn *conn, QString schema);
    void setUpSchema();
    QString polishMessage(const pg_result *result) const;
    // Runs a statement of the engine's own with parameters (its text fixed
    // for the connection, prepared on the server once); rows as texts.
    QVector<QStringList> query(const QString &sql, const QStringList &params = {});

    pg_conn *conn_ = nullptr;
    QString schema_;
    QString quotedSchema_;
    qint64 lockKey_ = 0;    // the installation's write lock
    int copyClass_ = 0;     // the first key of the running copies' locks
    qint64 changes_ = 0;
    bool ownTransaction_ = false;      // opened by beginWrite or beginRead
    bool reading_ = false;             // a reading snapshot opened by beginRead
    qint64 heldSchemaVersion_ = -1;    // read in that transaction; -1: read it anew
    quint64 statements_ = 0;
    QHash<QString, QByteArray> fixedStatements_;   // query's texts and their prepared names
    mutable QString lastError_;
};

} // namespace fenwa::data
