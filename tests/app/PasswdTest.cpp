#include "Installation.h"
#include "common/Digest.h"
#include "app/Login.h"
#include "app/Passwd.h"
#include "common/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;
using fenwa::testing::Content;
using fenwa::testing::DataFolder;

namespace {
// passwd.db as an installation of the previous version has it: without D.
void createOldPasswd(data::Database &db)
{
    db.exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Login CHAR(40), Password CHAR(40), "
                           "Admin BOOLEAN, Slowniki BOOLEAN, Browse BOOLEAN, Edit BOOLEAN, Arc BOOLEAN, "
                           "Active BOOLEAN, PRIMARY KEY (Id))")
                .arg(db.path("passwd.db")));
}

void addUser(data::Database &db, const QString &login, const QString &digest, bool active, bool withDate)
{
    if (withDate)
        db.exec(QStringLiteral("INSERT INTO \"%1\" (Login, Password, Admin, Slowniki, Browse, Edit, Arc, Active, D) "
                               "VALUES (:l, :p, True, False, True, True, False, :a, :d)")
                    .arg(db.path("passwd.db")),
                {{":l", login}, {":p", digest}, {":a", active}, {":d", QDate(2016, 8, 1)}});
    else
        db.exec(QStringLiteral("INSERT INTO \"%1\" (Login, Password, Admin, Slowniki, Browse, Edit, Arc, Active) "
                               "VALUES (:l, :p, True, False, True, True, False, :a)")
                    .arg(db.path("passwd.db")),
                {{":l", login}, {":p", digest}, {":a", active}});
}
} // namespace

TEST(LoginSession, RefusesWhatIsNotADataFolder)
{
    EXPECT_THROW(openSession(QString(), "/etc/fenwa5.ini"), data::EngineError);
    EXPECT_THROW(openSession(QStringLiteral("   "), "/etc/fenwa5.ini"), data::EngineError);
    QTemporaryDir empty;
    try {
        openSession(empty.path(), "/etc/fenwa5.ini");
        FAIL() << "a folder without a database opened";
    } catch (const data::EngineError &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(QDir(empty.path()).filePath("fenwa5.sqlite"))) << "nothing is created";
    QFile junk(QDir(empty.path()).filePath("fenwa5.sqlite"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_THROW(openSession(empty.path(), "/etc/fenwa5.ini"), data::EngineError);
    EXPECT_EQ(QFileInfo(junk.fileName()).size(), 4096) << "an unreadable database is left alone";
}

TEST(LoginSession, OpensAFolderWithTrailingSeparator)
{
    if (fenwa::testing::onServer())
        GTEST_SKIP() << "a data folder's own case";
    DataFolder f;
    auto db = openSession(f.folder() + "/", "/etc/fenwa5.ini");
    EXPECT_TRUE(db->fileExists("passwd.db"));
}

namespace {
// The test server's address with `schema` as the installation's schema.
data::ServerAddress testServerAddress(const QString &schema)
{
    QString error;
    data::ServerAddress a = data::ServerAddress::parse(
        QString::fromUtf8(fenwa::testing::testServer()) + QStringLiteral(" schema=") + schema, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return a;
}
} // namespace

TEST(LoginSession, OpensTheServerInstallationAndLogsIn)
{
    if (!fenwa::testing::onServer())
        GTEST_SKIP() << "FENWA5_TEST_PG names no test server";
    DataFolder f(Content::Installed);
    auto db = openSession(f.folder(), "/etc/fenwa5.ini", testServerAddress(f.schema.name));
    ASSERT_TRUE(db->isServer());
    upgradePasswd(*db, QDateTime(QDate(2016, 9, 14), QTime(10, 0)));
    CurrentUser user;
    ScriptedMessages messages;
    EXPECT_EQ(checkLogin(findUser(*db, "admin"), passwordDigest(QString()), user, messages), LoginResult::Ok);
    EXPECT_EQ(user.user_str, "admin");
}

TEST(LoginSession, RefusesAServerInPolish)
{
    data::ServerAddress silent;
    silent.host = QDir::temp().filePath("fenwa5-no-server-here");
    silent.port = 1;
    silent.schema = "inst";
    struct Row {
        const char *what;
        data::ServerAddress address;
        QString expected;
    };
    QVector<Row> rows{{"no server", silent, "nie odpowiada"}};
    DataFolder f(Content::Nothing);
    if (fenwa::testing::onServer()) {
        rows.append({"no schema", testServerAddress(f.schema.name + "_brak"), "nie istnieje"});
        rows.append({"schema without an installation", testServerAddress(f.schema.name),
                     "nie zawiera instalacji programu"});
    }
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        try {
            openSession(f.dir.path(), "/etc/fenwa5.ini", row.address);
            ADD_FAILURE() << "opened";
        } catch (const data::EngineError &e) {
            EXPECT_TRUE(e.message().contains(row.expected)) << e.message().toStdString();
        }
    }
}

TEST(PasswdUpgrade, AddsTheDateOnceAndDatesEveryUser)
{
    DataFolder f(Content::Nothing);
    createOldPasswd(*f.db);
    addUser(*f.db, "admin", passwordDigest(""), true, false);
    addUser(*f.db, "jan", passwordDigest("x"), true, false);
    const QDateTime now(QDate(2016, 9, 14), QTime(10, 30));
    EXPECT_TRUE(upgradePasswd(*f.db, now));
    auto admin = findUser(*f.db, "admin");
    auto jan = findUser(*f.db, "jan");
    ASSERT_TRUE(admin && jan);
    EXPECT_EQ(admin->d, QDate(2016, 9, 14));
    EXPECT_EQ(jan->d, QDate(2016, 9, 14));
    // A later start changes nothing.
    EXPECT_FALSE(upgradePasswd(*f.db, now.addDays(5)));
    EXPECT_EQ(findUser(*f.db, "jan")->d, QDate(2016, 9, 14));
}

TEST(PasswdUpgrade, ErrorsAreSwallowed)
{
    DataFolder f(Content::Nothing);   // no passwd.db at all
    EXPECT_FALSE(upgradePasswd(*f.db, QDateTime::currentDateTime()));
    EXPECT_FALSE(f.db->fileExists("passwd.db"));
}

TEST(PasswdLookup, LoginIsCaseSensitiveAndBlankDateReadsAsBlank)
{
    DataFolder f;
    addUser(*f.db, "Kowalski", passwordDigest("tajne"), false, true);
    f.db->exec(QStringLiteral("INSERT INTO \"%1\" (Login, Password, Active) VALUES (\"nowy\", :p, True)")
                   .arg(f.db->path("passwd.db")),
               {{":p", passwordDigest("")}});
    EXPECT_FALSE(findUser(*f.db, "kowalski").has_value());
    EXPECT_FALSE(findUser(*f.db, "Kowalsk").has_value());
    auto row = findUser(*f.db, "Kowalski");
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->password, passwordDigest("tajne"));
    EXPECT_FALSE(row->active);
    EXPECT_TRUE(row->admin);
    EXPECT_FALSE(row->slowniki);
    EXPECT_TRUE(row->browse);
    EXPECT_TRUE(row->edit);
    EXPECT_FALSE(row->arc);
    EXPECT_EQ(row->d, QDate(2016, 8, 1));
    auto nowy = findUser(*f.db, "nowy");
    ASSERT_TRUE(nowy.has_value());
    EXPECT_FALSE(nowy->d.isValid());
    EXPECT_FALSE(nowy->admin);
}

TEST(PasswdLookup, MissingTableIsAnEngineError)
{
    DataFolder f(Content::Nothing);
    EXPECT_THROW(findUser(*f.db, "admin"), data::EngineError);
}
