// The dictionary entry statement on a demonstration register: its rows and
// amounts against sums of a statement that qualifies every column, for every dictionary.
#include "data/Demo.h"
#include "dictionaries/DictionaryTabs.h"
#include "dictionaries/EntryStatement.h"
#include "output/DatasetSource.h"
#include "output/PrintJob.h"
#include "Installation.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::dictionaries;

namespace {

struct DemoRegister : fenwa::testing::Installation {
    DemoRegister()
    {
        data::DemoOptions options;
        options.year = 2016;
        options.now = QDateTime(QDate(2016, 12, 31), QTime(12, 0));
        options.units = {QStringLiteral("2003")};
        data::createDemoRegisters(*db, options);
    }
};

} // namespace

// Every dictionary the registers refer to: the statement lists exactly the
// positions of the period that use the entry and have a unit of measure,
// with their amounts. The bare "jm" of the units-of-measure dictionary must
// mean the positions' column, not the name in jm.db; chapters and paragraphs
// are the groups' columns.
TEST(EntryStatement, RowsAndTotalsMatchAQualifiedStatementForEveryDictionary)
{
    DemoRegister demo;
    const QDate from(2016, 2, 1), to(2016, 11, 30);
    const QString joins = QStringLiteral(" FROM p_2016_2003 p JOIN g_2016_2003 g ON g.Id = p.Dok"
                                         " JOIN jm j ON j.Id = p.jm WHERE p.Data BETWEEN '2016-02-01' AND '2016-11-30'");
    int checked = 0;
    for (const DictionaryTab &tab : dictionaryTabs()) {
        const QString name = tab.dictionaryName();
        if (name == QLatin1String("jp"))
            continue;   // no register column refers to the units
        const QString column = (name == QLatin1String("rozdz") || name == QLatin1String("par") ? u'g' : u'p')
            + QStringLiteral(".") + name;
        // The entry most used in the period.
        const QVector<QStringList> used = demo.rows(
            QStringLiteral("SELECT %1, count(*) AS n%2 AND %1 IS NOT NULL GROUP BY %1 ORDER BY n DESC LIMIT 1")
                .arg(column, joins));
        if (used.isEmpty())
            continue;   // the demonstration does not use this dictionary
        const qint64 id = used[0][0].toLongLong();
        const QStringList expected =
            demo.rows(QStringLiteral("SELECT count(*), sum(p.netto), sum(p.podatki), sum(p.brutto)%1 AND %2 = %3")
                          .arg(joins, column)
                          .arg(id))
                .value(0);

        data::Query q(demo.db.get(), QStringLiteral("Q_Slownik"));
        q.setSql(entryStatement(demo.settings.fd, QStringLiteral("_2016_2003.db"), name, id, from, to));
        q.open();
        double netto = 0, podatki = 0, brutto = 0;
        for (q.first(); !q.eof(); q.next()) {
            netto += q.asFloat(QStringLiteral("netto"));
            podatki += q.asFloat(QStringLiteral("podatki"));
            brutto += q.asFloat(QStringLiteral("brutto"));
            EXPECT_GE(q.asDate(QStringLiteral("Data")), from);
            EXPECT_LE(q.asDate(QStringLiteral("Data")), to);
        }
        ASSERT_EQ(expected.size(), 4) << qPrintable(name);
        EXPECT_GT(expected[0].toInt(), 0) << qPrintable(name);
        EXPECT_EQ(q.recordCount(), expected[0].toInt()) << qPrintable(name);
        EXPECT_NEAR(netto, expected[1].toDouble(), 0.005) << qPrintable(name);
        EXPECT_NEAR(podatki, expected[2].toDouble(), 0.005) << qPrintable(name);
        EXPECT_NEAR(brutto, expected[3].toDouble(), 0.005) << qPrintable(name);
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

// The title quotes the row's values after Id, blank ones left out; a row of
// blanks leaves one quote; a logical value reads True or False.
TEST(EntryStatement, TitleQuotesTheRowsValues)
{
    fenwa::testing::Installation inst;
    data::Table *t = inst.dane->T_kontr;
    t->append();
    t->setValue(QStringLiteral("Nazwa"), QStringLiteral("Żuk sp. z o.o."));
    t->setValue(QStringLiteral("Miasto"), QStringLiteral("20-001 Lublin"));
    t->setValue(QStringLiteral("Ukr"), true);
    EXPECT_EQ(entryTitle(*t, QStringLiteral("Kontrahenci")),
              QStringLiteral("Zapisy: Kontrahenci = \"Żuk sp. z o.o.,\"20-001 Lublin,\"True"));
    t->cancel();

    data::Query blank(inst.db.get(), QStringLiteral("Q"));
    blank.setSql({QStringLiteral("SELECT 7 AS Id, NULL AS Nazwa")});
    blank.open();
    EXPECT_EQ(entryTitle(blank, QStringLiteral("Kontrahenci")), QStringLiteral("Zapisy: Kontrahenci = \""));
}

// Each tab prints through the layout named after its tab object, and every
// field that layout prints is a field of the tab's table.
TEST(DictionaryPrint, EveryTabHasALayoutWhoseFieldsItsTableHas)
{
    fenwa::testing::Installation inst;
    for (const DictionaryTab &tab : dictionaryTabs()) {
        const output::PrintLayout *layout = output::findPrintLayout(tab.object);
        ASSERT_NE(layout, nullptr) << qPrintable(tab.object);
        const output::PrintJob job = output::preparePrint(*layout, output::PrintParameters(),
                                                          output::DatasetSource(*dictionaryTable(*inst.dane, tab)));
        EXPECT_TRUE(job.missingFields.isEmpty()) << qPrintable(tab.object + u' ' + job.missingFields.join(u','));
    }
}
