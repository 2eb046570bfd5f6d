// The position browser's result against statements run straight on the
// registers: each kind of column filter alone and together, removing them,
// the voivodeship's extra column, Polish incremental search, and the CSV
// file as a strict reader sees it.
#include "data/Demo.h"
#include "data/Query.h"
#include "data/Seed.h"
#include "reports/Browser.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reports;

namespace {

const QString kQuoted = QStringLiteral("Zakład 'Pod Lipą' 100% Łąka");

// The demo registers of 2016 of the county inspectorate 2003; one contractor
// renamed to a name with quotes, a percent sign and Polish letters.
struct Browser : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<Query> q;

    void SetUp() override
    {
        db = createInstallation(dir.path(), QDate(2016, 9, 1));
        DemoOptions o;
        o.year = 2016;
        o.now = QDateTime(QDate(2016, 9, 1), QTime(12, 0));
        o.units = {QStringLiteral("2003")};
        createDemoRegisters(*db, o);
        native(QStringLiteral("UPDATE kontr SET nazwa='Zakład ''Pod Lipą'' 100% Łąka' WHERE id="
                              "(SELECT kontr FROM p_2016_2003 WHERE kontr IS NOT NULL ORDER BY id LIMIT 1)"));
        q = std::make_unique<Query>(db.get(), QStringLiteral("Q_Rob"));
        q->setSql(browserStatement(dir.path(), QStringLiteral("_2016_2003.db"), 2016, false));
        q->open();
    }
    QString native(const QString &sql)
    {
        sqlite3_stmt *st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db->handle(), sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
            << sql.toStdString();
        QString out;
        if (st && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_count(st) > 0) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                cols << QString::number(sqlite3_column_double(st, i), 'f', 2);
            out = cols.join(u'|');
        }
        sqlite3_finalize(st);
        return out;
    }
    // Count and gross sum of the year's positions passing `condition`.
    QString direct(const QString &condition)
    {
        return native(QStringLiteral("SELECT count(*), coalesce(sum(p.brutto),0) FROM p_2016_2003 p "
                                     "LEFT JOIN kontr k ON k.id=p.kontr WHERE p.data BETWEEN '2016-01-01' AND "
                                     "'2016-12-31' AND ")
                      + condition);
    }
    QString shown()
    {
        const BrowserTotals t = browserTotals(*q);
        return QStringLiteral("%1|%2").arg(QString::number(t.rows, 'f', 2), QString::number(t.brutto, 'f', 2));
    }
};

// Columns as browserColumns numbers them.
int columnOf(const QString &field)
{
    const auto cols = browserColumns(false);
    for (int c = 0; c < cols.size(); ++c)
        if (cols[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

} // namespace

TEST_F(Browser, EachFilterAloneAndAllTogetherGiveTheRowsAndSumsOfDirectSql)
{
    ASSERT_GT(q->recordCount(), 100);
    // Every position of the year is shown, those without a contractor too.
    ASSERT_NE(native(QStringLiteral("SELECT count(*) FROM p_2016_2003 WHERE kontr IS NULL")), QStringLiteral("0.00"));
    EXPECT_EQ(shown(), direct(QStringLiteral("1=1")));
    ASSERT_EQ(shown(), direct(QStringLiteral("1")));
    BrowserFilters f(browserColumns(false).size());
    QString error;
    f.setText(columnOf(QStringLiteral("Kontr")), QStringLiteral("Kontr"), kQuoted);
    applyFilter(*q, f.filtr());
    EXPECT_EQ(shown(), direct(QStringLiteral("k.nazwa='Zakład ''Pod Lipą'' 100% Łąka'")));
    EXPECT_GT(q->recordCount(), 0);
    f.clear();

    struct Row {
        const char *what;
        std::function<void()> set;
        const char *sql;
    };
    const Row rows[] = {
        {"amount range, Polish form", [&] { ASSERT_TRUE(f.setReal(columnOf("brutto"), "brutto", "100", "2 000,50", &error)); },
         "p.brutto>=100 AND p.brutto<=2000.5"},
        {"amount range, plain form", [&] { ASSERT_TRUE(f.setReal(columnOf("netto"), "netto", "-5", "1500.25", &error)); },
         "p.netto>=-5 AND p.netto<=1500.25"},
        {"date range", [&] { f.setDates(columnOf("data"), "data", QDate(2016, 2, 1), QDate(2016, 2, 29)); },
         "p.data BETWEEN '2016-02-01' AND '2016-02-29'"},
        {"unticked flag", [&] { f.setBool(columnOf("Wyd"), "Wyd", false); }, "p.wyd=0"},
        {"ticked flag", [&] { f.setBool(columnOf("kosz"), "kosz", true); }, "p.kosz=1"},
    };
    QStringList together;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        BrowserFilters alone(browserColumns(false).size());
        std::swap(alone, f);
        r.set();
        std::swap(alone, f);
        applyFilter(*q, alone.filtr());
        EXPECT_EQ(shown(), direct(QString::fromUtf8(r.sql)));
        r.set();
        together << QString::fromUtf8(r.sql);
    }
    applyFilter(*q, f.filtr());
    EXPECT_EQ(shown(), direct(together.join(QStringLiteral(" AND "))));
    EXPECT_EQ(f.description(columnOf("Wyd")), "False");
    EXPECT_EQ(f.description(columnOf("brutto")), "100 - 2 000,50");
    EXPECT_EQ(f.description(columnOf("data")), "01.02.2016 - 29.02.2016");

    // Removing one column's filter keeps the others; removing all shows the year.
    f.remove(columnOf("data"));
    together.removeAt(2);
    applyFilter(*q, f.filtr());
    EXPECT_EQ(shown(), direct(together.join(QStringLiteral(" AND "))));
    f.clear();
    applyFilter(*q, f.filtr());
    EXPECT_FALSE(q->filtered());
    EXPECT_EQ(shown(), direct(QStringLiteral("1")));
}

TEST(BrowserFilter, AmountBoundsAcceptOnlyNumbersInThePolishOrPlainForm)
{
    BrowserFilters f(3);
    QString error;
    ASSERT_TRUE(f.setReal(1, "brutto", "-1 234,5", "0,5", &error));
    const QString kept = f.expression(1);
    EXPECT_EQ(kept, "brutto>=-1234.5 AND brutto<=0.5");
    for (const char *bad : {"1e3", "abc", "1,2,3", "", "12 34", "+5", "1' or 1=1"}) {
        SCOPED_TRACE(bad);
        error.clear();
        EXPECT_FALSE(f.setReal(1, "brutto", "1", QString::fromUtf8(bad), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("nie jest poprawną liczbą")));
        EXPECT_EQ(f.expression(1), kept);
    }
}

TEST_F(Browser, VoivodeshipInstallationShowsTheLaboratoryColumnAndFiltersOnIt)
{
    const auto county = browserColumns(false), voivodeship = browserColumns(true);
    EXPECT_EQ(county.size(), 26);   // after "Lp": 27 grid columns
    ASSERT_EQ(voivodeship.size(), 27);
    EXPECT_EQ(voivodeship.last().title, "Pracownia");
    EXPECT_FALSE(q->hasField("prac"));
    q->setSql(browserStatement(dir.path(), QStringLiteral("_2016_2003.db"), 2016, true));
    q->open();
    for (const BrowserColumn &c : voivodeship)
        EXPECT_TRUE(q->hasField(c.field)) << c.field.toStdString();
    BrowserFilters f(voivodeship.size());
    f.setText(voivodeship.size() - 1, "prac", QString());
    f.setBool(columnOf("Wyd"), "Wyd", true);
    applyFilter(*q, f.filtr());
    EXPECT_EQ(shown(), direct(QStringLiteral("p.prac IS NULL AND p.wyd=1")));
}

TEST_F(Browser, TypingFindsTheFirstRowBeginningWithThePrefixInAnyCaseOfPolishLetters)
{
    q->setSql(orderedStatement(q->sql(), QStringLiteral("Kontr")));
    q->open();
    QString szukany;
    EXPECT_FALSE(incrementalSearch(*q, QString(), szukany, u'z'));   // nothing ordered yet
    szukany.clear();
    for (QChar c : QStringLiteral("zAKŁAD 'pod l"))
        incrementalSearch(*q, QStringLiteral("Kontr"), szukany, c);
    EXPECT_EQ(q->asString("Kontr"), kQuoted);
    incrementalSearch(*q, QStringLiteral("Kontr"), szukany, QChar(8));
    EXPECT_TRUE(szukany.isEmpty());
}

TEST_F(Browser, CsvReadByAStrictReaderGivesTheVisibleColumnsOfTheFilteredRowsWithAwkwardValues)
{
    const QString awkward = QStringLiteral("Opis, z \"cudzysłowem\"\nw dwóch liniach → Żółw");
    native(QStringLiteral("UPDATE p_2016_2003 SET opis='%1' WHERE id=(SELECT min(id) FROM p_2016_2003 WHERE kontr IS NOT NULL)")
               .arg(QString(awkward).replace(u'\'', QStringLiteral("''"))));
    q->open();
    BrowserFilters f(browserColumns(false).size());
    f.setText(columnOf("Kontr"), "Kontr", kQuoted);
    applyFilter(*q, f.filtr());
    const QVector<BrowserColumn> columns = {browserColumns(false)[columnOf("Opis")],
                                            browserColumns(false)[columnOf("Kontr")],
                                            browserColumns(false)[columnOf("brutto")]};
    const QString path = dir.filePath("eksport.csv");
    int replaced = -1;
    QString error;
    ASSERT_TRUE(writeCsv(path, *q, columns, &replaced, &error)) << error.toStdString();
    EXPECT_EQ(replaced, 1);   // the arrow
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().startsWith("\"Opis pozycji\",\"Kontrahent\",\"brutto\"\r\n"));

    QProcess python;
    python.start("python3", {"-c", "import csv,sys\n"
                                   "rows=list(csv.reader(open(sys.argv[1],encoding='cp1250',newline=''),strict=True))\n"
                                   "print(len(rows)); print(rows[1][0]==sys.argv[2]); print(rows[1][1]);"
                                   "print(sum(float(r[2].replace(',','.')) for r in rows[1:]))",
                             path, QString(awkward).replace(QStringLiteral("→"), QStringLiteral("?"))});
    ASSERT_TRUE(python.waitForFinished(30000));
    const QStringList out = QString::fromUtf8(python.readAllStandardOutput()).split(u'\n');
    ASSERT_GE(out.size(), 4) << python.readAllStandardError().toStdString();
    EXPECT_EQ(out[0].toInt(), q->recordCount() + 1);
    EXPECT_EQ(out[1], "True");
    EXPECT_EQ(out[2], kQuoted);
    EXPECT_NEAR(out[3].toDouble(), browserTotals(*q).brutto, 0.005);
}
