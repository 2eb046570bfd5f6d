#include "data/InstallationCopy.h"

#include "data/Schema.h"
#include "data/Seed.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

namespace fenwa::data {

namespace {

// A text in single quotes, inner quotes doubled (names read from the catalog).
QString quotedText(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

qint64 single(const Database &db, const QString &nativeSql)
{
    Statement st(db, nativeSql);
    return st.step() ? st.integer(0) : 0;
}

const FieldDef *autoIncField(const QVector<FieldDef> &fields)
{
    for (const FieldDef &f : fields)
        if (f.type == FieldType::AutoInc)
            return &f;
    return nullptr;
}

// Makes the table's AUTOINC field give Ids after `last` (none below what it gives already).
void keepIssuedId(Database &db, const QString &file, const QString &field, qint64 last)
{
    if (last <= lastIssuedId(db, file, field))
        return;
    const QString table = SqlDialect::tableName(file);
    if (db.isServer()) {
        single(db, QStringLiteral("SELECT setval(pg_get_serial_sequence(%1, %2), %3, true)")
                       .arg(quotedText(quoteIdent(table)), quotedText(field))
                       .arg(last));
        return;
    }
    db.execNative(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = %1; "
                                 "INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                      .arg(quotedText(table))
                      .arg(last));
}

// The CREATE TABLE statement of the dialect for a table of these fields.
QString createStatement(const QString &folder, const QString &file, const QVector<FieldDef> &fields)
{
    QStringList columns;
    for (const FieldDef &f : fields)
        columns << f.name + QLatin1Char(' ') + schema::declaredType(f);
    return QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(tablePath(folder, file), columns.join(QLatin1Char(',')));
}

// The rows one multi-row INSERT writes: as many as keep its parameters within
// what either backend takes in one statement.
int rowsPerInsert(int columns) { return std::clamp(4000 / std::max(columns, 1), 1, 500); }

// INSERT of `rows` rows of these fields into the target's table, in the
// backend's own text (names as the target stores them), "?" for each value.
QString insertStatement(const QString &file, const QVector<FieldDef> &fields, int rows)
{
    QStringList names;
    for (const FieldDef &f : fields)
        names << quoteIdent(f.name);
    const QString row =
        QLatin1Char('(') + QStringList(fields.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(quoteIdent(SqlDialect::tableName(file)), names.join(QLatin1Char(',')),
             QStringList(rows, row).join(QLatin1Char(',')));
}

// Copies one table's rows (the table made already); returns the rows read.
// Rows go in batches through one statement prepared once (the last,
// shorter batch through one of its own), so a table costs a few round trips
// and statement triggers instead of one per row.
qint64 copyRows(const Database &from, Database &to, const QString &file, const QVector<FieldDef> &fields)
{
    QStringList selected;
    for (const FieldDef &f : fields)
        selected << quoteIdent(f.name);
    const QString ordered = autoIncField(fields) ? QStringLiteral(" ORDER BY %1").arg(quoteIdent(autoIncField(fields)->name))
                                                 : QString();
    Statement rows(from, QStringLiteral("SELECT %1 FROM %2%3")
                             .arg(selected.join(QLatin1Char(',')), quoteIdent(SqlDialect::tableName(file)), ordered));
    const int columns = int(fields.size());
    const int batch = rowsPerInsert(columns);
    std::unique_ptr<Cursor> full;
    QVector<QVariant> pending;
    pending.reserve(batch * columns);
    const auto write = [&](int count) {
        std::unique_ptr<Cursor> shorter;
        Cursor *insert = nullptr;
        if (count == batch) {
            if (!full)
                full = to.connection().prepare(insertStatement(file, fields, batch), true);
            insert = full.get();
        } else {
            shorter = to.connection().prepare(insertStatement(file, fields, count), false);
            insert = shorter.get();
        }
        for (int k = 0; k < pending.size(); ++k)
            insert->bind(k + 1, pending[k]);
        insert->step();
        insert->reset(true);
        pending.clear();
    };
    qint64 count = 0;
    while (rows.step()) {
        for (int i = 0; i < columns; ++i) {
            QVariant v;
            if (rows.columnType(i) != SQLITE_NULL)
                v = fields[i].isText() ? QVariant(rows.text(i)) : rows.value(i, fields[i].type);
            pending << v;
        }
        if (++count % batch == 0)
            write(batch);
    }
    if (!pending.isEmpty())
        write(int(pending.size() / columns));
    return count;
}

void createIndexes(Database &to, const QString &file)
{
    if (const schema::TableSpec *shared = schema::find(file)) {
        schema::createIndexes(to, *shared);
        return;
    }
    const QString lower = file.toLower();
    if (QDir::match(QStringLiteral("?_????_????.db"), lower))
        schema::createRegisterIndexes(to, file);
}

} // namespace

qint64 lastIssuedId(const Database &db, const QString &file, const QString &field)
{
    const QString table = SqlDialect::tableName(file);
    const qint64 greatest =
        single(db, QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(quoteIdent(field), quoteIdent(table)));
    const qint64 counter =
        db.isServer()
            ? single(db, QStringLiteral("SELECT COALESCE(pg_sequence_last_value(pg_get_serial_sequence(%1, %2)::regclass), 0)")
                             .arg(quotedText(quoteIdent(table)), quotedText(field)))
            : single(db, QStringLiteral("SELECT COALESCE(MAX(seq), 0) FROM sqlite_sequence WHERE lower(name) = lower(%1)")
                             .arg(quotedText(table)));
    return std::max(greatest, counter);
}

QVector<CopiedTable> copyInstallation(const Database &from, Database &to,
                                      const std::function<void(const CopiedTable &)> &copied)
{
    if (!to.listFiles(QStringLiteral("*")).isEmpty())
        throw EngineError(QStringLiteral("Docelowa baza danych nie jest pusta: kopia instalacji może trafić tylko "
                                         "do nowej bazy danych. Nic nie zostało zmienione."));
    QVector<CopiedTable> done;
    QStringList made;
    try {
        ReadSnapshot snapshot(from);
        for (const QString &file : from.listFiles(QStringLiteral("*"))) {
            const QVector<FieldDef> fields = from.fields(file);
            Database::Transaction tx(to);
            made << file;
            to.exec(createStatement(to.folder(), file, fields));
            const qint64 rows = copyRows(from, to, file, fields);
            const qint64 stored = single(to, QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoteIdent(SqlDialect::tableName(file))));
            if (stored != rows)
                throw EngineError(QStringLiteral("Tabela %1: odczytano %2 wierszy, a zapisano %3. Kopia została przerwana.")
                                      .arg(file)
                                      .arg(rows)
                                      .arg(stored));
            if (const FieldDef *id = autoIncField(fields))
                keepIssuedId(to, file, id->name, lastIssuedId(from, file, id->name));
            createIndexes(to, file);
            tx.commit();
            done.append({file, rows});
            if (copied)
                copied(done.last());
        }
    } catch (...) {
        if (!to.inTransaction()) {
            for (const QString &file : std::as_const(made)) {
                try {
                    to.deleteFile(file);
                } catch (const EngineError &) {
                    // The error that stopped the copy is the one reported.
                }
            }
        }
        throw;
    }
    return done;
}

std::unique_ptr<Database> copyToNewInstallation(const Database &from, const QString &folder, const ServerAddress &server,
                                                const std::function<void(const CopiedTable &)> &copied)
{
    bool started = false;   // the new place was made: a failure after it undoes it
    const auto copy = [&](Database &to) {
        started = true;
        copyInstallation(from, to, copied);
    };
    try {
        return server.isSet() ? createServerDatabase(folder, server, copy) : createDatabase(folder, copy);
    } catch (const EngineError &e) {
        if (!started)
            throw;
        const QString undone =
            server.isSet() ? QStringLiteral("Kopia nie powiodła się: to, co utworzyła na serwerze (tabele, "
                                            "a nowy schemat „%1” w całości), zostało usunięte.")
                                 .arg(server.schema)
                           : QStringLiteral("Kopia nie powiodła się: w folderze %1 nie zapisano bazy danych.")
                                 .arg(QDir::toNativeSeparators(folder));
        throw EngineError(e.message() + QLatin1Char(' ') + undone);
    }
}

} // namespace fenwa::data
