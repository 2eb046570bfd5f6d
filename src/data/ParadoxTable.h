#pragma once
// Reads a table file of the older Paradox engine (a ".db" file of the
// previous program generation or of an earlier installation of this
// program), read-only: the file is never written, and its memo file (".mb")
// is never opened.
//
// Values come as the engine's values: text (decoded from the table's code
// page, 852 or 1250), int (short, long, autoincrement), double (number,
// money), bool (logical), QDate (date), QDateTime (timestamp), QTime (time);
// blank values are null QVariants. Memo and binary fields are reported with
// their type and read as null.
//
// Every failure (not a Paradox table, cut short, an unknown field type, a
// record that cannot be read) is an EngineError with a Polish message that
// names the file.
#include "data/EngineError.h"
#include "data/FieldDef.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace fenwa::data {

class ParadoxTable {
public:
    enum class Type { Alpha, Date, Short, Long, Currency, Number, Logical, Memo, Binary, Time, Timestamp, AutoInc, Bcd, Bytes };
    struct Field {
        QString name;
        Type type;
        int size;   // bytes in the record (for alpha: the declared length)
    };

    // Opens the file; codePage 0 takes the code page from the table's header
    // (a header without one, or with another than 852, is read as 1250).
    explicit ParadoxTable(const QString &path, int codePage = 0);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable &) = delete;
    ParadoxTable &operator=(const ParadoxTable &) = delete;

    const QString &path() const { return path_; }
    const QVector<Field> &fields() const { return fields_; }
    // Index of a field by name without regard to letter case; -1 when missing.
    int fieldIndex(const QString &name) const;
    int recordCount() const { return recordCount_; }
    int codePage() const { return codePage_; }

    // The values of record `recno` (0-based), one per field.
    QVector<QVariant> record(int recno) const;

    // "Plik {path} ...": the start of every message about the file.
    QString describe(const QString &problem) const;

private:
    struct Doc;
    QString path_;
    QVector<Field> fields_;
    int recordCount_ = 0;
    int codePage_ = 1250;
    std::unique_ptr<Doc> doc_;
};

// The field type as the table's designer named it, for messages and reports.
QString paradoxTypeName(ParadoxTable::Type type);

} // namespace fenwa::data

namespace fenwa::data {
// The engine's type a value of the Paradox type is kept as (memo and binary
// fields: text, always blank).
FieldType engineType(ParadoxTable::Type type);
} // namespace fenwa::data
