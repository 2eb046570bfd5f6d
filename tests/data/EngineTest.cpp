// The table engine: session, files, tables, queries, order, lengths, sharing.
#include "Installation.h"
#include "data/BatchMove.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/Table.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::errorOf;
using fenwa::testing::DataFolder;

namespace {

void addGroups(Database &db, const QString &suffix)
{
    db.exec(schema::createGroups(db.folder(), suffix).join(QLatin1Char('\n')));
}

} // namespace

TEST(Session, RefusesFoldersWithoutADatabase)
{
    QTemporaryDir dir;
    QString msg = errorOf([&] { Database::open(dir.path()); });
    EXPECT_TRUE(msg.contains(QStringLiteral("nie zawiera bazy danych"))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(QStringLiteral("fenwa5.sqlite")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fenwa5.sqlite"))));

    msg = errorOf([&] { Database::open(dir.filePath(QStringLiteral("brak"))); });
    EXPECT_TRUE(msg.contains(QStringLiteral("nie istnieje"))) << msg.toStdString();

    QFile junk(dir.filePath(QStringLiteral("fenwa5.sqlite")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    msg = errorOf([&] { Database::open(dir.path()); });
    EXPECT_TRUE(msg.contains(QStringLiteral("nie jest bazą danych"))) << msg.toStdString();
}

namespace {
// A copy of a whole installation database in the folder; returns its path.
QString wholeDatabaseIn(const QString &folder)
{
    DataFolder whole;
    const QString copy = folder + QStringLiteral("/fenwa5.sqlite");
    QFile::copy(whole.db->folder() + QStringLiteral("/fenwa5.sqlite"), copy);
    return copy;
}
} // namespace

TEST(Session, TellsWhyADatabaseCannotBeOpened)
{
    if (fenwa::testing::onServer())
        GTEST_SKIP() << "about the data folder's SQLite file";
    // What the data folder holds, and the words the refusal must use.
    const struct {
        const char *name;
        std::function<QString(const QString &folder)> make;   // returns the folder to open
        const char *says;
    } cases[] = {
        {"missing file", [](const QString &dir) { return dir; }, "brak pliku fenwa5.sqlite"},
        {"missing folder", [](const QString &dir) { return dir + QStringLiteral("/brak"); }, "nie istnieje"},
        {"path through a file",
         [](const QString &dir) {
             QFile plain(dir + QStringLiteral("/plik"));
             plain.open(QIODevice::WriteOnly);
             return plain.fileName() + QStringLiteral("/dane");
         },
         "część tej ścieżki jest plikiem"},
        {"foreign file",
         [](const QString &dir) {
             QFile junk(dir + QStringLiteral("/fenwa5.sqlite"));
             junk.open(QIODevice::WriteOnly);
             junk.write("Nazwa;Kwota\nAla;12\n");
             return dir;
         },
         "nie jest plik bazy danych SQLite"},
        {"cut short",
         [](const QString &dir) {
             QFile cut(wholeDatabaseIn(dir));
             cut.resize(cut.size() / 2);
             return dir;
         },
         "uszkodzona"},
        {"garbage after the header",
         [](const QString &dir) {
             QFile f(wholeDatabaseIn(dir));
             f.open(QIODevice::ReadWrite);
             f.seek(100);
             f.write(QByteArray(4000, '\x5a'));
             return dir;
         },
         "uszkodzona"},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString msg = errorOf([&] { Database::open(c.make(dir.path())); });
        EXPECT_TRUE(msg.contains(QString::fromUtf8(c.says))) << c.name << ": " << msg.toStdString();
    }
    // A folder that cannot be read (tests run as root: the system's answer is given).
    EXPECT_TRUE(describePathProblem(QStringLiteral("/dane"), std::make_error_code(std::errc::permission_denied))
                    .contains(QStringLiteral("brak uprawnień")));
    // Reading and attaching are not writing.
    DataFolder f;
    const QString attach = errorOf([&] { f.db->execNative(QStringLiteral("ATTACH '/brak/inna.sqlite' AS inna")); });
    EXPECT_TRUE(attach.contains(QStringLiteral("Nie można otworzyć pliku bazy danych"))) << attach.toStdString();
    EXPECT_TRUE(f.db->describeError(SQLITE_IOERR_READ).contains(QStringLiteral("odczytu")));
    EXPECT_TRUE(f.db->describeError(SQLITE_IOERR_WRITE).contains(QStringLiteral("zapisu")));
    EXPECT_TRUE(f.db->describeError(SQLITE_READONLY).contains(QStringLiteral("prawa zapisu")));
}

TEST(Session, TrailingSeparatorIsDropped)
{
    QTemporaryDir dir;
    auto db = Database::open(dir.path() + QStringLiteral("/"), Database::OpenMode::Create);
    EXPECT_EQ(db->folder(), dir.path());
    EXPECT_EQ(db->path(QStringLiteral("ob.db")), dir.path() + QStringLiteral("\\ob.db"));
}

TEST(Files, ExistListAndDeleteByMask)
{
    DataFolder f;
    addGroups(*f.db, QStringLiteral("_2016_2201.db"));
    addGroups(*f.db, QStringLiteral("_2017_2200.db"));
    f.db->exec(schema::createPositions(f.folder(), QStringLiteral("_2016_2201.db")).join(QLatin1Char('\n')));

    EXPECT_TRUE(f.db->fileExists(QStringLiteral("G_2016_2201.DB")));
    EXPECT_FALSE(f.db->fileExists(QStringLiteral("g_2016_2202.db")));
    EXPECT_EQ(f.db->listFiles(QStringLiteral("g_????_????.db")),
              (QStringList{QStringLiteral("g_2016_2201.db"), QStringLiteral("g_2017_2200.db")}));
    EXPECT_EQ(f.db->listFiles(QStringLiteral("?_????_????.db;")).size(), 3);
    EXPECT_EQ(f.db->listFiles(QStringLiteral("p_*.db;g_2016*")).size(), 2);
    EXPECT_TRUE(f.db->listFiles(QString()).isEmpty());
    EXPECT_TRUE(f.db->listFiles(QStringLiteral(";")).isEmpty());
    // The engine's own bookkeeping never shows as a table file.
    f.db->registerRunningCopy(QStringLiteral("jan"));
    EXPECT_FALSE(f.db->listFiles(QStringLiteral("*")).join(QLatin1Char(' ')).contains(QLatin1String("running")));

    f.db->deleteFile(QStringLiteral("g_2017_2200.db"));
    EXPECT_FALSE(f.db->fileExists(QStringLiteral("g_2017_2200.db")));
}

TEST(Table, PolishOrderInIndexesAndOrderBy)
{
    DataFolder f;
    const QStringList names{QStringLiteral("Zabrze"), QStringLiteral("Łódź"), QStringLiteral("Lublin"),
                            QStringLiteral("Żagań"), QStringLiteral("Źródła"), QStringLiteral("Ostrów"),
                            QStringLiteral("Ćmielów"), QStringLiteral("Czersk")};
    Table t(f.db.get(), QStringLiteral("T_Gat"));
    t.setTableName(QStringLiteral("gat.db"));
    t.open();
    for (const QString &n : names) {
        t.append();
        t.setValue(QStringLiteral("Gat"), n);
        t.post();
    }
    t.setIndexName(QStringLiteral("Gat"));
    QStringList order;
    for (t.first(); !t.eof(); t.next())
        order << t.asString(QStringLiteral("gat"));
    EXPECT_EQ(order, (QStringList{QStringLiteral("Czersk"), QStringLiteral("Ćmielów"), QStringLiteral("Lublin"),
                                  QStringLiteral("Łódź"), QStringLiteral("Ostrów"), QStringLiteral("Zabrze"),
                                  QStringLiteral("Źródła"), QStringLiteral("Żagań")}));

    Query q(f.db.get(), QStringLiteral("Q"));
    q.addLine(QStringLiteral("SELECT Gat FROM \"%1\" ORDER BY Gat").arg(f.path(QStringLiteral("gat.db"))));
    q.open();
    QStringList viaSql;
    for (q.first(); !q.eof(); q.next())
        viaSql << q.asString(QStringLiteral("Gat"));
    EXPECT_EQ(viaSql, order);

    // Equality stays exact: a locate for "lublin" finds nothing.
    EXPECT_FALSE(t.locate(QStringLiteral("Gat"), QStringLiteral("lublin")));
    EXPECT_TRUE(t.locate(QStringLiteral("Gat"), QStringLiteral("Lublin")));
    // Nearest match on the current index.
    t.findNearest({QStringLiteral("M")});
    EXPECT_EQ(t.asString(QStringLiteral("Gat")), QStringLiteral("Ostrów"));
}

TEST(Table, TextLengthsAreEnforcedOnPostAndInSql)
{
    DataFolder f;
    Table t(f.db.get(), QStringLiteral("T_Jm"));
    t.setTableName(QStringLiteral("jm.db"));
    t.open();
    t.append();
    t.setValue(QStringLiteral("Jms"), QStringLiteral("12345678901"));   // 11 > 10
    t.setValue(QStringLiteral("Jm"), QStringLiteral("za długi symbol"));
    QString msg = errorOf([&] { t.post(); });
    EXPECT_EQ(msg, QStringLiteral("Tekst w polu „Jms” jest za długi (najwyżej 10 znaków)."));
    EXPECT_EQ(t.state(), Dataset::State::Insert);
    EXPECT_EQ(t.asString(QStringLiteral("Jm")), QStringLiteral("za długi symbol"));
    t.cancel();
    EXPECT_EQ(t.recordCount(), 0);

    // Ten Polish letters are ten characters, not twenty bytes.
    t.append();
    t.setValue(QStringLiteral("Jms"), QStringLiteral("ąęółśżźćńą"));
    t.post();
    EXPECT_EQ(t.recordCount(), 1);

    msg = errorOf([&] {
        f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Jms, Jm) VALUES (\"01234567890\", \"x\")")
                       .arg(f.path(QStringLiteral("jm.db"))));
    });
    EXPECT_EQ(msg, QStringLiteral("Tekst w polu „Jms” jest za długi (najwyżej 10 znaków)."));
    msg = errorOf([&] {
        f.db->exec(QStringLiteral("UPDATE \"%1\" SET Jm = :v").arg(f.path(QStringLiteral("jm.db"))),
                   {{QStringLiteral(":v"), QString(41, QLatin1Char('a'))}});
    });
    EXPECT_TRUE(msg.contains(QStringLiteral("„Jm”"))) << msg.toStdString();
    t.refresh();
    EXPECT_EQ(t.asString(QStringLiteral("Jms")), QStringLiteral("ąęółśżźćńą"));
}

TEST(Table, StatesHooksAndSilentAbort)
{
    DataFolder f;
    Table t(f.db.get(), QStringLiteral("T_Rozdz"));
    t.setTableName(QStringLiteral("rozdz.db"));
    QStringList calls;
    bool refuse = false;
    t.beforeInsert = [&](Table &) { calls << QStringLiteral("bi"); };
    t.afterInsert = [&](Table &tb) {
        calls << QStringLiteral("ai");
        tb.setValue(QStringLiteral("Opis"), QStringLiteral("domyślny"));
    };
    t.beforeEdit = [&](Table &) { calls << QStringLiteral("be"); };
    t.afterEdit = [&](Table &) { calls << QStringLiteral("ae"); };
    t.beforePost = [&](Table &) {
        calls << QStringLiteral("bp");
        if (refuse)
            throw Abort{};
    };
    t.afterPost = [&](Table &) { calls << QStringLiteral("ap"); };
    t.beforeDelete = [&](Table &) {
        calls << QStringLiteral("bd");
        if (refuse)
            throw Abort{};
    };
    t.afterDelete = [&](Table &) { calls << QStringLiteral("ad"); };
    t.open();
    EXPECT_EQ(t.state(), Dataset::State::Browse);

    t.append();
    EXPECT_EQ(t.state(), Dataset::State::Insert);
    t.setValue(QStringLiteral("rozdz"), QStringLiteral("01022"));
    refuse = true;
    EXPECT_THROW(t.post(), Abort);
    EXPECT_EQ(t.state(), Dataset::State::Insert);
    EXPECT_EQ(t.asString(QStringLiteral("Rozdz")), QStringLiteral("01022"));
    refuse = false;
    t.post();
    EXPECT_EQ(t.state(), Dataset::State::Browse);
    EXPECT_EQ(t.asInt(QStringLiteral("Id")), 1);
    EXPECT_EQ(t.asString(QStringLiteral("Opis")), QStringLiteral("domyślny"));

    t.edit();
    t.setValue(QStringLiteral("Opis"), QStringLiteral("Inspekcja Weterynaryjna"));
    t.post();
    refuse = true;
    EXPECT_THROW(t.remove(), Abort);
    EXPECT_EQ(t.recordCount(), 1);
    refuse = false;
    t.remove();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(calls, (QStringList{"bi", "ai", "bp", "bp", "ap", "be", "ae", "bp", "ap", "bd", "bd", "ad"}));

    // Ids are never reused.
    t.append();
    t.setValue(QStringLiteral("Rozdz"), QStringLiteral("75410"));
    t.post();
    EXPECT_EQ(t.asInt(QStringLiteral("Id")), 2);

    // Read-only tables refuse changes with the engine's message.
    Table ro(f.db.get(), QStringLiteral("T_Ro"));
    ro.setTableName(QStringLiteral("rozdz.db"));
    ro.setReadOnly(true);
    ro.open();
    EXPECT_TRUE(errorOf([&] { ro.append(); }).contains(QStringLiteral("tylko do odczytu")));
}

TEST(Table, FiltersOnTables)
{
    DataFolder f;
    addGroups(*f.db, QStringLiteral("_2016_2201.db"));
    Table g(f.db.get(), QStringLiteral("T_Gr"));
    g.setTableName(f.path(QStringLiteral("g_2016_2201.db")));
    g.open();
    for (int m : {1, 3, 3, 5}) {
        g.append();
        g.setValue(QStringLiteral("Dok"), QStringLiteral("FV/%1/%2").arg(m).arg(g.recordCount()));
        g.setValue(QStringLiteral("Mc"), m);
        g.setValue(QStringLiteral("Zk"), m == 5);
        g.post();
    }
    g.setFilter(QStringLiteral("Mc = 3"));
    EXPECT_EQ(g.recordCount(), 4);
    g.setFiltered(true);
    EXPECT_EQ(g.recordCount(), 2);
    // A new record outside the filter is saved and leaves the view.
    g.append();
    g.setValue(QStringLiteral("Dok"), QStringLiteral("X"));
    g.setValue(QStringLiteral("Mc"), 7);
    g.post();
    EXPECT_EQ(g.recordCount(), 2);
    g.setFilter(QStringLiteral("Zk = True and Mc>=2"));
    EXPECT_EQ(g.recordCount(), 1);
    g.setFilter(QStringLiteral("Dok = 'FV/3*'"));
    EXPECT_EQ(g.recordCount(), 2);
    g.setFilter(QStringLiteral("Dok = 'fv/3*'"));
    EXPECT_EQ(g.recordCount(), 0);
    g.setFiltered(false);
    EXPECT_EQ(g.recordCount(), 5);
}

TEST(Table, AFilteredDictionaryIsReadAgainOnlyAfterItChanged)
{
    if (fenwa::testing::onServer())
        GTEST_SKIP() << "counts the statements through SQLite's trace";
    DataFolder f;
    auto other = f.connect();   // another workstation
    const QString path = f.path(QStringLiteral("ch.db"));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Ch, Ukr) VALUES (\"ASF\", False), (\"Wścieklizna\", True)").arg(path));
    Table ch(f.db.get(), QStringLiteral("T_Ch"));
    ch.setTableName(QStringLiteral("ch.db"));
    ch.setFilter(QStringLiteral("Ukr = False"));
    ch.open();
    int reads = 0;
    sqlite3_trace_v2(
        f.db->handle(), SQLITE_TRACE_STMT,
        [](unsigned, void *count, void *, void *sql) {
            if (QByteArray(static_cast<const char *>(sql)).contains("FROM \"ch\""))
                ++*static_cast<int *>(count);
            return 0;
        },
        &reads);
    // The choice list's filter on and off, as a register's positions open and close.
    auto choiceList = [&] {
        ch.setFiltered(true);
        const int shown = ch.recordCount();
        ch.setFiltered(false);
        return shown;
    };
    EXPECT_EQ(choiceList(), 1);
    EXPECT_EQ(ch.recordCount(), 2);
    EXPECT_EQ(reads, 0);

    const struct {
        const char *what;
        std::function<void()> write;
        int shown, all;
    } writes[] = {
        {"another workstation adds",
         [&] { other->exec(QStringLiteral("INSERT INTO \"%1\" (Ch, Ukr) VALUES (\"Pryszczyca\", False)").arg(path)); }, 2, 3},
        {"this session changes it by a statement",
         [&] { f.db->exec(QStringLiteral("UPDATE \"%1\" SET Ukr = True WHERE Ch = \"ASF\"").arg(path)); }, 1, 3},
        {"this session empties it", [&] { f.db->exec(QStringLiteral("DELETE FROM \"%1\"").arg(path)); }, 0, 0},
    };
    for (const auto &w : writes) {
        SCOPED_TRACE(w.what);
        w.write();
        reads = 0;
        EXPECT_EQ(choiceList(), w.shown);
        EXPECT_EQ(ch.recordCount(), w.all);
        EXPECT_GT(reads, 0);
        reads = 0;
        EXPECT_EQ(choiceList(), w.shown);
        EXPECT_EQ(reads, 0);
    }
    sqlite3_trace_v2(f.db->handle(), 0, nullptr, nullptr);

    // A filter that cannot be applied is refused and the records stay shown.
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Ch, Ukr) VALUES (\"ASF\", False)").arg(path));
    ch.refresh();
    ASSERT_EQ(ch.recordCount(), 1);
    for (const char *bad : {"Nieznane = 1", "Ukr = "}) {
        SCOPED_TRACE(bad);
        ch.setFilter(QString::fromLatin1(bad));
        EXPECT_THROW(ch.setFiltered(true), EngineError);
        EXPECT_EQ(ch.recordCount(), 1);
        EXPECT_EQ(ch.asString(QStringLiteral("Ch")), QStringLiteral("ASF"));
        ch.setFiltered(false);
    }
}

TEST(Table, DeclaredFieldsAndLookups)
{
    DataFolder f;
    Table par(f.db.get(), QStringLiteral("T_Par"));
    par.setTableName(QStringLiteral("par.db"));
    par.open();
    par.append();
    par.setValue(QStringLiteral("Par"), QStringLiteral("4210"));
    par.setValue(QStringLiteral("Opis"), QStringLiteral("Zakup materiałów i wyposażenia"));
    par.post();

    addGroups(*f.db, QStringLiteral("_2016_2201.db"));
    Table g(f.db.get(), QStringLiteral("T_Gr"));
    g.setTableName(QStringLiteral("g_2016_2201.db"));
    g.setDeclaredFields(schema::groupsTable().fields);
    g.addLookupField(QStringLiteral("Paragraf"), 255, QStringLiteral("Par"), &par, QStringLiteral("Id"),
                     QStringLiteral("Opis"));
    g.open();
    g.append();
    g.setValue(QStringLiteral("Dok"), QStringLiteral("A"));
    g.setValue(QStringLiteral("par"), par.asInt(QStringLiteral("Id")));
    EXPECT_EQ(g.asString(QStringLiteral("Paragraf")), QStringLiteral("Zakup materiałów i wyposażenia"));
    g.post();
    EXPECT_EQ(g.asString(QStringLiteral("paragraf")), QStringLiteral("Zakup materiałów i wyposażenia"));
    // The derived field follows the dictionary.
    par.edit();
    par.setValue(QStringLiteral("Opis"), QStringLiteral("Materiały"));
    par.post();
    EXPECT_EQ(g.asString(QStringLiteral("Paragraf")), QStringLiteral("Materiały"));

    Table t(f.db.get(), QStringLiteral("T_Cz"));
    t.setTableName(QStringLiteral("gat.db"));
    t.setDeclaredFields({FieldDef{QStringLiteral("Ukr"), FieldType::Boolean}});
    QString msg = errorOf([&] { t.open(); });
    EXPECT_EQ(msg, QStringLiteral("Tabela „gat.db” nie zawiera pola „Ukr”."));
    EXPECT_FALSE(t.active());
}

TEST(Query, DialectParamsJoinsAndTypes)
{
    DataFolder f;
    f.db->exec(schema::createPositions(f.folder(), QStringLiteral("_2016_2201.db")).join(QLatin1Char('\n')));
    Table p(f.db.get(), QStringLiteral("T_Poz"));
    p.setTableName(QStringLiteral("p_2016_2201.db"));
    p.open();
    struct Row { int dok; double brutto; QDate data; bool wyd; };
    for (const Row &r : {Row{1, 100.5, QDate(2016, 1, 10), true}, Row{1, 20, QDate(2016, 2, 1), false},
                         Row{2, 3.75, QDate(2016, 1, 31), true}}) {
        p.append();
        p.setValue(QStringLiteral("Dok"), r.dok);
        p.setValue(QStringLiteral("BRUTTO"), r.brutto);
        p.setValue(QStringLiteral("Data"), r.data);
        p.setValue(QStringLiteral("wyd"), r.wyd);
        p.post();
    }
    Query q(f.db.get(), QStringLiteral("Q_Rob"));
    q.addLine(QStringLiteral("SELECT Dok, SUM(brutto) AS Suma FROM \"%1\"").arg(f.path(QStringLiteral("p_2016_2201.db"))));
    q.addLine(QStringLiteral("WHERE Data BETWEEN \"01/01/2016\" AND \"01/31/2016\" AND wyd = True"));
    q.addLine(QStringLiteral("GROUP BY Dok ORDER BY Dok"));
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_DOUBLE_EQ(q.asFloat(QStringLiteral("suma")), 100.5);
    q.next();
    EXPECT_DOUBLE_EQ(q.asFloat(QStringLiteral("SUMA")), 3.75);
    EXPECT_EQ(q.fieldDef(QStringLiteral("Suma")).type, FieldType::Float);

    q.clearSql();
    q.addLine(QStringLiteral("SELECT * FROM \"%1\" WHERE Data <= :dzis").arg(f.path(QStringLiteral("p_2016_2201.db"))));
    q.setParam(QStringLiteral("dzis"), QDate(2016, 1, 31));
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldDef(QStringLiteral("Data")).type, FieldType::Date);
    EXPECT_EQ(q.value(QStringLiteral("Data")).toDate(), QDate(2016, 1, 10));
    EXPECT_EQ(q.fieldDef(QStringLiteral("wyd")).type, FieldType::Boolean);
    EXPECT_TRUE(q.asBool(QStringLiteral("wyd")));

    // In-memory filters on an open result (the browser's bounds).
    q.clearSql();
    q.addLine(QStringLiteral("SELECT * FROM \"%1\"").arg(f.path(QStringLiteral("p_2016_2201.db"))));
    q.open();
    q.setFilter(QStringLiteral("brutto>=3 AND brutto<=25 and Data>=01.01.2016 AND Data<=31.01.2016"));
    q.setFiltered(true);
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_DOUBLE_EQ(q.asFloat(QStringLiteral("brutto")), 3.75);

    QString msg = errorOf([&] {
        Query bad(f.db.get(), QStringLiteral("Q"));
        bad.addLine(QStringLiteral("SELECT * FROM \"%1\"").arg(f.path(QStringLiteral("p_2030_9999.db"))));
        bad.open();
    });
    EXPECT_TRUE(msg.contains(QStringLiteral("p_2030_9999.db"))) << msg.toStdString();
}

TEST(Query, BatchCopyReplacesTheDestination)
{
    DataFolder f;
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Gat) VALUES (\"bydło\")").arg(f.path(QStringLiteral("gat.db"))));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Gat) VALUES (\"świnie\")").arg(f.path(QStringLiteral("gat.db"))));
    Query q(f.db.get(), QStringLiteral("Q_Simple"));
    q.addLine(QStringLiteral("SELECT Gat AS Nazwa, Id FROM \"%1\" ORDER BY Gat").arg(f.path(QStringLiteral("gat.db"))));
    BatchMove move(f.db.get(), QStringLiteral("BatchMove1"));
    EXPECT_EQ(move.execute(q, f.path(QStringLiteral("temp.db"))), 2);
    EXPECT_EQ(move.execute(q, f.path(QStringLiteral("temp.db"))), 2);
    Table t(f.db.get(), QStringLiteral("T_Temp"));
    t.setTableName(f.path(QStringLiteral("temp.db")));
    t.open();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.asString(QStringLiteral("nazwa")), QStringLiteral("bydło"));
}

TEST(Sharing, RunningCopiesAndBusyDatabase)
{
    DataFolder f;
    auto other = f.connect();
    f.db->registerRunningCopy(QStringLiteral("anna"));
    other->registerRunningCopy(QStringLiteral("jan"));
    EXPECT_EQ(f.db->runningUsers(), (QStringList{QStringLiteral("anna"), QStringLiteral("jan")}));
    other->unregisterRunningCopy();
    EXPECT_EQ(f.db->runningUsers(), QStringList{QStringLiteral("anna")});

    // Another workstation holds the write lock: a post waits, then fails
    // with a clear message and writes nothing.
    other->setBusyTimeout(200);
    Table t(other.get(), QStringLiteral("T_Gat"));
    t.setTableName(QStringLiteral("gat.db"));
    t.open();
    {
        Database::Transaction hold(*f.db);
        t.append();
        t.setValue(QStringLiteral("Gat"), QStringLiteral("kozy"));
        QString msg = errorOf([&] { t.post(); });
        EXPECT_TRUE(msg.contains(QStringLiteral("zajęta"))) << msg.toStdString();
        EXPECT_EQ(t.state(), Dataset::State::Insert);
        // So does a statement run outside a transaction.
        msg = errorOf([&] {
            other->exec(QStringLiteral("INSERT INTO \"%1\" (Gat) VALUES (\"owce\")").arg(f.path(QStringLiteral("gat.db"))));
        });
        EXPECT_TRUE(msg.contains(QStringLiteral("zajęta"))) << msg.toStdString();
    }
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(f.count(QStringLiteral("gat.db")), 1);
}

TEST(Maintenance, IndexesAndPackKeepTheData)
{
    DataFolder f;
    Table t(f.db.get(), QStringLiteral("T_Bd"));
    t.setTableName(QStringLiteral("bd.db"));
    t.open();
    for (int i = 0; i < 50; ++i) {
        t.append();
        t.setValue(QStringLiteral("Bd"), QStringLiteral("Badanie %1").arg(i));
        t.post();
    }
    for (int i = 0; i < 40; ++i)
        t.remove();
    t.close();
    f.db->pack();
    f.db->addIndex(QStringLiteral("bd.db"), QStringLiteral("Bd"));
    t.setIndexName(QStringLiteral("Bd"));
    t.open();
    EXPECT_EQ(t.recordCount(), 10);
    t.append();
    t.setValue(QStringLiteral("Bd"), QStringLiteral("Nowe"));
    t.post();
    EXPECT_EQ(t.asInt(QStringLiteral("Id")), 51);   // Ids are not reused after a pack
}

TEST(Sharing, AnIndexAddedOnAnotherWorkstationIsListed)
{
    DataFolder f;
    const QString file = QStringLiteral("bd.db");
    const QStringList before = f.db->indexNames(file);
    EXPECT_EQ(f.db->indexNames(file), before);   // read once, then known
    auto other = f.connect();
    other->addIndex(file, QStringLiteral("Id"));
    EXPECT_EQ(f.db->indexNames(file).size(), before.size() + 1);
}

TEST(Sharing, ExclusiveOpenWaitsForOtherCopies)
{
    DataFolder f;
    auto other = f.connect();
    f.db->registerRunningCopy(QStringLiteral("anna"));
    Table t(f.db.get(), QStringLiteral("T_Gat"));
    t.setTableName(QStringLiteral("gat.db"));
    t.setExclusive(true);
    t.open();   // only this copy works on the data
    t.close();
    other->registerRunningCopy(QStringLiteral("jan"));
    EXPECT_EQ(errorOf([&] { t.open(); }),
              QStringLiteral("Tabela „gat.db” jest używana na innym stanowisku; nie można jej otworzyć na wyłączność."));
    other->unregisterRunningCopy();
    t.open();
    EXPECT_TRUE(t.active());
}

TEST(Table, DisplayAndEditFormatsStayAcrossReads)
{
    DataFolder f;
    f.db->exec(schema::createPositions(f.folder(), QStringLiteral("_2016_2201.db")).join(QLatin1Char('\n')));
    Table p(f.db.get(), QStringLiteral("T_Poz"));
    p.setTableName(QStringLiteral("p_2016_2201.db"));
    p.setDisplayFormat(QStringLiteral("cena"), QStringLiteral("#,##0.0000"));
    p.setEditFormat(QStringLiteral("cena"), QStringLiteral("#0.####"));
    p.setDisplayFormat(QStringLiteral("BRUTTO"), QStringLiteral("#,##0.00"));
    p.open();
    p.append();
    p.setValue(QStringLiteral("cena"), 1234.5);
    p.setValue(QStringLiteral("brutto"), 1234567.891);
    p.post();
    p.refresh();
    const int cena = p.fieldIndex(QStringLiteral("cena"));
    const int brutto = p.fieldIndex(QStringLiteral("brutto"));
    EXPECT_EQ(p.displayText(0, cena), QStringLiteral("1\u00A0234,5000"));
    EXPECT_EQ(p.displayText(0, brutto), QStringLiteral("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(p.editText(QStringLiteral("cena")), QStringLiteral("1234,5"));
    EXPECT_EQ(p.asString(QStringLiteral("brutto")), QStringLiteral("1234567,891"));
}

TEST(Sharing, ACommitThatFailsLeavesTheRecordToSaveAgain)
{
    if (fenwa::testing::onServer())
        GTEST_SKIP() << "a reader holds up a commit only on an SQLite file";
    DataFolder f;
    auto reader = f.connect();
    f.db->setBusyTimeout(200);
    Table t(f.db.get(), QStringLiteral("T_Gat"));
    t.setTableName(QStringLiteral("gat.db"));
    t.open();
    // Another workstation is in the middle of reading: the write lock can be
    // taken, but the commit cannot finish.
    reader->execNative(QStringLiteral("BEGIN"));
    reader->execNative(QStringLiteral("SELECT count(*) FROM gat"));
    t.append();
    t.setValue(QStringLiteral("Gat"), QStringLiteral("owce"));
    EXPECT_TRUE(errorOf([&] { t.post(); }).contains(QStringLiteral("zajęta")));
    EXPECT_EQ(t.state(), Dataset::State::Insert);
    EXPECT_TRUE(t.isNull(QStringLiteral("Id")));
    reader->execNative(QStringLiteral("COMMIT"));
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asString(QStringLiteral("Gat")), QStringLiteral("owce"));
}

TEST(Query, DictionaryStatementResolvesABareColumnToTheFirstTable)
{
    DataFolder f;
    const QString s = QStringLiteral("_2016_2201.db");
    f.db->exec(schema::createGroups(f.folder(), s).join(QLatin1Char('\n')));
    f.db->exec(schema::createPositions(f.folder(), s).join(QLatin1Char('\n')));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Jms, Jm) VALUES (\"szt.\", \"sztuka\"), (\"kg\", \"kilogram\")")
                   .arg(f.path(QStringLiteral("jm.db"))));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Rozdz, Par, Opis) VALUES (\"FV/1\", 7, 3, \"g\")")
                   .arg(f.path(QStringLiteral("g") + s)));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, jm, Data, Opis, brutto) VALUES "
                              "(1, 2, \"01/10/2016\", \"a\", 10), (1, 1, \"01/11/2016\", \"b\", 20)")
                   .arg(f.path(QStringLiteral("p") + s)));
    auto statement = [&](const QString &dictionary, int id) {
        return QStringList{
            QStringLiteral("SELECT g.dok,p.data,p.opis,p.pks,p.fak,p.netto,p.podatki,p.brutto,p.ilosc,j.jm"),
            QStringLiteral("FROM \"%1\\p%2\" AS p").arg(f.folder(), s),
            QStringLiteral("JOIN \"%1\\g%2\" AS g on g.Id = p.Dok").arg(f.folder(), s),
            QStringLiteral("JOIN \"%1\\jm.db\" As j on j.Id=p.jm").arg(f.folder()),
            QStringLiteral("WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND %1=%2").arg(dictionary).arg(id),
            QStringLiteral("ORDER BY dok,opis")};
    };
    Query q(f.db.get(), QStringLiteral("Q_Slownik"));
    // "jm" is a column of the positions and of jm.db: the positions' one is meant.
    q.setSql(statement(QStringLiteral("jm"), 2));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString(QStringLiteral("opis")), QStringLiteral("a"));
    EXPECT_EQ(q.asString(QStringLiteral("jm")), QStringLiteral("kilogram"));
    // "rozdz" only the groups hold.
    q.setSql(statement(QStringLiteral("rozdz"), 7));
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
}

TEST(Query, ABareColumnIsResolvedAgainAfterAnotherWorkstationAddedAColumn)
{
    DataFolder f;
    const QString s = QStringLiteral("_2016_2201.db");
    f.db->exec(schema::createGroups(f.folder(), s).join(QLatin1Char('\n')));
    f.db->exec(schema::createPositions(f.folder(), s).join(QLatin1Char('\n')));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Rozdz, Par, Opis) VALUES (\"FV/1\", 7, 3, \"g\")")
                   .arg(f.path(QStringLiteral("g") + s)));
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Opis) VALUES (1, \"a\"), (1, \"b\")")
                   .arg(f.path(QStringLiteral("p") + s)));
    const QStringList statement{QStringLiteral("SELECT p.opis FROM \"%1\\p%2\" AS p").arg(f.folder(), s),
                                QStringLiteral("JOIN \"%1\\g%2\" AS g on g.Id = p.Dok").arg(f.folder(), s),
                                QStringLiteral("WHERE rozdz = 7 ORDER BY p.opis")};
    Query q(f.db.get(), QStringLiteral("Q_Slownik"));
    q.setSql(statement);
    q.open();
    EXPECT_EQ(q.recordCount(), 2);   // only the groups hold rozdz
    // Now the positions hold it too, and they come first: the same text means their column.
    auto other = f.connect();
    other->exec(QStringLiteral("ALTER TABLE \"%1\" ADD rozdz INTEGER").arg(f.path(QStringLiteral("p") + s)));
    other->exec(QStringLiteral("UPDATE \"%1\" SET rozdz = 7 WHERE Opis = \"b\"").arg(f.path(QStringLiteral("p") + s)));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString(QStringLiteral("opis")), QStringLiteral("b"));
}
