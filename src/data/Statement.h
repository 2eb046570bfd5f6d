#pragma once
// A prepared SQLite statement: the engine's own thin wrapper, used only
// inside src/data.
#include "data/Database.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

namespace fenwa::data {

class Statement {
public:
    // cached: the prepared statement is kept by the database for the next use
    // of the same text (the engine's own statements, run again and again).
    Statement(const Database &db, const QString &sqliteSql, bool cached = false);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value);   // 1-based
    void bindNamed(const Params &params);
    bool step();   // true while a row is there; EngineError on failure
    void reset();

    int columnCount() const { return sqlite3_column_count(st_); }
    QString columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(st_, i)); }
    QString declaredType(int i) const
    {
        const char *t = sqlite3_column_decltype(st_, i);
        return t ? QString::fromUtf8(t) : QString();
    }
    // The name and declared type as the database gives them, in UTF-8 (the
    // type empty for an expression): valid while the statement is.
    QByteArrayView columnNameUtf8(int i) const { return QByteArrayView(sqlite3_column_name(st_, i)); }
    QByteArrayView declaredTypeUtf8(int i) const { return QByteArrayView(sqlite3_column_decltype(st_, i)); }
    int columnType(int i) const { return sqlite3_column_type(st_, i); }
    QString text(int i) const;
    // The value as UTF-8 text, without a copy: valid until the next step.
    QByteArrayView utf8(int i) const
    {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st_, i));
        return QByteArrayView(t, t ? sqlite3_column_bytes(st_, i) : 0);
    }
    qint64 integer(int i) const { return sqlite3_column_int64(st_, i); }
    double real(int i) const { return sqlite3_column_double(st_, i); }
    // The stored value converted to the program's value of the given type.
    QVariant value(int i, FieldType type) const;

    sqlite3_stmt *handle() const { return st_; }

private:
    const Database &db_;
    sqlite3_stmt *st_ = nullptr;
    QString cacheKey_;
};

// Reads that see one state of the data under one shared lock (one look at
// the file on a network share instead of one per statement). Inside a
// transaction already open it does nothing. Ends when it goes out of scope:
// statements made inside it must end first, and nothing may write meanwhile.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    sqlite3 *db_ = nullptr;   // set while this object holds the transaction
};

} // namespace fenwa::data
