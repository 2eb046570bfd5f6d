#pragma once
// Translates the program's SQL dialect into SQLite's.
//
// The dialect names tables by full path in double quotes ("{folder}\name.db"),
// writes text and dates in double quotes ("text", "MM/DD/YYYY"), logical values
// as True/False, and creates tables with AUTOINC, CHAR(n), BOOLEAN, DATE,
// TIMESTAMP, FLOAT. A tokenizer reads the statement; nothing is replaced blindly
// inside literals or identifiers.
#include "data/FieldDef.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace fenwa::data {

enum class SqlBackend { Sqlite, PostgreSql };

struct TranslatedSql {
    QString sql;             // SQLite text
    QStringList tables;      // tables named by the statement (lower case, without ".db")
    bool isSelect = false;   // returns rows
};

class SqlDialect {
public:
    // dataFolder: the data folder, with or without a trailing separator.
    explicit SqlDialect(const QString &dataFolder, SqlBackend backend = SqlBackend::Sqlite);
    SqlBackend backend() const { return backend_; }

    // The columns of a table (by SQL name); lets a bare column name that two
    // joined tables share resolve to the first of them. Without it such a
    // statement is left as written.
    using ColumnsOf = std::function<QStringList(const QString &table)>;
    void setColumnsOf(ColumnsOf columns);

    // Throws EngineError (Polish message) on a statement it cannot read, or a
    // table path outside the data folder.
    TranslatedSql translate(const QString &statement) const;

    // "g_2016_2201.db" / "G_2016_2201.DB" / "{folder}\g_2016_2201.db" -> "g_2016_2201"
    static QString tableName(const QString &fileOrPath);
    // Folders compare after normalising separators and dropping a trailing one.
    static QString normalizeFolder(const QString &folder);

    // Each CHAR(n) column carries the named check "len:<column>:<n>". Given
    // SQLite's message of a failed check ("CHECK constraint failed: len:Opis:160"),
    // returns true and the column and its size when it is such a check.
    static bool parseLengthConstraint(const QString &sqliteMessage, QString *field, int *size);
    static QString lengthConstraintName(const QString &column, int size);
    // Each column of a number, logical, date or timestamp type carries the named
    // check "typ:<column>:<type>": it stores values of that type or null only
    // (integers also in a real-number column; dates as "YYYY-MM-DD", timestamps
    // as "YYYY-MM-DD HH:MM:SS"). Empty for the other types.
    static QString typeConstraint(const QString &column, FieldType type);
    // Given SQLite's message of a failed type check, returns true and the column
    // and its type.
    static bool parseTypeConstraint(const QString &sqliteMessage, QString *field, FieldType *type);

private:
    QString folder_;
    SqlBackend backend_;
    ColumnsOf columns_;
};

} // namespace fenwa::data
