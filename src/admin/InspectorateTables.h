#pragma once
// wiw.db and piw.db read through the table engine, each opened only for the
// moment of a lookup.
#include "admin/Settings.h"
#include "data/Database.h"

namespace fenwa::admin {

class InspectorateTables : public InspectorateSource {
public:
    explicit InspectorateTables(data::Database *db) : db_(db) {}
    void setDatabase(data::Database *db) { db_ = db; }

    QVector<Inspectorate> voivodeships() override;   // T_WIW: woj, Kod, Nazwa, ulica, Miasto
    QVector<Inspectorate> counties() override;       // T_PIW: powiat, Kod, Nazwa, ulica, Miasto

private:
    QVector<Inspectorate> read(const QString &table, const QString &object, const QString &nameField);
    data::Database *db_;
};

} // namespace fenwa::admin
