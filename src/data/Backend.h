#pragma once
// The seam between the table engine and the database it runs on: a session
// (Connection) and its prepared statements (Cursor). Database and Statement
// hold one of each and keep their own API for the rest of the program; two
// implementations exist, SQLite on the data folder's file (SqliteBackend.h)
// and PostgreSQL through libpq (PgBackend.h).
//
// Errors are thrown as EngineError with the Polish message already made.
#include "data/FieldDef.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace fenwa::data {

// What a table's rows were read at: equal stamps mean that nothing has been
// written to the table since (see Database::dataStamp).
struct DataStamp {
    qint64 dataVersion = -1;
    qint64 schemaVersion = -1;
    quint64 unaccounted = 0;   // this session's changes no table was told of
    quint64 tableWrites = 0;
    bool operator==(const DataStamp &) const = default;
};

// A live running copy of the program on the database.
struct RunningCopy {
    qint64 id = 0;
    QString osUser;
    QString host;
};

// One prepared statement. Values are read as SQLite's fundamental types on
// either backend: columnType gives SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT,
// SQLITE_BLOB or SQLITE_NULL of the current row's value.
class Cursor {
public:
    virtual ~Cursor() = default;

    virtual void bind(int index, const QVariant &value) = 0;   // 1-based
    // The index of the named parameter (":dzis"); 0 when the statement has none.
    virtual int parameterIndex(const QString &name) const = 0;
    virtual bool step() = 0;   // true while a row is there
    // Rewinds for the next run; clearBindings also forgets the bound values.
    virtual void reset(bool clearBindings) = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    virtual QString declaredType(int i) const = 0;
    virtual int columnType(int i) const = 0;
    virtual QString text(int i) const = 0;
    virtual qint64 integer(int i) const = 0;
    virtual double real(int i) const = 0;
    // The stored value converted to the program's value of the given type.
    virtual QVariant value(int i, FieldType type) const = 0;
};

// One session on the database of an installation.
class Connection {
public:
    virtual ~Connection() = default;

    // kept: the statement will run again and again (the server prepares it
    // once under a name); otherwise it may be parsed anew at each run.
    virtual std::unique_ptr<Cursor> prepare(const QString &nativeSql, bool kept) = 0;
    // Runs native text (one or more statements) that returns no rows.
    virtual void execNative(const QString &nativeSql) = 0;
    // Rows changed by the last statement that finished.
    virtual qint64 changes() const = 0;
    // The value the last INSERT gave a table's AUTOINC column.
    virtual qint64 lastInsertId() = 0;
    // The row identity a statement selects and updates by: SQLite's rowid, or
    // on the server the AUTOINC column of the fields (ctid without one).
    virtual QString rowIdentity(const QVector<FieldDef> &fields) const = 0;

    // Transactions: a writing one takes the installation's write lock at once;
    // a reading one sees one state of the data. beginRead returns false when
    // a transaction is open already (the reads then join it).
    virtual void beginWrite() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
    virtual bool beginRead() = 0;
    virtual void endRead() noexcept = 0;
    virtual void setBusyTimeout(int ms) = 0;

    // Tables (by SQL name) and their catalog.
    virtual bool tableExists(const QString &table) = 0;
    virtual QStringList tableNames() = 0;   // the program's own tables, in name order
    virtual QVector<FieldDef> columns(const QString &table) = 0;   // empty when missing
    // Changes whenever any table's columns change (also by another session).
    virtual qint64 schemaVersion() = 0;
    virtual QStringList indexNames(const QString &table) = 0;
    virtual void createIndex(const QString &index, const QString &table, const QString &column) = 0;
    virtual void reindex(const QString &table) = 0;
    virtual void pack() = 0;
    virtual void copyTo(const QString &file) = 0;
    virtual void replaceWith(const QString &file) = 0;
    // Problems of the stored data found by the backend's own check; empty when whole.
    virtual QStringList integrityProblems() = 0;
    // A work table private to this session, dropped by dropWorkTable.
    virtual void createWorkTable(const QString &table, const QVector<FieldDef> &columns) = 0;
    virtual void dropWorkTable(const QString &table) = 0;

    virtual DataStamp dataStamp(const QString &table) = 0;

    // The running copies' list.
    virtual qint64 registerCopy(const QString &osUser, const QString &host, qint64 pid, const QDateTime &now) = 0;
    virtual void unregisterCopy(qint64 id) = 0;
    virtual void heartbeat(qint64 id, const QDateTime &now) = 0;
    virtual QVector<RunningCopy> liveCopies(const QDateTime &now) = 0;
    virtual void clearCopies() = 0;

    // The Polish message of the last failure.
    virtual QString lastError() const = 0;
};

// The Polish message of a failed named check of the dialect, given as SQLite
// words it ("CHECK constraint failed: len:Opis:160"); empty for another check.
QString describeCheckFailure(const QString &message);

} // namespace fenwa::data
