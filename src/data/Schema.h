#pragma once
// The catalogue of every table the program uses: files, fields, types, sizes
// and indexes, and the statements that create and upgrade them.
#include "data/FieldDef.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::data {
class Database;
}

namespace fenwa::data::schema {

struct TableSpec {
    QString file;                 // "rozdz.db"
    QVector<FieldDef> fields;     // in physical order; Id (AutoInc) first where present
    QStringList indexes;          // secondary indexes, each on the field of its name
    bool hasKey = true;           // Id is the primary index
};

// Every shared table, in catalogue order (passwd, wiw, piw, jp, rozdz, par, zf,
// ch, gat, jm, kontr, bd, bp, cz, zak, prac, ob).
const QVector<TableSpec> &sharedTables();
// A shared table by file name (any letter case), nullptr when it is not one.
const TableSpec *find(const QString &file);

// A field's type as the dialect's CREATE TABLE declares it: "AUTOINC",
// "CHAR(40)", "FLOAT"...
QString declaredType(const FieldDef &field);

// The CREATE TABLE statement of a shared table in the program's dialect.
QStringList createStatement(const QString &folder, const TableSpec &table);
// Builds the secondary indexes of a table (dropping existing ones first).
void createIndexes(Database &db, const TableSpec &table);

// Register files: fields and the statements, line for line.
const TableSpec &groupsTable();
const TableSpec &positionsTable();
QStringList createGroups(const QString &folder, const QString &suffix);
QStringList createPositions(const QString &folder, const QString &suffix);
QStringList upgradePositions(const QString &folder, const QString &suffix);  // ALTER ... ADD Ob
// Whether a positions file already has ob, read from its column list (the
// table's rows are not read).
bool positionsHaveOb(const Database &db, const QString &suffix);

// The indexed fields of a register file: for the positions, Dok, every
// field that refers to a dictionary and the fields the positions list shows
// (ordered by a click on their titles); for the groups, Dok, Rozdz, Par and
// Mc. They serve a group's positions and sums, a month's groups, the
// reference scans before a dictionary entry is deleted and the lists' order.
QStringList registerIndexFields(const QString &file);
// The indexes of registerIndexFields that the file lacks (read from the
// schema, no rows).
QStringList missingRegisterIndexes(const Database &db, const QString &file);
// Creates the missing indexes of a register file (plain column order, no
// collation: they serve equality). Call inside a write transaction.
void createRegisterIndexes(Database &db, const QString &file);

} // namespace fenwa::data::schema
