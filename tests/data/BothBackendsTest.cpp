// Every statement the program builds, run over the same demonstration data on
// SQLite and on the PostgreSQL server of FENWA5_TEST_PG: both give the same
// rows, in the same order, under the same column names.
#include "Installation.h"
#include "data/Checks.h"
#include "data/Demo.h"
#include "data/Query.h"
#include "data/Table.h"
#include "dictionaries/EntryStatement.h"
#include "dictionaries/Import.h"
#include "register/GroupsLogic.h"
#include "register/PositionsLogic.h"
#include "reports/Browser.h"
#include "reports/CriteriaReport.h"
#include "reports/PlanReport.h"
#include "reports/SimpleReport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace fenwa;
using fenwa::testing::kInstallationDay;

constexpr int kYear = 2016;
const QString kUnit = QStringLiteral("2003");   // a county inspectorate of the demo
const QStringList kOthers{QStringLiteral("_2016_2000.db"), QStringLiteral("_2016_2080.db")};

// One backend: the installation with the demo registers and a workstation
// over it with the county unit's register of March open.
struct Side {
    QTemporaryDir dir;
    std::unique_ptr<fenwa::testing::ServerSchema> schema;
    std::unique_ptr<data::Database> db;
    CurrentUser user;
    RunSettings settings;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    std::unique_ptr<data::TF_Dane> dane;

    explicit Side(bool server)
    {
        if (server) {
            schema = std::make_unique<fenwa::testing::ServerSchema>();
            db = data::Database::openServer(dir.path(), fenwa::testing::testServer(), schema->name,
                                            data::Database::OpenMode::Create);
            // The datasets' own ordering names the collation PL natively.
            db->execNative(QStringLiteral("CREATE COLLATION IF NOT EXISTS pl FROM \"%1\"").arg(data::kServerCollation));
        } else {
            db = data::Database::open(dir.path(), data::Database::OpenMode::Create);
        }
        data::createSharedTables(*db);
        data::fillInstallation(*db, kInstallationDay);
        data::DemoOptions demo;
        demo.year = kYear;
        demo.now = QDateTime(kInstallationDay, QTime(10, 0));
        data::createDemoRegisters(*db, demo);
        clock.set(demo.now);
        user.user = 1;
        user.user_str = QStringLiteral("admin");
        user.edycja = user.przeglad = user.slowniki = true;
        settings.fd = settings.fe = db->folder();
        settings.wkod = QString::fromLatin1(data::seedVoivodeship);
        settings.pkod = settings.wkod + QStringLiteral("03");
        settings.p_w = 1;
        dane = std::make_unique<data::TF_Dane>(db.get(), user, settings, reg, messages, clock);
        EXPECT_TRUE(dane->open()) << messages.texts().join(QLatin1Char('\n')).toStdString();
        reg.rok = kYear;
        reg.mc = 3;
        reg.kod = kUnit;
        reg.sufiks = OpenRegister::suffix(kYear, kUnit);
        dane->setRegister(reg.sufiks);
    }
    ~Side()
    {
        dane.reset();
        db.reset();   // before its schema is dropped
    }
    QString folder() const { return db->folder(); }
};

QString text(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("<null>");
    switch (v.typeId()) {
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'f', 6);   // sums added in another order may differ far below a grosz
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v.toString();
    }
}

// The column names (lower case: datasets find fields without regard to case)
// and then the rows.
std::vector<QStringList> rows(data::Database &db, const QStringList &sql, const data::Params &params = {})
{
    data::Query q(&db, QStringLiteral("Q_Oba"));
    q.setSql(sql);
    for (const auto &[name, value] : params)
        q.setParam(name, value);
    q.open();
    std::vector<QStringList> out(1);
    for (int f = 0; f < q.fieldCount(); ++f)
        out[0] << q.fieldDef(f).name.toLower();
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList row;
        for (int f = 0; f < q.fieldCount(); ++f)
            row << text(q.valueAt(r, f));
        out.push_back(row);
    }
    return out;
}

std::string shown(const std::vector<QStringList> &rows)
{
    std::string out;
    for (size_t i = 0; i < rows.size() && i < 6; ++i)
        out += rows[i].join(QStringLiteral(" | ")).toStdString() + "\n";
    return out;
}

class BothBackends : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!fenwa::testing::onServer())
            return;
        lite = new Side(false);
        server = new Side(true);
    }
    static void TearDownTestSuite()
    {
        delete lite;
        delete server;
        lite = server = nullptr;
    }
    void SetUp() override
    {
        if (!fenwa::testing::onServer())
            GTEST_SKIP() << "FENWA5_TEST_PG (a PostgreSQL server's connection text) is not set";
    }

    // The statement made for each side's folder gives the same rows on both;
    // returns the number of rows. `keys`: the result columns the statement
    // orders by; rows equal in them may come in any order (neither backend
    // promises one); {"*"}: the whole order is fixed; {}: none is.
    size_t expectSame(const char *what, const std::function<QStringList(Side &)> &statement,
                      const data::Params &params = {}, const QStringList &keys = {QStringLiteral("*")})
    {
        std::vector<QStringList> a, b;
        try {
            a = rows(*lite->db, statement(*lite), params);
            b = rows(*server->db, statement(*server), params);
        } catch (const data::EngineError &e) {
            ADD_FAILURE() << what << ": " << e.message().toStdString() << "\n"
                          << statement(*server).join(QLatin1Char('\n')).toStdString();
            return 0;
        }
        if (keys != QStringList{QStringLiteral("*")}) {
            EXPECT_EQ(keyValues(a, keys), keyValues(b, keys)) << what << " (kolejność)";
            std::sort(a.begin() + 1, a.end());
            std::sort(b.begin() + 1, b.end());
        }
        EXPECT_EQ(a, b) << what << "\nSQLite:\n" << shown(a) << "PostgreSQL:\n" << shown(b);
        return a.size() - 1;
    }

    // The values of the key columns, row by row.
    static std::vector<QStringList> keyValues(const std::vector<QStringList> &rows, const QStringList &keys)
    {
        std::vector<QStringList> out;
        for (size_t r = 1; r < rows.size(); ++r) {
            QStringList row;
            for (const QString &k : keys)
                row << rows[r].value(int(rows[0].indexOf(k.toLower())));
            out.push_back(row);
        }
        return out;
    }

    static reports::ReportRequest request(bool costs, bool quantities, bool consolidated)
    {
        reports::ReportRequest r;
        r.od = QDate(kYear, 1, 1);
        r.doDnia = QDate(kYear, 12, 31);
        r.code = kUnit;
        r.koszty = costs;
        r.ilosci = quantities;
        r.zbiorczy = consolidated;
        return r;
    }

    static Side *lite;
    static Side *server;
};

Side *BothBackends::lite = nullptr;
Side *BothBackends::server = nullptr;

TEST_F(BothBackends, RegisterStatements)
{
    EXPECT_GT(expectSame("lista grup", [](Side &s) { return reg::GroupsLogic(*s.dane).groupListStatement(); }), 0u);
    // The sums of one document number in a group, and the export of a group.
    const auto first = rows(*lite->db, {QStringLiteral("SELECT Dok, FAK FROM \"%1\" ORDER BY Id")
                                            .arg(lite->db->path(QStringLiteral("p") + lite->reg.sufiks))});
    ASSERT_GT(first.size(), 1u);
    const int group = first[1][0].toInt();
    expectSame("suma dokumentu",
               [&](Side &s) { return reg::PositionsLogic(*s.dane).sumStatement(first[1][1], group).sql; },
               reg::PositionsLogic(*lite->dane).sumStatement(first[1][1], group).params);
    // The export has no order of its own.
    for (bool voivodeship : {true, false}) {
        size_t exported = 0;
        for (size_t r = 1; r < first.size() && r <= 10; ++r) {
            for (Side *s : {lite, server}) {
                s->reg.dok = first[r][0].toInt();
                s->settings.p_w = voivodeship ? 1 : 2;
            }
            exported += expectSame("eksport pozycji",
                                   [](Side &s) { return reg::PositionsLogic(*s.dane).exportStatement(); }, {}, {});
        }
        EXPECT_GT(exported, 0u);
    }
    expectSame("dane osobowe", [](Side &s) {
        return QStringList{QStringLiteral("SELECT * FROM \"%1\" WHERE kontr = 2 ORDER BY T_Ins")
                               .arg(s.db->path(QStringLiteral("p") + s.reg.sufiks))};
    }, {}, {QStringLiteral("T_Ins")});
}

TEST_F(BothBackends, DictionaryEntryStatements)
{
    for (const char *dictionary : {"kontr", "rozdz", "par", "zf", "ch", "gat", "jm", "cz", "bd", "bp", "zak", "ob"})
        for (qint64 id : {1, 2})
            expectSame(dictionary, [&](Side &s) {
                return dictionaries::entryStatement(s.folder(), s.reg.sufiks, QString::fromLatin1(dictionary), id,
                                                    QDate(kYear, 1, 1), QDate(kYear, 12, 31));
            }, {}, {"dok", "opis"});
}

TEST_F(BothBackends, ReportStatements)
{
    using reports::Criterion;
    for (bool costs : {false, true}) {
        for (bool quantities : {false, true}) {
            for (bool consolidated : {false, true}) {
                const reports::ReportRequest r = request(costs, quantities, consolidated);
                const QStringList others = consolidated ? kOthers : QStringList();
                for (Criterion c : {Criterion::Rozdzialy, Criterion::Paragrafy, Criterion::Zrodla, Criterion::Choroby,
                                    Criterion::Gatunki})
                    EXPECT_GT(expectSame("zestawienie", [&](Side &s) {
                                  return reports::simpleStatement(s.folder(), r, c, others);
                              }), 0u) << int(c) << costs << quantities << consolidated;
                for (const QStringList &included :
                     {QStringList{"kontrahenci", "paragrafy"}, QStringList{"rozdziały", "ilości"},
                      QStringList{"choroby", "gatunki", "obszar ASF"},
                      QStringList{"czynności", "badania diagnostyczne ...", "zakupy", "pracownie"}})
                    expectSame("zestawienie wielokryterialne", [&](Side &s) {
                        return reports::criteriaStatement(s.folder(), r, included, others);
                    });
            }
        }
        const reports::ReportRequest r = request(costs, false, false);
        for (const QString &suffix : QStringList{r.suffix()} + kOthers) {
            expectSame("paragrafy planu", [&](Side &s) { return reports::planParagraphStatement(s.folder(), r, suffix); });
            expectSame("sumy planu", [&](Side &s) { return reports::planSumsStatement(s.folder(), r, suffix); });
        }
    }
}

TEST_F(BothBackends, BrowserInEveryOrder)
{
    for (bool voivodeship : {true, false}) {
        auto statement = [&](Side &s) {
            return reports::browserStatement(s.folder(), s.reg.sufiks, kYear, voivodeship);
        };
        EXPECT_GT(expectSame("przeglądarka", statement), 0u);
        for (const reports::BrowserColumn &c : reports::browserColumns(voivodeship))
            expectSame(c.field.toUtf8().constData(),
                       [&](Side &s) { return reports::orderedStatement(statement(s), c.field); }, {}, {c.field});
    }
}

TEST_F(BothBackends, DuplicateAndReferenceChecks)
{
    for (const char *file : {"kontr.db", "jm.db", "rozdz.db"}) {
        auto check = [&](Side &s) {
            data::Table t(s.db.get(), QStringLiteral("T_Oba"));
            t.setTableName(QString::fromLatin1(file));
            t.open();
            const QString field = t.fieldDef(1).name;
            return data::duplicateStatement(t, {field}, {t.asString(field)}, QVariant());
        };
        const data::CheckStatement c = check(*lite);
        EXPECT_GT(expectSame(file, [&](Side &s) { return QStringList{check(s).sql}; }, c.params, {}), 0u);
    }
    auto references = [](Side &s) {
        return QStringList{QStringLiteral("SELECT * FROM \"%1\" WHERE kontr = :id").arg(s.db->path(QStringLiteral("p") + s.reg.sufiks))};
    };
    const auto used = rows(*lite->db, {QStringLiteral("SELECT MIN(kontr) AS k FROM \"%1\"")
                                           .arg(lite->db->path(QStringLiteral("p") + lite->reg.sufiks))});
    EXPECT_GT(expectSame("odwołania", references, {{QStringLiteral(":id"), used.at(1).at(0).toInt()}}, {}), 0u);
}

TEST_F(BothBackends, DictionaryImport)
{
    for (Side *s : {lite, server}) {
        s->db->exec(QStringLiteral("CREATE TABLE \"%1\" (NAZWA CHAR(160), IM_NAZ CHAR(60), ULICA CHAR(60), "
                                   "MIASTO CHAR(60), BADANIE CHAR(100), DZIAL BOOLEAN)")
                        .arg(s->db->path(QStringLiteral("import.db"))));
        for (const auto &[name, lab] : {std::pair{"Zakład Łąkowy", true}, std::pair{"Ósemka", false},
                                        std::pair{"abc", true}})
            s->db->exec(QStringLiteral("INSERT INTO \"%1\" (NAZWA, MIASTO, BADANIE, DZIAL) VALUES (:n, :m, :n, :d)")
                            .arg(s->db->path(QStringLiteral("import.db"))),
                        {{QStringLiteral(":n"), QString::fromUtf8(name)},
                         {QStringLiteral(":m"), QStringLiteral("Łódź")},
                         {QStringLiteral(":d"), lab}});
        for (dictionaries::ImportKind kind : {dictionaries::ImportKind::Contractors, dictionaries::ImportKind::Purchases,
                                              dictionaries::ImportKind::DiagnosticTests,
                                              dictionaries::ImportKind::ResidueTests})
            s->db->exec(dictionaries::importStatement(s->folder(), kind, QStringLiteral("import")));
    }
    for (const char *file : {"kontr.db", "zak.db", "bd.db", "bp.db"})
        EXPECT_GT(expectSame(file, [&](Side &s) {
            return QStringList{QStringLiteral("SELECT * FROM \"%1\" ORDER BY Id").arg(s.db->path(QString::fromLatin1(file)))};
        }), 0u);
    // LIKE ignores the case of ASCII letters only, on both.
    auto like = [](Side &s) {
        return QStringList{QStringLiteral("SELECT Nazwa FROM \"%1\" WHERE Nazwa LIKE :w ORDER BY Id")
                               .arg(s.db->path(QStringLiteral("kontr.db")))};
    };
    for (const auto &[pattern, found] : {std::pair{"zAKŁAD%", 0u}, std::pair{"zakŁad%", 0u}, std::pair{"ZAKład%", 1u},
                                         std::pair{"%łąkowy", 0u}, std::pair{"%Łąkowy", 1u}, std::pair{"ósemka", 0u},
                                         std::pair{"ÓSEMKA", 1u}, std::pair{"a_C", 1u}})
        EXPECT_EQ(expectSame(pattern, like, {{QStringLiteral(":w"), QString::fromUtf8(pattern)}}), found) << pattern;
}

} // namespace
