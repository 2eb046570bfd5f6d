// The data module: its opening sequence, upgrades, rights and register names.
#include "Installation.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::Content;
using fenwa::testing::Installation;

namespace {

// A workstation on a folder with every shared table, empty, opened with the given rights.
struct Module : Installation {
    Module() : Installation({.content = Content::Tables, .open = false}) {}
    bool open(bool slowniki, bool edycja)
    {
        user.slowniki = slowniki;
        user.edycja = edycja;
        return Installation::open();
    }
};

} // namespace

TEST(Dane, OpensEverySharedTableAndCreatesAsfAreas)
{
    Module m;
    m.db->deleteFile(QStringLiteral("ob.db"));
    ASSERT_TRUE(m.open(true, true)) << m.messages.last().toStdString();
    for (Table *t : m.dane->sharedTables())
        EXPECT_TRUE(t->active()) << t->name().toStdString();
    EXPECT_TRUE(m.db->fileExists(QStringLiteral("ob.db")));
    QStringList names;
    for (const auto &fd : m.db->fields(QStringLiteral("ob.db")))
        names << fd.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("Id"), QStringLiteral("ob")}));
    EXPECT_FALSE(m.dane->T_Gr->active());
    EXPECT_FALSE(m.dane->T_Poz->active());
    EXPECT_TRUE(m.messages.shown().isEmpty());
}

TEST(Dane, ReadOnlyRulesFollowTheRights)
{
    {
        Module m;
        ASSERT_TRUE(m.open(false, true));
        EXPECT_FALSE(m.dane->T_kontr->readOnly());
        EXPECT_FALSE(m.dane->T_Zak->readOnly());
        EXPECT_TRUE(m.dane->T_Cz->readOnly());
        EXPECT_TRUE(m.dane->T_Rozdz->readOnly());
        EXPECT_TRUE(m.dane->T_Jp->readOnly());
        EXPECT_FALSE(m.dane->T_Passwd->readOnly());
        EXPECT_FALSE(m.dane->T_Gr->readOnly());
        EXPECT_FALSE(m.dane->T_Poz->readOnly());
    }
    {
        Module m;
        ASSERT_TRUE(m.open(false, false));
        for (Table *t : m.dane->sharedTables())
            EXPECT_EQ(t->readOnly(), t != m.dane->T_Passwd) << t->name().toStdString();
        EXPECT_TRUE(m.dane->T_Gr->readOnly());
    }
    {
        Module m;
        ASSERT_TRUE(m.open(true, false));
        EXPECT_FALSE(m.dane->T_Cz->readOnly());
        EXPECT_FALSE(m.dane->T_kontr->readOnly());
        EXPECT_TRUE(m.dane->T_Poz->readOnly());
    }
}

TEST(Dane, OldActivitiesAndContractorsGainUkrOnce)
{
    Module m;
    for (const char *file : {"cz.db", "kontr.db"})
        m.db->deleteFile(QString::fromLatin1(file));
    m.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Cz CHAR(150), PRIMARY KEY (Id))")
                     .arg(m.path(QStringLiteral("cz.db"))));
    m.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Nazwa CHAR(60), Im_naz CHAR(60), Ulica CHAR(30), "
                                "Miasto CHAR(30), Ident CHAR(30), Konto CHAR(30), PRIMARY KEY (Id))")
                     .arg(m.path(QStringLiteral("kontr.db"))));
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Cz) VALUES (\"szczepienie\")").arg(m.path(QStringLiteral("cz.db"))));
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Nazwa) VALUES (\"Vet-Pol\")").arg(m.path(QStringLiteral("kontr.db"))));
    ASSERT_TRUE(m.open(true, true)) << m.messages.last().toStdString();
    EXPECT_TRUE(m.dane->T_Cz->hasField(QStringLiteral("Ukr")));
    EXPECT_FALSE(m.dane->T_Cz->isNull(QStringLiteral("Ukr")));
    EXPECT_FALSE(m.dane->T_Cz->asBool(QStringLiteral("Ukr")));
    EXPECT_FALSE(m.dane->T_kontr->isNull(QStringLiteral("Ukr")));

    // The next start does nothing more.
    auto db = m.connect();
    ScriptedMessages msgs;
    TF_Dane second(db.get(), m.user, m.settings, m.reg, msgs, m.clock);
    EXPECT_TRUE(second.open());
    EXPECT_EQ(db->fields(QStringLiteral("cz.db")).size(), 3);
}

TEST(Dane, AnErrorStopsTheSequenceAtItsStep)
{
    Module m;
    m.db->deleteFile(QStringLiteral("jm.db"));
    EXPECT_FALSE(m.open(true, true));
    ASSERT_EQ(m.messages.shown().size(), 1);
    EXPECT_EQ(m.messages.shown()[0].title, QStringLiteral("Błąd"));
    EXPECT_TRUE(m.messages.last().contains(QStringLiteral("jm.db")));
    EXPECT_TRUE(m.dane->T_Gat->active());    // before the failing step
    EXPECT_FALSE(m.dane->T_Bd->active());    // after it
    EXPECT_FALSE(m.dane->T_Cz->active());
    EXPECT_FALSE(m.dane->T_kontr->active());
}

TEST(Dane, RegisterFilesAndUpgrade)
{
    EXPECT_EQ(OpenRegister::suffix(2016, QStringLiteral("2201")), QStringLiteral("_2016_2201.db"));
    Module m;
    ASSERT_TRUE(m.open(true, true));
    const QString suffix = OpenRegister::suffix(2016, QStringLiteral("2200"));
    m.db->exec(schema::createGroups(m.folder(), suffix).join(QLatin1Char('\n')));
    // A positions file of an older version, without ob.
    m.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Dok INTEGER, BRUTTO FLOAT, PRIMARY KEY (Id))")
                     .arg(m.path(QStringLiteral("p") + suffix)));
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, BRUTTO) VALUES (1, 10)").arg(m.path(QStringLiteral("p") + suffix)));
    m.dane->setRegister(suffix);
    EXPECT_EQ(m.dane->T_Gr->tableName(), QStringLiteral("g_2016_2200.db"));
    EXPECT_EQ(m.dane->T_Poz->tableName(), QStringLiteral("p_2016_2200.db"));
    m.dane->T_Gr->open();
    EXPECT_TRUE(m.dane->T_Gr->hasField(QStringLiteral("Paragraf")));

    Query &q = *m.dane->Q_Create;
    EXPECT_FALSE(schema::positionsHaveOb(*m.db, suffix));
    q.setSql(schema::upgradePositions(m.folder(), suffix));
    q.execSql();
    EXPECT_TRUE(schema::positionsHaveOb(*m.db, suffix));
    // The names differ only in case: brutto is BRUTTO.
    m.dane->Q_Rob->setSql({QStringLiteral("SELECT brutto FROM \"%1\"").arg(m.path(QStringLiteral("p") + suffix))});
    m.dane->Q_Rob->open();
    EXPECT_DOUBLE_EQ(m.dane->Q_Rob->asFloat(QStringLiteral("BRUTTO")), 10.0);
    EXPECT_EQ(m.dane->Q_Rob->displayText(0, 0), QStringLiteral("10,00"));
}
