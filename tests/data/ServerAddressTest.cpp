#include "data/ServerAddress.h"

#include <QStringList>
#include <QUuid>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <map>
#include <memory>

using fenwa::data::ServerAddress;
using fenwa::data::testConnection;

namespace {

// A conninfo as libpq itself reads it back: keyword → value.
std::map<std::string, std::string> readByLibpq(const QByteArray &conninfo)
{
    char *error = nullptr;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(conninfo.constData(), &error), &PQconninfoFree);
    if (!options) {
        ADD_FAILURE() << "libpq refused " << conninfo.constData() << ": " << (error ? error : "");
        PQfreemem(error);
        return {};
    }
    std::map<std::string, std::string> out;
    for (const PQconninfoOption *o = options.get(); o->keyword; ++o)
        if (o->val)
            out[o->keyword] = o->val;
    return out;
}

} // namespace

TEST(ServerAddress, ConninfoKeepsEveryValueWhole)
{
    // libpq's own parser is the judge: each value comes back exactly as it
    // was, and no value adds a keyword of its own.
    const QStringList hostile = {"serwer.piw.local", "/tmp/folder z spacją", "it's", "C:\\dane\\",
                                 "x' dbname='inna", "x\\' password=tajne", "Łomża ąę", "'"};
    for (const QString &value : hostile) {
        SCOPED_TRACE(value.toStdString());
        ServerAddress a{value, 6543, value, value, "s"};
        const auto read = readByLibpq(a.conninfo());
        EXPECT_EQ(read.at("host"), value.toStdString());
        EXPECT_EQ(read.at("dbname"), value.toStdString());
        EXPECT_EQ(read.at("user"), value.toStdString());
        EXPECT_EQ(read.at("port"), "6543");
        EXPECT_EQ(read.at("application_name"), "fenwa5");
        EXPECT_FALSE(read.at("connect_timeout").empty());
        EXPECT_EQ(read.count("password"), 0u);
    }
    // Empty database and user are left to libpq's defaults.
    const auto read = readByLibpq(ServerAddress{"h", 5432, "", "", "s"}.conninfo());
    EXPECT_EQ(read.count("dbname"), 0u);
    EXPECT_EQ(read.count("user"), 0u);
}

TEST(ServerAddress, ParsesWhatAnAdministratorTypes)
{
    const struct {
        const char *text;
        ServerAddress expected;
    } rows[] = {
        {"postgresql://fenwa@serwer.piw.local:5433/rejestr?schema=bielsk",
         {"serwer.piw.local", 5433, "rejestr", "fenwa", "bielsk"}},
        {"postgres://serwer/rejestr?schema=s", {"serwer", 5432, "rejestr", "", "s"}},
        {"POSTGRESQL://%2Fvar%2Frun%2Fpostgresql/rejestr?schema=s", {"/var/run/postgresql", 5432, "rejestr", "", "s"}},
        {"postgresql:///rejestr?host=/tmp/pg%20x&port=55492&schema=s", {"/tmp/pg x", 55492, "rejestr", "", "s"}},
        {"postgresql://[::1]:6000/db?schema=s", {"::1", 6000, "db", "", "s"}},
        {"postgresql://ala%40piw@h/d?schema=%C5%82om%C5%BCa", {"h", 5432, "d", "ala@piw", "łomża"}},
        {"host=serwer port=5433 dbname=rejestr user=fenwa schema=bielsk",
         {"serwer", 5433, "rejestr", "fenwa", "bielsk"}},
        {"  host = '/tmp/pg x'  dbname='it\\'s' schema=s\\ t ", {"/tmp/pg x", 5432, "it's", "", "s t"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        QString error = "unchanged";
        EXPECT_EQ(ServerAddress::parse(QString::fromUtf8(row.text), &error), row.expected);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
}

TEST(ServerAddress, RefusesFaultyAddressesInPolish)
{
    const struct {
        const char *text;
        const char *reason;   // a part of the message
    } rows[] = {
        {"", "Nie podano adresu serwera"},
        {"postgresql://fenwa:tajne@h/d?schema=s", ".pgpass"},
        {"host=h password=tajne schema=s", ".pgpass"},
        {"postgresql://h/d?schema=s&password=x", ".pgpass"},
        {"host=h port=70000 schema=s", "od 1 do 65535"},
        {"postgresql://h:abc/d?schema=s", "od 1 do 65535"},
        {"dbname=d schema=s", "brak hosta"},
        {"postgresql:///d?schema=s", "brak hosta"},
        {"host=h dbname=d", "brak schematu"},
        {"host='h schema=s", "zamykającego apostrofu"},
        {"host=h sslmode=disable schema=s", "Nieznane pole „sslmode”"},
        {"postgresql://h/d?schema=s&options=-csearch_path%3Dx", "Nieznane pole „options”"},
        {"host", "brak „=”"},
        {"host='h\x01' schema=s", "niedozwolone znaki"},
        {"postgresql://h/d?schema=a%00b", "niedozwolone znaki"},
        {"postgresql://h/d/e?schema=s", "tylko „?”"},
        {"postgresql://[::1/d?schema=s", "„]”"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        QString error;
        EXPECT_FALSE(ServerAddress::parse(QString::fromUtf8(row.text), &error).isSet());
        EXPECT_TRUE(error.contains(QString::fromUtf8(row.reason))) << error.toStdString();
    }
}

// Against the test server FENWA5_TEST_PG names: a database of the test's own
// with a schema holding an installation (a passwd table) and an empty one.
class ServerConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray conninfo = qgetenv("FENWA5_TEST_PG");
        if (conninfo.isEmpty())
            GTEST_SKIP() << "FENWA5_TEST_PG names no test server";
        const auto read = readByLibpq(conninfo);
        ASSERT_TRUE(read.count("host") && read.count("user"));
        server.host = QString::fromStdString(read.at("host"));
        if (read.count("port"))
            server.port = std::stoi(read.at("port"));
        server.user = QString::fromStdString(read.at("user"));
        server.database = "fenwa5_conn_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
        server.schema = "inst";
        admin.reset(PQconnectdb(conninfo.constData()));
        ASSERT_EQ(PQstatus(admin.get()), CONNECTION_OK) << PQerrorMessage(admin.get());
        run(admin.get(), "CREATE DATABASE " + server.database.toUtf8());
        ServerAddress inside = server;
        db.reset(PQconnectdb(inside.conninfo().constData()));
        ASSERT_EQ(PQstatus(db.get()), CONNECTION_OK) << PQerrorMessage(db.get());
        run(db.get(), "CREATE SCHEMA inst; CREATE TABLE inst.passwd (id integer); CREATE SCHEMA puste");
    }
    void TearDown() override
    {
        db.reset();
        if (admin)
            run(admin.get(), "DROP DATABASE IF EXISTS " + server.database.toUtf8() + " WITH (FORCE)");
    }
    static void run(PGconn *conn, const QByteArray &sql)
    {
        std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(conn, sql.constData()), &PQclear);
        ASSERT_EQ(PQresultStatus(result.get()), PGRES_COMMAND_OK) << sql.constData() << PQerrorMessage(conn);
    }

    ServerAddress server;
    std::unique_ptr<PGconn, decltype(&PQfinish)> admin{nullptr, &PQfinish};
    std::unique_ptr<PGconn, decltype(&PQfinish)> db{nullptr, &PQfinish};
};

TEST_F(ServerConnectionTest, SaysWhatIsWrongOrThatAllIsFine)
{
    QString version;
    EXPECT_EQ(testConnection(server, &version), "");
    EXPECT_TRUE(version.startsWith(QString::number(PQserverVersion(admin.get()) / 10000) + ".")) << version.toStdString();

    const auto with = [&](auto change) {
        ServerAddress a = server;
        change(a);
        return testConnection(a);
    };
    const struct {
        const char *what;
        QString reason;
        QString expected;
    } rows[] = {
        {"no server", with([](ServerAddress &a) { a.port = a.port == 65535 ? 1 : a.port + 1; }), "nie odpowiada"},
        {"no host", with([](ServerAddress &a) { a.host.clear(); }), "Nie podano serwera"},
        {"unknown user", with([](ServerAddress &a) { a.user = "nikt_taki"; }),
         "odmówił logowania użytkownika „nikt_taki”"},
        {"no database", with([](ServerAddress &a) { a.database = "nie_ma_takiej"; }),
         "Na serwerze nie ma bazy danych „nie_ma_takiej”."},
        {"no schema", with([](ServerAddress &a) { a.schema = "brak"; }), "nie ma schematu „brak”"},
        {"empty schema", with([](ServerAddress &a) { a.schema = "puste"; }),
         "Schemat „puste” bazy danych „" + server.database + "” nie zawiera instalacji programu"},
        {"hostile schema", with([](ServerAddress &a) { a.schema = "inst' OR '1'='1"; }), "nie ma schematu"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_TRUE(row.reason.contains(row.expected)) << row.reason.toStdString();
    }

    run(db.get(), R"(DROP COLLATION pg_catalog."pl-PL-x-icu")");
    EXPECT_TRUE(testConnection(server).contains("pl-PL-x-icu"));
}
