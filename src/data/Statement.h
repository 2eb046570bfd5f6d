#pragma once
// A prepared statement of the backend (Backend.h): the engine's own thin
// wrapper, used only inside src/data. The text is the backend's own (the
// dialect's translation, or the engine's native statements).
//
// columnType gives SQLite's fundamental type codes (SQLITE_INTEGER,
// SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL) on either backend.
#include "data/Database.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <sqlite3.h>

namespace fenwa::data {

class Statement {
public:
    // cached: the prepared statement is kept by the database for the next use
    // of the same text (the engine's own statements, run again and again).
    Statement(const Database &db, const QString &nativeSql, bool cached = false);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value) { st_->bind(index, value); }   // 1-based
    void bindNamed(const Params &params);
    bool step() { return st_->step(); }   // true while a row is there; EngineError on failure
    void reset() { st_->reset(true); }

    int columnCount() const { return st_->columnCount(); }
    QString columnName(int i) const { return st_->columnName(i); }
    QString declaredType(int i) const { return st_->declaredType(i); }
    int columnType(int i) const { return st_->columnType(i); }
    QString text(int i) const { return st_->text(i); }
    qint64 integer(int i) const { return st_->integer(i); }
    double real(int i) const { return st_->real(i); }
    // The stored value converted to the program's value of the given type.
    QVariant value(int i, FieldType type) const { return st_->value(i, type); }

private:
    const Database &db_;
    std::unique_ptr<Cursor> st_;
    QString cacheKey_;
};

// Reads that see one state of the data (on a data folder under one shared
// lock: one look at the file on a network share instead of one per
// statement; on the server one repeatable-read, read-only transaction).
// Inside a transaction already open it does nothing. Ends when it goes out
// of scope: statements made inside it must end first, and nothing may write
// meanwhile.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    Connection *conn_ = nullptr;   // set while this object holds the transaction
};

} // namespace fenwa::data
