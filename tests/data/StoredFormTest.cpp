// What the database file holds: every column only values of its type, and a
// schema that SQLite's own tool can check and query (old files are upgraded).
#include "Installation.h"
#include "data/Statement.h"
#include "data/Table.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::errorOf;
using fenwa::testing::DataFolder;

namespace {

// Runs the stock sqlite3 program on the folder's database.
QString sqlite3Tool(const QString &folder, const QString &sql)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("sqlite3"), {folder + QStringLiteral("/fenwa5.sqlite"), sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAll()).trimmed();
}

qint64 schemaVersion(Database &db)
{
    Statement st(db, QStringLiteral("PRAGMA schema_version"));
    st.step();
    return st.integer(0);
}

// A database as the earlier version wrote it: the Polish collation declared
// in an index and a column, no type checks, values in other stored forms.
void writeOldStyle(const QString &folder, const QString &rok)
{
    auto db = Database::open(folder, Database::OpenMode::Create);
    db->execNative(QStringLiteral(
        "CREATE TABLE \"kontr\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, "
        "\"Nazwa\" CHAR(60) CONSTRAINT \"len:Nazwa:60\" CHECK (length(\"Nazwa\") <= 60), \"Ukr\" BOOLEAN);"
        "CREATE INDEX \"kontr.Nazwa\" ON \"kontr\" (\"Nazwa\" COLLATE PL);"
        "INSERT INTO kontr (Nazwa, Ukr) VALUES ('Zabrze', 0), ('Łódź', 'True'), ('Lublin', ''), ('Usunięty', 0);"
        "DELETE FROM kontr WHERE Nazwa = 'Usunięty';"
        "CREATE TABLE \"g_2016_2000\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Dok\" CHAR(40) COLLATE PL, "
        "\"Rok\" INTEGER, \"Data\" DATE, \"T_Ins\" TIMESTAMP);"));
    Statement st(*db, QStringLiteral("INSERT INTO g_2016_2000 (Dok, Rok, Data, T_Ins) "
                                     "VALUES ('FV/1', ?, '2016-03-15 00:00:00', '2016-03-01T10:00:00')"));
    st.bind(1, rok);
    st.step();
    db->execNative(QStringLiteral("PRAGMA user_version = 0"));
}

} // namespace

TEST(StoredTypes, NoStatementStoresAValueOfAnotherType)
{
    DataFolder f;
    f.db->exec(schema::createPositions(f.folder(), QStringLiteral("_2016_2000")).join(QLatin1Char('\n')));
    f.db->exec(QStringLiteral("ALTER TABLE \"%1\" ADD Nowe INTEGER").arg(f.path(QStringLiteral("p_2016_2000.db"))));
    const struct {
        const char *column, *value;
        const char *refusal;   // empty: stored
    } cases[] = {
        {"Dok", "'abc'", "liczbą całkowitą"}, {"Dok", "2.5", "liczbą całkowitą"}, {"Dok", "'12'", ""},
        {"Nowe", "'abc'", "liczbą całkowitą"}, {"ilosc", "'1,5'", "liczbą"},     {"ilosc", "3", ""},
        {"wyd", "2", "wartością logiczną"},    {"wyd", "1", ""},                  {"Data", "'31.02.2024'", "datą"},
        {"Data", "'2024-02-30'", "datą"},      {"Data", "'2024-02-29'", ""},      {"T_Ins", "'jutro'", "datą i godziną"},
        {"T_Ins", "'2024-02-29 10:15:00'", ""},
    };
    // Each value written in the statement, and given as a parameter's text.
    for (const bool asParameter : {false, true}) {
        for (const auto &c : cases) {
            const QString value = QString::fromLatin1(c.value);
            const QString msg = errorOf([&] {
                f.db->exec(QStringLiteral("INSERT INTO p_2016_2000 (%1) VALUES (%2)")
                               .arg(QString::fromLatin1(c.column), asParameter ? QStringLiteral(":v") : value),
                           {{QStringLiteral(":v"), QString(value).remove(QLatin1Char('\''))}});
            });
            SCOPED_TRACE(std::string(c.column) + " " + c.value + (asParameter ? " as a parameter" : ""));
            if (*c.refusal) {
                EXPECT_TRUE(msg.contains(QStringLiteral("„%1”").arg(QString::fromLatin1(c.column)))) << msg.toStdString();
                EXPECT_TRUE(msg.contains(QString::fromUtf8(c.refusal))) << msg.toStdString();
            } else {
                EXPECT_TRUE(msg.isEmpty()) << msg.toStdString();
            }
        }
    }
}

TEST(StandardFile, TheStockToolChecksAFreshDatabase)
{
    if (fenwa::testing::onServer())
        GTEST_SKIP() << "the stock sqlite3 tool reads only a data folder's file";
    DataFolder f;
    f.db->exec(schema::createGroups(f.folder(), QStringLiteral("_2016_2000")).join(QLatin1Char('\n')));
    EXPECT_EQ(sqlite3Tool(f.folder(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(sqlite3Tool(f.folder(), QStringLiteral("SELECT count(*) FROM kontr WHERE Nazwa > 'A'")),
              QStringLiteral("0"));
}

TEST(StandardFile, AnOlderDatabaseIsUpgradedOnceKeepingItsDataAndOrder)
{
    QTemporaryDir dir;
    writeOldStyle(dir.path(), QStringLiteral("2016"));
    EXPECT_TRUE(sqlite3Tool(dir.path(), QStringLiteral("PRAGMA integrity_check")).contains(QStringLiteral("PL")));

    auto db = Database::open(dir.path());
    EXPECT_EQ(sqlite3Tool(dir.path(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    // The rows, in their stored forms; the Polish order of the named index.
    Table k(db.get(), QStringLiteral("T_kontr"));
    k.setTableName(QStringLiteral("kontr.db"));
    k.setIndexName(QStringLiteral("Nazwa"));
    k.open();
    QStringList names;
    for (k.first(); !k.eof(); k.next())
        names << k.asString(QStringLiteral("Nazwa")) + (k.isNull(QStringLiteral("Ukr")) ? QStringLiteral("?") : k.asString(QStringLiteral("Ukr")));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Lublin?"), QStringLiteral("ŁódźTrue"), QStringLiteral("ZabrzeFalse")}));
    EXPECT_EQ(sqlite3Tool(dir.path(), QStringLiteral("SELECT Data || '|' || T_Ins FROM g_2016_2000")),
              QStringLiteral("2016-03-15|2016-03-01 10:00:00"));
    // An Id is not given again; the type checks hold.
    k.append();
    k.setValue(QStringLiteral("Nazwa"), QStringLiteral("Opole"));
    k.post();
    EXPECT_EQ(k.asInt(QStringLiteral("Id")), 5);
    EXPECT_FALSE(errorOf([&] { db->execNative(QStringLiteral("UPDATE g_2016_2000 SET Rok = 'abc'")); }).isEmpty());
    // Opened again: nothing left to do.
    const qint64 version = schemaVersion(*db);
    db.reset();
    db = Database::open(dir.path());
    EXPECT_EQ(schemaVersion(*db), version);
}

TEST(StandardFile, AValueThatCannotBeReadStopsTheUpgradeAndLeavesTheFile)
{
    QTemporaryDir dir;
    writeOldStyle(dir.path(), QStringLiteral("dwa tysiące"));
    const QString msg = errorOf([&] { Database::open(dir.path()); });
    EXPECT_TRUE(msg.contains(QStringLiteral("g_2016_2000.db")) && msg.contains(QStringLiteral("„Rok”")))
        << msg.toStdString();
    EXPECT_EQ(sqlite3Tool(dir.path(), QStringLiteral("PRAGMA user_version")), QStringLiteral("0"));
    EXPECT_EQ(sqlite3Tool(dir.path(), QStringLiteral("SELECT Rok FROM g_2016_2000")), QStringLiteral("dwa tysiące"));
}
