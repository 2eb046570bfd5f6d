#include "admin/Migration.h"

#include "data/Database.h"
#include "data/ParadoxTable.h"
#include "data/Schema.h"
#include "data/Seed.h"
#include "data/SqlBuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <memory>
#include <optional>

namespace fenwa::admin {

namespace {

using data::FieldDef;
using data::FieldType;

// Whether a value of the Paradox field can be kept in a column of the type.
bool fits(data::ParadoxTable::Type source, FieldType target)
{
    const FieldType t = data::engineType(source);
    if (target == FieldType::AutoInc || target == FieldType::Integer)
        return t == FieldType::Integer || t == FieldType::AutoInc;
    if (target == FieldType::Float)
        return t == FieldType::Float || t == FieldType::Integer;
    return t == target && source != data::ParadoxTable::Type::Memo && source != data::ParadoxTable::Type::Binary
        && source != data::ParadoxTable::Type::Bytes;
}

// Fields a file of an older version may lack, filled as the program's
// upgrade fills them; nullopt for a field no upgrade adds.
std::optional<QVariant> upgradedValue(const QString &file, const FieldDef &f)
{
    if (f.name.compare(QLatin1String("Ukr"), Qt::CaseInsensitive) == 0)
        return QVariant(false);
    if (f.name.compare(QLatin1String("ob"), Qt::CaseInsensitive) == 0 && file.startsWith(QLatin1Char('p')))
        return QVariant();
    return std::nullopt;
}

struct Plan {
    QVector<int> sourceOf;       // per target field: source field index, -1 for an upgraded one
    QVector<QVariant> fill;      // value of an upgraded field
    QString problem;             // why the table cannot be taken
};

Plan planCopy(const data::ParadoxTable &source, const QString &file, const QVector<FieldDef> &target)
{
    Plan plan;
    QStringList missing, unknown, otherType;
    QVector<bool> used(source.fields().size(), false);
    for (const FieldDef &f : target) {
        const int at = source.fieldIndex(f.name);
        if (at < 0) {
            const std::optional<QVariant> v = upgradedValue(file, f);
            if (!v)
                missing << f.name;
            plan.sourceOf << -1;
            plan.fill << v.value_or(QVariant());
            continue;
        }
        used[at] = true;
        if (!fits(source.fields()[at].type, f.type))
            otherType << QStringLiteral("%1 (%2)").arg(f.name, data::paradoxTypeName(source.fields()[at].type));
        plan.sourceOf << at;
        plan.fill << QVariant();
    }
    for (int i = 0; i < used.size(); ++i)
        if (!used[i])
            unknown << source.fields()[i].name;
    QStringList problems;
    if (!missing.isEmpty())
        problems << QStringLiteral("brak pól %1").arg(missing.join(QStringLiteral(", ")));
    if (!unknown.isEmpty())
        problems << QStringLiteral("pola nieznane programowi %1").arg(unknown.join(QStringLiteral(", ")));
    if (!otherType.isEmpty())
        problems << QStringLiteral("pola innego typu %1").arg(otherType.join(QStringLiteral(", ")));
    plan.problem = problems.join(QStringLiteral("; "));
    return plan;
}

// plan.db, the plan realisation's work table: Rozdz, zf, then one number
// column per paragraph ("par..."), as the report builds it.
QVector<FieldDef> planFields(const data::ParadoxTable &source)
{
    QVector<FieldDef> fields{{QStringLiteral("Rozdz"), FieldType::String, 10},
                             {QStringLiteral("zf"), FieldType::String, 150}};
    for (const auto &f : source.fields())
        if (f.name.startsWith(QLatin1String("par"), Qt::CaseInsensitive))
            fields.append({f.name, FieldType::Float, 0});
    return fields;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

QString MigrationReport::text() const
{
    QStringList lines{QStringLiteral("Tabela: wierszy odczytanych / zapisanych")};
    for (const Table &t : tables)
        lines << QStringLiteral("%1: %2 / %3").arg(t.file).arg(t.read).arg(t.written);
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Pominięte pliki:");
        lines += skipped;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

MigrationReport migrateLegacyFolder(const QString &oldFolder, const QString &newFolder, const QDate &today,
                                    const std::function<void(const QString &file)> &reading)
{
    const QDir old(oldFolder);
    if (!old.exists())
        throw data::EngineError(QStringLiteral("Folder %1 nie istnieje.").arg(QDir::toNativeSeparators(oldFolder)));
    const QFileInfoList files = old.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    static const QRegularExpression registerName(QStringLiteral("^([gp])(_\\d{4}_\\w{4}\\.db)$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    MigrationReport report;
    QSet<QString> done;   // tables written, by lower-case file name

    auto fill = [&](data::Database &db) {
        data::Database::Transaction tx(db);
        for (const QFileInfo &info : files) {
            const QString name = info.fileName();
            if (!name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
                continue;   // index, memo and control files of the older engine
            if (reading)
                reading(name);
            const QString lower = name.toLower();
            const auto skip = [&](const QString &reason) { report.skipped << name + QStringLiteral(": ") + reason; };
            const data::schema::TableSpec *shared = data::schema::find(lower);
            const auto reg = registerName.match(lower);
            if (!shared && !reg.hasMatch() && lower != QLatin1String("plan.db")) {
                skip(QStringLiteral("plik nie należy do danych programu"));
                continue;
            }
            std::unique_ptr<data::ParadoxTable> source;
            try {
                source = std::make_unique<data::ParadoxTable>(info.filePath());
            } catch (const data::EngineError &e) {
                skip(e.message());
                continue;
            }
            if (done.contains(lower)) {
                skip(QStringLiteral("tabela o tej nazwie została już przeniesiona"));
                continue;
            }
            QVector<FieldDef> target;
            const QVector<FieldDef> known = shared ? shared->fields
                : reg.hasMatch() ? (reg.captured(1) == QLatin1String("g") ? data::schema::groupsTable()
                                                                           : data::schema::positionsTable()).fields
                                 : planFields(*source);
            for (const FieldDef &f : known)
                if (!f.lookup)
                    target << f;
            const Plan plan = planCopy(*source, lower, target);
            if (!plan.problem.isEmpty()) {
                skip(QStringLiteral("tabela o nieoczekiwanej budowie: ") + plan.problem);
                continue;
            }

            // Every record is read before anything is written: a damaged
            // file is skipped whole.
            QVector<QVector<QVariant>> rows;
            try {
                rows.reserve(source->recordCount());
                for (int r = 0; r < source->recordCount(); ++r)
                    rows << source->record(r);
            } catch (const data::EngineError &e) {
                skip(e.message());
                continue;
            }

            // The table is made as the program makes it.
            const QString path = data::tablePath(db.folder(), lower);
            if (shared) {
                db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(path));
            } else if (reg.hasMatch()) {
                const QString suffix = reg.captured(2);
                db.exec((reg.captured(1) == QLatin1String("g") ? data::schema::createGroups(db.folder(), suffix)
                                                               : data::schema::createPositions(db.folder(), suffix))
                            .join(QLatin1Char('\n')));
            } else {
                QStringList columns{QStringLiteral("Rozdz CHAR(10)"), QStringLiteral("zf CHAR(150)")};
                for (int i = 2; i < target.size(); ++i)
                    columns << quoted(target[i].name) + QStringLiteral(" FLOAT");
                db.exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(path, columns.join(QLatin1Char(','))));
            }

            QStringList names, markers;
            for (int i = 0; i < target.size(); ++i) {
                names << quoted(target[i].name);
                markers << QStringLiteral(":v%1").arg(i);
            }
            const QString insert = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                       .arg(path, names.join(QLatin1Char(',')), markers.join(QLatin1Char(',')));
            MigrationReport::Table counts{name, int(rows.size()), 0};
            for (const QVector<QVariant> &values : rows) {
                data::Params params;
                for (int i = 0; i < target.size(); ++i) {
                    const QVariant v = plan.sourceOf[i] < 0 ? plan.fill[i] : values[plan.sourceOf[i]];
                    params.append({markers[i], data::toStored(v, target[i].type)});
                }
                counts.written += db.exec(insert, params);
            }
            if (reg.hasMatch())
                data::schema::createRegisterIndexes(db, lower);
            report.tables << counts;
            done.insert(lower);
        }
        tx.commit();
    };
    data::createInstallation(newFolder, today, fill);
    return report;
}

} // namespace fenwa::admin
