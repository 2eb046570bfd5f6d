#pragma once
#include <QString>
#include <QVariant>
#include <QVector>

namespace fenwa::data {

enum class FieldType { Unknown, AutoInc, Integer, Float, Boolean, Date, Timestamp, String };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Unknown;
    int size = 0;            // CHAR(n): n; 0 for other types
    bool lookup = false;     // derived on display, never stored

    bool isText() const { return type == FieldType::String; }
    bool isNumeric() const
    {
        return type == FieldType::Integer || type == FieldType::AutoInc || type == FieldType::Float;
    }
};

// Declared type text of a column ("CHAR(40)", "FLOAT", "BOOLEAN"...) to a field definition.
FieldDef fieldFromDeclaredType(const QString &name, const QString &declaredType);
// Converts a stored value to the program's value of the given type (QDate, QDateTime, bool...).
QVariant fromStored(const QVariant &stored, FieldType type);
// Converts a program value to what is stored: dates as text, booleans as 0/1, blank text as null.
QVariant toStored(const QVariant &value, FieldType type);

} // namespace fenwa::data
