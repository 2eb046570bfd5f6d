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
// Reads a date or timestamp in its stored form ("YYYY-MM-DD", "YYYY-MM-DD
// HH:MM:SS", size bytes of UTF-8) as the program's value of the type (a date
// also as a timestamp at midnight); an invalid QVariant when the text is not
// in that form.
QVariant fromIsoText(const char *text, int size, FieldType type);
// Converts a program value to what is stored: dates as text, booleans as 0/1,
// blank text as null; a value that readValue cannot read becomes null.
QVariant toStored(const QVariant &value, FieldType type);
// Reads a value given for a field of the type: a program value (number, date,
// logical) or a typed text in the Polish or the plain form ("1 234,56",
// "1234.56", "31.12.2024", "2024-12-31", "True"). A blank text is null.
// *ok is false when the value cannot be read as the type (an integer field
// takes whole numbers only).
QVariant readValue(const QVariant &value, FieldType type, bool *ok);
// What a value of the type is, for messages: "liczbą całkowitą", "datą"...
QString typeNoun(FieldType type);

} // namespace fenwa::data
