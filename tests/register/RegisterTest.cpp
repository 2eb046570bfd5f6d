// Opening a register and the document groups' commands, on an installation database.
#include "QtPrinters.h"
#include "Installation.h"
#include "data/Dane.h"
#include "data/Schema.h"
#include "data/Seed.h"
#include "register/GroupsLogic.h"
#include "register/Register.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reg;

using fenwa::testing::Content;
using fenwa::testing::Installation;

TEST(OpenRegister, UnitListsAndCodes)
{
    Installation v;
    bool single = true;
    QStringList names = unitNames(*v.dane, &single);
    EXPECT_FALSE(single);
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(names.first(), v.unit("wiw.db", "20"));
    EXPECT_TRUE(names.contains(v.unit("jp.db", "2080")));
    EXPECT_EQ(names.last(), v.unit("piw.db", "2014"));
    EXPECT_FALSE(names.contains(v.unit("piw.db", "2801")));   // another voivodeship

    EXPECT_EQ(unitCode(*v.dane, v.unit("wiw.db", "20")), QStringLiteral("2000"));
    EXPECT_EQ(unitCode(*v.dane, v.unit("piw.db", "2003")), QStringLiteral("2003"));
    EXPECT_EQ(unitCode(*v.dane, v.unit("jp.db", "2080")), QStringLiteral("2080"));

    Installation county({.p_w = 2});
    names = unitNames(*county.dane, &single);
    EXPECT_TRUE(single);
    EXPECT_EQ(names, QStringList{county.unit("piw.db", "2003")});
}

TEST(OpenRegister, AnUnknownUnitNameOpensNothing)
{
    Installation v;
    for (const QString &previous : {QString(), QStringLiteral("2003")}) {
        v.reg.kod = previous;
        RegisterFlow flow(*v.dane);
        try {
            flow.openGroups(2016, 3, QStringLiteral("Nie ma takiej"));
            ADD_FAILURE() << "opened with the previous code " << qPrintable(previous);
        } catch (const EngineError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("„Nie ma takiej”"))) << qPrintable(e.message());
        }
        EXPECT_EQ(v.reg.kod, previous);
        EXPECT_FALSE(v.dane->T_Gr->active());
        EXPECT_FALSE(v.db->fileExists(QStringLiteral("g_2016_.db")));
        EXPECT_FALSE(v.db->fileExists(QStringLiteral("g_2016_2003.db")));
    }
}

TEST(OpenRegister, GroupsThenPositions)
{
    Installation v;
    RegisterFlow flow(*v.dane);
    const QString wiw = v.unit("wiw.db", "20");
    QString caption = flow.openGroups(2016, 3, wiw);
    EXPECT_EQ(caption, QStringLiteral("Dokumenty: %1 za rok 2016, miesiąc marzec.").arg(wiw));
    EXPECT_EQ(v.reg.sufiks, QStringLiteral("_2016_2000.db"));
    EXPECT_TRUE(v.db->fileExists(QStringLiteral("g_2016_2000.db")));
    EXPECT_FALSE(v.db->fileExists(QStringLiteral("p_2016_2000.db")));
    EXPECT_TRUE(v.dane->T_Gr->active());
    EXPECT_FALSE(v.dane->T_Gr->readOnly());

    v.addGroup(QStringLiteral("FV/1"), 3, true);
    v.addGroup(QStringLiteral("FV/2"), 4);
    EXPECT_EQ(v.dane->T_Gr->recordCount(), 1);   // April's group is not shown in March
    v.dane->T_Gr->first();

    GroupsLogic logic(*v.dane);
    ASSERT_TRUE(logic.canShowPositions());
    logic.takeCurrentGroup();
    EXPECT_FALSE(v.dane->T_Gr->active());
    EXPECT_EQ(v.reg.symbol, QStringLiteral("FV/1"));
    EXPECT_TRUE(v.reg.zk);

    caption = flow.openPositions();
    EXPECT_TRUE(v.db->fileExists(QStringLiteral("p_2016_2000.db")));
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Grupa dokumentów: FV/1, Rozdział: %1, §%2, rok 2016, miesiąc marzec - ")
                                       .arg(v.reg.rozdz, v.reg.par)));
    EXPECT_TRUE(v.reg.par.contains(QStringLiteral("; ")));
    EXPECT_TRUE(v.dane->T_Poz->readOnly());   // a closed group
    EXPECT_TRUE(v.dane->T_Zf->filtered());
    EXPECT_EQ(v.dane->T_kontr->filter(), QStringLiteral("Ukr = False"));
    EXPECT_TRUE(v.dane->T_kontr->filtered());
    flow.closePositions();
    EXPECT_FALSE(v.dane->T_kontr->filtered());
    EXPECT_FALSE(v.dane->T_Poz->active());
}

namespace {
// SQLite's plan of a statement of the program, its steps joined by "; ".
QString queryPlan(Database &db, const QString &statement)
{
    const QByteArray sql = ("EXPLAIN QUERY PLAN " + db.dialect().translate(statement).sql).toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db.handle()));
    QStringList steps;
    while (sqlite3_step(st) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    return steps.join(QStringLiteral("; "));
}
} // namespace

TEST(OpenRegister, AnOldRegisterGetsObAndTheIndexesItsLookupsUse)
{
    Installation v;
    RegisterFlow flow(*v.dane);
    flow.openGroups(2016, 3, v.unit("wiw.db", "20"));
    v.addGroup(QStringLiteral("FV/1"), 3);
    // A positions file of an older version: no ob, no indexes.
    const QString p = v.db->path(QStringLiteral("p_2016_2000.db")), g = v.db->path(QStringLiteral("g_2016_2000.db"));
    v.db->exec(schema::createPositions(v.db->folder(), v.reg.sufiks).join(QLatin1Char('\n')));
    v.db->execNative(QStringLiteral("ALTER TABLE p_2016_2000 DROP COLUMN ob"));
    v.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Cz) VALUES (:d, 1)").arg(p),
               {{QStringLiteral("d"), v.dane->T_Gr->asInt(QStringLiteral("Id"))}});
    GroupsLogic(*v.dane).takeCurrentGroup();

    flow.openPositions();
    EXPECT_EQ(v.dane->T_Poz->recordCount(), 1);
    EXPECT_TRUE(schema::positionsHaveOb(*v.db, v.reg.sufiks));
    EXPECT_EQ(schema::missingRegisterIndexes(*v.db, v.reg.positionsFile()), QStringList());
    EXPECT_EQ(schema::missingRegisterIndexes(*v.db, v.reg.groupsFile()), QStringList());
    if (v.db->isServer())
        return; // the plans below are read from SQLite; the server plans by its statistics

    // A group's positions and sums, the duplicate check of a group, the
    // reference scans before a dictionary entry is deleted and a month's groups.
    const struct {
        QString statement, index;
    } lookups[] = {
        {QStringLiteral("SELECT * FROM \"%1\" WHERE Dok = 1 ORDER BY Id").arg(p), QStringLiteral("p_2016_2000.Dok")},
        {QStringLiteral("SELECT SUM(Netto) netto FROM \"%1\" WHERE Dok=1").arg(p), QStringLiteral("p_2016_2000.Dok")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE Dok = \"FV/1\"").arg(g), QStringLiteral("g_2016_2000.Dok")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE cz = :id").arg(p), QStringLiteral("p_2016_2000.Cz")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE ob = :id").arg(p), QStringLiteral("p_2016_2000.Ob")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE kontr = :id").arg(p), QStringLiteral("p_2016_2000.kontr")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE par = :id").arg(g), QStringLiteral("g_2016_2000.Par")},
        {QStringLiteral("SELECT * FROM \"%1\" WHERE rok = 2016 and mc = 3 ORDER BY Id").arg(g),
         QStringLiteral("g_2016_2000.Mc")},
    };
    for (const auto &l : lookups) {
        SCOPED_TRACE(l.statement.toStdString());
        const QString plan = queryPlan(*v.db, l.statement);
        EXPECT_TRUE(plan.contains(QStringLiteral("USING INDEX ") + l.index)) << plan.toStdString();
        EXPECT_FALSE(plan.contains(QStringLiteral("TEMP B-TREE"))) << plan.toStdString();
    }
}

TEST(OpenRegister, BrowseOnlyUserGetsReadOnlyTables)
{
    Installation v({.edycja = false});
    RegisterFlow flow(*v.dane);
    flow.openGroups(2016, 3, v.unit("piw.db", "2003"));
    EXPECT_EQ(v.reg.kod, QStringLiteral("2003"));
    EXPECT_TRUE(v.dane->T_Gr->readOnly());
    GroupsLogic logic(*v.dane);
    EXPECT_FALSE(logic.buttonsEnabled());
    GroupsMenuState m = logic.menuState();
    EXPECT_TRUE(m.dodaj);   // the menu's table: empty month
    EXPECT_FALSE(m.usun || m.zapisz || m.szukaj || m.zamknij);
}

TEST(Groups, MenuClosingSumsAndInformation)
{
    Installation v;
    RegisterFlow flow(*v.dane);
    flow.openGroups(2016, 3, v.unit("wiw.db", "20"));
    v.addGroup(QStringLiteral("FV/7"), 3);
    GroupsLogic logic(*v.dane);
    GroupsMenuState m = logic.menuState();
    EXPECT_TRUE(m.dodaj && m.usun && m.popraw && m.zamknij && m.szukaj && m.informacje);
    EXPECT_FALSE(m.zapisz || m.rezygnuj || m.otworz || m.wklej);
    EXPECT_TRUE(logic.buttonsEnabled());

    logic.setClosed(true);
    EXPECT_EQ(v.messages.last(), QStringLiteral("Dokument FV/7 został zamknięty!"));
    EXPECT_TRUE(v.dane->T_Gr->asBool(QStringLiteral("Zk")));
    m = logic.menuState();
    EXPECT_TRUE(m.otworz);
    EXPECT_FALSE(m.zamknij);
    logic.setClosed(false);
    EXPECT_EQ(v.messages.last(), QStringLiteral("Dokument FV/7 został otwarty!"));

    v.dane->T_Gr->edit();
    m = logic.menuState();
    EXPECT_TRUE(m.zapisz && m.rezygnuj);
    EXPECT_FALSE(m.dodaj || m.usun || m.szukaj);
    EXPECT_FALSE(logic.buttonsEnabled());
    v.dane->T_Gr->cancel();

    // The positions file does not exist yet: the engine's error.
    v.messages.clear();
    logic.sums();
    ASSERT_EQ(v.messages.shown().size(), 1);
    EXPECT_EQ(v.messages.shown()[0].kind, Messages::Kind::Error);

    v.db->exec(schema::createPositions(v.db->folder(), v.reg.sufiks).join(QLatin1Char('\n')));
    v.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, netto, podatki, BRUTTO) VALUES (:d, 60, 13.8, 73.8), (:d, 40, 9.2, 49.2)")
                   .arg(v.db->path(v.reg.positionsFile())),
               {{QStringLiteral("d"), v.dane->T_Gr->asInt(QStringLiteral("Id"))}});
    v.messages.clear();
    logic.sums();
    ASSERT_EQ(v.messages.shown().size(), 1);
    EXPECT_EQ(v.messages.shown()[0].title, QStringLiteral("Sumy \"FV/7\""));
    EXPECT_EQ(v.messages.last(), QStringLiteral("Netto: 100,00zł, podatki: 23,00zł, brutto: 123,00zł."));

    logic.information();
    EXPECT_TRUE(v.messages.last().startsWith(QStringLiteral("Grupę dodał ")));
    EXPECT_TRUE(v.messages.last().contains(QStringLiteral(", użytkownik admin.\nOstatnia zmiana ")));

    const QString d = v.db->folder();
    EXPECT_EQ(logic.groupListStatement(),
              (QStringList{
                  QStringLiteral("SELECT g.id,g.Dok,r.Rozdz As Rozdzial,p.Par||\"-\"||p.Opis As Paragraf,g.Opis, g.zk, "
                                 "g.T_Ins, i.login, g.T_mod, m.login AS Log"),
                  QStringLiteral("FROM \"%1\\g_2016_2000.db\" AS g").arg(d),
                  QStringLiteral("JOIN \"%1\\passwd.db\" AS i on g.O_Ins=i.Id").arg(d),
                  QStringLiteral("JOIN \"%1\\passwd.db\" AS m on g.O_Mod=m.Id").arg(d),
                  QStringLiteral("JOIN \"%1\\par.db\" AS p on g.par=p.Id").arg(d),
                  QStringLiteral("JOIN \"%1\\rozdz.db\" AS r on g.rozdz=r.Id").arg(d),
                  QStringLiteral("WHERE Rok = 2016 AND Mc=3"),
                  QStringLiteral("ORDER BY Id")}));
    Query &q = *v.dane->Q_GrDok;
    q.setSql(logic.groupListStatement());
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString(QStringLiteral("Dok")), QStringLiteral("FV/7"));
    EXPECT_EQ(q.asString(QStringLiteral("login")), QStringLiteral("admin"));
    EXPECT_TRUE(q.asString(QStringLiteral("Paragraf")).contains(QLatin1Char('-')));
}

TEST(Groups, ClosingWithoutTheEditRightFails)
{
    Installation writer;
    RegisterFlow(*writer.dane).openGroups(2016, 3, writer.unit("wiw.db", "20"));
    writer.addGroup(QStringLiteral("A"), 3);
    writer.dane->T_Gr->close();

    // Another workstation, without the edit right, on the same data folder.
    Installation reader({.content = Content::Nothing, .open = false, .edycja = false});
    reader.db = writer.connect();
    reader.settings.fd = writer.folder();
    ASSERT_TRUE(reader.open());
    TF_Dane &dane = reader.d();
    RegisterFlow(dane).openGroups(2016, 3, writer.unit("wiw.db", "20"));
    GroupsLogic logic(dane);
    logic.setClosed(true);
    EXPECT_EQ(reader.messages.last(), QStringLiteral("Błąd zamknięcia!"));
    EXPECT_EQ(reader.messages.shown().last().kind, Messages::Kind::Error);
    EXPECT_FALSE(dane.T_Gr->asBool(QStringLiteral("Zk")));
    EXPECT_EQ(dane.T_Gr->state(), Dataset::State::Browse);
}

TEST(Groups, CopyAndPasteIntoAnotherRegister)
{
    Installation v;
    RegisterFlow flow(*v.dane);
    flow.openGroups(2016, 3, v.unit("wiw.db", "20"));
    for (const char *d : {"K/1", "K/2", "K/3", "K/4"})
        v.addGroup(QString::fromLatin1(d), 3);
    GroupsLogic logic(*v.dane);
    logic.copy({0, 2, 3});
    EXPECT_TRUE(logic.kopia());
    EXPECT_EQ(logic.ile(), 3);
    EXPECT_EQ(v.dane->T_Gr->asString(QStringLiteral("Dok")), QStringLiteral("K/4"));   // left on the last one
    v.dane->T_Gr->close();

    flow.openGroups(2016, 5, v.unit("piw.db", "2003"));
    logic.paste();
    EXPECT_FALSE(logic.kopia());
    Table *g = v.dane->T_Gr;
    ASSERT_EQ(g->recordCount(), 3);
    QStringList symbols;
    for (g->first(); !g->eof(); g->next()) {
        symbols << g->asString(QStringLiteral("Dok"));
        EXPECT_EQ(g->asString(QStringLiteral("Opis")), QStringLiteral("Opis ") + symbols.last());
    }
    EXPECT_EQ(symbols, (QStringList{QStringLiteral("K/1"), QStringLiteral("K/3"), QStringLiteral("K/4")}));
    for (g->first(); !g->eof(); g->next()) {
        EXPECT_EQ(g->asInt(QStringLiteral("Rok")), 2016);
        EXPECT_EQ(g->asInt(QStringLiteral("Mc")), 5);
        EXPECT_EQ(g->asDateTime(QStringLiteral("T_Ins")), v.clock.now());
    }

    // Pasting them back where they came from: every symbol is refused, nothing is added.
    logic.copy({0, 1, 2});
    g->close();
    flow.openGroups(2016, 3, v.unit("wiw.db", "20"));
    v.messages.clear();
    logic.paste();
    EXPECT_EQ(v.dane->T_Gr->recordCount(), 4);
    EXPECT_EQ(v.messages.texts(), (QStringList{QStringLiteral("Pozycja \"K/1\" już istnieje!"),
                                               QStringLiteral("Pozycja \"K/3\" już istnieje!"),
                                               QStringLiteral("Pozycja \"K/4\" już istnieje!")}));
    EXPECT_EQ(v.dane->T_Gr->state(), Dataset::State::Browse);

    // More groups than the buffer holds: refused with a message, buffer kept.
    QVector<int> many(GroupsLogic::bufferSize + 1, 0);
    logic.copy(many);
    EXPECT_FALSE(logic.kopia());
    EXPECT_TRUE(v.messages.last().contains(QStringLiteral("najwyżej 50")));
}

