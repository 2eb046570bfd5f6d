// The program's SQL dialect translated to SQLite: unit cases on the text, and
// every statement the program sends, run on a real database built by the
// program's own CREATE statements.
#include "data/SqlDialect.h"

#include "data/EngineError.h"
#include "data/SqlBuilder.h"
#include "data/SqliteTestDb.h"

#include <QDir>
#include <QDebug>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using fenwa::data::EngineError;
using fenwa::data::FieldType;
using fenwa::data::SqlBuilder;
using fenwa::data::SqlDialect;
using fenwa::data::TranslatedSql;
using fenwa::testing::SqliteTestDb;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const QString kFolder = QStringLiteral("C:\\Dane\\Fenwa");

QString engineMessage(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EngineError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

// ---------------------------------------------------------------- names

TEST(SqlDialectNames, TableNameDropsFolderExtensionAndCase)
{
    EXPECT_EQ(SqlDialect::tableName("g_2016_2201.db"), "g_2016_2201");
    EXPECT_EQ(SqlDialect::tableName("G_2016_2201.DB"), "g_2016_2201");
    EXPECT_EQ(SqlDialect::tableName("C:\\Dane\\Fenwa\\Temp.db"), "temp");
    EXPECT_EQ(SqlDialect::tableName("/srv/dane/passwd.db"), "passwd");
    EXPECT_EQ(SqlDialect::tableName("plan"), "plan");
}

TEST(SqlDialectNames, NormalizeFolderUnifiesSeparatorsAndTrailingOne)
{
    EXPECT_EQ(SqlDialect::normalizeFolder("C:\\Dane\\Fenwa\\"), "C:/Dane/Fenwa");
    EXPECT_EQ(SqlDialect::normalizeFolder("C:/Dane//Fenwa"), "C:/Dane/Fenwa");
    EXPECT_EQ(SqlDialect::normalizeFolder("/srv/dane/"), "/srv/dane");
    EXPECT_EQ(SqlDialect::normalizeFolder("\\\\serwer\\dane\\"), "//serwer/dane");
    EXPECT_EQ(SqlDialect::normalizeFolder("/"), "/");
}

TEST(SqlDialectNames, LengthConstraintMessageIsRead)
{
    QString field;
    int size = 0;
    EXPECT_TRUE(SqlDialect::parseLengthConstraint("CHECK constraint failed: len:Opis:160", &field, &size));
    EXPECT_EQ(field, "Opis");
    EXPECT_EQ(size, 160);
    EXPECT_FALSE(SqlDialect::parseLengthConstraint("CHECK constraint failed: other", &field, &size));
    EXPECT_FALSE(SqlDialect::parseLengthConstraint("UNIQUE constraint failed: t.x", &field, &size));
    EXPECT_EQ(SqlDialect::lengthConstraintName("Dok", 40), "len:Dok:40");
}

// ---------------------------------------------------------------- tables by path

TEST(SqlDialectTables, PathInDataFolderBecomesTable)
{
    const SqlDialect d(kFolder);
    const TranslatedSql t = d.translate("SELECT ob FROM \"C:\\Dane\\Fenwa\\p_2016_2201.db\"");
    EXPECT_EQ(t.sql, "SELECT ob FROM \"p_2016_2201\"");
    EXPECT_THAT(t.tables, ElementsAre("p_2016_2201"));
    EXPECT_TRUE(t.isSelect);
}

TEST(SqlDialectTables, FolderComparesWithoutCaseSeparatorOrTrailingSeparator)
{
    const SqlDialect withTrailing("C:\\Dane\\Fenwa\\");
    EXPECT_EQ(withTrailing.translate("SELECT * FROM \"c:/dane/FENWA/Jm.DB\"").sql, "SELECT * FROM \"jm\"");
    EXPECT_EQ(withTrailing.translate("SELECT * FROM \"C:\\Dane\\Fenwa\\\\jm.db\"").sql,
              "SELECT * FROM \"jm\"");
    const SqlDialect posix("/srv/dane");
    EXPECT_EQ(posix.translate("SELECT * FROM \"/srv/dane/jm.db\"").sql, "SELECT * FROM \"jm\"");
    EXPECT_EQ(posix.translate("SELECT * FROM \"/srv/dane\\jm.db\"").sql, "SELECT * FROM \"jm\"");
}

TEST(SqlDialectTables, PathOutsideDataFolderIsRefusedNamingThePath)
{
    const SqlDialect d(kFolder);
    const QString other = engineMessage([&] { d.translate("SELECT * FROM \"D:\\Stare\\Kontrahenci.db\""); });
    EXPECT_THAT(other.toStdString(), HasSubstr("D:\\Stare\\Kontrahenci.db"));
    EXPECT_THAT(other.toStdString(), HasSubstr("folderze danych"));
    // A subfolder of the data folder is another folder too.
    EXPECT_NE(engineMessage([&] { d.translate("SELECT * FROM \"C:\\Dane\\Fenwa\\Arch\\jm.db\""); }),
              "<no error>");
    // So is a folder whose name only begins like the data folder.
    EXPECT_NE(engineMessage([&] { d.translate("SELECT * FROM \"C:\\Dane\\Fenwa2\\jm.db\""); }),
              "<no error>");
}

TEST(SqlDialectTables, EveryTableOfTheStatementIsListedOnce)
{
    const SqlDialect d(kFolder);
    const TranslatedSql t = d.translate(
        "SELECT * FROM \"C:\\Dane\\Fenwa\\p_2016_2201.db\" AS p\n"
        "JOIN \"C:\\Dane\\Fenwa\\jm.db\" as jm on jm.id=p.jm\n"
        "UNION SELECT * FROM \"C:\\Dane\\Fenwa\\P_2016_2201.db\" AS p JOIN \"C:\\Dane\\Fenwa\\jm.db\" j on j.id=p.jm");
    EXPECT_THAT(t.tables, ElementsAre("p_2016_2201", "jm"));
}

TEST(SqlDialectTables, PathOutsideTablePositionIsText)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("SELECT * FROM \"C:\\Dane\\Fenwa\\jm.db\" WHERE Jm = \"D:\\x.db\"").sql,
              "SELECT * FROM \"jm\" WHERE Jm = 'D:\\x.db'");
}

// ---------------------------------------------------------------- literals

TEST(SqlDialectLiterals, DoubleQuotedTextBecomesStringWithQuotesDoubled)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("SELECT * FROM jm WHERE Jm = \"szt.\"").sql, "SELECT * FROM jm WHERE Jm = 'szt.'");
    EXPECT_EQ(d.translate("SELECT * FROM kontr WHERE Nazwa = \"Zakład 'Pod Lipą'\"").sql,
              "SELECT * FROM kontr WHERE Nazwa = 'Zakład ''Pod Lipą'''");
    EXPECT_EQ(d.translate("SELECT * FROM kontr WHERE Nazwa = \"a \"\"b\"\" c\"").sql,
              "SELECT * FROM kontr WHERE Nazwa = 'a \"b\" c'");
}

TEST(SqlDialectLiterals, MonthDayYearBecomesStoredDate)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE Data BETWEEN \"01/05/2016\" AND \"12/31/2016\"").sql,
              "SELECT * FROM p WHERE Data BETWEEN '2016-01-05' AND '2016-12-31'");
    // Not a calendar date, or not the exact shape: stays text.
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE FAK = \"13/45/2016\"").sql,
              "SELECT * FROM p WHERE FAK = '13/45/2016'");
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE FAK = \"1/5/2016\"").sql,
              "SELECT * FROM p WHERE FAK = '1/5/2016'");
    // Single-quoted text is never touched.
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE FAK = '01/05/2016'").sql,
              "SELECT * FROM p WHERE FAK = '01/05/2016'");
}

TEST(SqlDialectLiterals, TrueAndFalseAreWordsOnly)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("UPDATE \"C:\\Dane\\Fenwa\\cz.db\" SET Ukr=False").sql, "UPDATE \"cz\" SET Ukr=0");
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE Wyd=TRUE and kosz = false").sql,
              "SELECT * FROM p WHERE Wyd=1 and kosz = 0");
    EXPECT_EQ(d.translate("SELECT * FROM p WHERE Opis = \"True\" AND FAK = 'False' AND TrueVal = 1").sql,
              "SELECT * FROM p WHERE Opis = 'True' AND FAK = 'False' AND TrueVal = 1");
}

TEST(SqlDialectLiterals, ParametersAndLinesPassThrough)
{
    const SqlDialect d(kFolder);
    const TranslatedSql t = d.translate("UPDATE \"C:\\Dane\\Fenwa\\passwd.db\" SET D=:dzis\nWHERE Id = ?");
    EXPECT_EQ(t.sql, "UPDATE \"passwd\" SET D=:dzis\nWHERE Id = ?");
    EXPECT_FALSE(t.isSelect);
}

TEST(SqlDialectLiterals, SelectIsRecognised)
{
    const SqlDialect d(kFolder);
    EXPECT_TRUE(d.translate("select * from jm").isSelect);
    EXPECT_TRUE(d.translate("(SELECT Jm FROM jm) UNION (SELECT Jm FROM jm)").isSelect);
    EXPECT_FALSE(d.translate("INSERT INTO jm (Jm) SELECT Jm FROM jm").isSelect);
    EXPECT_FALSE(d.translate("DELETE FROM jm").isSelect);
}

TEST(SqlDialectErrors, UnreadableStatementsGivePolishErrors)
{
    const SqlDialect d(kFolder);
    EXPECT_THAT(engineMessage([&] { d.translate("SELECT * FROM jm WHERE Jm = \"szt"); }).toStdString(),
                HasSubstr("niezamknięty cudzysłów"));
    EXPECT_THAT(engineMessage([&] { d.translate("SELECT * FROM jm WHERE Jm = 'szt"); }).toStdString(),
                HasSubstr("niezamknięty cudzysłów"));
    EXPECT_THAT(engineMessage([&] { d.translate("SELECT SUM(brutto FROM p"); }).toStdString(),
                HasSubstr("nawias"));
    EXPECT_THAT(engineMessage([&] { d.translate("SELECT brutto) FROM p"); }).toStdString(),
                HasSubstr("nawias"));
    EXPECT_THAT(engineMessage([&] { d.translate("   \n"); }).toStdString(), HasSubstr("Puste"));
    EXPECT_NE(engineMessage([&] { d.translate("DELETE FROM jm; DELETE FROM ch"); }), "<no error>");
    EXPECT_NE(engineMessage([&] { d.translate("ALTER TABLE plan ADD a FLOAT, ADD b FLOAT"); }), "<no error>");
    EXPECT_THAT(engineMessage([&] { d.translate("CREATE TABLE x (Id AUTOINC, Dok)"); }).toStdString(),
                HasSubstr("Dok"));
    EXPECT_NE(engineMessage([&] { d.translate("CREATE TABLE x (Id AUTOINC, Nr AUTOINC)"); }), "<no error>");
    EXPECT_NE(engineMessage([&] { d.translate("CREATE TABLE x (Id AUTOINC) garbage"); }), "<no error>");
}

// ---------------------------------------------------------------- ORDER BY

TEST(SqlDialectOrder, TermsGetPolishCollationBeforeDirection)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("SELECT * FROM kontr ORDER BY Nazwa DESC, Miasto").sql,
              "SELECT * FROM kontr ORDER BY Nazwa COLLATE PL DESC, Miasto COLLATE PL");
    // GROUP BY and WHERE stay as written.
    EXPECT_EQ(d.translate("SELECT Kryt FROM temp WHERE Kryt > 'a' GROUP BY Kryt").sql,
              "SELECT Kryt FROM temp WHERE Kryt > 'a' GROUP BY Kryt");
    // A term with its own collation keeps it.
    EXPECT_EQ(d.translate("SELECT * FROM kontr ORDER BY Nazwa COLLATE NOCASE").sql,
              "SELECT * FROM kontr ORDER BY Nazwa COLLATE NOCASE");
}

TEST(SqlDialectOrder, TermNamingAResultColumnBecomesItsPosition)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("SELECT g.dok,p.data,p.opis FROM p JOIN g on g.Id = p.Dok ORDER BY dok,opis").sql,
              "SELECT g.dok,p.data,p.opis FROM p JOIN g on g.Id = p.Dok ORDER BY 1 COLLATE PL,3 COLLATE PL");
    EXPECT_EQ(d.translate("SELECT r.Rozdz AS Kryt, SUM(netto) AS Netto FROM p GROUP BY Kryt ORDER BY Kryt").sql,
              "SELECT r.Rozdz AS Kryt, SUM(netto) AS Netto FROM p GROUP BY Kryt ORDER BY 1 COLLATE PL");
    EXPECT_EQ(d.translate("SELECT kontr.nazwa kontr, p.id FROM p ORDER BY kontr.nazwa, T_Ins").sql,
              "SELECT kontr.nazwa kontr, p.id FROM p ORDER BY 1 COLLATE PL, T_Ins COLLATE PL");
    // Inside a subquery the subquery's own columns count.
    EXPECT_EQ(d.translate("SELECT a FROM (SELECT x AS a, y FROM t ORDER BY y) ORDER BY a").sql,
              "SELECT a FROM (SELECT x AS a, y FROM t ORDER BY 2 COLLATE PL) ORDER BY 1 COLLATE PL");
}

// ---------------------------------------------------------------- CREATE and ALTER

TEST(SqlDialectCreate, AutoincKeyCharChecksAndDeclaredTypes)
{
    const SqlDialect d(kFolder);
    const TranslatedSql t = d.translate(
        "CREATE TABLE \"C:\\Dane\\Fenwa\\ob.db\" (Id AUTOINC, ob Char(150),\nPRIMARY KEY (Id))");
    EXPECT_EQ(t.sql, "CREATE TABLE \"ob\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"ob\" CHAR(150) "
                     "CONSTRAINT \"len:ob:150\" CHECK (length(\"ob\") <= 150))");
    EXPECT_THAT(t.tables, ElementsAre("ob"));
    EXPECT_FALSE(t.isSelect);

    // Each typed column carries its type check (what the checks refuse: StoredTypes).
    const QString x = d.translate("CREATE TABLE x (A Integer, B Boolean, C date, D Timestamp, E float, "
                                  "PRIMARY KEY (A, B))")
                          .sql;
    EXPECT_TRUE(x.startsWith(QStringLiteral("CREATE TABLE \"x\" (\"A\" INTEGER CONSTRAINT \"typ:A:integer\" CHECK ")))
        << x.toStdString();
    for (const char *column : {"\"B\" BOOLEAN CONSTRAINT \"typ:B:boolean\"", "\"C\" DATE CONSTRAINT \"typ:C:date\"",
                               "\"D\" TIMESTAMP CONSTRAINT \"typ:D:timestamp\"", "\"E\" FLOAT CONSTRAINT \"typ:E:float\""})
        EXPECT_TRUE(x.contains(QString::fromLatin1(column))) << column;
    EXPECT_TRUE(x.endsWith(QStringLiteral("PRIMARY KEY (\"A\", \"B\"))")));
}

TEST(SqlDialectCreate, AlterAddsOneColumnWithItsCheck)
{
    const SqlDialect d(kFolder);
    EXPECT_EQ(d.translate("ALTER TABLE \"C:\\Dane\\Fenwa\\p_2016_2201.db\"\nADD Ob INTEGER").sql,
              "ALTER TABLE \"p_2016_2201\" ADD COLUMN \"Ob\" INTEGER "
                  + SqlDialect::typeConstraint(QStringLiteral("Ob"), FieldType::Integer));
    EXPECT_EQ(d.translate("ALTER TABLE \"C:\\Dane\\Fenwa\\plan.db\" Add par4210 FLOAT").sql,
              "ALTER TABLE \"plan\" ADD COLUMN \"par4210\" FLOAT "
                  + SqlDialect::typeConstraint(QStringLiteral("par4210"), FieldType::Float));
    EXPECT_EQ(d.translate("ALTER TABLE plan ADD Uwagi CHAR(20)").sql,
              "ALTER TABLE \"plan\" ADD COLUMN \"Uwagi\" CHAR(20) CONSTRAINT \"len:Uwagi:20\" "
              "CHECK (length(\"Uwagi\") <= 20)");
    EXPECT_NE(engineMessage([&] { d.translate("ALTER TABLE plan ADD Id AUTOINC"); }), "<no error>");
}

// ---------------------------------------------------------------- the server's text

// Columns of the tables the server cases name, in their stored spelling.
SqlDialect serverDialect()
{
    SqlDialect d(kFolder, fenwa::data::SqlBackend::PostgreSql);
    d.setColumnsOf([](const QString &table) {
        static const QHash<QString, QStringList> columns{
            {"p", {"Id", "Dok", "kontr", "jm", "ch", "ilosc", "netto", "BRUTTO", "Opis", "Data", "FAK", "wyd", "T_Ins"}},
            {"g", {"Id", "Dok", "Rozdz", "Opis"}},
            {"jm", {"Id", "Jm"}},
            {"ch", {"Id", "Ch"}},
            {"zak", {"Id", "Zak"}},
            {"kontr", {"Id", "Nazwa"}},
            {"passwd", {"Id", "Login", "Password", "D"}}};
        return columns.value(table);
    });
    return d;
}

// ASCII letters to lower case, as SQLite's LIKE compares them.
QString asciiLower(const QString &operand)
{
    return "translate(CAST(" + operand + " AS text), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')";
}

TEST(SqlDialectServer, CreateKeepsTheSpellingAndGivesServerTypesAndLengthChecks)
{
    const SqlDialect d = serverDialect();
    EXPECT_EQ(d.translate("CREATE TABLE \"C:\\Dane\\Fenwa\\p_2016_2201.db\"\n(Id AUTOINC,Dok INTEGER,ilosc FLOAT,"
                          "wyd BOOLEAN,Data DATE,T_Ins TIMESTAMP,Opis CHAR(160),\nPRIMARY KEY (Id))")
                  .sql,
              "CREATE TABLE \"p_2016_2201\" (\"Id\" integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
              "\"Dok\" integer, \"ilosc\" double precision, \"wyd\" boolean, \"Data\" date, \"T_Ins\" timestamp(0), "
              "\"Opis\" text COLLATE \"pl-PL-x-icu\" CONSTRAINT \"len:Opis:160\" CHECK (char_length(\"Opis\") <= 160))");
    EXPECT_EQ(d.translate("CREATE TABLE plan (Rozdz CHAR(10), par4210 FLOAT, PRIMARY KEY (Rozdz))").sql,
              "CREATE TABLE \"plan\" (\"Rozdz\" text COLLATE \"pl-PL-x-icu\" CONSTRAINT \"len:Rozdz:10\" "
              "CHECK (char_length(\"Rozdz\") <= 10), \"par4210\" double precision, PRIMARY KEY (\"Rozdz\"))");
    EXPECT_EQ(d.translate("ALTER TABLE \"C:\\Dane\\Fenwa\\passwd.db\" ADD D Date").sql,
              "ALTER TABLE \"passwd\" ADD COLUMN \"D\" date");
    EXPECT_EQ(d.translate("CREATE INDEX Dok ON \"C:\\Dane\\Fenwa\\p.db\" (dok)").sql, "CREATE INDEX Dok ON \"p\" (\"Dok\")");
    EXPECT_EQ(d.translate("DROP TABLE IF EXISTS temp").sql, "DROP TABLE IF EXISTS temp");
}

struct ServerCase {
    const char *what;
    QString statement;
    QString expected;
};

TEST(SqlDialectServer, StatementsResolveNamesAndKeepSqliteValues)
{
    const SqlDialect d = serverDialect();
    const QString D = "\"C:\\Dane\\Fenwa\\";
    const ServerCase cases[] = {
        {"columns in their stored spelling, through the alias's table or the first table holding them",
         "SELECT g.dok, p.opis, brutto FROM " + D + "p.db\" AS p JOIN " + D + "g.db\" AS g on g.Id = p.Dok WHERE fak = :fak",
         "SELECT g.\"Dok\", p.\"Opis\", \"BRUTTO\" FROM \"p\" AS p JOIN \"g\" AS g on g.\"Id\" = p.\"Dok\" WHERE \"FAK\" = :fak"},
        {"an alias takes the spelling its name resolves to; ORDER BY a result column: its position, NULLs where SQLite puts them",
         "SELECT r.Rozdz AS Kryt, SUM(Netto) AS Netto FROM p AS p JOIN g AS r on r.Id = p.Dok GROUP BY kryt ORDER BY Kryt DESC, netto",
         "SELECT r.\"Rozdz\" AS \"Kryt\", SUM(\"netto\") AS \"netto\" FROM \"p\" AS p JOIN \"g\" AS r on r.\"Id\" = p.\"Dok\" "
         "GROUP BY \"Kryt\" ORDER BY 1 DESC NULLS LAST, 2 NULLS FIRST"},
        {"a bare name two joined tables hold is the first one's",
         "SELECT p.Id FROM p JOIN jm ON jm.Id = p.jm WHERE jm = 1 ORDER BY T_Ins",
         "SELECT p.\"Id\" FROM \"p\" JOIN \"jm\" ON jm.\"Id\" = p.\"jm\" WHERE p.\"jm\" = 1 ORDER BY \"T_Ins\" NULLS FIRST"},
        {"a column its table spells otherwise is labelled in the statement's spelling",
         "SELECT ch.ch, p.CH FROM p LEFT JOIN ch ON ch.Id = p.ch",
         "SELECT ch.\"Ch\" AS \"ch\", p.\"ch\" FROM \"p\" LEFT JOIN \"ch\" ON ch.\"Id\" = p.\"ch\""},
        {"a subquery's repeated result column is named as SQLite names it; an outer mention means the first",
         "SELECT ilosc, SUM(ilosc) s FROM (SELECT ilosc, jm, SUM(ilosc) ilosc FROM p GROUP BY ilosc, jm) GROUP BY ilosc",
         "SELECT \"ilosc\", SUM(\"ilosc\") \"s\" FROM (SELECT \"ilosc\", \"jm\", SUM(\"ilosc\") \"ilosc:1\" FROM \"p\" "
         "GROUP BY \"ilosc\", \"jm\") AS _q1 GROUP BY \"ilosc\""},
        {"INSERT's column list is the target's; the SELECT's names are its own tables'",
         "INSERT INTO " + D + "zak.db\" (zak)\nSELECT nazwa,False FROM work",
         "INSERT INTO \"zak\" (\"Zak\")\nSELECT nazwa,FALSE FROM \"work\""},
        {"texts, dates and logical values",
         "UPDATE " + D + "p.db\" SET wyd=True, Data=\"01/31/2016\", Opis=\"it's\" WHERE kontr = 1 AND wyd = false",
         "UPDATE \"p\" SET \"wyd\"=TRUE, \"Data\"='2016-01-31', \"Opis\"='it''s' WHERE \"kontr\" = 1 AND \"wyd\" = FALSE"},
        {"an unnamed subquery in FROM gets an alias",
         "SELECT Kryt, SUM(netto) netto FROM (SELECT kontr AS Kryt, netto FROM p UNION ALL SELECT kontr Kryt, netto FROM p)"
         "\nGROUP BY Kryt ORDER BY Kryt",
         "SELECT \"Kryt\", SUM(\"netto\") \"netto\" FROM (SELECT \"kontr\" AS \"Kryt\", \"netto\" FROM \"p\" UNION ALL "
         "SELECT \"kontr\" \"Kryt\", \"netto\" FROM \"p\") AS _q1\nGROUP BY \"Kryt\" ORDER BY 1 NULLS FIRST"},
        {"LIKE ignores the case of ASCII letters only and has no escape character",
         "SELECT Nazwa FROM kontr WHERE Nazwa LIKE \"ł%\" || ? AND NOT k.Nazwa NOT LIKE 'a\\_%' ESCAPE '\\'",
         "SELECT \"Nazwa\" FROM \"kontr\" WHERE " + asciiLower("\"Nazwa\"") + " LIKE " + asciiLower("'ł%' || ?")
             + " ESCAPE '' AND NOT " + asciiLower("k.\"Nazwa\"") + " NOT LIKE " + asciiLower("'a\\_%'") + " ESCAPE '\\'"},
        {"functions and operators computed as SQLite computes them",
         "SELECT ROUND(netto / ilosc, 2), IFNULL(Opis, ''), AVG(netto), CAST(netto AS INTEGER), instr(Opis, 'a'), "
         "upper(Opis) FROM p WHERE Dok == 1 AND Opis IS FAK LIMIT 10, 5",
         "SELECT CAST(ROUND(CAST(\"netto\" / NULLIF(\"ilosc\", 0) AS numeric), 2) AS double precision), "
         "coalesce(\"Opis\", ''), CAST(AVG(\"netto\") AS double precision), CAST(trunc(CAST(\"netto\" AS double precision)) "
         "AS INTEGER), strpos(\"Opis\", 'a'), translate(CAST(\"Opis\" AS text), 'abcdefghijklmnopqrstuvwxyz', "
         "'ABCDEFGHIJKLMNOPQRSTUVWXYZ') FROM \"p\" WHERE \"Dok\" = 1 AND \"Opis\" IS NOT DISTINCT FROM \"FAK\" LIMIT 5 OFFSET 10"},
        {"an explicit Polish collation",
         "SELECT Nazwa FROM kontr ORDER BY Nazwa COLLATE PL DESC",
         "SELECT \"Nazwa\" FROM \"kontr\" ORDER BY \"Nazwa\" COLLATE \"pl-PL-x-icu\" DESC NULLS LAST"},
    };
    for (const ServerCase &c : cases)
        EXPECT_EQ(d.translate(c.statement).sql.toStdString(), c.expected.toStdString()) << c.what;
}

TEST(SqlDialectServer, ParametersAreListedInSqlitesNumbering)
{
    const SqlDialect d = serverDialect();
    const TranslatedSql t =
        d.translate("UPDATE passwd SET Password=:p, D=:d WHERE Id=:id AND (Password=:p OR Login=?)");
    EXPECT_EQ(t.sql, "UPDATE \"passwd\" SET \"Password\"=:p, \"D\"=:d WHERE \"Id\"=:id AND (\"Password\"=:p OR \"Login\"=?)");
    EXPECT_THAT(t.parameters, ElementsAre(":p", ":d", ":id", "?4"));
    EXPECT_TRUE(SqlDialect(kFolder).translate("SELECT * FROM jm WHERE Id = ?").parameters.isEmpty());
}

TEST(SqlDialectServer, LengthCheckIsReadFromTheServersMessageAndCatalog)
{
    QString field;
    int size = 0;
    EXPECT_TRUE(SqlDialect::parseLengthConstraint(
        "new row for relation \"p_2016_2201\" violates check constraint \"len:Opis:160\"", &field, &size));
    EXPECT_EQ(field, "Opis");
    EXPECT_EQ(size, 160);
    EXPECT_TRUE(SqlDialect::parseLengthConstraint("len:FAK:30", &field, &size));
    EXPECT_EQ(field, "FAK");
    EXPECT_EQ(size, 30);
    EXPECT_FALSE(SqlDialect::parseLengthConstraint("violates check constraint \"typ:Dok:integer\"", &field, &size));
}

// ---------------------------------------------------------------- statements on a database

// A data folder with the shared tables, two registers of 2016 (units 2201
// and 2202) and the program's statements run on it.
class DialectOnDatabase : public ::testing::Test {
protected:
    const QString D = kFolder;
    const QString S = QStringLiteral("_2016_2201.db");
    const QString S2 = QStringLiteral("_2016_2202.db");
    SqlDialect dialect{kFolder + "\\"};
    SqliteTestDb db;

    // {D} data folder, {S} suffix of unit 2201, {S2} of unit 2202.
    QString fill(QString text) const
    {
        return text.replace("{D}", D).replace("{S2}", S2).replace("{S}", S);
    }
    std::vector<QStringList> run(const QString &statement, const QVariantList &binds = {},
                                 const QVariantMap &named = {})
    {
        return db.run(dialect.translate(fill(statement)).sql, binds, named);
    }
    std::vector<QStringList> run(const QStringList &lines) { return run(lines.join('\n')); }
    std::vector<QStringList> run(const SqlBuilder &statement) { return run(statement.lines()); }
    // A statement over the tables of {D}.
    static SqlBuilder sql() { return SqlBuilder(QStringLiteral("{D}")); }

    void createRegister(const QString &suffix)
    {
        run(QStringList{
            "CREATE TABLE \"{D}\\g" + suffix + "\"",
            "(Id AUTOINC,Dok CHAR(40),Rozdz INTEGER,Par INTEGER,Opis CHAR(160),Rok INTEGER,Mc INTEGER,Zk "
            "Boolean,T_Ins TIMESTAMP,T_Mod TIMESTAMP,O_Ins INTEGER,O_Mod Integer,",
            "PRIMARY KEY (Id))"});
        run(QStringList{
            "CREATE TABLE \"{D}\\p" + suffix + "\"",
            "(Id AUTOINC,Dok INTEGER,Cz INTEGER,Bd INTEGER,Bp INTEGER,zak INTEGER,kontr INTEGER,prac "
            "INTEGER,zf INTEGER,ch INTEGER,gat INTEGER,jm INTEGER,",
            "ilosc FLOAT,cena FLOAT,netto FLOAT, podatki FLOAT, BRUTTO FLOAT,wyd BOOLEAN,Kosz BOOLEAN,DOT "
            "BOOLEAN,ob INTEGER,",
            "Opis CHAR(160),Data DATE,PKS CHAR(20),FAK CHAR(30),",
            "T_Ins TIMESTAMP,T_Mod TIMESTAMP,O_Ins INTEGER,O_Mod Integer,",
            "PRIMARY KEY (Id))"});
    }

    void position(const QString &suffix, const QString &values)
    {
        run("INSERT INTO \"{D}\\p" + suffix
            + "\" (Dok,Cz,kontr,zf,ch,gat,jm,bd,zak,prac,ilosc,netto,podatki,BRUTTO,wyd,Kosz,DOT,Opis,Data,FAK,T_Ins) "
              "VALUES ("
            + values + ")");
    }

    void SetUp() override
    {
        run("CREATE TABLE \"{D}\\passwd.db\" (Id AUTOINC, Login CHAR(40), Password CHAR(40), Admin BOOLEAN, "
            "PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\passwd.db\" (Login, Admin) VALUES (\"admin\", True)");
        run("INSERT INTO \"{D}\\passwd.db\" (Login, Admin) VALUES (\"kasia\", False)");
        run("CREATE TABLE \"{D}\\rozdz.db\" (Id AUTOINC, Rozdz CHAR(10), Opis CHAR(255), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\rozdz.db\" (Rozdz, Opis) VALUES (\"01023\", \"Inspekcja\")");
        run("INSERT INTO \"{D}\\rozdz.db\" (Rozdz, Opis) VALUES (\"01095\", \"Pozostała\")");
        run("CREATE TABLE \"{D}\\par.db\" (Id AUTOINC, Par CHAR(10), Dod CHAR(10), Opis CHAR(255), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\par.db\" (Par, Opis) VALUES (\"4210\", \"Materiały\")");
        run("INSERT INTO \"{D}\\par.db\" (Par, Opis) VALUES (\"4300\", \"Usługi\")");
        run("CREATE TABLE \"{D}\\zf.db\" (Id AUTOINC, zf CHAR(150), Rok INTEGER, PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\zf.db\" (zf, Rok) VALUES (\"Budżet\", 2016)");
        run("INSERT INTO \"{D}\\zf.db\" (zf, Rok) VALUES (\"Unia\", 2016)");
        run("CREATE TABLE \"{D}\\ch.db\" (Id AUTOINC, Kol INTEGER, Ch CHAR(160), Ukr BOOLEAN, PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\ch.db\" (Kol, Ch, Ukr) VALUES (1, \"ASF\", False)");
        run("INSERT INTO \"{D}\\ch.db\" (Kol, Ch, Ukr) VALUES (2, \"Wścieklizna\", False)");
        run("CREATE TABLE \"{D}\\gat.db\" (Id AUTOINC, Gat CHAR(100), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\gat.db\" (Gat) VALUES (\"Świnie\")");
        run("CREATE TABLE \"{D}\\jm.db\" (Id AUTOINC, Jms CHAR(10), Jm CHAR(40), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\jm.db\" (Jms, Jm) VALUES (\"szt.\", \"sztuka\")");
        run("INSERT INTO \"{D}\\jm.db\" (Jms, Jm) VALUES (\"kg\", \"kilogram\")");
        run("CREATE TABLE \"{D}\\kontr.db\" (Id AUTOINC, Nazwa CHAR(160), Miasto CHAR(100), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\kontr.db\" (Nazwa) VALUES (\"Zabrze\")");
        run("INSERT INTO \"{D}\\kontr.db\" (Nazwa) VALUES (\"Łódź\")");
        run("INSERT INTO \"{D}\\kontr.db\" (Nazwa) VALUES (\"Lublin\")");
        run("CREATE TABLE \"{D}\\cz.db\" (Id AUTOINC, Cz CHAR(160), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\cz.db\" (Cz) VALUES (\"Badanie\")");
        run("INSERT INTO \"{D}\\cz.db\" (Cz) VALUES (\"Szczepienie\")");
        for (const char *dict : {"bd", "bp", "zak", "prac"})
            run(QStringLiteral("CREATE TABLE \"{D}\\%1.db\" (Id AUTOINC, %1 CHAR(160), PRIMARY KEY (Id))").arg(dict));
        run("INSERT INTO \"{D}\\bd.db\" (bd) VALUES (\"ELISA\")");
        run("INSERT INTO \"{D}\\zak.db\" (zak) VALUES (\"Szczepionka\")");
        run("INSERT INTO \"{D}\\prac.db\" (prac) VALUES (\"Pracownia A\")");
        run("CREATE TABLE \"{D}\\ob.db\" (Id AUTOINC, ob Char(150),\nPRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\ob.db\" (ob) VALUES (\"Strefa czerwona\")");
        run("CREATE TABLE \"{D}\\jp.db\" (Id AUTOINC, Jp CHAR(100), Kod CHAR(4), PRIMARY KEY (Id))");
        run("INSERT INTO \"{D}\\jp.db\" (Jp, Kod) VALUES (\"Oddział\", \"2202\")");
        run("INSERT INTO \"{D}\\jp.db\" (Jp, Kod) VALUES (\"Bez rejestru\", \"2203\")");

        createRegister(S);
        run("INSERT INTO \"{D}\\g{S}\" (Dok,Rozdz,Par,Opis,Rok,Mc,Zk,O_Ins,O_Mod) "
            "VALUES (\"F/1\",1,1,\"Zakupy\",2016,1,False,1,2)");
        run("INSERT INTO \"{D}\\g{S}\" (Dok,Rozdz,Par,Opis,Rok,Mc,Zk,O_Ins,O_Mod) "
            "VALUES (\"F/2\",2,2,\"Usługi\",2016,2,False,2,2)");
        // Dok,Cz,kontr,zf,ch,gat,jm,bd,zak,prac,ilosc,netto,podatki,BRUTTO,wyd,Kosz,DOT,Opis,Data,FAK,T_Ins
        position(S, "1,1,1,1,1,NULL,1,1,NULL,1,2,100,23,123,True,False,True,\"b opis\",\"01/10/2016\",\"FV 1\","
                    "\"2016-01-10 10:00:00\"");
        position(S, "1,1,2,1,NULL,1,1,NULL,1,NULL,3,200,0,200,True,True,True,\"a opis\",\"01/20/2016\",\"FV 1\","
                    "\"2016-01-09 08:00:00\"");
        position(S, "2,2,3,2,1,NULL,2,NULL,NULL,NULL,1,50,0,50,False,True,True,\"c opis\",\"02/05/2016\",\"FV 2\","
                    "NULL");
        position(S, "2,1,1,2,NULL,NULL,1,NULL,NULL,NULL,1,10,0,10,True,False,True,\"d opis\",\"12/31/2016\","
                    "\"FV 3\",\"2016-12-31 12:00:00\"");
        createRegister(S2);
        run("INSERT INTO \"{D}\\g{S2}\" (Dok,Rozdz,Par,Opis,Rok,Mc,Zk,O_Ins,O_Mod) "
            "VALUES (\"O/1\",1,2,\"Oddział\",2016,1,False,1,1)");
        position(S2, "1,2,2,1,2,1,1,NULL,NULL,NULL,5,1000,0,1000,True,True,True,\"e opis\",\"01/15/2016\","
                     "\"FO 1\",\"2016-01-15 09:00:00\"");
    }
};

TEST_F(DialectOnDatabase, RegisterTablesDescribeThemselves)
{
    const auto cols = db.run("PRAGMA table_info(\"p_2016_2201\")");
    QStringList types;
    for (const QStringList &c : cols)
        types << c[1] + ":" + c[2];
    EXPECT_EQ(types.join(' '),
              "Id:INTEGER Dok:INTEGER Cz:INTEGER Bd:INTEGER Bp:INTEGER zak:INTEGER kontr:INTEGER prac:INTEGER "
              "zf:INTEGER ch:INTEGER gat:INTEGER jm:INTEGER ilosc:FLOAT cena:FLOAT netto:FLOAT podatki:FLOAT "
              "BRUTTO:FLOAT wyd:BOOLEAN Kosz:BOOLEAN DOT:BOOLEAN ob:INTEGER Opis:CHAR(160) Data:DATE "
              "PKS:CHAR(20) FAK:CHAR(30) T_Ins:TIMESTAMP T_Mod:TIMESTAMP O_Ins:INTEGER O_Mod:INTEGER");
    // Stored forms: dates as text, logical values as 0/1.
    EXPECT_THAT(run("SELECT Data, wyd, Kosz FROM \"{D}\\p{S}\" WHERE Id = 1"),
                ElementsAre(QStringList{"2016-01-10", "1", "0"}));
}

TEST_F(DialectOnDatabase, AutoincIdIsNeverReused)
{
    run("DELETE FROM \"{D}\\jm.db\" WHERE Id = 2");
    run("INSERT INTO \"{D}\\jm.db\" (Jms, Jm) VALUES (\"l\", \"litr\")");
    EXPECT_THAT(run("SELECT Id FROM \"{D}\\jm.db\" WHERE Jms = \"l\""), ElementsAre(QStringList{"3"}));
}

TEST_F(DialectOnDatabase, CharLengthIsEnforcedOnInsertUpdateAndAddedColumns)
{
    const QString fits(160, QChar(u'ą')); // 160 characters, 320 bytes: fits
    EXPECT_NO_THROW(run("UPDATE \"{D}\\p{S}\" SET Opis = ? WHERE Id = 1", {fits}));
    try {
        run("UPDATE \"{D}\\p{S}\" SET Opis = ? WHERE Id = 1", {fits + "x"});
        ADD_FAILURE() << "too long text was stored";
    } catch (const std::runtime_error &e) {
        QString field;
        int size = 0;
        EXPECT_TRUE(SqlDialect::parseLengthConstraint(QString::fromUtf8(e.what()), &field, &size)) << e.what();
        EXPECT_EQ(field, "Opis");
        EXPECT_EQ(size, 160);
    }
    EXPECT_THROW(run("INSERT INTO \"{D}\\jm.db\" (Jms) VALUES (\"12345678901\")"), std::runtime_error);
    run("ALTER TABLE \"{D}\\jm.db\" ADD Uwagi CHAR(3)");
    EXPECT_THROW(run("UPDATE \"{D}\\jm.db\" SET Uwagi = \"abcd\""), std::runtime_error);
    EXPECT_NO_THROW(run("UPDATE \"{D}\\jm.db\" SET Uwagi = \"abc\""));
}

TEST_F(DialectOnDatabase, StartupUpgradesOfSharedTables)
{
    // passwd.db gets the password date, every user today.
    run("ALTER TABLE \"{D}\\passwd.db\" ADD D Date");
    run("UPDATE \"{D}\\passwd.db\" SET D=:dzis", {}, {{":dzis", QString("2016-03-01")}});
    EXPECT_THAT(run("SELECT Login, D FROM \"{D}\\passwd.db\" ORDER BY Id"),
                ElementsAre(QStringList{"admin", "2016-03-01"}, QStringList{"kasia", "2016-03-01"}));
    // Activities and contractors get the hidden flag, false in every row.
    for (const char *table : {"cz", "kontr"}) {
        run(QStringLiteral("ALTER TABLE \"{D}\\%1.db\" ADD Ukr Boolean").arg(table));
        run(QStringLiteral("UPDATE \"{D}\\%1.db\" SET Ukr=False").arg(table));
        EXPECT_THAT(run(QStringLiteral("SELECT DISTINCT Ukr FROM \"{D}\\%1.db\"").arg(table)),
                    ElementsAre(QStringList{"0"}));
    }
}

TEST_F(DialectOnDatabase, OldPositionsFileGetsTheAsfColumn)
{
    run("CREATE TABLE \"{D}\\p_2015_2201.db\" (Id AUTOINC, Dok INTEGER, PRIMARY KEY (Id))");
    run("INSERT INTO \"{D}\\p_2015_2201.db\" (Dok) VALUES (7)");
    EXPECT_THROW(run("SELECT ob FROM \"{D}\\p_2015_2201.db\""), std::runtime_error);
    run(QStringList{"ALTER TABLE \"{D}\\p_2015_2201.db\"", "ADD Ob INTEGER"});
    EXPECT_THAT(run("SELECT ob FROM \"{D}\\p_2015_2201.db\""), ElementsAre(QStringList{"<null>"}));
}

TEST_F(DialectOnDatabase, DuplicateChecks)
{
    // Values as the program splices them (a quote inside is made safe) ...
    EXPECT_EQ(run("SELECT * FROM \"{D}\\g{S}\" WHERE Dok = \"F/1\"").size(), 1u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\g{S}\" WHERE Dok = \"F/1\" and id<>1").size(), 0u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\g{S}\" WHERE Dok = \"f/1\"").size(), 0u) << "exact, case-sensitive";
    EXPECT_EQ(run("SELECT * FROM \"{D}\\kontr.db\" WHERE Nazwa = \"O'Hara\"").size(), 0u);
    // ... and as bound values.
    EXPECT_EQ(run("SELECT * FROM \"{D}\\g{S}\" WHERE Dok = ? and id<>?", {QString("F/1"), 2}).size(), 1u);
    // The pair check.
    EXPECT_EQ(run("SELECT * FROM \"{D}\\zf.db\" WHERE zf = \"Unia\" and Rok=\"2016\"").size(), 1u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\zf.db\" WHERE zf = \"Unia\" and Rok=\"2016\" and id<>2").size(), 0u);
}

TEST_F(DialectOnDatabase, ReferenceScans)
{
    EXPECT_EQ(run("SELECT * FROM \"{D}\\p{S}\" WHERE Dok = 2").size(), 2u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\p{S}\" WHERE kontr = 3").size(), 1u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\g{S}\" WHERE rozdz = 2").size(), 1u);
    EXPECT_EQ(run("SELECT * FROM \"{D}\\p{S2}\" WHERE zf = 2").size(), 0u);
}

TEST_F(DialectOnDatabase, GroupSumsAndGroupList)
{
    const QStringList sums =
        sql().select("SUM(Netto) netto,SUM(Podatki) podatki, SUM(Brutto) brutto").from("p{S}").where("Dok=1").lines();
    EXPECT_EQ(sums, (QStringList{"SELECT SUM(Netto) netto,SUM(Podatki) podatki, SUM(Brutto) brutto",
                                 "FROM \"{D}\\p{S}\"", "WHERE Dok=1"}));
    EXPECT_THAT(run(sums), ElementsAre(QStringList{"300.0", "23.0", "323.0"}));
    const QStringList list =
        sql()
            .select("g.id,g.Dok,r.Rozdz As Rozdzial,p.Par||\"-\"||p.Opis As Paragraf,g.Opis, g.zk, g.T_Ins, "
                    "i.login, g.T_mod, m.login AS Log")
            .from("g{S}", "AS g")
            .join("passwd.db", "AS i", "g.O_Ins=i.Id")
            .join("passwd.db", "AS m", "g.O_Mod=m.Id")
            .join("par.db", "AS p", "g.par=p.Id")
            .join("rozdz.db", "AS r", "g.rozdz=r.Id")
            .where("Rok = 2016 AND Mc=1")
            .orderBy("Id")
            .lines();
    const auto rows = run(list);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mid(0, 4), (QStringList{"1", "F/1", "01023", "4210-Materiały"}));
    EXPECT_EQ(rows[0][7], "admin");
    EXPECT_EQ(rows[0][9], "kasia");
    EXPECT_EQ(db.columnNames(dialect.translate(fill(list.join('\n'))).sql).mid(0, 4),
              (QStringList{"Id", "Dok", "Rozdzial", "Paragraf"}));
}

TEST_F(DialectOnDatabase, DocumentSumAndGroupExport)
{
    EXPECT_THAT(run(sql()
                        .select("SUM(netto) netto, SUM(podatki) podatki, SUM(brutto) brutto", "Select")
                        .from("p{S}")
                        .where("fak=\"FV 1\" and Dok =1")),
                ElementsAre(QStringList{"300.0", "23.0", "323.0"}));
    for (const bool voivodeship : {true, false}) {
        QStringList lines{voivodeship
                              ? "SELECT zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,p.data,p.pks,p.fak,"
                                "p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,"
                                "zak.zak,prac.prac"
                              : "SELECT zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,p.data,p.pks,p.fak,"
                                "p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,"
                                "zak.zak",
                          "FROM \"{D}\\p_2016_2201.db\" AS p",
                          "JOIN \"{D}\\zf.db\" as zf on zf.id=p.zf",
                          "JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm",
                          "FULL OUTER JOIN \"{D}\\ch.db\" as ch on ch.id=p.ch",
                          "FULL OUTER JOIN \"{D}\\gat.db\" as gat on gat.id=p.gat",
                          "JOIN \"{D}\\cz.db\" as cz on cz.id=p.cz",
                          "JOIN \"{D}\\kontr.db\" as kontr on kontr.id=p.kontr",
                          "FULL OUTER JOIN \"{D}\\bd.db\" as bd on bd.id=p.bd",
                          "FULL OUTER JOIN \"{D}\\bp.db\" as bp on bp.id=p.bp",
                          "FULL OUTER JOIN \"{D}\\zak.db\" as zak on zak.id=p.zak",
                          "FULL OUTER JOIN \"{D}\\prac.db\" as prac on prac.id=p.prac",
                          "WHERE p.Dok=1"};
        const auto rows = run(lines);
        ASSERT_EQ(rows.size(), 2u);
        QStringList names;
        for (const QStringList &r : rows)
            names << r[3] + "/" + r[1] + "/" + r[2] + "/" + r[18];
        names.sort();
        EXPECT_EQ(names, (QStringList{"Zabrze/ASF/<null>/ELISA", "Łódź/<null>/Świnie/<null>"}));
        EXPECT_EQ(rows[0].size(), voivodeship ? 22 : 21);
    }
}

TEST_F(DialectOnDatabase, DictionaryImportWithinTheDataFolder)
{
    // The previous generation's files lie outside the data folder and are refused;
    // the same statement over a table of the data folder runs.
    EXPECT_NE(engineMessage([&] {
                  dialect.translate("INSERT INTO \"C:\\Dane\\Fenwa\\zak.db\" (zak)\n"
                                    "SELECT nazwa FROM \"D:\\Fenwa4\\Zakupy.db\"");
              }),
              "<no error>");
    run("CREATE TABLE \"{D}\\badania.db\" (badanie CHAR(100), Dzial BOOLEAN)");
    run("INSERT INTO \"{D}\\badania.db\" (badanie, Dzial) VALUES (\"PCR\", True)");
    run("INSERT INTO \"{D}\\badania.db\" (badanie, Dzial) VALUES (\"Dioksyny\", False)");
    run(QStringList{"INSERT INTO \"{D}\\bp.db\" (bp)", "SELECT badanie FROM \"{D}\\badania.db\"",
                    "WHERE Dzial = False"});
    run(QStringList{"INSERT INTO \"{D}\\bd.db\" (bd)", "SELECT badanie FROM \"{D}\\badania.db\"",
                    "WHERE Dzial = True"});
    EXPECT_THAT(run("SELECT Id, bp FROM \"{D}\\bp.db\""), ElementsAre(QStringList{"1", "Dioksyny"}));
    EXPECT_THAT(run("SELECT bd FROM \"{D}\\bd.db\" ORDER BY Id"),
                ElementsAre(QStringList{"ELISA"}, QStringList{"PCR"}));
}

TEST_F(DialectOnDatabase, PersonalDataSearchOrdersByStampBlankFirst)
{
    const auto rows = run("SELECT * FROM \"{D}\\p{S}\" WHERE kontr = 1 ORDER BY T_Ins");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "1");
    EXPECT_EQ(rows[1][0], "4");
    run("UPDATE \"{D}\\p{S}\" SET T_Ins = NULL WHERE Id = 4");
    EXPECT_EQ(run("SELECT * FROM \"{D}\\p{S}\" WHERE kontr = 1 ORDER BY T_Ins")[0][0], "4");
}

TEST_F(DialectOnDatabase, DictionaryEntryStatement)
{
    auto statement = [&](const QString &dict, int id) {
        return sql()
            .select("g.dok,p.data,p.opis,p.pks,p.fak,p.netto,p.podatki,p.brutto,p.ilosc,j.jm")
            .from("p{S}", "AS p")
            .join("g{S}", "AS g", "g.Id = p.Dok")
            .join("jm.db", "As j", "j.Id=p.jm")
            .where("p.Data BETWEEN \"01/01/2016\" AND \"01/31/2016\"")
            .where(dict + "=" + QString::number(id))
            .orderBy("dok,opis")
            .lines();
    };
    EXPECT_EQ(statement("kontr", 1),
              (QStringList{"SELECT g.dok,p.data,p.opis,p.pks,p.fak,p.netto,p.podatki,p.brutto,p.ilosc,j.jm",
                           "FROM \"{D}\\p{S}\" AS p", "JOIN \"{D}\\g{S}\" AS g on g.Id = p.Dok",
                           "JOIN \"{D}\\jm.db\" As j on j.Id=p.jm",
                           "WHERE p.Data BETWEEN \"01/01/2016\" AND \"01/31/2016\" AND kontr=1", "ORDER BY dok,opis"}));
    // Contractor 1 in January: one position; "opis" orders by the position's text.
    EXPECT_THAT(run(statement("kontr", 1)),
                ElementsAre(QStringList{"F/1", "2016-01-10", "b opis", "<null>", "FV 1", "100.0", "23.0",
                                        "123.0", "2.0", "sztuka"}));
    const auto byChapter = run(statement("rozdz", 1));
    ASSERT_EQ(byChapter.size(), 2u);
    EXPECT_EQ(byChapter[0][2], "a opis");
    EXPECT_EQ(byChapter[1][2], "b opis");
    EXPECT_EQ(run(statement("zf", 2)).size(), 0u);
}

// Expenditure by chapter, without and with quantities, for one unit and consolidated.
TEST_F(DialectOnDatabase, SingleCriterionReport)
{
    auto chapterOf = [&](const QString &suffix) {
        return sql()
            .select("r.Rozdz AS Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, SUM(brutto) AS Brutto")
            .from("p" + suffix, "AS p")
            .join("g" + suffix, "AS g", "g.Id = p.Dok")
            .join("rozdz.db", "AS r", "r.Id = g.Rozdz")
            .where("p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True")
            .groupBy("Kryt")
            .orderBy("Kryt");
    };
    const QStringList chapter = chapterOf("{S}").lines();
    EXPECT_THAT(run(chapter), ElementsAre(QStringList{"01023", "300.0", "23.0", "323.0"},
                                          QStringList{"01095", "10.0", "0.0", "10.0"}));

    const QStringList withQuantities{
        "SELECT r.Rozdz AS Kryt,jm.jm As Jm, SUM(ilosc) As ilosc, SUM(netto) AS Netto, SUM(podatki) AS "
        "podatki, SUM(brutto) AS Brutto",
        "FROM \"{D}\\p{S}\" AS p",
        "JOIN \"{D}\\g{S}\" AS g on g.Id = p.Dok",
        "JOIN \"{D}\\rozdz.db\" AS r on r.Id = g.Rozdz",
        "JOIN \"{D}\\jm.db\" AS jm on jm.Id = p.jm",
        "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Kosz=True",
        "GROUP BY Kryt,jm.Jm",
        "ORDER BY Kryt,Jm"};
    EXPECT_THAT(run(withQuantities), ElementsAre(QStringList{"01023", "sztuka", "3.0", "200.0", "0.0", "200.0"},
                                                 QStringList{"01095", "kilogram", "1.0", "50.0", "0.0", "50.0"}));

    // Disease: positions without one give a row with an empty criterion.
    const QStringList disease{"SELECT r.ch AS Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, "
                              "SUM(brutto) AS Brutto",
                              "FROM \"{D}\\p{S}\" AS p",
                              "LEFT OUTER JOIN \"{D}\\ch.db\" AS r on r.Id = p.ch",
                              "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True",
                              "GROUP BY Kryt",
                              "ORDER BY Kryt"};
    EXPECT_THAT(run(disease), ElementsAre(QStringList{"<null>", "210.0", "0.0", "210.0"},
                                          QStringList{"ASF", "100.0", "23.0", "123.0"}));

    // Consolidated: the units' partial results joined by UNION into temp.db,
    // then summed again over it.
    const QStringList consolidated = chapterOf("{S}").unite(chapterOf("{S2}")).lines();
    EXPECT_EQ(consolidated,
              (QStringList{"SELECT r.Rozdz AS Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, SUM(brutto) AS Brutto",
                           "FROM \"{D}\\p{S}\" AS p", "JOIN \"{D}\\g{S}\" AS g on g.Id = p.Dok",
                           "JOIN \"{D}\\rozdz.db\" AS r on r.Id = g.Rozdz",
                           "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True", "GROUP BY Kryt",
                           "UNION",
                           "SELECT r.Rozdz AS Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, SUM(brutto) AS Brutto",
                           "FROM \"{D}\\p{S2}\" AS p", "JOIN \"{D}\\g{S2}\" AS g on g.Id = p.Dok",
                           "JOIN \"{D}\\rozdz.db\" AS r on r.Id = g.Rozdz",
                           "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True", "GROUP BY Kryt",
                           "ORDER BY Kryt"}));
    const QString unionSql = dialect.translate(fill(consolidated.join('\n'))).sql;
    EXPECT_THAT(db.run(unionSql), ElementsAre(QStringList{"01023", "300.0", "23.0", "323.0"},
                                              QStringList{"01023", "1000.0", "0.0", "1000.0"},
                                              QStringList{"01095", "10.0", "0.0", "10.0"}));
    db.run("CREATE TABLE \"temp\" AS " + unionSql); // what the batch copy does
    EXPECT_THAT(run(QStringList{"SELECT Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, SUM(brutto) AS Brutto",
                                "FROM \"{D}\\Temp.db\"", "GROUP BY Kryt ORDER BY Kryt"}),
                ElementsAre(QStringList{"01023", "1300.0", "23.0", "1323.0"},
                            QStringList{"01095", "10.0", "0.0", "10.0"}));
}

TEST_F(DialectOnDatabase, MultiCriteriaReport)
{
    // Included: kontrahenci, then paragrafy, with quantities, costs; the joins
    // keep the fixed order of the criteria.
    const QStringList lines{
        "SELECT kontr.Nazwa kontr,par.par par,jm.jm As Jm, SUM(ilosc) ilosc,SUM(p.netto) netto,SUM(p.podatki) "
        "podatki,SUM(p.brutto) brutto",
        "FROM \"{D}\\p{S}\" as p",
        "JOIN \"{D}\\g{S}\" as g on p.dok=g.id",
        "JOIN \"{D}\\par.db\" as par on par.id=g.par",
        "FULL OUTER JOIN \"{D}\\ch.db\" as ch on ch.id=p.ch",
        "JOIN \"{D}\\kontr.db\" as kontr on kontr.id=p.kontr",
        "FULL OUTER JOIN \"{D}\\ob.db\" as ob on ob.id=p.ob",
        "JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm",
        "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Kosz=True",
        "GROUP BY kontr.nazwa,par.par,jm.jm",
        "ORDER BY kontr,par,jm"};
    // Polish order of the contractors: Lublin, Łódź, Zabrze.
    EXPECT_THAT(run(lines), ElementsAre(QStringList{"Lublin", "4300", "kilogram", "1.0", "50.0", "0.0", "50.0"},
                                        QStringList{"Łódź", "4210", "sztuka", "3.0", "200.0", "0.0", "200.0"}));

    // Consolidated, expenditure, by chapter and "ilości" (the quantity itself groups).
    auto unit = [&](const QString &suffix) {
        return sql()
            .select("rozdz.rozdz,ilosc,SUM(p.netto) netto,SUM(p.podatki) podatki,SUM(p.brutto) brutto")
            .from("p" + suffix, "as p")
            .join("g" + suffix, "as g", "p.dok=g.id")
            .join("rozdz.db", "as rozdz", "rozdz.id=g.rozdz")
            .where("p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True")
            .groupBy("rozdz.rozdz,ilosc");
    };
    const QStringList all = unit("{S}").unite(unit("{S2}")).orderBy("rozdz,ilosc").lines();
    const QString unionSql = dialect.translate(fill(all.join('\n'))).sql;
    // The copy into temp.db takes the result's column names.
    EXPECT_EQ(db.columnNames(unionSql), (QStringList{"rozdz", "ilosc", "netto", "podatki", "brutto"}));
    db.run("CREATE TABLE \"temp\" AS " + unionSql);
    EXPECT_THAT(run(QStringList{"SELECT rozdz,ilosc,SUM(netto) netto,SUM(podatki) podatki,SUM(brutto) brutto",
                                "FROM \"{D}\\temp.db\"", "GROUP BY rozdz,ilosc", "ORDER BY rozdz,ilosc"}),
                ElementsAre(QStringList{"01023", "2.0", "100.0", "23.0", "123.0"},
                            QStringList{"01023", "3.0", "200.0", "0.0", "200.0"},
                            QStringList{"01023", "5.0", "1000.0", "0.0", "1000.0"},
                            QStringList{"01095", "1.0", "10.0", "0.0", "10.0"}));
}

TEST_F(DialectOnDatabase, PlanRealisationReport)
{
    const QString where = "WHERE p.Data BETWEEN \"01/01/2016\" AND \"12/31/2016\" AND Wyd=True";
    EXPECT_THAT(run(QStringList{"SELECT DISTINCT par.par", "FROM \"{D}\\p{S}\" AS p",
                                "JOIN \"{D}\\g{S}\" AS g on g.Id = p.Dok",
                                "JOIN \"{D}\\par.db\" AS par on par.Id = g.par", where, "ORDER by par"}),
                ElementsAre(QStringList{"4210"}, QStringList{"4300"}));
    run(QStringList{"CREATE TABLE \"{D}\\plan.db\"", "(Rozdz CHAR(10),zf CHAR(150),par4210 FLOAT,par4300 FLOAT)"});
    const QStringList sums{"SELECT r.Rozdz,zf.zf,par.par,SUM(brutto) AS Brutto",
                           "FROM \"{D}\\p{S}\" AS p",
                           "JOIN \"{D}\\g{S}\" AS g on g.Id = p.Dok",
                           "JOIN \"{D}\\rozdz.db\" AS r on r.Id = g.Rozdz",
                           "JOIN \"{D}\\par.db\" AS par on par.Id = g.par",
                           "JOIN \"{D}\\zf.db\" AS zf on zf.Id = p.zf",
                           where,
                           "GROUP BY r.Rozdz,zf.zf,par.par",
                           "ORDER BY Rozdz,zf"};
    EXPECT_THAT(run(sums), ElementsAre(QStringList{"01023", "Budżet", "4210", "323.0"},
                                       QStringList{"01095", "Unia", "4300", "10.0"}));
    QStringList other = sums;
    other.replaceInStrings("{S}", "{S2}");
    EXPECT_THAT(run(other), ElementsAre(QStringList{"01023", "Budżet", "4300", "1000.0"}));
    run(QStringList{"ALTER TABLE \"{D}\\plan.db\"", "Add par4400 FLOAT"});
    EXPECT_EQ(db.columnNames("SELECT * FROM \"plan\""),
              (QStringList{"Rozdz", "zf", "par4210", "par4300", "par4400"}));
}

TEST_F(DialectOnDatabase, PositionBrowser)
{
    QStringList lines{
        "SELECT p.id,g.dok,rozdz.rozdz,par.par,par.opis popis,zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,"
        "p.data,p.pks,p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,"
        "zak.zak,prac.prac,ob.ob",
        "FROM \"{D}\\p{S}\" AS p",
        "JOIN \"{D}\\g{S}\" AS g on g.id=p.dok",
        "JOIN \"{D}\\rozdz.db\" as rozdz on rozdz.id=g.rozdz",
        "JOIN \"{D}\\par.db\" as par on par.id=g.par",
        "JOIN \"{D}\\zf.db\" as zf on zf.id=p.zf",
        "JOIN \"{D}\\jm.db\" as jm on jm.id=p.jm",
        "FULL OUTER JOIN \"{D}\\ch.db\" as ch on ch.id=p.ch",
        "FULL OUTER JOIN \"{D}\\gat.db\" as gat on gat.id=p.gat",
        "JOIN \"{D}\\cz.db\" as cz on cz.id=p.cz",
        "JOIN \"{D}\\kontr.db\" as kontr on kontr.id=p.kontr",
        "FULL OUTER JOIN \"{D}\\bd.db\" as bd on bd.id=p.bd",
        "FULL OUTER JOIN \"{D}\\bp.db\" as bp on bp.id=p.bp",
        "FULL OUTER JOIN \"{D}\\zak.db\" as zak on zak.id=p.zak",
        "FULL OUTER JOIN \"{D}\\prac.db\" as prac on prac.id=p.prac",
        "FULL OUTER JOIN \"{D}\\ob.db\" as ob on ob.id=p.ob",
        "WHERE p.data BETWEEN \"01/01/2016\" AND \"12/31/2016\"",
        "ORDER BY id"};
    auto column = [&](int c) {
        QStringList values;
        for (const QStringList &r : run(lines))
            values << r[c];
        return values;
    };
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4"}));
    // Ordering by a column title: the last line is replaced.
    lines.last() = "ORDER BY kontr";
    EXPECT_EQ(column(8), (QStringList{"Lublin", "Łódź", "Zabrze", "Zabrze"}));
    lines.last() = "ORDER BY opis";
    EXPECT_EQ(column(10), (QStringList{"a opis", "b opis", "c opis", "d opis"}));
    lines.last() = "ORDER BY data";
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4"}));
    lines.last() = "ORDER BY dok";
    EXPECT_EQ(column(1), (QStringList{"F/1", "F/1", "F/2", "F/2"}));
    // The county variant (no laboratory column) runs as well.
    lines[0].replace(",prac.prac", "");
    lines.last() = "ORDER BY id";
    EXPECT_EQ(run(lines).front().size(), 27);
}

} // namespace

TEST(SqlDialectNames, ARelativeDataFolderIsTheFolderBelowTheWorkingOne)
{
    const QString absolute = QDir::current().absoluteFilePath(QStringLiteral("dane"));
    fenwa::data::SqlDialect relative(QStringLiteral("dane"));
    const auto t = relative.translate(QStringLiteral("SELECT * FROM \"%1\\gat.db\"").arg(absolute));
    EXPECT_EQ(t.tables, QStringList{QStringLiteral("gat")});
    fenwa::data::SqlDialect full(absolute);
    EXPECT_EQ(full.translate(QStringLiteral("SELECT * FROM \"dane/gat.db\"")).tables, QStringList{QStringLiteral("gat")});
}
