#include "admin/InspectorateTables.h"

#include "data/Table.h"

namespace fenwa::admin {

QVector<Inspectorate> InspectorateTables::read(const QString &table, const QString &object,
                                               const QString &nameField)
{
    if (!db_)
        throw data::EngineError(QStringLiteral("Brak połączenia z bazą danych."));
    data::Table t(db_, object);
    t.setTableName(table);
    t.setReadOnly(true);
    t.open();
    QVector<Inspectorate> rows;
    rows.reserve(t.recordCount());
    for (t.first(); !t.eof(); t.next()) {
        Inspectorate row;
        row.name = t.asString(nameField);
        row.kod = t.asString(QStringLiteral("Kod"));
        row.nazwa = t.asString(QStringLiteral("Nazwa"));
        row.ulica = t.asString(QStringLiteral("ulica"));
        row.miasto = t.asString(QStringLiteral("Miasto"));
        rows << row;
    }
    t.close();
    return rows;
}

QVector<Inspectorate> InspectorateTables::voivodeships()
{
    return read(QStringLiteral("wiw.db"), QStringLiteral("T_WIW"), QStringLiteral("woj"));
}

QVector<Inspectorate> InspectorateTables::counties()
{
    return read(QStringLiteral("piw.db"), QStringLiteral("T_PIW"), QStringLiteral("powiat"));
}

} // namespace fenwa::admin
