#include "Installation.h"
#include "common/Digest.h"
#include "app/Passwd.h"

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
    DataFolder f;
    auto db = openSession(f.folder() + "/", "/etc/fenwa5.ini");
    EXPECT_TRUE(db->fileExists("passwd.db"));
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
