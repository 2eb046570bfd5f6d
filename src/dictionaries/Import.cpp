#include "dictionaries/Import.h"

#include "data/Database.h"
#include "data/ParadoxTable.h"
#include "data/SqlBuilder.h"

#include <QDir>

namespace fenwa::dictionaries {

namespace {

const char *const workTable = "fenwa5_import";

// Creates the work table with the source's fields and copies every record
// of the file into it (values in their stored forms).
void fillWorkTable(data::Database &db, const data::ParadoxTable &source)
{
    QVector<data::FieldDef> columns;
    QStringList markers;
    for (int i = 0; i < source.fields().size(); ++i) {
        data::FieldDef column;
        column.name = source.fields()[i].name;
        column.type = data::engineType(source.fields()[i].type);
        columns << column;
        markers << QStringLiteral(":v%1").arg(i);
    }
    db.createWorkTable(QLatin1String(workTable), columns);
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(QLatin1String(workTable), markers.join(QLatin1Char(',')));
    for (int r = 0; r < source.recordCount(); ++r) {
        const QVector<QVariant> values = source.record(r);
        data::Params params;
        for (int i = 0; i < values.size(); ++i)
            params.append({markers[i], data::toStored(values[i], data::engineType(source.fields()[i].type))});
        db.exec(insert, params);
    }
}

} // namespace

const ImportSource &importSource(ImportKind kind)
{
    static const ImportSource sources[] = {
        {QStringLiteral("Kontrahenci"), QStringLiteral("kontr.db"), QStringLiteral("Słownik kontrahentów"),
         QStringLiteral("Kontrahenci.db"), QStringLiteral("nazwa,im_naz,ulica,miasto"),
         QStringLiteral("nazwa,im_naz,ulica,miasto"), QString()},
        {QStringLiteral("Zakupy"), QStringLiteral("zak.db"), QStringLiteral("Słownik zakupów"),
         QStringLiteral("Zakupy.db"), QStringLiteral("zak"), QStringLiteral("nazwa"), QString()},
        {QStringLiteral("Badania diagostyczne ..."), QStringLiteral("bd.db"),
         QStringLiteral("Słownik badań diagnostycznych"), QStringLiteral("badania.db"), QStringLiteral("bd"),
         QStringLiteral("badanie"), QStringLiteral("WHERE Dzial = True")},
        {QStringLiteral("Badania pozostałości ..."), QStringLiteral("bp.db"),
         QStringLiteral("Słownik badań pozostałości"), QStringLiteral("badania.db"), QStringLiteral("bp"),
         QStringLiteral("badanie"), QStringLiteral("WHERE Dzial = False")},
    };
    return sources[int(kind)];
}

QString importFilter(ImportKind kind)
{
    const ImportSource &s = importSource(kind);
    return s.description + QLatin1Char('|') + s.fileName;
}

QString importStatement(const QString &dataFolder, ImportKind kind, const QString &work)
{
    const ImportSource &s = importSource(kind);
    // Contractors come in visible: a blank Ukr would keep them out of every
    // choice list, which offers the entries whose Ukr is false.
    const bool contractors = kind == ImportKind::Contractors;
    QStringList lines{
        QStringLiteral("INSERT INTO \"%1\" (%2%3)")
            .arg(data::tablePath(dataFolder, s.table), s.columns,
                 contractors ? QStringLiteral(",Ukr") : QString()),
        QStringLiteral("SELECT %1%2 FROM %3").arg(s.sourceColumns, contractors ? QStringLiteral(",False") : QString(), work)};
    if (!s.condition.isEmpty())
        lines << s.condition;
    return lines.join(QLatin1Char('\n'));
}

ImportResult importDictionary(data::Database &db, ImportKind kind, const QString &file)
{
    ImportResult result;
    try {
        const data::ParadoxTable source(file);
        data::Database::Transaction tx(db);
        fillWorkTable(db, source);
        result.rows = db.exec(importStatement(db.folder(), kind, QLatin1String(workTable)));
        db.dropWorkTable(QLatin1String(workTable));
        tx.commit();
        return result;
    } catch (const data::EngineError &e) {
        result.reason = e.message();
    } catch (const std::exception &e) {
        result.reason = QString::fromLocal8Bit(e.what());
    }
    result.rows = 0;
    result.error = QStringLiteral("Pliku ") + QDir::toNativeSeparators(file)
        + QStringLiteral(" nie można importować do słownika ") + importSource(kind).caption;
    return result;
}

} // namespace fenwa::dictionaries
