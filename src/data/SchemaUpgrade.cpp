#include "data/SchemaUpgrade.h"

#include "data/Database.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"

#include <QRegularExpression>

namespace fenwa::data {

namespace {

constexpr const char *workName = "_fenwa5_upgrade";

bool isInternalTable(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_")) || name.startsWith(QLatin1Char('_'));
}

QString withoutCollation(QString sql)
{
    static const QRegularExpression collate(
        QStringLiteral("\\s+COLLATE\\s+(\"%1\"|%1)(?![\\w\"])").arg(kCollation),
        QRegularExpression::CaseInsensitiveOption);
    return sql.remove(collate);
}

// The value as the program reads it, in the stored form the type check wants.
QString converted(const QString &column, FieldType type)
{
    const QString c = quoteIdent(column);
    const QString blank = QStringLiteral("WHEN typeof(%1) = 'text' AND trim(%1) = '' THEN NULL ").arg(c);
    switch (type) {
    case FieldType::Integer:
        return QStringLiteral("CASE %2WHEN typeof(%1) = 'real' AND %1 = CAST(%1 AS INTEGER) "
                              "THEN CAST(%1 AS INTEGER) ELSE %1 END")
            .arg(c, blank);
    case FieldType::Float:
        return QStringLiteral("CASE %2ELSE %1 END").arg(c, blank);
    case FieldType::Boolean:
        return QStringLiteral("CASE %2WHEN typeof(%1) = 'text' AND lower(trim(%1)) IN ('true','t','1') THEN 1 "
                              "WHEN typeof(%1) = 'text' AND lower(trim(%1)) IN ('false','f','0') THEN 0 "
                              "WHEN typeof(%1) IN ('integer','real') THEN (%1 <> 0) ELSE %1 END")
            .arg(c, blank);
    case FieldType::Date:
        return QStringLiteral("CASE %2WHEN typeof(%1) = 'text' AND date(%1) IS NOT NULL "
                              "AND substr(%1, 1, 10) = date(%1) THEN date(%1) ELSE %1 END")
            .arg(c, blank);
    case FieldType::Timestamp:
        return QStringLiteral("CASE %2WHEN typeof(%1) = 'text' AND date(%1) IS %1 THEN %1 "
                              "WHEN typeof(%1) = 'text' AND datetime(%1) IS NOT NULL THEN datetime(%1) ELSE %1 END")
            .arg(c, blank);
    default:
        return c;
    }
}

struct Column {
    QString name;
    FieldType type;   // Unknown: carries no type check
};

QVector<Column> columnsOf(Database &db, const QString &table)
{
    QVector<Column> out;
    int keyColumns = 0, key = -1;
    Statement st(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(table)));
    while (st.step()) {
        const FieldDef f = fieldFromDeclaredType(st.text(1), st.text(2));
        if (st.integer(5) > 0) {
            ++keyColumns;
            key = int(out.size());
        }
        out << Column{f.name, SqlDialect::typeConstraint(f.name, f.type).isEmpty() ? FieldType::Unknown : f.type};
    }
    if (keyColumns == 1 && out[key].type == FieldType::Integer)
        out[key].type = FieldType::Unknown;   // the record number itself: always an integer
    return out;
}

// The type checks a table's definition lacks.
QStringList missingChecks(const QString &sql, const QVector<Column> &columns)
{
    QStringList checks;
    for (const Column &c : columns)
        if (c.type != FieldType::Unknown && !sql.contains(QStringLiteral("\"typ:%1:").arg(c.name), Qt::CaseInsensitive))
            checks << SqlDialect::typeConstraint(c.name, c.type);
    return checks;
}

// A column the program now declares wider than earlier versions did.
struct WidenedColumn {
    const char *table;
    const char *column;
    int size;
};
constexpr WidenedColumn widenedColumns[] = {{"passwd", "Password", 128}};

// The definition with every narrower widened column of the table set to its
// new size; the definition itself when nothing is to widen.
QString widened(const QString &table, QString sql)
{
    for (const WidenedColumn &w : widenedColumns) {
        if (table.compare(QLatin1String(w.table), Qt::CaseInsensitive) != 0)
            continue;
        const QRegularExpression decl(QStringLiteral("(?:\\b|\")%1\"?\\s+CHAR\\s*\\(\\s*(\\d+)\\s*\\)")
                                          .arg(QLatin1String(w.column)),
                                      QRegularExpression::CaseInsensitiveOption);
        const auto m = decl.match(sql);
        const int size = m.hasMatch() ? m.captured(1).toInt() : w.size;
        if (size >= w.size)
            continue;
        sql.replace(m.capturedStart(1), m.capturedLength(1), QString::number(w.size));
        // The length check that goes with the size (SqlDialect's "len:" constraint).
        const QString column = QLatin1String(w.column);
        sql.replace(QStringLiteral("\"%1\"").arg(SqlDialect::lengthConstraintName(column, size)),
                    QStringLiteral("\"%1\"").arg(SqlDialect::lengthConstraintName(column, w.size)));
        sql.replace(QRegularExpression(QStringLiteral("(length\\(\"?%1\"?\\)\\s*<=\\s*)%2(?!\\d)").arg(column).arg(size),
                                       QRegularExpression::CaseInsensitiveOption),
                    QStringLiteral("\\1%1").arg(w.size));
    }
    return sql;
}

qint64 sequenceOf(Database &db, const QString &table)
{
    if (!db.fileExists(QStringLiteral("sqlite_sequence")))
        return -1;
    Statement st(db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
    st.bind(1, table);
    return st.step() ? st.integer(0) : -1;
}

// The documented way to change what SQLite cannot alter: a new table in the
// wanted form, the rows copied, the old table dropped, the new one renamed and
// the indexes made again.
void rebuild(Database &db, const QString &table, const QString &sql, const QStringList &indexes,
             const QVector<Column> &columns)
{
    static const QRegularExpression head(QStringLiteral("^\\s*CREATE\\s+TABLE\\s+(\"(?:[^\"]|\"\")*\"|\\S+?)\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    QString create = withoutCollation(sql);
    const auto m = head.match(create);
    const int close = create.lastIndexOf(QLatin1Char(')'));
    if (!m.hasMatch() || close < m.capturedEnd())
        throw EngineError(QStringLiteral("Nie można uaktualnić tabeli „%1.db”: nieznana postać jej definicji.").arg(table));
    const QStringList checks = missingChecks(sql, columns);
    if (!checks.isEmpty())
        create.insert(close, QStringLiteral(", ") + checks.join(QStringLiteral(", ")));
    create.replace(0, m.capturedEnd(), QStringLiteral("CREATE TABLE %1 (").arg(QLatin1String(workName)));

    QStringList names, values;
    for (const Column &c : columns) {
        names << quoteIdent(c.name);
        values << converted(c.name, c.type);
    }
    const qint64 sequence = sequenceOf(db, table);
    db.execNative(create);
    try {
        db.execNative(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                          .arg(QLatin1String(workName), names.join(QStringLiteral(", ")),
                               values.join(QStringLiteral(", ")), quoteIdent(table)));
    } catch (const EngineError &e) {
        throw EngineError(QStringLiteral("Nie można uaktualnić bazy danych: tabela „%1.db”. %2 "
                                         "Baza danych nie została zmieniona.")
                              .arg(table, e.message()));
    }
    db.execNative(QStringLiteral("DROP TABLE %1").arg(quoteIdent(table)));
    db.execNative(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(QLatin1String(workName), quoteIdent(table)));
    if (sequence >= 0) {
        // An Id is never given twice, also after the rebuild.
        Statement del(db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"));
        del.bind(1, table);
        del.step();
        Statement ins(db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
        ins.bind(1, table);
        ins.bind(2, sequence);
        ins.step();
    }
    for (const QString &index : indexes)
        db.execNative(withoutCollation(index));
}

bool needsUpgrade(Database &db)
{
    Statement level(db, QStringLiteral("PRAGMA user_version"));
    if (level.step() && level.integer(0) < currentSchemaLevel)
        return true;
    Statement collated(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE sql LIKE '%COLLATE %1%' "
                                          "OR sql LIKE '%COLLATE \"%1\"%'")
                               .arg(kCollation));
    return collated.step();
}

} // namespace

void upgradeSchema(Database &db)
{
    if (!needsUpgrade(db))
        return;
    Database::Transaction tx(db);
    if (needsUpgrade(db)) {   // another workstation may have upgraded meanwhile
        struct Object {
            QString type, name, table, sql;
        };
        QVector<Object> objects;
        {
            Statement st(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master WHERE sql IS NOT NULL"));
            while (st.step())
                objects << Object{st.text(0), st.text(1), st.text(2), st.text(3)};
        }
        for (const Object &t : std::as_const(objects)) {
            if (t.type != QLatin1String("table") || isInternalTable(t.name))
                continue;
            QStringList indexes;
            bool collated = withoutCollation(t.sql) != t.sql;
            for (const Object &i : std::as_const(objects)) {
                if (i.type == QLatin1String("index") && i.table.compare(t.name, Qt::CaseInsensitive) == 0) {
                    indexes << i.sql;
                    collated = collated || withoutCollation(i.sql) != i.sql;
                }
            }
            const QVector<Column> columns = columnsOf(db, t.name);
            const QString sql = widened(t.name, t.sql);
            if (collated || sql != t.sql || !missingChecks(t.sql, columns).isEmpty())
                rebuild(db, t.name, sql, indexes, columns);
        }
        db.execNative(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaLevel));
    }
    tx.commit();
}

} // namespace fenwa::data
