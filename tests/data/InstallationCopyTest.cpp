#include "Installation.h"
#include "data/Demo.h"
#include "data/InstallationCopy.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa::data;
using fenwa::testing::Content;
using fenwa::testing::DataFolder;
using fenwa::testing::onServer;
using fenwa::testing::testServer;

namespace {

// A data folder's installation with two months of demo registers, whose
// last unit of jp.db was deleted: its next Id lies beyond the greatest stored.
struct Source {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    Source()
    {
        DemoOptions options;
        options.year = 2016;
        options.now = QDateTime(QDate(2016, 12, 31), QTime(12, 0));
        options.lastMonth = 2;
        options.groupsPerMonth = 2;
        db = createInstallation(dir.path(), fenwa::testing::kInstallationDay,
                                [&](Database &d) { createDemoRegisters(d, options); });
        db->exec(QStringLiteral("DELETE FROM \"%1\" WHERE Id = 3").arg(db->path(QStringLiteral("jp.db"))));
    }
};

// Every row of every table file, as stored (type and text of each value).
QStringList content(const Database &db)
{
    QStringList out;
    for (const QString &file : db.listFiles(QStringLiteral("*"))) {
        Statement st(db, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(quoteIdent(SqlDialect::tableName(file))));
        while (st.step()) {
            QStringList row{file};
            for (int i = 0; i < st.columnCount(); ++i)
                row << QString::number(st.columnType(i)) + QLatin1Char(':') + st.text(i);
            out << row.join(QLatin1Char('|'));
        }
    }
    return out;
}

qint64 addUnit(Database &db)
{
    db.exec(QStringLiteral("INSERT INTO \"%1\" (Kod, Jp) VALUES ('2099', 'Nowa')").arg(db.path(QStringLiteral("jp.db"))));
    Statement st(db, QStringLiteral("SELECT MAX(%1) FROM %2").arg(quoteIdent(QStringLiteral("Id")), quoteIdent(QStringLiteral("jp"))));
    return st.step() ? st.integer(0) : -1;
}

} // namespace

// Folder -> the other backend (the server when the tests run on one) -> a new folder.
TEST(InstallationCopy, ARoundTripKeepsEveryRowIdAndTheNextId)
{
    Source source;
    const qint64 lastUnit = lastIssuedId(*source.db, QStringLiteral("jp.db"), QStringLiteral("Id"));
    ASSERT_EQ(lastUnit, 3);
    DataFolder middle(Content::Nothing);
    QStringList reported;
    const QVector<CopiedTable> there = copyInstallation(*source.db, *middle.db, [&](const CopiedTable &t) {
        reported << t.file;
    });
    EXPECT_EQ(reported, source.db->listFiles(QStringLiteral("*")));
    EXPECT_EQ(there.size(), reported.size());
    for (const CopiedTable &t : there)
        EXPECT_EQ(middle.count(t.file), t.rows) << t.file.toStdString();
    EXPECT_GT(middle.count(QStringLiteral("p_2016_2000.db")), 0);

    QTemporaryDir back;
    auto returned = createDatabase(back.path(), [&](Database &db) { copyInstallation(*middle.db, db); });
    EXPECT_EQ(content(*returned), content(*source.db));
    for (const QString &file : source.db->listFiles(QStringLiteral("*"))) {
        if (source.db->fields(file).first().type == FieldType::AutoInc) {
            EXPECT_EQ(lastIssuedId(*returned, file, QStringLiteral("Id")), lastIssuedId(*source.db, file, QStringLiteral("Id")))
                << file.toStdString();
        }
    }
    EXPECT_EQ(addUnit(*middle.db), lastUnit + 1);
    EXPECT_EQ(addUnit(*returned), lastUnit + 1);
}

TEST(InstallationCopy, AFailureMidwayOrATargetInUseLeavesTheTargetAsItWas)
{
    Source source;
    DataFolder target(Content::Nothing);
    int committed = 0;
    EXPECT_THROW(copyInstallation(*source.db, *target.db,
                                  [&](const CopiedTable &) {
                                      if (++committed == 3)
                                          throw EngineError(QStringLiteral("przerwane"));
                                  }),
                 EngineError);
    EXPECT_EQ(committed, 3);
    EXPECT_EQ(target.db->listFiles(QStringLiteral("*")), QStringList());

    DataFolder used(Content::Installed);
    const int users = used.count(QStringLiteral("passwd.db"));
    try {
        copyInstallation(*source.db, *used.db);
        ADD_FAILURE() << "a target holding tables was written to";
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nie jest pusta"))) << e.message().toStdString();
    }
    EXPECT_EQ(used.count(QStringLiteral("passwd.db")), users);
    EXPECT_FALSE(used.db->fileExists(QStringLiteral("g_2016_2000.db")));
}

// A new folder, or on the server a new schema: a copy stopped midway takes
// back everything it made there, the schema too, and says so.
TEST(InstallationCopy, AFailedCopyToANewPlaceLeavesNothingThere)
{
    Source source;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("nowa"));
    ServerAddress server;
    if (onServer()) {
        QString error;
        const quint32 made = QRandomGenerator::global()->bounded(1000000000);
        server = ServerAddress::parse(QStringLiteral("%1 schema=k_%2").arg(QString::fromUtf8(testServer())).arg(made), &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    int committed = 0;
    try {
        copyToNewInstallation(*source.db, folder, server, [&](const CopiedTable &) {
            if (++committed == 3)
                throw EngineError(QStringLiteral("przerwane"));
        });
        ADD_FAILURE() << "the copy went on past its failure";
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("przerwane Kopia nie powiodła się")))
            << e.message().toStdString();
    }
    EXPECT_EQ(committed, 3);
    if (!onServer()) {
        EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(Database::fileName))));
        return;
    }
    DataFolder other(Content::Nothing);
    Statement schemas(*other.db,
                      QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = '%1'").arg(server.schema));
    ASSERT_TRUE(schemas.step());
    EXPECT_EQ(schemas.integer(0), 0) << server.schema.toStdString();
    if (schemas.integer(0) != 0)
        other.db->execNative(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoteIdent(server.schema)));
}
