// The filter language: reading, the SQL condition, the in-memory test, and
// both giving the same rows on the same data.
#include "data/Filter.h"

#include "data/EngineError.h"
#include "data/SqliteTestDb.h"

#include <QDate>
#include <QDateTime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

using fenwa::data::EngineError;
using fenwa::data::FieldType;
using fenwa::data::Filter;
using fenwa::testing::SqliteTestDb;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::map<QString, FieldType> kTypes = {
    {"id", FieldType::AutoInc},     {"kod", FieldType::String},    {"nazwa", FieldType::String},
    {"brutto", FieldType::Float},   {"rok", FieldType::Integer}, {"mc", FieldType::Integer},   {"wyd", FieldType::Boolean},
    {"data", FieldType::Date},      {"t_ins", FieldType::Timestamp}};

FieldType typeOf(const QString &field)
{
    const auto it = kTypes.find(field.toLower());
    return it == kTypes.end() ? FieldType::Unknown : it->second;
}

QString sqlOf(const QString &text, QVariantList *binds = nullptr)
{
    QVariantList local;
    return Filter::parse(text).toSql(binds ? *binds : local, typeOf);
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EngineError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

TEST(FilterParse, FormsTheProgramWrites)
{
    QVariantList binds;
    EXPECT_EQ(sqlOf("Rok = 2016 and mc = 3", &binds).isEmpty(), false);
    EXPECT_EQ(sqlOf("Data>=01.02.2016 AND Data<=28.02.2016", &binds), "(\"Data\" >= ?) AND (\"Data\" <= ?)");
    EXPECT_EQ(binds.mid(binds.size() - 2), (QVariantList{QString("2016-02-01"), QString("2016-02-28")}));

    binds.clear();
    EXPECT_EQ(sqlOf("brutto>=100 AND brutto<=200,5", &binds), "(\"brutto\" >= ?) AND (\"brutto\" <= ?)");
    EXPECT_EQ(binds, (QVariantList{QVariant::fromValue<qlonglong>(100), 200.5}));

    binds.clear();
    EXPECT_EQ(sqlOf("wyd=True", &binds), "coalesce(\"wyd\", FALSE) = ?");
    EXPECT_EQ(binds, (QVariantList{QVariant::fromValue<qlonglong>(1)}));

    binds.clear();
    EXPECT_EQ(sqlOf("Nazwa= 'ABC'", &binds), "\"Nazwa\" = ?");
    EXPECT_EQ(binds, (QVariantList{QString("ABC")}));

    binds.clear();
    EXPECT_EQ(sqlOf("Kod = '22*'", &binds), "substr(\"Kod\", 1, 2) = ?");
    EXPECT_EQ(binds, (QVariantList{QString("22")}));

    EXPECT_EQ(Filter::parse("Rok = 2016 and Kod = '2201' AND rok <> 1").fields(), (QStringList{"Rok", "Kod"}));
    EXPECT_TRUE(Filter::parse("  ").isEmpty());
    EXPECT_TRUE(Filter::parse("  ").matches([](const QString &) { return QVariant(); }));
    EXPECT_EQ(Filter::parse("  ").toSql(binds, typeOf), "");
}

TEST(FilterParse, QuotedDatesNumbersAndKeywordCase)
{
    QVariantList binds;
    sqlOf("Data = \"2016-02-01\" aNd Data <> \"02/03/2016\" AND data < 1.2.2016", &binds);
    EXPECT_EQ(binds, (QVariantList{QString("2016-02-01"), QString("2016-02-03"), QString("2016-02-01")}));
    binds.clear();
    sqlOf("brutto > -1.5 and brutto < +2", &binds);
    EXPECT_EQ(binds, (QVariantList{-1.5, QVariant::fromValue<qlonglong>(2)}));
    EXPECT_EQ(sqlOf("(Rok = 1 or Rok = 2) and not wyd = True"),
              "((\"Rok\" = ?) OR (\"Rok\" = ?)) AND (NOT coalesce((coalesce(\"wyd\", FALSE) = ?), FALSE))");
}

TEST(FilterParse, ApostrophesInText)
{
    QVariantList binds;
    sqlOf("Nazwa = 'O''Brien'", &binds);
    EXPECT_EQ(binds.last().toString(), "O'Brien");
    // A lone apostrophe inside the text, as a typed value may hold.
    sqlOf("Kod = 'x' and Nazwa= 'Zakład 'Pod Lipą''", &binds);
    EXPECT_EQ(binds.mid(binds.size() - 2), (QVariantList{QString("x"), QString("Zakład 'Pod Lipą'")}));
    sqlOf("Nazwa= 'Zakład 'Pod Lipą' nr 2' and Kod = 'x'", &binds);
    EXPECT_EQ(binds.mid(binds.size() - 2), (QVariantList{QString("Zakład 'Pod Lipą' nr 2"), QString("x")}));
    sqlOf("Nazwa = ''''", &binds);
    EXPECT_EQ(binds.last().toString(), "'");
    EXPECT_EQ(Filter::quoteText("O'Brien"), "'O''Brien'");
    sqlOf("Nazwa = " + Filter::quoteText("a' and b = 'c"), &binds);
    EXPECT_EQ(binds.last().toString(), "a' and b = 'c");
}

TEST(FilterErrors, PolishMessages)
{
    EXPECT_THAT(errorOf([] { sqlOf("Kontrahent = 'ABC'"); }).toStdString(), HasSubstr("Kontrahent"));
    EXPECT_THAT(errorOf([] { Filter::parse("Kod = 'abc"); }).toStdString(), HasSubstr("niezamknięty"));
    EXPECT_THAT(errorOf([] { Filter::parse("Kod 'abc'"); }).toStdString(), HasSubstr("porównania"));
    EXPECT_THAT(errorOf([] { Filter::parse("Kod ="); }).toStdString(), HasSubstr("brak wartości"));
    EXPECT_THAT(errorOf([] { Filter::parse("Kod = 1 Rok = 2"); }).toStdString(), HasSubstr("nieoczekiwany"));
    EXPECT_THAT(errorOf([] { Filter::parse("(Kod = 1"); }).toStdString(), HasSubstr("nawias"));
    EXPECT_THAT(errorOf([] { Filter::parse("Data >= 31.02.2016"); }).toStdString(), HasSubstr("31.02.2016"));
    // A value of the wrong kind for the field.
    EXPECT_THAT(errorOf([] { sqlOf("brutto = True"); }).toStdString(), HasSubstr("brutto"));
    EXPECT_THAT(errorOf([] { sqlOf("Data = 100"); }).toStdString(), HasSubstr("Data"));
    EXPECT_THAT(errorOf([] { sqlOf("wyd = 'tak'"); }).toStdString(), HasSubstr("wyd"));
    const Filter f = Filter::parse("brutto = True");
    EXPECT_NE(errorOf([&] { f.matches([](const QString &) { return QVariant(5.0); }); }), "<no error>");
}

TEST(FilterMatches, ProgramValues)
{
    auto record = [](const QVariantMap &m) {
        return [m](const QString &field) { return m.value(field.toLower()); };
    };
    const auto row = record({{"kod", "2201"}, {"brutto", 150.0}, {"wyd", true},
                             {"data", QDate(2016, 2, 28)},
                             {"t_ins", QDateTime(QDate(2016, 2, 28), QTime(23, 59, 59))}});
    EXPECT_TRUE(Filter::parse("Kod = '22*' and brutto>=100 AND brutto<=200 and wyd=True").matches(row));
    EXPECT_FALSE(Filter::parse("Kod = '2202'").matches(row));
    EXPECT_FALSE(Filter::parse("Kod = '22'").matches(row)) << "equality is exact";
    EXPECT_TRUE(Filter::parse("Data>=01.02.2016 AND Data<=28.02.2016").matches(row));
    EXPECT_TRUE(Filter::parse("T_Ins<=28.02.2016").matches(row)) << "a date compares the day of a stamp";
    EXPECT_FALSE(Filter::parse("T_Ins<\"2016-02-28 23:59:59\"").matches(row));
    EXPECT_TRUE(Filter::parse("Kod = '22*' or Kod = 'x'").matches(row));
    // Blank fields.
    const auto blank = record({{"kod", QString()}, {"wyd", QVariant()}, {"brutto", QVariant()}});
    EXPECT_FALSE(Filter::parse("brutto <> 5").matches(blank));
    EXPECT_FALSE(Filter::parse("Kod = '*'").matches(blank));
    EXPECT_TRUE(Filter::parse("Kod = ''").matches(blank));
    EXPECT_TRUE(Filter::parse("wyd = False").matches(blank));
    EXPECT_FALSE(Filter::parse("wyd = True").matches(blank));
}

// The SQL condition and the in-memory test select the same rows.
class FilterAgreement : public ::testing::Test {
protected:
    SqliteTestDb db;
    struct Row {
        int id;
        QVariant kod, nazwa, brutto, rok, wyd, data, tIns;
    };
    std::vector<Row> rows;

    void SetUp() override
    {
        db.run("CREATE TABLE t (id INTEGER PRIMARY KEY, Kod CHAR(10), Nazwa CHAR(40), brutto FLOAT, "
               "Rok INTEGER, wyd BOOLEAN, Data DATE, T_Ins TIMESTAMP)");
        auto dt = [](int y, int m, int d, int h = 0) { return QDateTime(QDate(y, m, d), QTime(h, 30, 0)); };
        rows = {
            {1, "2201", "Łódź", 100.0, 2016, true, QDate(2016, 2, 1), dt(2016, 2, 1, 8)},
            {2, "2202", "lublin", 200.0, 2016, false, QDate(2016, 2, 28), dt(2016, 2, 28, 23)},
            {3, "22", "Lublin", 200.01, 2015, QVariant(), QDate(2016, 3, 1), dt(2016, 3, 1)},
            {4, "3201", "O'Brien", -5.5, 2016, true, QDate(2016, 1, 31), QVariant()},
            {5, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
            {6, "2210", "Zakład 'Pod Lipą'", 99.99, 2017, false, QDate(2017, 12, 31), dt(2017, 12, 31, 12)},
        };
        for (const Row &r : rows) {
            auto stored = [](const QVariant &v) -> QVariant {
                if (v.isNull())
                    return QVariant();
                if (v.metaType().id() == QMetaType::QDate)
                    return v.toDate().toString("yyyy-MM-dd");
                if (v.metaType().id() == QMetaType::QDateTime)
                    return v.toDateTime().toString("yyyy-MM-dd HH:mm:ss");
                if (v.metaType().id() == QMetaType::Bool)
                    return v.toBool() ? 1 : 0;
                return v;
            };
            db.run("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   {r.id, stored(r.kod), stored(r.nazwa), stored(r.brutto), stored(r.rok), stored(r.wyd),
                    stored(r.data), stored(r.tIns)});
        }
    }

    QList<int> bySql(const QString &text)
    {
        QVariantList binds;
        const QString where = Filter::parse(text).toSql(binds, typeOf);
        QList<int> ids;
        for (const QStringList &r : db.run("SELECT id FROM t WHERE " + where + " ORDER BY id", binds))
            ids << r[0].toInt();
        return ids;
    }

    QList<int> inMemory(const QString &text)
    {
        const Filter f = Filter::parse(text);
        QList<int> ids;
        for (const Row &r : rows) {
            const bool ok = f.matches([&](const QString &field) -> QVariant {
                const QString n = field.toLower();
                if (n == "id") return r.id;
                if (n == "kod") return r.kod;
                if (n == "nazwa") return r.nazwa;
                if (n == "brutto") return r.brutto;
                if (n == "rok") return r.rok;
                if (n == "wyd") return r.wyd;
                if (n == "data") return r.data;
                if (n == "t_ins") return r.tIns;
                return {};
            });
            if (ok)
                ids << r.id;
        }
        return ids;
    }
};

TEST_F(FilterAgreement, SameRowsBothWays)
{
    const std::vector<std::pair<QString, QList<int>>> cases = {
        {"Kod = '22*'", {1, 2, 3, 6}},
        {"Kod = '22'", {3}},
        {"Kod <> '22*'", {4}},
        {"Kod = ''", {5}},
        {"Kod <> ''", {1, 2, 3, 4, 6}},
        {"Nazwa = 'Lublin'", {3}},
        {"Nazwa = 'lublin'", {2}},
        {"Nazwa >= 'L' and Nazwa < 'M'", {3}},
        {"Nazwa = 'O''Brien'", {4}},
        {"Nazwa= 'Zakład 'Pod Lipą''", {6}},
        {"Nazwa = 'Łódź'", {1}},
        {"brutto>=100 AND brutto<=200", {1, 2}},
        {"brutto>=100,5", {2, 3}},
        {"brutto < 0", {4}},
        {"brutto <> 200", {1, 3, 4, 6}},
        {"Rok = 2016 and wyd = True", {1, 4}},
        {"wyd=False", {2, 3, 5, 6}},
        {"wyd = True or Rok = 2017", {1, 4, 6}},
        {"Data>=01.02.2016 AND Data<=28.02.2016", {1, 2}},
        {"Data = \"02/28/2016\"", {2}},
        {"Data < \"2016-02-01\"", {4}},
        {"T_Ins<=28.02.2016", {1, 2}},
        {"T_Ins=28.02.2016", {2}},
        {"T_Ins>\"2016-02-28 23:00:00\"", {2, 3, 6}},
        {"not (Rok = 2016)", {3, 5, 6}},
        {"not (Rok = 2016 and brutto > 150) and not Kod = '3*'", {1, 3, 5, 6}},
    };
    for (const auto &[text, expected] : cases) {
        EXPECT_EQ(bySql(text), expected) << text.toStdString();
        EXPECT_EQ(inMemory(text), expected) << text.toStdString();
    }
}

} // namespace
