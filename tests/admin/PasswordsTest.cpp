#include "admin/Passwords.h"
#include "app/Login.h"
#include "app/Passwd.h"
#include "common/Digest.h"
#include "common/PasswordHash.h"
#include "Installation.h"
#include "common/ScriptedMessages.h"
#include "data/Seed.h"
#include "data/Statement.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;

namespace {

struct Users : fenwa::testing::DataFolder {
    Users() : DataFolder(fenwa::testing::Content::Installed) {}

    QString stored(const QString &login) { return findUser(*db, login)->password; }
    // The login as the main window runs it: the check, then the old form replaced.
    LoginResult login(const QString &login, const QString &password)
    {
        const auto row = findUser(*db, login);
        CurrentUser user;
        ScriptedMessages messages;
        const LoginResult result = checkLogin(row, passwordDigest(password), user, messages);
        if (result == LoginResult::Ok)
            admin::upgradeLegacyPassword(*db, row->id, row->password, passwordDigest(password));
        return result;
    }
};

} // namespace

TEST(StoredPasswords, AnOldDigestIsReplacedByASaltedHashAtLoginAndStillAdmits)
{
    Users u;
    u.db->exec(QStringLiteral("INSERT INTO \"%1\" (Login, Password, Active) VALUES ('jan', :p, True)")
                   .arg(u.db->path("passwd.db")),
               {{":p", passwordDigest("Zażółć")}});
    EXPECT_EQ(u.login("jan", "zażółć"), LoginResult::Refused);
    EXPECT_EQ(u.stored("jan"), passwordDigest("Zażółć")) << "a refused login changes nothing";

    ASSERT_EQ(u.login("jan", "Zażółć"), LoginResult::Ok);
    const QString hash = u.stored("jan");
    EXPECT_TRUE(hash.startsWith("$argon2id$")) << hash.toStdString();
    EXPECT_FALSE(hash.contains(passwordDigest("Zażółć")));

    EXPECT_EQ(u.login("jan", "Zażółć"), LoginResult::Ok) << "the hash admits the same password";
    EXPECT_EQ(u.stored("jan"), hash) << "a hash is not made again at every login";
    EXPECT_EQ(u.login("jan", "zażółć"), LoginResult::Refused);
    EXPECT_EQ(u.login("jan", ""), LoginResult::Refused);
}

TEST(StoredPasswords, TheEmptyPasswordOfANewInstallationAndOfAResetAdmits)
{
    Users u;
    EXPECT_EQ(u.stored("admin"), data::emptyPasswordDigest());
    EXPECT_EQ(u.login("admin", "x"), LoginResult::Refused);
    ASSERT_EQ(u.login("admin", ""), LoginResult::Ok);
    EXPECT_TRUE(u.stored("admin").startsWith("$argon2id$"));

    ASSERT_TRUE(admin::storePassword(*u.db, 1, passwordDigest("nowe"), QDate(2016, 4, 1)));
    EXPECT_EQ(findUser(*u.db, "admin")->d, QDate(2016, 4, 1));
    EXPECT_EQ(u.login("admin", ""), LoginResult::Refused) << "the changed password replaced the empty one";
    EXPECT_EQ(u.login("admin", "nowe"), LoginResult::Ok);

    // A reset stores the installation's empty-password digest, as a new user gets.
    u.db->exec(QStringLiteral("UPDATE \"%1\" SET Password=:p WHERE Id=1").arg(u.db->path("passwd.db")),
               {{":p", data::emptyPasswordDigest()}});
    EXPECT_EQ(u.login("admin", "nowe"), LoginResult::Refused);
    EXPECT_EQ(u.login("admin", ""), LoginResult::Ok);
}

TEST(StoredPasswords, AnOlderDatabaseGetsAPasswordColumnWideEnoughForTheHash)
{
    QTemporaryDir dir;
    {
        auto db = data::Database::open(dir.path(), data::Database::OpenMode::Create);
        db->execNative(QStringLiteral(
            "CREATE TABLE \"passwd\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Login\" CHAR(40), "
            "\"Password\" CHAR(40) CONSTRAINT \"len:Password:40\" CHECK (length(\"Password\") <= 40), "
            "\"Admin\" BOOLEAN, \"Slowniki\" BOOLEAN, \"Browse\" BOOLEAN, \"Edit\" BOOLEAN, \"Arc\" BOOLEAN, "
            "\"Active\" BOOLEAN);"
            "INSERT INTO passwd (Login, Password, Active) VALUES ('jan', 'DA39A3EE5E6B4B0D3255BFEF95601890AFD80709', 1);"
            "PRAGMA user_version = 1;"));
    }
    auto db = data::Database::open(dir.path());
    int size = 0;
    for (const auto &f : db->fields("passwd.db"))
        if (f.name == "Password")
            size = f.size;
    EXPECT_EQ(size, 128);
    const auto row = findUser(*db, "jan");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->password, data::emptyPasswordDigest()) << "old rows are kept";
    EXPECT_TRUE(admin::upgradeLegacyPassword(*db, row->id, row->password, passwordDigest("")));
    EXPECT_TRUE(verifyPassword(findUser(*db, "jan")->password, passwordDigest("")));
}
