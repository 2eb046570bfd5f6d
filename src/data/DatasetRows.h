#pragma once
// The records of a dataset kept compactly: one typed slot a value in a vector
// per column, nulls as bits, every text stored once per set in one character
// buffer. A value becomes a QVariant only when it is read, and reads back
// exactly as it was appended (same type, same value). Rows are appended while
// a dataset reads its records and never change afterwards.
#include "data/FieldDef.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <cstdint>
#include <vector>

namespace fenwa::data {

class Statement;

class DatasetRows {
public:
    explicit DatasetRows(int columns = 0);

    int rowCount() const { return rows_; }
    int columnCount() const { return int(columns_.size()); }
    bool isEmpty() const { return rows_ == 0; }

    // One value a column; a missing value is a null.
    void append(const QVector<QVariant> &record);
    // A row given value by value, as a statement is read: one call for each
    // column, in any order, then endRow(). Reads back as append() of the same
    // values as QVariants does.
    void putNull(int column);
    void putInt(int column, qint64 value);
    void putDouble(int column, double value);
    void putBool(int column, bool value);
    void putDate(int column, QDate value);
    void putDateTime(int column, const QDateTime &value);
    void putText(int column, const QString &value);
    void putUtf8(int column, QByteArrayView text);   // a text given in UTF-8
    void putVariant(int column, const QVariant &value);
    // A column's value of the statement's current row, as value(i, type)
    // of the statement gives it.
    void putStored(int column, const Statement &statement, int i, FieldType type);
    void endRow() { ++rows_; }
    QVariant value(int row, int column) const;   // invalid outside the set
    QVector<QVariant> record(int row) const;

    // The numbers of a column read so far become floating-point values (a sum
    // over integers that later meets a fraction).
    void widenToDouble(int column);
    // Drops what only appending needs (the index of the texts seen).
    void finish();

private:
    enum class Kind : quint8 { Empty, Int, Double, Bool, Date, DateTime, Text, Variant };
    struct Column {
        Kind kind = Kind::Empty;
        std::vector<quint32> narrow;    // Bool, Date (Julian day), Text (number in the pool)
        std::vector<quint64> wide;      // Int, Double (bits), DateTime (day and milliseconds)
        std::vector<QVariant> variants; // values of mixed or uncommon types
        std::vector<bool> nulls;
    };
    // Readies the column for a value of the kind; false when the column keeps
    // QVariants (its values are of mixed kinds).
    bool holds(Column &c, Kind k);
    QVariant get(const Column &c, int row) const;
    void makeVariant(Column &c);
    quint32 textNumber(const QString &s);

    std::vector<Column> columns_;
    int rows_ = 0;
    std::vector<char16_t> chars_;       // every distinct text, one after another
    std::vector<quint32> textStarts_;   // where each text begins; one more entry marks the end
    QHash<QString, quint32> textIndex_; // while appending
    QHash<QByteArray, quint32> utf8Index_; // the same texts by their UTF-8 form, while appending
};

} // namespace fenwa::data
