// FULL OUTER JOINs that the WHERE clause makes LEFT JOINs: the statements of
// the program that use them give the same rows either way, on the demo data.
#include "Installation.h"
#include "data/Demo.h"
#include "data/Seed.h"
#include "data/Statement.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa::data;

namespace {

struct DemoData : fenwa::testing::DataFolder {
    DemoData() : DataFolder(fenwa::testing::Content::Installed)
    {
        DemoOptions options;
        options.year = 2016;
        options.now = QDateTime(QDate(2016, 12, 31), QTime(12, 0));
        createDemoRegisters(*db, options);
    }
    // Rows as text, sorted: the engine's row order is not part of the result.
    QStringList rows(const QString &sqliteSql) const
    {
        Statement st(*db, sqliteSql);
        QStringList out;
        while (st.step()) {
            QStringList row;
            for (int c = 0; c < st.columnCount(); ++c)
                row << (st.columnType(c) == SQLITE_NULL ? QStringLiteral("<null>") : st.text(c));
            out << row.join(QLatin1Char('|'));
        }
        out.sort();
        return out;
    }
};

QStringList fullJoins(const char *const *tables, bool prac)
{
    QStringList lines;
    for (const char *const *t = tables; *t; ++t) {
        const QString name = QString::fromLatin1(*t);
        if (name != QLatin1String("prac") || prac)
            lines << QStringLiteral("FULL OUTER JOIN \"{D}\\%1.db\" as %1 on %1.id=p.%1").arg(name);
    }
    return lines;
}

// The group export, by voivodeship or county installation.
QStringList groupExport(bool voivodeship, int group)
{
    static const char *const full1[] = {"ch", "gat", nullptr}, *const full2[] = {"bd", "bp", "zak", "prac", nullptr};
    QStringList s{QStringLiteral("SELECT zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,p.data,p.pks,p.fak,p.ilosc,"
                                 "jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,zak.zak")
                      + (voivodeship ? QStringLiteral(",prac.prac") : QString()),
                  QStringLiteral("FROM \"{D}\\p_2016_2000.db\" AS p"),
                  QStringLiteral("JOIN \"{D}\\zf.db\" as zf on zf.id=p.zf"),
                  QStringLiteral("JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm")};
    s << fullJoins(full1, voivodeship);
    s << QStringLiteral("JOIN \"{D}\\cz.db\" as cz on cz.id=p.cz") << QStringLiteral("JOIN \"{D}\\kontr.db\" as kontr on kontr.id=p.kontr");
    s << fullJoins(full2, voivodeship);
    s << QStringLiteral("WHERE p.Dok=%1").arg(group);
    return s;
}

// The positions browser over a year.
QStringList browser(bool voivodeship)
{
    static const char *const full1[] = {"ch", "gat", nullptr}, *const full2[] = {"bd", "bp", "zak", "prac", "ob", nullptr};
    QStringList s{QStringLiteral("SELECT p.id,g.dok,rozdz.rozdz,par.par,par.opis popis,zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,"
                                 "cz.cz,p.opis,p.data,p.pks,p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,"
                                 "p.kosz,p.dot,bd.bd,bp.bp,zak.zak")
                      + (voivodeship ? QStringLiteral(",prac.prac") : QString()) + QStringLiteral(",ob.ob"),
                  QStringLiteral("FROM \"{D}\\p_2016_2000.db\" AS p"),
                  QStringLiteral("JOIN \"{D}\\g_2016_2000.db\" AS g on g.id=p.dok"),
                  QStringLiteral("JOIN \"{D}\\rozdz.db\" as rozdz on rozdz.id=g.rozdz"),
                  QStringLiteral("JOIN \"{D}\\par.db\" as par on par.id=g.par"),
                  QStringLiteral("JOIN \"{D}\\zf.db\" as zf on zf.id=p.zf"),
                  QStringLiteral("JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm")};
    s << fullJoins(full1, voivodeship);
    s << QStringLiteral("JOIN \"{D}\\cz.db\" as cz on cz.id=p.cz") << QStringLiteral("JOIN \"{D}\\kontr.db\" as kontr on kontr.id=p.kontr");
    s << fullJoins(full2, voivodeship);
    s << QStringLiteral("WHERE p.data BETWEEN \"01/01/2016\" AND \"12/31/2016\"") << QStringLiteral("ORDER BY id");
    return s;
}

// The report by chosen criteria, every criterion with a FULL OUTER JOIN
// chosen, with quantities; over one unit or, consolidated, several.
QStringList criteriaReport(const QStringList &units, const QString &kind)
{
    static const char *const criteria[] = {"ch", "gat", "bd", "bp", "zak", "prac", "ob", nullptr};
    QStringList first{QStringLiteral("SELECT ch.ch,gat.gat,bd.bd,bp.bp,zak.zak,prac.prac,ob.ob,jm.jm As Jm, SUM(ilosc) ilosc,"
                                     "SUM(p.netto) netto,SUM(p.podatki) podatki,SUM(p.brutto) brutto")};
    QStringList rest = fullJoins(criteria, true);
    rest << QStringLiteral("JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm")
         << QStringLiteral("WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND %1=True").arg(kind)
         << QStringLiteral("GROUP BY ch.ch,gat.gat,bd.bd,bp.bp,zak.zak,prac.prac,ob.ob,jm.jm");
    QStringList s;
    for (const QString &unit : units) {
        if (!s.isEmpty())
            s << QStringLiteral("UNION");
        s << first << QStringLiteral("FROM \"{D}\\p_2016_%1.db\" as p").arg(unit)
          << QStringLiteral("JOIN \"{D}\\g_2016_%1.db\" as g on p.dok=g.id").arg(unit) << rest;
    }
    s << QStringLiteral("ORDER BY ch,gat,bd,bp,zak,prac,ob,jm");
    return s;
}

} // namespace

TEST(JoinNarrowing, StatementsWithFullJoinsGiveTheSameRowsAsWritten)
{
    DemoData demo;
    const struct {
        const char *what;
        QStringList statement;
        bool narrowed;
    } cases[] = {
        {"group export, voivodeship", groupExport(true, 3), true},
        {"group export, county", groupExport(false, 7), true},
        {"browser, voivodeship", browser(true), true},
        {"browser, county", browser(false), true},
        {"criteria, expenditure", criteriaReport({QStringLiteral("2000")}, QStringLiteral("Wyd")), true},
        {"criteria, costs, consolidated",
         criteriaReport({QStringLiteral("2000"), QStringLiteral("2003"), QStringLiteral("2080")}, QStringLiteral("Kosz")), true},
        // The WHERE clause lets a row the join adds pass: left as written.
        {"condition with OR", groupExport(true, 3).replaceInStrings(QStringLiteral("WHERE p.Dok=3"),
                                                                     QStringLiteral("WHERE p.Dok=3 OR ch.id=1")), false},
        {"condition on the joined table", groupExport(true, 3).replaceInStrings(QStringLiteral("WHERE p.Dok=3"),
                                                                                 QStringLiteral("WHERE ch.id=1")), false},
        {"null test", groupExport(true, 3).replaceInStrings(QStringLiteral("WHERE p.Dok=3"),
                                                             QStringLiteral("WHERE p.Dok IS NULL")), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString written = c.statement.join(QLatin1Char('\n')).replace(QStringLiteral("{D}"), demo.db->folder());
        ASSERT_FALSE(written.contains(QLatin1String("LEFT")));
        const QString executed = demo.db->dialect().translate(written).sql;
        EXPECT_EQ(executed.contains(QLatin1String("FULL")), !c.narrowed) << executed.toStdString();
        QString asWritten = executed;
        asWritten.replace(QStringLiteral("LEFT OUTER JOIN"), QStringLiteral("FULL OUTER JOIN"));
        const QStringList expected = demo.rows(asWritten);
        EXPECT_EQ(demo.rows(executed), expected);
        if (c.narrowed) {
            EXPECT_FALSE(expected.isEmpty());
        }
    }
}
