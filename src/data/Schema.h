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

// The CREATE TABLE statement of a shared table in the program's dialect.
QStringList createStatement(const QString &folder, const TableSpec &table);
// Builds the secondary indexes of a table (dropping existing ones first).
void createIndexes(Database &db, const TableSpec &table);

// Register files: fields and the statements, line for line.
const TableSpec &groupsTable();
const TableSpec &positionsTable();
QStringList createGroups(const QString &folder, const QString &suffix);
QStringList createPositions(const QString &folder, const QString &suffix);
QStringList probePositions(const QString &folder, const QString &suffix);    // SELECT ob ...
QStringList upgradePositions(const QString &folder, const QString &suffix);  // ALTER ... ADD Ob

// "{folder}\{file}" as the dialect writes a table path.
QString tablePath(const QString &folder, const QString &file);

} // namespace fenwa::data::schema
