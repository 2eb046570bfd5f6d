// The summary reports against sums read straight from the registers: the
// single-criterion and multi-criteria reports, their consolidated runs, and
// the plan realisation cross table.
#include "Installation.h"
#include "data/Demo.h"
#include "data/Query.h"
#include "data/Seed.h"
#include "output/SheetExport.h"
#include "output/XlsxReader.h"
#include "reports/CriteriaReport.h"
#include "reports/PlanReport.h"
#include "reports/SimpleReport.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reports;

namespace {

// Key -> sum, from rows whose last column is the amount.
QMap<QString, double> sums(const QVector<QStringList> &rows)
{
    QMap<QString, double> out;
    for (const QStringList &r : rows)
        out[QStringList(r.mid(0, r.size() - 1)).join(u'|')] += r.last().toDouble();
    return out;
}

QMap<QString, double> reportSums(const Query &q, const QStringList &keys, const QString &amount)
{
    QMap<QString, double> out;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList key;
        for (const QString &k : keys)
            key << q.valueAt(r, q.fieldIndex(k)).toString();
        out[key.join(u'|')] += q.valueAt(r, q.fieldIndex(amount)).toDouble();
    }
    return out;
}

void expectSameSums(const QMap<QString, double> &actual, const QMap<QString, double> &expected)
{
    ASSERT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_NEAR(actual.value(it.key()), it.value(), 0.005) << it.key().toStdString();
}

// A data folder with the demo registers of 2016, January to June, of the
// voivodeship inspectorate 2000, the county inspectorate 2003 and the
// subordinate unit 2080 (2081 and 2082 have no register).
struct Demo : fenwa::testing::DataFolder {
    explicit Demo(bool registers = true) : DataFolder(fenwa::testing::Content::Installed)
    {
        if (!registers)
            return;
        DemoOptions o;
        o.year = 2016;
        o.now = QDateTime(QDate(2016, 9, 1), QTime(12, 0));
        o.lastMonth = 6;
        createDemoRegisters(*db, o);
    }
    ReportRequest request(const QString &code, bool koszty = false) const
    {
        ReportRequest r;
        r.od = QDate(2016, 2, 10);
        r.doDnia = QDate(2016, 4, 20);
        r.unitName = QStringLiteral("Jednostka ") + code;
        r.code = code;
        r.koszty = koszty;
        r.subordinates = {QStringLiteral("2080"), QStringLiteral("2081"), QStringLiteral("2082")};
        return r;
    }
    // The condition of direct statements over one register.
    static QString where(const ReportRequest &r)
    {
        return QStringLiteral(" WHERE p.Data BETWEEN '%1' AND '%2' AND p.%3=True")
            .arg(r.od.toString(Qt::ISODate), r.doDnia.toString(Qt::ISODate), r.koszty ? "Kosz" : "Wyd");
    }
};

// The direct statement of one criterion: key, amount; per register.
QString direct(Criterion c, const QString &code, const ReportRequest &r, const QString &amount)
{
    const QString p = QStringLiteral("p_2016_") + code, g = QStringLiteral("g_2016_") + code;
    switch (c) {
    case Criterion::Rozdzialy:
        return QStringLiteral("SELECT d.Rozdz, p.%1 FROM %2 p JOIN %3 g ON g.Id=p.Dok JOIN rozdz d ON d.Id=g.Rozdz")
                   .arg(amount, p, g) + Demo::where(r);
    case Criterion::Paragrafy:
        return QStringLiteral("SELECT d.Par, p.%1 FROM %2 p JOIN %3 g ON g.Id=p.Dok JOIN par d ON d.Id=g.Par")
                   .arg(amount, p, g) + Demo::where(r);
    case Criterion::Zrodla:
        return QStringLiteral("SELECT d.zf, p.%1 FROM %2 p JOIN zf d ON d.Id=p.zf").arg(amount, p) + Demo::where(r);
    case Criterion::Choroby:
        return QStringLiteral("SELECT d.ch, p.%1 FROM %2 p LEFT JOIN ch d ON d.Id=p.ch").arg(amount, p) + Demo::where(r);
    case Criterion::Gatunki:
        return QStringLiteral("SELECT d.gat, p.%1 FROM %2 p LEFT JOIN gat d ON d.Id=p.gat").arg(amount, p)
            + Demo::where(r);
    }
    return {};
}

struct SimpleCase {
    Criterion criterion;
    bool koszty;
};

class SimpleReportSums : public ::testing::TestWithParam<SimpleCase> {
protected:
    static Demo *demo;
    static void SetUpTestSuite() { demo = new Demo; }
    static void TearDownTestSuite() { delete demo; }
};
Demo *SimpleReportSums::demo = nullptr;

} // namespace

// Every criterion, expenditure and costs, over a period crossing months: the
// three sums per criterion value are those of the positions themselves (a
// position without disease or species under an empty value); with quantities
// the rows per unit of measure add up to the same sums.
TEST_P(SimpleReportSums, EqualDirectSumsOfThePositions)
{
    Demo &d = *demo;
    const SimpleCase c = GetParam();
    ReportRequest r = d.request(QStringLiteral("2000"), c.koszty);
    Query q(d.db.get(), QStringLiteral("Q_Simple"));
    for (bool ilosci : {false, true}) {
        r.ilosci = ilosci;
        openSimple(q, r, c.criterion);
        ASSERT_GT(q.recordCount(), ilosci ? 1 : 0);
        for (const char *amount : {"netto", "podatki", "brutto"})
            expectSameSums(reportSums(q, {QStringLiteral("Kryt")}, QString::fromLatin1(amount)),
                           sums(d.rows(direct(c.criterion, QStringLiteral("2000"), r, QString::fromLatin1(amount)))));
    }
    if (c.criterion == Criterion::Choroby || c.criterion == Criterion::Gatunki) {
        // The demo has positions without either: their value is empty.
        r.ilosci = false;
        openSimple(q, r, c.criterion);
        EXPECT_TRUE(q.valueAt(0, 0).isNull() || q.valueAt(0, 0).toString().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Criteria, SimpleReportSums,
                         ::testing::Values(SimpleCase{Criterion::Rozdzialy, false}, SimpleCase{Criterion::Rozdzialy, true},
                                           SimpleCase{Criterion::Paragrafy, false}, SimpleCase{Criterion::Paragrafy, true},
                                           SimpleCase{Criterion::Zrodla, false}, SimpleCase{Criterion::Zrodla, true},
                                           SimpleCase{Criterion::Choroby, false}, SimpleCase{Criterion::Choroby, true},
                                           SimpleCase{Criterion::Gatunki, false}, SimpleCase{Criterion::Gatunki, true}));

// A period without positions gives no rows and an empty plan table.
TEST(Reports, EmptyPeriodGivesNoRows)
{
    Demo d;
    ReportRequest r = d.request(QStringLiteral("2000"));
    r.od = QDate(2016, 8, 1);
    r.doDnia = QDate(2016, 9, 30);
    Query q(d.db.get(), QStringLiteral("Q"));
    openSimple(q, r, Criterion::Rozdzialy);
    EXPECT_EQ(q.recordCount(), 0);
    openCriteria(q, r, {QStringLiteral("rozdziały")});
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(planRealisation(*d.db, r).isEmpty());
}

// The consolidated reports equal the sum of the single reports of the
// voivodeship inspectorate and of every subordinate unit with a register.
TEST(Reports, ConsolidatedEqualsSumOfSingleReports)
{
    Demo d;
    Query q(d.db.get(), QStringLiteral("Q"));
    const QStringList included{QStringLiteral("żródła finansowania"), QStringLiteral("rozdziały")};
    for (bool ilosci : {false, true}) {
        ReportRequest r = d.request(QStringLiteral("2000"));
        r.ilosci = ilosci;
        const QStringList keys = ilosci ? QStringList{"Kryt", "Jm"} : QStringList{"Kryt"};
        const QStringList multiKeys = ilosci ? QStringList{"zf", "rozdz", "Jm"} : QStringList{"zf", "rozdz"};
        QMap<QString, double> single, multiSingle;
        for (const QString &code : {QStringLiteral("2000"), QStringLiteral("2080")}) {
            r.code = code;
            openSimple(q, r, Criterion::Zrodla);
            for (auto [k, v] : reportSums(q, keys, QStringLiteral("Brutto")).asKeyValueRange())
                single[k] += v;
            openCriteria(q, r, included);
            for (auto [k, v] : reportSums(q, multiKeys, QStringLiteral("brutto")).asKeyValueRange())
                multiSingle[k] += v;
        }
        r.code = QStringLiteral("2000");
        r.zbiorczy = true;
        openSimple(q, r, Criterion::Zrodla);
        expectSameSums(reportSums(q, keys, QStringLiteral("Brutto")), single);
        openCriteria(q, r, included);
        expectSameSums(reportSums(q, multiKeys, QStringLiteral("brutto")), multiSingle);
    }
}

// Two units whose partial sums for one chapter are equal in every column both
// count in the consolidated reports; the statement written out says UNION ALL.
TEST(Reports, EqualPartialRowsOfTwoUnitsBothCount)
{
    Demo d(false);
    for (const QString &code : {QStringLiteral("2000"), QStringLiteral("2080")}) {
        createRegister(*d.db, 2016, code);
        d.db->exec(
            QStringLiteral("INSERT INTO g_2016_%1 (Id,Dok,Rozdz,Par,Rok,Mc,Zk) VALUES (1,'A/1',2,1,2016,3,False)")
                .arg(code));
        d.db->exec(QStringLiteral("INSERT INTO p_2016_%1 (Dok,zf,jm,kontr,cz,ilosc,netto,podatki,brutto,wyd,kosz,Data) "
                                  "VALUES (1,1,1,1,1,1,100,23,123,True,False,'2016-03-05')")
                       .arg(code));
    }
    ReportRequest r = d.request(QStringLiteral("2000"));
    r.zbiorczy = true;
    Query q(d.db.get(), QStringLiteral("Q"));
    openSimple(q, r, Criterion::Rozdzialy);
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_DOUBLE_EQ(q.valueAt(0, q.fieldIndex(QStringLiteral("Brutto"))).toDouble(), 246.0);

    QTemporaryDir dumps;
    const QString tt = dumps.filePath(QStringLiteral("tt.txt"));
    openCriteria(q, r, {QStringLiteral("rozdziały")}, tt);
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_DOUBLE_EQ(q.valueAt(0, q.fieldIndex(QStringLiteral("brutto"))).toDouble(), 246.0);
    QFile f(tt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed(), q.text());
    EXPECT_TRUE(q.sql().contains(QStringLiteral("UNION ALL")));
}

// With the quantities themselves as a criterion and "Drukować ilości", each
// row's quantity is the total of its positions' quantities, for one unit and
// consolidated (not the criterion's value once per register), and the rows
// follow the criterion's values.
TEST(Reports, QuantityCriterionRowsTotalTheirPositionsQuantities)
{
    Demo d(false);
    struct Position {
        const char *unit;
        int ilosc, jm;
    };
    const Position positions[]{{"2000", 1, 1}, {"2000", 1, 1}, {"2000", 1, 1}, {"2000", 2, 2},
                               {"2080", 1, 1}, {"2080", 2, 1}, {"2080", 2, 2}};
    for (const QString &code : {QStringLiteral("2000"), QStringLiteral("2080")}) {
        createRegister(*d.db, 2016, code);
        d.db->exec(
            QStringLiteral("INSERT INTO g_2016_%1 (Id,Dok,Rozdz,Par,Rok,Mc,Zk) VALUES (1,'A/1',2,1,2016,3,False)")
                .arg(code));
    }
    for (const Position &p : positions)
        d.db->exec(QStringLiteral("INSERT INTO p_2016_%1 (Dok,zf,jm,kontr,cz,ilosc,netto,podatki,brutto,wyd,kosz,Data) "
                                  "VALUES (1,1,%2,1,1,%3,10,0,10,True,False,'2016-03-05')")
                       .arg(QLatin1String(p.unit))
                       .arg(p.jm)
                       .arg(p.ilosc));
    auto quantities = [&](const QString &code) {
        return sums(
            d.rows(QStringLiteral("SELECT p.ilosc, j.jm, p.ilosc FROM p_2016_%1 p JOIN jm j ON j.Id=p.jm").arg(code)));
    };
    QMap<QString, double> both = quantities(QStringLiteral("2000"));
    for (auto [k, v] : quantities(QStringLiteral("2080")).asKeyValueRange())
        both[k] += v;

    ReportRequest r = d.request(QStringLiteral("2000"));
    r.ilosci = true;
    Query q(d.db.get(), QStringLiteral("Q"));
    for (bool zbiorczy : {false, true}) {
        r.zbiorczy = zbiorczy;
        openCriteria(q, r, {QStringLiteral("ilości")});
        ASSERT_EQ(q.fieldCount(), 6); // ilosc, Jm, the quantity total, netto, podatki, brutto
        QMap<QString, double> actual;
        for (int row = 0; row < q.recordCount(); ++row) {
            actual[q.valueAt(row, 0).toString() + u'|' + q.valueAt(row, 1).toString()] += q.valueAt(row, 2).toDouble();
            if (row > 0) {
                EXPECT_LE(q.valueAt(row - 1, 0).toDouble(), q.valueAt(row, 0).toDouble()) << "row " << row;
            }
        }
        expectSameSums(actual, zbiorczy ? both : quantities(QStringLiteral("2000")));
    }
}

// The multi-criteria sheet has one subtotal row after each run of equal
// chapters, summing that chapter's amounts with SUBTOTAL(9, …), and a grand total.
TEST(Reports, MultiCriteriaSubtotalsReadBackFromTheSheet)
{
    Demo d;
    ReportRequest r = d.request(QStringLiteral("2000"));
    Query q(d.db.get(), QStringLiteral("Q"));
    const QStringList included{QStringLiteral("rozdziały"), QStringLiteral("paragrafy")};
    openCriteria(q, r, included);
    output::SheetEnvironment env;
    env.folder = d.dir.path();
    env.moment = QDateTime(QDate(2016, 9, 1), QTime(12, 0));
    env.version = QStringLiteral("5.0");
    env.login = QStringLiteral("admin");
    const output::SheetResult res = output::SheetExport::run(env, criteriaSheet(r, included, q.fieldCount()),
                                                             [&](output::SheetExport &x) {
        for (int row = 0; row < q.recordCount(); ++row)
            x.addRow(sheetValues(q, row));
    });
    ASSERT_TRUE(res.ok);
    const testing_xlsx::Workbook wb = testing_xlsx::read(res.path);
    ASSERT_TRUE(wb.ok);
    EXPECT_EQ(wb.text(QStringLiteral("B2")), QStringLiteral("Rozdział"));
    EXPECT_EQ(wb.text(QStringLiteral("F2")), QStringLiteral("Brutto"));
    const QMap<QString, double> expected = sums(d.rows(direct(Criterion::Rozdzialy, "2000", r, "brutto")));
    QMap<QString, double> subtotals;
    double grand = -1;
    for (int row = 3; row <= wb.lastRow(); ++row) {
        const QString label = wb.text(QStringLiteral("B%1").arg(row));
        const testing_xlsx::Cell total = wb.cells.value(QStringLiteral("F%1").arg(row));
        if (label.endsWith(QStringLiteral(" Suma"))) {
            EXPECT_TRUE(total.formula.startsWith(QStringLiteral("SUBTOTAL(9,F"))) << total.formula.toStdString();
            subtotals[label.chopped(5)] = total.value.toDouble();
        } else if (label == QStringLiteral("Suma końcowa")) {
            grand = total.value.toDouble();
        }
    }
    expectSameSums(subtotals, expected);
    double all = 0;
    for (double v : expected)
        all += v;
    EXPECT_NEAR(grand, all, 0.005);
}

// The cross table against a direct GROUP BY over both registers; a paragraph
// found only in the subordinate unit's register gets the last column.
TEST(Reports, PlanCrossTableEqualsDirectGroupBy)
{
    Demo d;
    // A paragraph the demo never books: only the subordinate unit uses it.
    d.db->exec(QStringLiteral("INSERT INTO g_2016_2080 (Dok,Rozdz,Par,Rok,Mc,Zk) "
                              "SELECT 'X/1', 1, Id, 2016, 3, False FROM par WHERE Par = '4590'"));
    d.db->exec(QStringLiteral("INSERT INTO p_2016_2080 (Dok,zf,jm,kontr,cz,ilosc,netto,podatki,brutto,wyd,kosz,"
                              "Data) SELECT max(Id),1,1,1,1,1,10,0,10,True,True,'2016-03-05' FROM g_2016_2080"));
    ReportRequest r = d.request(QStringLiteral("2000"));
    r.zbiorczy = true;
    const PlanTable t = planRealisation(*d.db, r);
    ASSERT_FALSE(t.isEmpty());
    EXPECT_EQ(t.pars.last(), QStringLiteral("4590"));
    QStringList own = t.pars.mid(0, t.pars.size() - 1);
    QStringList sorted = own;
    sorted.sort();
    EXPECT_EQ(own, sorted);

    QMap<QString, double> expected;
    for (const QString &code : {QStringLiteral("2000"), QStringLiteral("2080")})
        for (auto [k, v] : sums(d.rows(QStringLiteral("SELECT r.Rozdz, zf.zf, par.Par, p.brutto FROM p_2016_%1 p "
                                                      "JOIN g_2016_%1 g ON g.Id=p.Dok JOIN rozdz r ON r.Id=g.Rozdz "
                                                      "JOIN par ON par.Id=g.Par JOIN zf ON zf.Id=p.zf")
                                           .arg(code)
                                       + Demo::where(r)))
                               .asKeyValueRange())
            expected[k] += v;
    QMap<QString, double> actual;
    for (const PlanTable::Row &row : t.rows)
        for (int c = 0; c < t.pars.size(); ++c)
            if (row.values[c] != 0)
                actual[row.rozdz + u'|' + row.zf + u'|' + t.pars[c]] = row.values[c];
    expectSameSums(actual, expected);
}

// Two workstations running the plan report at once, each on its own
// connection and unit, get each their own table every time.
TEST(Reports, PlanReportsRunAtOnceOnTwoConnections)
{
    Demo d;
    const ReportRequest a = d.request(QStringLiteral("2000")), b = d.request(QStringLiteral("2003"));
    const PlanTable expectedA = planRealisation(*d.db, a), expectedB = planRealisation(*d.db, b);
    ASSERT_NE(expectedA.pars, expectedB.pars);
    auto same = [](const PlanTable &x, const PlanTable &y) {
        if (x.pars != y.pars || x.rows.size() != y.rows.size())
            return false;
        for (int i = 0; i < x.rows.size(); ++i)
            if (x.rows[i].rozdz != y.rows[i].rozdz || x.rows[i].zf != y.rows[i].zf || x.rows[i].values != y.rows[i].values)
                return false;
        return true;
    };
    std::atomic<int> wrong{0};
    auto station = [&](const ReportRequest &r, const PlanTable &expected) {
        try {
            auto db = d.connect();
            for (int i = 0; i < 15; ++i)
                if (!same(planRealisation(*db, r), expected))
                    ++wrong;
        } catch (const EngineError &e) {
            ADD_FAILURE() << e.message().toStdString();
        }
    };
    std::thread t1(station, a, expectedA), t2(station, b, expectedB);
    t1.join();
    t2.join();
    EXPECT_EQ(wrong.load(), 0);
}
