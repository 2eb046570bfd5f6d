// The users table's rules and the users window's commands on a real
// installation database: who may change which row, the password change and
// reset, and the broadcast message reaching every running copy.
#include "admin/Passwords.h"
#include "admin/UsersLogic.h"
#include "app/Broadcast.h"
#include "app/Login.h"
#include "app/Passwd.h"
#include "common/Digest.h"
#include "data/Guard.h"
#include "Installation.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace fenwa;
using fenwa::admin::IniFile;
using fenwa::admin::PasswordEntry;
using fenwa::admin::UsersLogic;

namespace {

struct Users : fenwa::testing::Installation {
    UsersLogic logic{*dane};
    data::Table &t = *dane->T_Passwd;

    Users()
    {
        user.admin = true;
        // User 1 adds "jan" (Id 2) and "ewa" (Id 3), both administrators.
        for (const char *login : {"jan", "ewa"}) {
            t.append();
            t.setValue("Login", QString::fromLatin1(login));
            t.setValue("Active", true);
            t.setValue("Admin", true);
            t.post();
        }
        messages.clear();
    }
    void logInAs(int id, const char *login)
    {
        user.user = id;
        user.user_str = QString::fromLatin1(login);
        logic.activate();
    }
    void select(const char *login) { ASSERT_TRUE(t.locate("Login", QString::fromLatin1(login))); }
    QString stored(const char *login) const
    {
        return app::findUser(*db, QString::fromLatin1(login))->password;
    }
    app::LoginResult login(const char *name, const QString &password)
    {
        CurrentUser cu;
        ScriptedMessages quiet;
        return app::checkLogin(app::findUser(*db, QString::fromLatin1(name)), passwordDigest(password), cu, quiet);
    }
    bool change(const PasswordEntry &entry)
    {
        return logic.changePassword([entry, this](const QString &caption) {
            asked << caption;
            return std::optional<PasswordEntry>(entry);
        });
    }
    QStringList asked;
};

} // namespace

TEST(UsersTable, OnlyUserOneChangesRowsAndNeverDeletesHimself)
{
    // Each row: who is logged in, what is tried on which row, whether it takes effect.
    const struct {
        int user;
        const char *row;
        const char *what;
        bool works;
    } cases[] = {
        {1, "jan", "edit", true},   {1, "jan", "delete", true},  {1, "admin", "delete", false},
        {1, "admin", "edit", true}, {1, "", "insert", true},     {2, "jan", "edit", false},
        {2, "ewa", "edit", false},  {2, "ewa", "delete", false}, {2, "", "insert", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + c.row + " as user " + std::to_string(c.user));
        Users u;
        u.logInAs(c.user, c.user == 1 ? "admin" : "jan");
        if (*c.row)
            u.select(c.row);
        const int rows = u.t.recordCount();
        const bool went = data::quiet([&] {
            if (QLatin1String(c.what) == QLatin1String("edit"))
                u.t.edit();
            else if (QLatin1String(c.what) == QLatin1String("delete"))
                u.t.remove();
            else
                u.t.append();
        });
        EXPECT_EQ(went, c.works);
        EXPECT_TRUE(u.messages.shown().isEmpty()) << "refusals and deletions alike say nothing";
        if (QLatin1String(c.what) == QLatin1String("delete"))
            EXPECT_EQ(u.t.recordCount(), c.works ? rows - 1 : rows);
        else
            EXPECT_EQ(u.t.editing(), c.works);
    }
}

TEST(UsersTable, ANewUserStartsInactiveWithoutRightsAndThenLogsInWithAnEmptyPassword)
{
    Users u;
    u.logInAs(1, "admin");
    u.t.append();
    u.t.setValue("Login", "nowy");
    u.t.post();
    for (const char *right : {"Admin", "Slowniki", "Edit", "Browse", "Arc", "Active"})
        EXPECT_FALSE(u.t.asBool(QString::fromLatin1(right))) << right;
    EXPECT_EQ(u.login("nowy", QString()), app::LoginResult::Inactive);

    u.t.edit();
    u.t.setValue("Active", true);
    u.t.setValue("Browse", true);
    u.t.post();
    EXPECT_EQ(u.login("nowy", QString()), app::LoginResult::Ok);
    EXPECT_EQ(u.login("nowy", "x"), app::LoginResult::Refused);
}

TEST(UsersPasswords, RefusedChangesStoreNothing)
{
    const struct {
        const char *name;
        int user;            // logged in; the selected row is jan's
        PasswordEntry entry;
        const char *message;
        Messages::Kind kind;
    } cases[] = {
        {"another user's row, even for user 1", 1, {"", "a", "a"}, "Użytkownik może zmienić tylko swoje hasło",
         Messages::Kind::Warning},
        {"wrong old password", 2, {"zle", "nowe", "nowe"}, "Niepoprawne \"stare\" hasło.", Messages::Kind::Error},
        {"mistyped confirmation", 2, {"", "nowe", "Nowe"}, "Hasło nie zostało prawidłowo potwierdzone.",
         Messages::Kind::Error},
        {"same password", 2, {"", "", ""}, "\"Nowe\" hasło jest takie samo jak \"stare\".", Messages::Kind::Error},
        {"characters the code page lacks", 2, {"", "hasło€→☃", "hasło€→☃"}, "→☃", Messages::Kind::Error},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Users u;
        u.logInAs(c.user, c.user == 1 ? "admin" : "jan");
        u.select("jan");
        const QString before = u.stored("jan");
        EXPECT_FALSE(u.change(c.entry));
        ASSERT_EQ(u.messages.shown().size(), 1);
        EXPECT_EQ(u.messages.shown()[0].kind, c.kind);
        EXPECT_TRUE(u.messages.last().contains(QString::fromUtf8(c.message))) << u.messages.last().toStdString();
        EXPECT_EQ(u.stored("jan"), before);
        EXPECT_FALSE(u.t.editing());
        EXPECT_FALSE(u.dane->rules.Pas);
    }
}

TEST(UsersPasswords, AnOrdinaryUserChangesHisOwnPasswordToASaltedHash)
{
    Users u;
    u.logInAs(2, "jan");
    u.clock.set(QDateTime(QDate(2016, 4, 2), QTime(9, 0)));
    EXPECT_EQ(u.t.asString("Login"), "jan") << "the window opens on the user's own row";
    EXPECT_TRUE(u.change({"", "Żółw-2016", "Żółw-2016"}));
    EXPECT_EQ(u.asked, QStringList{"Hasło użytkownika jan"});
    EXPECT_EQ(u.messages.last(), "Hasło zostało zmienione");
    EXPECT_TRUE(u.stored("jan").startsWith("$argon2id$"));
    EXPECT_EQ(app::findUser(*u.db, "jan")->d, QDate(2016, 4, 2));
    EXPECT_EQ(u.login("jan", "Żółw-2016"), app::LoginResult::Ok);
    EXPECT_EQ(u.login("jan", QString()), app::LoginResult::Refused);
    EXPECT_FALSE(u.dane->rules.Pas);
    EXPECT_FALSE(data::quiet([&] { u.t.edit(); })) << "the change opened nothing else to him";

    // An empty new password is accepted when the old one was not empty.
    EXPECT_TRUE(u.change({"Żółw-2016", "", ""}));
    EXPECT_EQ(u.login("jan", QString()), app::LoginResult::Ok);
}

TEST(UsersPasswords, ResetWorksForUserOneAndIsSilentForAnyOtherUser)
{
    const struct {
        int user;
        bool admin;
        bool reset;
    } cases[] = {{1, true, true}, {3, true, false}, {1, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.user);
        Users u;
        u.logInAs(2, "jan");
        ASSERT_TRUE(u.change({"", "tajne", "tajne"}));
        u.messages.clear();
        u.logInAs(c.user, c.user == 1 ? "admin" : "ewa");
        u.user.admin = c.admin;
        u.select("jan");
        const QDate d = app::findUser(*u.db, "jan")->d;
        EXPECT_EQ(u.logic.resetPassword(), c.reset);
        EXPECT_EQ(u.login("jan", QString()) == app::LoginResult::Ok, c.reset);
        EXPECT_EQ(u.login("jan", "tajne") == app::LoginResult::Ok, !c.reset);
        EXPECT_EQ(app::findUser(*u.db, "jan")->d, d) << "a reset leaves the password date";
        if (c.reset) {
            EXPECT_EQ(u.messages.texts(), QStringList{"Hasło zostało zresetowane!\nUżytkownik powinien ustawić nowe hasło!"});
            EXPECT_EQ(u.messages.shown()[0].title, "Uwaga");
        } else {
            EXPECT_TRUE(u.messages.shown().isEmpty());
        }
        EXPECT_FALSE(u.t.editing());
    }
}

TEST(UsersPasswords, ARowChangedOnAnotherWorkstationIsReadAgainBeforeItsPasswordIsSet)
{
    Users u;
    u.logInAs(1, "admin");
    u.select("jan");
    // Meanwhile jan sets his password on his own workstation.
    auto other = u.connect();
    ASSERT_TRUE(admin::storePassword(*other, 2, passwordDigest("tajne"), QDate(2016, 3, 15)));
    EXPECT_TRUE(u.logic.resetPassword()) << u.messages.texts().join('\n').toStdString();
    EXPECT_EQ(u.login("jan", QString()), app::LoginResult::Ok);

    u.logInAs(2, "jan");
    ASSERT_TRUE(admin::storePassword(*other, 2, passwordDigest("inne"), QDate(2016, 3, 16)));
    u.messages.clear();
    EXPECT_TRUE(u.change({"inne", "nowe", "nowe"})) << "the old password is checked against the stored one";
    EXPECT_EQ(u.login("jan", "nowe"), app::LoginResult::Ok);
}

TEST(UsersBroadcast, EveryRunningCopyIsFlaggedAndShowsTheText)
{
    Users u;
    u.logInAs(1, "admin");
    QTemporaryDir settings;
    IniFile ini(settings.filePath("fenwa5.ini"));
    ini.writeString("System", "alert", "stary komunikat");
    // This copy and two others on the same database.
    u.db->registerRunningCopy("root-os");
    auto anna = u.connect();
    anna->registerRunningCopy("anna.kowalska-nowak");   // longer than 14 characters
    auto bartek = u.connect();
    bartek->registerRunningCopy("bartek");

    QString proposed;
    EXPECT_TRUE(u.logic.sendBroadcast(ini, [&](const QString &p) {
        proposed = p;
        return std::optional<QString>("Proszę zakończyć pracę");
    }));
    EXPECT_EQ(proposed, "stary komunikat");
    for (const char *os : {"root-os", "anna.kowalska-nowak", "bartek"}) {
        ScriptedMessages shown;
        app::BroadcastReceiver receiver(ini, QString::fromLatin1(os), shown);
        EXPECT_TRUE(receiver.poll()) << os;
        EXPECT_EQ(shown.last(), "Proszę zakończyć pracę");
    }

    // Cancelled, or not an administrator: nothing is written.
    ini.writeString("System", "bartek", "0");
    EXPECT_FALSE(u.logic.sendBroadcast(ini, [](const QString &) { return std::optional<QString>(); }));
    u.user.admin = false;
    EXPECT_FALSE(u.logic.sendBroadcast(ini, [](const QString &) { return std::optional<QString>("inny"); }));
    EXPECT_EQ(ini.readString("System", "alert"), "Proszę zakończyć pracę");
    EXPECT_EQ(ini.readString("System", "bartek"), "0");
    EXPECT_TRUE(u.messages.shown().isEmpty());
}

TEST(UsersBroadcast, AnUnwritableSettingsFileStopsTheSending)
{
    Users u;
    u.logInAs(1, "admin");
    u.db->registerRunningCopy("root-os");
    QTemporaryDir settings;
    // A folder that is really a file cannot hold the settings file, whoever runs the test.
    QFile blocker(settings.filePath("plik"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = settings.filePath("plik/fenwa5.ini");
    IniFile ini(path);
    EXPECT_FALSE(u.logic.sendBroadcast(ini, [](const QString &) { return std::optional<QString>("tekst"); }));
    EXPECT_EQ(u.messages.texts(), QStringList{"Unable to write to " + path});
    EXPECT_EQ(u.messages.shown()[0].kind, Messages::Kind::Error);
}
