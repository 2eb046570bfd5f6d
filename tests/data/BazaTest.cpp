// The installation database, the demo registers and the fenwa5-baza tool.
#include "Installation.h"
#include "common/Clock.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/CurrentUser.h"
#include "common/OpenRegister.h"
#include "common/RunSettings.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "data/Demo.h"
#include "data/EngineError.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Seed.h"
#include "data/SqlConsole.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::Content;
using fenwa::testing::DataFolder;

namespace {

const QDate kToday = fenwa::testing::kInstallationDay;

struct Rows {
    QStringList fields;
    QVector<QVariantList> rows;
    int col(const QString &name) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        ADD_FAILURE() << "no column " << name.toStdString();
        return 0;
    }
};

Rows select(Database &db, const QString &sql)
{
    Query q(&db, QStringLiteral("Q_Test"));
    q.setSql(sql.split(QLatin1Char('\n')));
    q.open();
    Rows r;
    for (int f = 0; f < q.fieldCount(); ++f)
        r.fields << q.fieldDef(f).name;
    for (int row = 0; row < q.recordCount(); ++row) {
        QVariantList values;
        for (int f = 0; f < q.fieldCount(); ++f)
            values << q.valueAt(row, f);
        r.rows << values;
    }
    return r;
}

Rows table(Database &db, const QString &file)
{
    return select(db, QStringLiteral("SELECT * FROM \"%1\"").arg(db.path(file)));
}

QString dump(Database &db, const QString &file)
{
    Query q(&db, QStringLiteral("Q_Test"));
    q.setSql({QStringLiteral("SELECT * FROM \"%1\" ORDER BY Id").arg(db.path(file))});
    q.open();
    QString text;
    QTextStream out(&text);
    writeCsv(q, out);
    out.flush();
    return text;
}

struct Demo : DataFolder {
    DemoOptions options;
    DemoResult result;
    Demo() : DataFolder(Content::Installed)
    {
        options.year = 2016;
        options.now = QDateTime(QDate(2016, 9, 14), QTime(12, 0));
        demoMonths(options.year, options.now, &options.firstMonth, &options.lastMonth);
        result = createDemoRegisters(*db, options);
    }
};

} // namespace

// ------------------------------------------------------------ installation

TEST(Installation, EverySharedTableHasTheCatalogueFieldsAndIndexes)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    for (const schema::TableSpec &design : schema::sharedTables()) {
        SCOPED_TRACE(design.file.toStdString());
        ASSERT_TRUE(db.fileExists(design.file));
        const QVector<FieldDef> fields = db.fields(design.file);
        ASSERT_EQ(fields.size(), design.fields.size());
        for (int i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].name, design.fields[i].name);
            EXPECT_EQ(fields[i].type, design.fields[i].type) << design.fields[i].name.toStdString();
            EXPECT_EQ(fields[i].size, design.fields[i].size) << design.fields[i].name.toStdString();
        }
        // The secondary indexes ("<table>.<field>"): one per listed field, none more.
        QStringList names;
        for (const QString &index : db.indexNames(design.file))
            if (index.contains(QLatin1Char('.')))
                names << index.section(QLatin1Char('.'), 1);
        names.sort();
        QStringList expected = design.indexes;
        expected.sort();
        EXPECT_EQ(names, expected);
    }
}

TEST(Installation, AdministratorWithEmptyPasswordAndEveryRight)
{
    EXPECT_EQ(emptyPasswordDigest(), QStringLiteral("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"));
    EXPECT_EQ(emptyPasswordDigest(),
              QString::fromLatin1(QCryptographicHash::hash("", QCryptographicHash::Sha1).toHex()).toUpper());

    DataFolder inst(Content::Installed);
    Rows users = table(*inst.db, QStringLiteral("passwd.db"));
    ASSERT_EQ(users.rows.size(), 1);
    const QVariantList &admin = users.rows[0];
    EXPECT_EQ(admin[users.col(QStringLiteral("Id"))].toInt(), 1);
    EXPECT_EQ(admin[users.col(QStringLiteral("Login"))].toString(), QStringLiteral("admin"));
    EXPECT_EQ(admin[users.col(QStringLiteral("Password"))].toString(), emptyPasswordDigest());
    for (const char *right : {"Admin", "Slowniki", "Browse", "Edit", "Arc", "Active"}) {
        const QVariant v = admin[users.col(QString::fromLatin1(right))];
        EXPECT_EQ(v.typeId(), QMetaType::Bool) << right;
        EXPECT_TRUE(v.toBool()) << right;
    }
    EXPECT_EQ(admin[users.col(QStringLiteral("D"))].toDate(), kToday);
}

TEST(Installation, InspectoratesFollowTheTerritorialRegister)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;

    Rows wiw = table(db, QStringLiteral("wiw.db"));
    ASSERT_EQ(wiw.rows.size(), 16);
    QHash<QString, QString> voivodeshipByCode;
    for (const auto &row : wiw.rows) {
        const QString kod = row[wiw.col(QStringLiteral("Kod"))].toString();
        EXPECT_EQ(kod.size(), 2);
        EXPECT_EQ(kod.toInt() % 2, 0) << "TERYT voivodeship codes are even: " << kod.toStdString();
        EXPECT_FALSE(voivodeshipByCode.contains(kod));
        voivodeshipByCode.insert(kod, row[wiw.col(QStringLiteral("woj"))].toString());
        EXPECT_TRUE(row[wiw.col(QStringLiteral("Nazwa"))].toString().startsWith(
            QStringLiteral("Wojewódzki Inspektorat Weterynarii w")));
        EXPECT_TRUE(row[wiw.col(QStringLiteral("Miasto"))].toString().contains(
            QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d\\d \\S"))));
    }
    // The settings window offers exactly these two names.
    EXPECT_EQ(voivodeshipByCode.value(QStringLiteral("20")), QStringLiteral("podlaskie"));
    EXPECT_EQ(voivodeshipByCode.value(QStringLiteral("28")), QStringLiteral("warmińsko-mazurskie"));

    Rows piw = table(db, QStringLiteral("piw.db"));
    QHash<QString, int> perVoivodeship;
    QSet<QString> codes;
    for (const auto &row : piw.rows) {
        const QString kod = row[piw.col(QStringLiteral("Kod"))].toString();
        const QString powiat = row[piw.col(QStringLiteral("powiat"))].toString();
        SCOPED_TRACE(kod.toStdString());
        EXPECT_EQ(kod.size(), 4);
        EXPECT_TRUE(voivodeshipByCode.contains(kod.left(2)));
        EXPECT_NE(kod.mid(2), QStringLiteral("00"));
        EXPECT_FALSE(codes.contains(kod));
        codes.insert(kod);
        ++perVoivodeship[kod.left(2)];
        // "powiatu " + powiat + "ego" must read as the genitive of the county.
        EXPECT_TRUE(powiat.endsWith(QLatin1String("ski")) || powiat.endsWith(QLatin1String("cki"))
                    || powiat.endsWith(QLatin1String("dzki")))
            << powiat.toStdString();
        EXPECT_EQ(powiat, powiat.toLower());
        EXPECT_TRUE(row[piw.col(QStringLiteral("Nazwa"))].toString().startsWith(
            QStringLiteral("Powiatowy Inspektorat Weterynarii w ")));
    }
    EXPECT_EQ(perVoivodeship.value(QStringLiteral("20")), 14);
    EXPECT_EQ(perVoivodeship.value(QStringLiteral("28")), 19);

    // The default county of the settings, and the sentence the unit-code rules build.
    Rows bielski = select(db, QStringLiteral("SELECT Kod, powiat, Nazwa FROM \"%1\" WHERE powiat = 'bielski'")
                                  .arg(db.path(QStringLiteral("piw.db"))));
    ASSERT_EQ(bielski.rows.size(), 1);
    EXPECT_EQ(bielski.rows[0][0].toString(), QStringLiteral("2003"));
    EXPECT_EQ(QStringLiteral("powiatu ") + bielski.rows[0][1].toString() + QStringLiteral("ego"),
              QStringLiteral("powiatu bielskiego"));
    EXPECT_EQ(bielski.rows[0][2].toString(), QStringLiteral("Powiatowy Inspektorat Weterynarii w Bielsku Podlaskim"));
    Rows olsztyn = select(db, QStringLiteral("SELECT powiat FROM \"%1\" WHERE Kod = '2814'")
                                  .arg(db.path(QStringLiteral("piw.db"))));
    ASSERT_EQ(olsztyn.rows.size(), 1);
    EXPECT_EQ(olsztyn.rows[0][0].toString(), QStringLiteral("olsztyński"));
}

TEST(Installation, UnitNamesAreUniqueAndSubordinateCodesDoNotCollide)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    // A unit name is turned into a unit code by looking it up in piw, wiw and
    // jp in turn: a name in two of them would open the wrong register.
    QSet<QString> names;
    for (const auto &[file, field] : {std::pair{"piw.db", "Nazwa"}, {"wiw.db", "Nazwa"}, {"jp.db", "Jp"}}) {
        Rows rows = table(db, QString::fromLatin1(file));
        for (const auto &row : rows.rows) {
            const QString name = row[rows.col(QString::fromLatin1(field))].toString();
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.insert(name);
        }
    }
    // The rules for jp.db codes: four characters, the voivodeship's two first,
    // neither its own code nor a county inspectorate's code.
    Rows jp = table(db, QStringLiteral("jp.db"));
    ASSERT_FALSE(jp.rows.isEmpty());
    Rows piw = table(db, QStringLiteral("piw.db"));
    QSet<QString> countyCodes;
    for (const auto &row : piw.rows)
        countyCodes.insert(row[piw.col(QStringLiteral("Kod"))].toString());
    for (const auto &row : jp.rows) {
        const QString kod = row[jp.col(QStringLiteral("Kod"))].toString();
        EXPECT_EQ(kod.size(), 4);
        EXPECT_TRUE(kod.startsWith(QLatin1String(seedVoivodeship)));
        EXPECT_NE(kod, QStringLiteral("2000"));
        EXPECT_FALSE(countyCodes.contains(kod)) << kod.toStdString();
    }
}

TEST(Installation, DictionariesHoldTheClassificationAndCurrentSources)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    auto column = [&](const QString &file, const QString &field) {
        QStringList values;
        Rows rows = table(db, file);
        for (const auto &row : rows.rows)
            values << row[rows.col(field)].toString();
        return values;
    };
    const QStringList chapters = column(QStringLiteral("rozdz.db"), QStringLiteral("Rozdz"));
    EXPECT_TRUE(chapters.contains(QStringLiteral("01022")));
    EXPECT_TRUE(chapters.contains(QStringLiteral("01023")));
    const QStringList paragraphs = column(QStringLiteral("par.db"), QStringLiteral("Par"));
    for (const char *p : {"4010", "4110", "4170", "4210", "4260", "4300", "4410", "4590", "6060"})
        EXPECT_TRUE(paragraphs.contains(QString::fromLatin1(p))) << p;
    for (const QString &p : paragraphs)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}$")).match(p).hasMatch()) << p.toStdString();

    Rows zf = table(db, QStringLiteral("zf.db"));
    QSet<int> years;
    for (const auto &row : zf.rows)
        years.insert(row[zf.col(QStringLiteral("Rok"))].toInt());
    EXPECT_EQ(years, (QSet<int>{kToday.year(), kToday.year() - 1}));

    EXPECT_TRUE(column(QStringLiteral("ch.db"), QStringLiteral("Ch")).contains(QStringLiteral("wścieklizna")));
    EXPECT_GE(column(QStringLiteral("jm.db"), QStringLiteral("Jms")).size(), 5);
    EXPECT_GE(column(QStringLiteral("gat.db"), QStringLiteral("Gat")).size(), 5);
    // Hidden flags are false, not blank: choice lists filter on them.
    for (const char *file : {"ch.db", "cz.db", "kontr.db"}) {
        Rows rows = table(db, QString::fromLatin1(file));
        for (const auto &row : rows.rows)
            EXPECT_EQ(row[rows.col(QStringLiteral("Ukr"))], QVariant(false)) << file;
    }
}

TEST(Installation, TheDataModuleOpensEveryTableOfAFreshInstallation)
{
    fenwa::testing::Installation inst({.open = false});
    inst.user.admin = inst.user.aktywny = inst.user.arc = true;
    EXPECT_TRUE(inst.open());
    EXPECT_TRUE(inst.messages.shown().isEmpty());
    for (Table *t : inst.d().sharedTables()) {
        EXPECT_TRUE(t->active()) << t->name().toStdString();
        EXPECT_FALSE(t->readOnly()) << t->name().toStdString();
    }
}

TEST(Installation, AnExistingDatabaseIsNeverOverwritten)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("a/b/dane"));
    createInstallation(folder, kToday).reset();   // nested folders are created
    const QString file = QDir(folder).filePath(QStringLiteral("fenwa5.sqlite"));
    ASSERT_TRUE(QFileInfo::exists(file));
    {
        auto db = Database::open(folder);
        db->exec(QStringLiteral("UPDATE \"%1\" SET Login = 'kierownik'").arg(db->path(QStringLiteral("passwd.db"))));
    }
    try {
        createInstallation(folder, kToday);
        FAIL() << "a second installation was made over the first";
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("już istnieje"))) << e.message().toStdString();
    }
    auto db = Database::open(folder);
    Rows users = table(*db, QStringLiteral("passwd.db"));
    ASSERT_EQ(users.rows.size(), 1);
    EXPECT_EQ(users.rows[0][users.col(QStringLiteral("Login"))].toString(), QStringLiteral("kierownik"));

    // Any file of that name counts, even one that is not a database.
    QTemporaryDir other;
    QFile junk(other.filePath(QStringLiteral("fenwa5.sqlite")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database");
    junk.close();
    EXPECT_THROW(createInstallation(other.path(), kToday), EngineError);
    QFile check(junk.fileName());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("not a database"));
}

TEST(Installation, AFolderPathThatIsAFileIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plik"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_THROW(createInstallation(path, kToday), EngineError);
    EXPECT_TRUE(QFileInfo(path).isFile());
}

// -------------------------------------------------------------------- demo

TEST(Demo, MonthsCoveredDependOnTheYear)
{
    int first = 0, last = 0;
    demoMonths(2015, QDateTime(QDate(2016, 2, 1), QTime(9, 0)), &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 12);
    demoMonths(2016, QDateTime(QDate(2016, 1, 5), QTime(9, 0)), &first, &last);
    EXPECT_EQ(last, 3);   // several months even early in the year
    demoMonths(2016, QDateTime(QDate(2016, 7, 5), QTime(9, 0)), &first, &last);
    EXPECT_EQ(last, 7);
}

TEST(Demo, RegistersUseTheExactCreateStatementsAndCoverSeveralMonths)
{
    Demo demo;
    Database &db = *demo.db;
    EXPECT_EQ(db.listFiles(QStringLiteral("g_????_????.db")),
              (QStringList{"g_2016_2000.db", "g_2016_2003.db", "g_2016_2080.db"}));
    EXPECT_EQ(db.listFiles(QStringLiteral("p_????_????.db")),
              (QStringList{"p_2016_2000.db", "p_2016_2003.db", "p_2016_2080.db"}));
    for (const QString &code : demo.options.units) {
        SCOPED_TRACE(code.toStdString());
        const QVector<FieldDef> g = db.fields(QStringLiteral("g_2016_%1.db").arg(code));
        const QVector<FieldDef> p = db.fields(QStringLiteral("p_2016_%1.db").arg(code));
        ASSERT_EQ(g.size(), schema::groupsTable().fields.size());
        ASSERT_EQ(p.size(), schema::positionsTable().fields.size());
        for (int i = 0; i < p.size(); ++i) {
            EXPECT_EQ(p[i].name, schema::positionsTable().fields[i].name);
            EXPECT_EQ(p[i].type, schema::positionsTable().fields[i].type);
            EXPECT_EQ(p[i].size, schema::positionsTable().fields[i].size);
        }
        Rows months = select(db, QStringLiteral("SELECT DISTINCT Mc FROM \"%1\"")
                                     .arg(db.path(QStringLiteral("g_2016_%1.db").arg(code))));
        EXPECT_EQ(months.rows.size(), 9);   // January to September
    }
    EXPECT_EQ(demo.result.groups, 3 * 9 * demo.options.groupsPerMonth);
    // The voivodeship inspectorate's one investment group holds a single position.
    EXPECT_GE(demo.result.positions, demo.result.groups * demo.options.minPositions - 1);
    Rows investments = select(db, QStringLiteral("SELECT p.Id FROM \"%1\" AS p JOIN \"%2\" AS g ON g.Id = p.Dok "
                                                 "JOIN \"%3\" AS pa ON pa.Id = g.Par WHERE pa.Par = '6060'")
                                      .arg(db.path(QStringLiteral("p_2016_2000.db")),
                                           db.path(QStringLiteral("g_2016_2000.db")),
                                           db.path(QStringLiteral("par.db"))));
    EXPECT_EQ(investments.rows.size(), 1);
    EXPECT_LE(demo.result.positions, demo.result.groups * demo.options.maxPositions);
}

TEST(Demo, AmountsAreConsistentAndReferencesResolve)
{
    Demo demo;
    Database &db = *demo.db;
    QHash<QString, QSet<qint64>> ids;
    for (const char *dict : {"cz", "bd", "bp", "zak", "kontr", "prac", "zf", "ch", "gat", "jm", "ob", "rozdz", "par"}) {
        Rows rows = select(db, QStringLiteral("SELECT Id FROM \"%1\"").arg(db.path(QString::fromLatin1(dict) + ".db")));
        for (const auto &row : rows.rows)
            ids[QString::fromLatin1(dict)].insert(row[0].toLongLong());
    }
    QSet<QString> flagCombinations;
    for (const QString &code : demo.options.units) {
        SCOPED_TRACE(code.toStdString());
        Rows groups = table(db, QStringLiteral("g_2016_%1.db").arg(code));
        QHash<qint64, int> monthOfGroup;
        QSet<QString> symbols;
        for (const auto &g : groups.rows) {
            monthOfGroup.insert(g[groups.col(QStringLiteral("Id"))].toLongLong(),
                                g[groups.col(QStringLiteral("Mc"))].toInt());
            const QString dok = g[groups.col(QStringLiteral("Dok"))].toString();
            EXPECT_FALSE(symbols.contains(dok)) << "duplicate symbol " << dok.toStdString();
            symbols.insert(dok);
            EXPECT_TRUE(ids[QStringLiteral("rozdz")].contains(g[groups.col(QStringLiteral("Rozdz"))].toLongLong()));
            EXPECT_TRUE(ids[QStringLiteral("par")].contains(g[groups.col(QStringLiteral("Par"))].toLongLong()));
            EXPECT_EQ(g[groups.col(QStringLiteral("Rok"))].toInt(), 2016);
            EXPECT_LE(g[groups.col(QStringLiteral("T_Ins"))].toDateTime(), demo.options.now);
            EXPECT_LE(g[groups.col(QStringLiteral("T_Mod"))].toDateTime(), demo.options.now);
        }
        Rows pos = table(db, QStringLiteral("p_2016_%1.db").arg(code));
        ASSERT_FALSE(pos.rows.isEmpty());
        for (const auto &p : pos.rows) {
            const qint64 dok = p[pos.col(QStringLiteral("Dok"))].toLongLong();
            ASSERT_TRUE(monthOfGroup.contains(dok));
            const QDate date = p[pos.col(QStringLiteral("Data"))].toDate();
            EXPECT_EQ(date.year(), 2016);
            EXPECT_EQ(date.month(), monthOfGroup.value(dok));
            EXPECT_LE(date, demo.options.now.date());
            const double ilosc = p[pos.col(QStringLiteral("ilosc"))].toDouble();
            const double cena = p[pos.col(QStringLiteral("cena"))].toDouble();
            const double netto = p[pos.col(QStringLiteral("netto"))].toDouble();
            const double podatki = p[pos.col(QStringLiteral("podatki"))].toDouble();
            const double brutto = p[pos.col(QStringLiteral("brutto"))].toDouble();
            // The position rules' consistency check must stay silent.
            EXPECT_EQ(R2(static_cast<long double>(ilosc) * cena), R2(brutto));
            EXPECT_EQ(R2(static_cast<long double>(netto) + podatki), R2(brutto));
            EXPECT_GT(brutto, 0);
            EXPECT_GE(podatki, 0);
            EXPECT_GE(netto, 0);
            for (const QString &ref : ids.keys()) {
                if (ref == QLatin1String("rozdz") || ref == QLatin1String("par"))
                    continue;
                const QVariant v = p[pos.col(ref)];
                if (!v.isNull()) {
                    EXPECT_TRUE(ids[ref].contains(v.toLongLong())) << ref.toStdString();
                }
            }
            // Reports join jm and zf without OUTER: both always set.
            EXPECT_FALSE(p[pos.col(QStringLiteral("jm"))].isNull());
            EXPECT_FALSE(p[pos.col(QStringLiteral("zf"))].isNull());
            flagCombinations.insert(QStringLiteral("%1%2%3")
                                        .arg(int(p[pos.col(QStringLiteral("wyd"))].toBool()))
                                        .arg(int(p[pos.col(QStringLiteral("Kosz"))].toBool()))
                                        .arg(int(p[pos.col(QStringLiteral("DOT"))].toBool())));
        }
    }
    // Expenditure and cost, expenditure only, cost only, and last year's settlements.
    for (const char *combo : {"111", "101", "011", "100"})
        EXPECT_TRUE(flagCombinations.contains(QString::fromLatin1(combo))) << combo;
}

TEST(Demo, EverySingleCriterionReportHasRowsForEveryUnit)
{
    Demo demo;
    Database &db = *demo.db;
    const QString D = db.folder();
    struct Criterion {
        const char *column;
        QStringList joins;
    };
    for (const QString &code : demo.options.units) {
        const QString S = QStringLiteral("_2016_%1.db").arg(code);
        const QVector<Criterion> criteria = {
            {"r.Rozdz",
             {QStringLiteral("JOIN \"%1\\g%2\" AS g on g.Id = p.Dok").arg(D, S),
              QStringLiteral("JOIN \"%1\\rozdz.db\" AS r on r.Id = g.Rozdz").arg(D)}},
            {"r.Par",
             {QStringLiteral("JOIN \"%1\\g%2\" AS g on g.Id = p.Dok").arg(D, S),
              QStringLiteral("JOIN \"%1\\par.db\" AS r on r.Id = g.Par").arg(D)}},
            {"r.zf", {QStringLiteral("JOIN \"%1\\zf.db\" AS r on r.Id = p.zf").arg(D)}},
            {"r.Ch", {QStringLiteral("LEFT OUTER JOIN \"%1\\ch.db\" AS r on r.Id = p.ch").arg(D)}},
            {"r.gat", {QStringLiteral("LEFT OUTER JOIN \"%1\\gat.db\" AS r on r.Id = p.gat").arg(D)}},
        };
        for (const Criterion &c : criteria) {
            for (const char *flag : {"Wyd", "Kosz"}) {
                QStringList sql;
                sql << QStringLiteral("SELECT %1 AS Kryt,jm.jm As Jm, SUM(ilosc) As ilosc, SUM(netto) AS Netto, "
                                      "SUM(podatki) AS podatki, SUM(brutto) AS Brutto")
                           .arg(QString::fromLatin1(c.column));
                sql << QStringLiteral("FROM \"%1\\p%2\" AS p").arg(D, S);
                sql << c.joins;
                sql << QStringLiteral("JOIN \"%1\\jm.db\" AS jm on jm.Id = p.jm").arg(D);
                sql << QStringLiteral("WHERE p.Data BETWEEN \"01/01/2016\" AND \"09/14/2016\" AND %1=True")
                           .arg(QString::fromLatin1(flag));
                sql << QStringLiteral("GROUP BY Kryt,jm.Jm") << QStringLiteral("ORDER BY Kryt,Jm");
                Rows r = select(db, sql.join(QLatin1Char('\n')));
                EXPECT_FALSE(r.rows.isEmpty()) << code.toStdString() << " " << c.column << " " << flag;
            }
        }
        // The plan report crosses chapters and sources with paragraphs: more than one of each.
        Rows plan = select(db, QStringLiteral("SELECT DISTINCT r.Rozdz, z.zf, pa.Par FROM \"%1\\p%2\" AS p\n"
                                              "JOIN \"%1\\g%2\" AS g on g.Id = p.Dok\n"
                                              "JOIN \"%1\\rozdz.db\" AS r on r.Id = g.Rozdz\n"
                                              "JOIN \"%1\\par.db\" AS pa on pa.Id = g.Par\n"
                                              "JOIN \"%1\\zf.db\" AS z on z.Id = p.zf")
                                   .arg(D, S));
        QSet<QString> chapters, paragraphs;
        for (const auto &row : plan.rows) {
            chapters.insert(row[0].toString());
            paragraphs.insert(row[2].toString());
        }
        EXPECT_GE(chapters.size(), 2) << code.toStdString();
        EXPECT_GE(paragraphs.size(), 4) << code.toStdString();
    }
}

TEST(Demo, TheSameOptionsGiveTheSameDataAndAnotherSeedOtherData)
{
    Demo a;
    Demo b;
    for (const char *file : {"g_2016_2003.db", "p_2016_2003.db", "p_2016_2080.db"})
        EXPECT_EQ(dump(*a.db, QString::fromLatin1(file)), dump(*b.db, QString::fromLatin1(file))) << file;

    DataFolder c(Content::Installed);
    DemoOptions options = a.options;
    options.seed = 7;
    createDemoRegisters(*c.db, options);
    EXPECT_NE(dump(*a.db, QStringLiteral("p_2016_2003.db")), dump(*c.db, QStringLiteral("p_2016_2003.db")));
}

TEST(Demo, AnExistingRegisterIsRefusedAndKept)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    createRegister(db, 2016, QStringLiteral("2003"));
    db.exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Rok, Mc) VALUES ('moja', 2016, 1)")
                .arg(db.path(QStringLiteral("g_2016_2003.db"))));
    DemoOptions options;
    options.year = 2016;
    options.now = QDateTime(QDate(2016, 5, 1), QTime(8, 0));
    options.units = {QStringLiteral("2003")};
    EXPECT_THROW(createDemoRegisters(db, options), EngineError);
    Rows g = table(db, QStringLiteral("g_2016_2003.db"));
    ASSERT_EQ(g.rows.size(), 1);
    EXPECT_EQ(g.rows[0][g.col(QStringLiteral("Dok"))].toString(), QStringLiteral("moja"));
    EXPECT_EQ(table(db, QStringLiteral("p_2016_2003.db")).rows.size(), 0);
}

TEST(Demo, SizesScaleForBenchmarks)
{
    DataFolder inst(Content::Installed);
    DemoOptions options;
    options.year = 2015;
    options.now = QDateTime(QDate(2016, 9, 14), QTime(12, 0));
    options.units = {QStringLiteral("2801")};
    options.groupsPerMonth = 2;
    options.minPositions = options.maxPositions = 200;
    const DemoResult r = createDemoRegisters(*inst.db, options);
    EXPECT_EQ(r.groups, 24);
    EXPECT_EQ(r.positions, 24 * 200);
    Rows count = select(*inst.db, QStringLiteral("SELECT COUNT(*) AS n FROM \"%1\"")
                                      .arg(inst.db->path(QStringLiteral("p_2015_2801.db"))));
    EXPECT_EQ(count.rows[0][0].toInt(), 4800);
}

// --------------------------------------------------------------------- CSV

TEST(Csv, FieldsFollowRfc4180AndTheProgramsFormats)
{
    EXPECT_EQ(csvField(QVariant()), QString());
    EXPECT_EQ(csvField(QString()), QString());
    EXPECT_EQ(csvField(QStringLiteral("zwykły tekst")), QStringLiteral("zwykły tekst"));
    EXPECT_EQ(csvField(QStringLiteral("ołów, kadm")), QStringLiteral("\"ołów, kadm\""));
    EXPECT_EQ(csvField(QStringLiteral("lecznica \"Przykład\"")), QStringLiteral("\"lecznica \"\"Przykład\"\"\""));
    EXPECT_EQ(csvField(QStringLiteral("dwa\nwiersze")), QStringLiteral("\"dwa\nwiersze\""));
    EXPECT_EQ(csvField(QStringLiteral("cr\rtylko")), QStringLiteral("\"cr\rtylko\""));
    EXPECT_EQ(csvField(true), QStringLiteral("1"));
    EXPECT_EQ(csvField(false), QStringLiteral("0"));
    EXPECT_EQ(csvField(QDate(2016, 3, 7)), QStringLiteral("2016-03-07"));
    EXPECT_EQ(csvField(QDateTime(QDate(2016, 3, 7), QTime(8, 5, 9))), QStringLiteral("2016-03-07 08:05:09"));
    EXPECT_EQ(csvField(qint64(-42)), QStringLiteral("-42"));
    EXPECT_EQ(csvField(1234567.5), QStringLiteral("1234567.5"));   // no grouping, no exponent
    EXPECT_EQ(csvField(1e9), QStringLiteral("1000000000"));
    EXPECT_EQ(csvField(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(csvField(-0.0), QStringLiteral("0"));
}

TEST(Csv, ConsoleRunsOneStatementAsWrittenByAnEditor)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    auto run = [&](const QString &statement) {
        QString text;
        QTextStream out(&text);
        runConsoleStatement(db, statement, out);
        out.flush();
        return text;
    };
    // Byte order mark, Windows line ends and a closing semicolon.
    EXPECT_EQ(run(QChar(0xFEFF) + QStringLiteral("SELECT Jms, Jm\r\nFROM \"%1\"\r\nWHERE Jms = 'kg';\r\n")
                                     .arg(db.path(QStringLiteral("jm.db")))),
              QStringLiteral("Jms,Jm\r\nkg,kilogram\r\n"));
    // An empty result still has its header.
    EXPECT_EQ(run(QStringLiteral("SELECT Gat FROM \"%1\" WHERE Gat = 'smoki'").arg(db.path(QStringLiteral("gat.db")))),
              QStringLiteral("Gat\r\n"));
    EXPECT_EQ(run(QStringLiteral("DELETE FROM \"%1\" WHERE Kod LIKE '28%'").arg(db.path(QStringLiteral("piw.db")))),
              QStringLiteral("zmienione_wiersze\r\n19\r\n"));
    // The engine refuses a text longer than its field, and nothing is written.
    EXPECT_THROW(run(QStringLiteral("UPDATE \"%1\" SET Jms = 'bardzo długi symbol'").arg(db.path(QStringLiteral("jm.db")))),
                 EngineError);
    EXPECT_EQ(run(QStringLiteral("SELECT COUNT(*) AS n FROM \"%1\" WHERE Jms = 'kg'").arg(db.path(QStringLiteral("jm.db")))),
              QStringLiteral("n\r\n1\r\n"));
    EXPECT_THROW(run(QStringLiteral(";")), EngineError);
}

TEST(Csv, ConsolePrintsTheRowsOfEveryStatementThatReturnsThem)
{
    DataFolder inst(Content::Installed);
    Database &db = *inst.db;
    const QString jm = db.path(QStringLiteral("jm.db"));
    struct Row {
        QString statement;
        QString firstLines;
    };
    QVector<Row> rows{
        {QStringLiteral("SELECT Jms FROM \"%1\" WHERE Jms = 'kg' UNION SELECT 'a' ORDER BY 1").arg(jm),
         QStringLiteral("Jms\r\na\r\nkg\r\n")},
        {QStringLiteral("WITH k AS (SELECT Jms FROM \"%1\" WHERE Jms = 'kg') SELECT Jms FROM k").arg(jm),
         QStringLiteral("Jms\r\nkg\r\n")},
    };
    if (!fenwa::testing::onServer())   // SQLite's own statements
        rows.append({QStringLiteral("PRAGMA integrity_check"), QStringLiteral("integrity_check\r\nok\r\n")});
    for (const auto &row : rows) {
        QString text;
        QTextStream out(&text);
        runConsoleStatement(db, row.statement, out);
        out.flush();
        EXPECT_EQ(text, row.firstLines) << qPrintable(row.statement);
    }
    // A statement the server cannot read is refused in the server's words about it.
    if (fenwa::testing::onServer()) {
        QString text;
        QTextStream out(&text);
        const QString msg = fenwa::testing::errorOf([&] { runConsoleStatement(db, QStringLiteral("PRAGMA integrity_check"), out); });
        EXPECT_TRUE(msg.contains(QStringLiteral("PRAGMA"))) << msg.toStdString();
    }
}

// -------------------------------------------------------------------- tool

namespace {

struct ToolRun {
    int code = -1;
    QString out;
    QString err;
};

ToolRun baza(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral(FENWA5_BAZA), args);
    EXPECT_TRUE(p.waitForStarted(10000));
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    ToolRun r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(BazaTool, HelpAndBadCalls)
{
    ToolRun help = baza({QStringLiteral("pomoc")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Użycie:")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("fenwa5-baza sql MIEJSCE [PLIK]")));
    EXPECT_EQ(baza({QStringLiteral("--help")}).code, 0);

    ToolRun none = baza({});
    EXPECT_EQ(none.code, 2);
    EXPECT_TRUE(none.err.contains(QStringLiteral("Brak polecenia")));
    ToolRun unknown = baza({QStringLiteral("kasuj"), QStringLiteral("/tmp")});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Nieznane polecenie: kasuj")));
    EXPECT_EQ(baza({QStringLiteral("init")}).code, 2);
    EXPECT_EQ(baza({QStringLiteral("sql")}).code, 2);
}

TEST(BazaTool, InitCreatesTheFolderAndNeverOverwrites)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("nowy/dane"));
    ToolRun first = baza({QStringLiteral("init"), folder});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("Utworzono bazę danych instalacji")));

    ToolRun count = baza({QStringLiteral("sql"), folder},
                     QStringLiteral("SELECT Login, D FROM \"%1\\passwd.db\"").arg(folder).toUtf8());
    ASSERT_EQ(count.code, 0) << count.err.toStdString();
    EXPECT_EQ(count.out, QStringLiteral("Login,D\r\nadmin,%1\r\n").arg(QDate::currentDate().toString(Qt::ISODate)));

    ToolRun change = baza({QStringLiteral("sql"), folder},
                      QStringLiteral("UPDATE \"%1\\gat.db\" SET Gat = 'bydło domowe' WHERE Gat = 'bydło';\n")
                          .arg(folder)
                          .toUtf8());
    ASSERT_EQ(change.code, 0) << change.err.toStdString();
    EXPECT_EQ(change.out, QStringLiteral("zmienione_wiersze\r\n1\r\n"));

    ToolRun second = baza({QStringLiteral("init"), folder});
    EXPECT_NE(second.code, 0);
    EXPECT_TRUE(second.err.contains(QStringLiteral("już istnieje"))) << second.err.toStdString();
    ToolRun demo = baza({QStringLiteral("demo"), folder});
    EXPECT_NE(demo.code, 0);
    auto db = Database::open(folder);
    EXPECT_EQ(select(*db, QStringLiteral("SELECT Id FROM \"%1\" WHERE Gat = 'bydło domowe'")
                              .arg(db->path(QStringLiteral("gat.db"))))
                  .rows.size(),
              1);
    EXPECT_TRUE(db->listFiles(QStringLiteral("g_????_????.db")).isEmpty());
}

TEST(BazaTool, InitAndDemoRacingOnANewFolderLeaveExactlyOneDatabase)
{
    for (int round = 0; round < 20; ++round) {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("dane"));
        QProcess init, demo;
        init.start(QStringLiteral(FENWA5_BAZA), {QStringLiteral("init"), folder});
        demo.start(QStringLiteral(FENWA5_BAZA), {QStringLiteral("demo"), folder});
        ASSERT_TRUE(init.waitForFinished(60000) && demo.waitForFinished(60000));
        const QString errors = QString::fromUtf8(init.readAllStandardError() + demo.readAllStandardError());
        const QVector<int> codes{init.exitCode(), demo.exitCode()};
        ASSERT_EQ(codes.count(0), 1) << "round " << round << ": " << errors.toStdString();
        ASSERT_EQ(codes.count(1), 1) << "round " << round;
        EXPECT_TRUE(errors.contains(QStringLiteral("już istnieje"))) << errors.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("fenwa5.sqlite")})
            << "round " << round;
        auto db = Database::open(folder);
        EXPECT_EQ(table(*db, QStringLiteral("passwd.db")).rows.size(), 1);
        EXPECT_EQ(db->listFiles(QStringLiteral("g_????_????.db")).isEmpty(), demo.exitCode() != 0) << "round " << round;
    }
}

TEST(BazaTool, InputThatIsNotUtf8IsRefusedNamingTheByte)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("dane"));
    ASSERT_EQ(baza({QStringLiteral("init"), folder}).code, 0);
    // "UPDATE ... SET Gat = 'żubr'" saved in the Windows code page: "ż" is the byte 0xBF.
    const QByteArray head = QStringLiteral("UPDATE \"%1\\gat.db\" SET Gat = '").arg(folder).toUtf8();
    ToolRun r = baza({QStringLiteral("sql"), folder}, head + "\xBFubr' WHERE Gat = 'bydło'");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("0xBF na pozycji %1").arg(head.size()))) << r.err.toStdString();
    auto db = Database::open(folder);
    EXPECT_EQ(select(*db, QStringLiteral("SELECT Id FROM \"%1\" WHERE Gat = 'bydło'").arg(db->path(QStringLiteral("gat.db"))))
                  .rows.size(),
              1);
}

TEST(BazaTool, SprawdzReportsOkOrTheDamage)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("dane"));
    ASSERT_EQ(baza({QStringLiteral("init"), folder}).code, 0);
    ToolRun whole = baza({QStringLiteral("sprawdz"), folder});
    EXPECT_EQ(whole.code, 0) << whole.err.toStdString();
    EXPECT_EQ(whole.out, QStringLiteral("OK\n"));

    // An index whose stored definition no longer matches its entries.
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(QDir(folder).filePath(QStringLiteral("fenwa5.sqlite"))).constData(), &raw),
              SQLITE_OK);
    const int rc = sqlite3_exec(raw,
                                "CREATE TABLE zepsuta(a INTEGER, b INTEGER); INSERT INTO zepsuta VALUES (1, 2), (3, 4);"
                                "CREATE INDEX zepsuta_a ON zepsuta(a); PRAGMA writable_schema = ON;"
                                "UPDATE sqlite_schema SET sql = 'CREATE INDEX zepsuta_a ON zepsuta(b)' "
                                "WHERE name = 'zepsuta_a'; PRAGMA writable_schema = OFF;",
                                nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    ASSERT_EQ(rc, SQLITE_OK);
    ToolRun damaged = baza({QStringLiteral("sprawdz"), folder});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("jest uszkodzona"))) << damaged.out.toStdString();
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("missing from index zepsuta_a"))) << damaged.out.toStdString();
}

TEST(BazaTool, DemoThenQueriesFromAFileAsCsv)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("demo"));
    ToolRun demo = baza({QStringLiteral("demo"), folder});
    ASSERT_EQ(demo.code, 0) << demo.err.toStdString();
    const int year = QDate::currentDate().year();

    const QString sqlFile = dir.filePath(QStringLiteral("zapytanie.sql"));
    QFile f(sqlFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("SELECT g.Dok, p.Data, p.brutto, p.wyd, p.Bd\r\n"
                           "FROM \"%1\\p_%2_2003.db\" AS p\r\n"
                           "JOIN \"%1\\g_%2_2003.db\" AS g on g.Id = p.Dok\r\n"
                           "WHERE p.Id = 1\r\n")
                .arg(folder)
                .arg(year)
                .toUtf8());
    f.close();
    ToolRun r = baza({QStringLiteral("sql"), folder, sqlFile});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);   // header, one row, and the empty tail after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("Dok,Data,BRUTTO,wyd,Bd"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^LP 001/01/%1,%1-01-\\d\\d,\\d+(\\.\\d{1,2})?,[01],$").arg(year))
                    .match(lines[1])
                    .hasMatch())
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].isEmpty());

    // A text with a comma comes back quoted.
    ToolRun quoted = baza({QStringLiteral("sql"), folder},
                      QStringLiteral("SELECT Bp FROM \"%1\\bp.db\" WHERE Bp LIKE 'metale%'").arg(folder).toUtf8());
    ASSERT_EQ(quoted.code, 0) << quoted.err.toStdString();
    EXPECT_EQ(quoted.out, QStringLiteral("Bp\r\n\"metale ciężkie (ołów, kadm, rtęć) w tkankach\"\r\n"));
}

// On the server when the tests run on one (a schema of the test's own), else on a folder.
TEST(BazaTool, InitNeverOverwritesASchemaAndKopiujCarriesTheInstallationToAFolder)
{
    fenwa::testing::ServerSchema schema;
    QTemporaryDir dir;
    const QString place = fenwa::testing::onServer()
                              ? QString::fromUtf8(fenwa::testing::testServer()) + QStringLiteral(" schema=") + schema.name
                              : dir.filePath(QStringLiteral("dane"));
    const QString folder = QStringLiteral("--folder=") + dir.path();
    ToolRun first = baza({QStringLiteral("init"), place, folder});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    ToolRun second = baza({QStringLiteral("demo"), folder, place});
    EXPECT_EQ(second.code, 1);
    EXPECT_TRUE(second.err.contains(QStringLiteral("nie zostanie nadpisan"))) << second.err.toStdString();
    EXPECT_EQ(baza({QStringLiteral("sprawdz"), place, folder}).out, QStringLiteral("OK\n"));

    const QString copy = dir.filePath(QStringLiteral("kopia"));
    ToolRun carried = baza({QStringLiteral("kopiuj"), place, copy, folder});
    ASSERT_EQ(carried.code, 0) << carried.err.toStdString();
    EXPECT_TRUE(carried.out.contains(QStringLiteral("passwd.db: 1\n"))) << carried.out.toStdString();
    ToolRun users = baza({QStringLiteral("sql"), copy}, QStringLiteral("SELECT Id, Login FROM \"%1\\passwd.db\"").arg(copy).toUtf8());
    EXPECT_EQ(users.out, QStringLiteral("Id,Login\r\n1,admin\r\n"));
    EXPECT_EQ(baza({QStringLiteral("kopiuj"), copy, place, folder}).code, 1) << "the target holds an installation";
}

TEST(BazaTool, ErrorsGoToStandardErrorWithExitCodeOne)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("dane"));
    ASSERT_EQ(baza({QStringLiteral("init"), folder}).code, 0);

    ToolRun missing = baza({QStringLiteral("sql"), folder},
                       QStringLiteral("SELECT * FROM \"%1\\p_2016_2003.db\"").arg(folder).toUtf8());
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains(QStringLiteral("p_2016_2003"))) << missing.err.toStdString();

    ToolRun empty = baza({QStringLiteral("sql"), folder}, " \n");
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("Brak polecenia SQL")));

    ToolRun noFile = baza({QStringLiteral("sql"), folder, dir.filePath(QStringLiteral("brak.sql"))});
    EXPECT_EQ(noFile.code, 1);
    EXPECT_TRUE(noFile.err.contains(QStringLiteral("brak.sql")));

    // Not a data folder: the message names the database file, and nothing is created.
    const QString plain = dir.filePath(QStringLiteral("zwykly"));
    ASSERT_TRUE(QDir().mkpath(plain));
    ToolRun notData = baza({QStringLiteral("sql"), plain}, "SELECT 1 AS x");
    EXPECT_EQ(notData.code, 1);
    EXPECT_TRUE(notData.err.contains(QStringLiteral("fenwa5.sqlite"))) << notData.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(plain).filePath(QStringLiteral("fenwa5.sqlite"))));
    const QString absent = dir.filePath(QStringLiteral("nie_ma"));
    EXPECT_EQ(baza({QStringLiteral("sql"), absent}, "SELECT 1 AS x").code, 1);
    EXPECT_FALSE(QFileInfo::exists(absent));

    // A file of that name that is not a database.
    const QString junkFolder = dir.filePath(QStringLiteral("smieci"));
    ASSERT_TRUE(QDir().mkpath(junkFolder));
    QFile junk(QDir(junkFolder).filePath(QStringLiteral("fenwa5.sqlite")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    ToolRun notDb = baza({QStringLiteral("sql"), junkFolder}, "SELECT 1 AS x");
    EXPECT_EQ(notDb.code, 1);
    EXPECT_TRUE(notDb.err.contains(QStringLiteral("nie jest bazą danych"))) << notDb.err.toStdString();
    EXPECT_EQ(QFileInfo(junk.fileName()).size(), 4096);
}
