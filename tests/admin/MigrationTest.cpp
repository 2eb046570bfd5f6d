// Migrating a legacy data folder of Paradox tables into a new database.
#include "LegacyFolder.h"
#include "Installation.h"
#include "admin/Migration.h"
#include "data/ParadoxTable.h"
#include "data/Query.h"
#include "data/Schema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::testing;

namespace {

const QDate today(2024, 5, 6);

// Every row of a table as stored forms joined with "|", in Id order when it has one.
QStringList dump(data::Database &db, const QString &file)
{
    data::Query q(&db, QStringLiteral("Q_Test"));
    const bool keyed = db.fields(file).value(0).name.compare(QLatin1String("Id"), Qt::CaseInsensitive) == 0;
    q.addLine(QStringLiteral("SELECT * FROM \"%1\"%2").arg(db.path(file), keyed ? QStringLiteral(" ORDER BY Id") : QString()));
    q.open();
    QStringList rows;
    for (q.first(); rows.size() < q.recordCount(); q.next()) {
        QStringList values;
        for (int i = 0; i < q.fieldCount(); ++i)
            values << q.fieldDef(i).name + QLatin1Char('=')
                    + data::toStored(q.value(i), q.fieldDef(i).type).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

struct MigrationTest : ::testing::Test {
    QTemporaryDir old, target;
    QString oldFile(const char *name) const { return old.filePath(QString::fromLatin1(name)); }

    void SetUp() override
    {
        writeLegacyFolder(old.path(), {QStringLiteral("2201"), QStringLiteral("2000")}, 2016, 40);
        // Damaged and foreign files among them.
        writeParadox(oldFile("bd.db"), {pxAutoInc("Id"), pxAlpha("Bd", 150)},
                     QVector<PxRow>(200, PxRow{1, QStringLiteral("Gruźlica")}));
        QFile cut(oldFile("bd.db"));
        cut.resize(cut.size() - 2048);
        QFile text(oldFile("jm.db"));
        text.open(QIODevice::WriteOnly);
        text.write("Jednostki miary: sztuka, litr\n");
        text.close();
        writeParadox(oldFile("gat.db"), {pxAutoInc("Id"), pxAlpha("Gat", 40), pxMemo("Uwagi")},
                     {{1, QStringLiteral("Bydło"), QVariant()}});
        writeParadox(oldFile("temp.db"), {pxAlpha("x", 5)}, {{QStringLiteral("a")}});
    }
};

} // namespace

TEST_F(MigrationTest, EveryRowArrivesWithItsValuesAndTheUpgrades)
{
    QStringList read;
    const admin::MigrationReport report = admin::migrateLegacyFolder(
        old.path(), target.path(), today, [&](const QString &f) { read << f; });
    auto db = data::Database::open(target.path());

    // Every row of every migrated table equals its source, field by field.
    const QStringList migrated{QStringLiteral("g_2016_2000.db"), QStringLiteral("g_2016_2201.db"),
                               QStringLiteral("Kontr.DB"), QStringLiteral("p_2016_2000.db"),
                               QStringLiteral("p_2016_2201.db"), QStringLiteral("passwd.db"),
                               QStringLiteral("zak.db")};
    ASSERT_EQ(report.tables.size(), migrated.size()) << report.text().toStdString();
    for (int t = 0; t < migrated.size(); ++t) {
        const QString file = migrated[t];
        EXPECT_EQ(report.tables[t].file, file);
        const data::ParadoxTable source(old.filePath(file));
        EXPECT_EQ(report.tables[t].read, source.recordCount());
        EXPECT_EQ(report.tables[t].written, source.recordCount());
        data::Query q(db.get(), QStringLiteral("Q_Test"));
        q.addLine(QStringLiteral("SELECT * FROM \"%1\" ORDER BY Id").arg(db->path(file.toLower())));
        q.open();
        ASSERT_EQ(q.recordCount(), source.recordCount()) << file.toStdString();
        q.first();
        for (int r = 0; r < source.recordCount(); ++r, q.next()) {
            const QVector<QVariant> values = source.record(r);
            for (int i = 0; i < values.size(); ++i) {
                const auto &f = source.fields()[i];
                const data::FieldDef &def = q.fieldDef(f.name);
                EXPECT_EQ(data::toStored(q.value(f.name), def.type), data::toStored(values[i], def.type))
                    << file.toStdString() << " row " << r << " " << f.name.toStdString();
            }
            if (file == QLatin1String("Kontr.DB")) {
                EXPECT_EQ(q.value(QStringLiteral("Ukr")), QVariant(false));
            }
            if (file.startsWith(QLatin1String("p_"))) {
                EXPECT_TRUE(q.isNull(QStringLiteral("ob")));
            }
        }
        if (file.startsWith(QLatin1String("g_")) || file.startsWith(QLatin1String("p_"))) {
            EXPECT_TRUE(data::schema::missingRegisterIndexes(*db, file).isEmpty()) << file.toStdString();
        }
    }
    // Shared tables the old folder lacks keep the installation's content.
    EXPECT_FALSE(dump(*db, QStringLiteral("rozdz.db")).isEmpty());

    // Damaged, unexpected and foreign files are reported, with their reasons.
    const QString skipped = report.skipped.join(QLatin1Char('\n'));
    EXPECT_EQ(report.skipped.size(), 4) << skipped.toStdString();
    EXPECT_TRUE(skipped.contains(QStringLiteral("bd.db: Plik ") + oldFile("bd.db") + QStringLiteral(" jest uszkodzony")))
        << skipped.toStdString();
    EXPECT_TRUE(skipped.contains(QStringLiteral("jm.db: Plik ") + oldFile("jm.db") + QStringLiteral(" nie jest tabelą")));
    EXPECT_TRUE(skipped.contains(QStringLiteral("gat.db: tabela o nieoczekiwanej budowie: pola nieznane programowi Uwagi")));
    EXPECT_TRUE(skipped.contains(QStringLiteral("temp.db: ")));
    EXPECT_TRUE(read.contains(QStringLiteral("passwd.db")));
}

TEST_F(MigrationTest, TwiceGivesTheSameAndAnExistingDatabaseIsRefused)
{
    QTemporaryDir second;
    const auto first = admin::migrateLegacyFolder(old.path(), target.path(), today).text();
    EXPECT_EQ(admin::migrateLegacyFolder(old.path(), second.path(), today).text(), first);
    auto a = data::Database::open(target.path());
    auto b = data::Database::open(second.path());
    const QStringList files = a->listFiles(QStringLiteral("*"));
    EXPECT_EQ(b->listFiles(QStringLiteral("*")), files);
    for (const QString &f : files)
        EXPECT_EQ(dump(*a, f), dump(*b, f)) << f.toStdString();

    const QString again = errorOf([&] { admin::migrateLegacyFolder(old.path(), target.path(), today); });
    EXPECT_TRUE(again.contains(QStringLiteral("już istnieje"))) << again.toStdString();
    EXPECT_EQ(dump(*a, QStringLiteral("p_2016_2201.db")), dump(*b, QStringLiteral("p_2016_2201.db")));
}
