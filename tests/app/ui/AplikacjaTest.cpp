#include "Installation.h"
#include "admin/ui/Konfiguracji.h"
#include "admin/ui/User.h"
#include "common/Digest.h"
#include "app/Startup.h"
#include "app/ui/Aplikacja.h"
#include "common/FakeRegistry.h"
#include "app/ui/Konsola.h"
#include "app/ui/Logowanie.h"
#include "app/ui/Winietka.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "dictionaries/ui/Slowniki.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;
using fenwa::admin::IniFile;
using fenwa::testing::FakeRegistry;
using fenwa::testing::DataFolder;

namespace {
class StartupTest : public ::testing::Test {
protected:
    DataFolder data;
    QTemporaryDir dir;
    IniFile ini{dir.filePath("fenwa5.ini")};
    FakeRegistry registry;
    ScriptedMessages messages;
    Clock clock;
    int logins = 0;

    void SetUp() override
    {
        clock.set(QDateTime(QDate(2016, 9, 14), QTime(9, 0)));
        ini.writeString("Foldery", "Dane", data.folder() + "/");
        addUser("admin", "", true, QDate(2016, 9, 1));
        addUser("jan", "tajne", false, QDate(2016, 9, 1));
        addUser("ewa", "", true, QDate());
    }
    void addUser(const QString &login, const QString &password, bool active, const QDate &d)
    {
        data.db->exec(QStringLiteral("INSERT INTO \"%1\" (Login, Password, Admin, Slowniki, Browse, Edit, Arc, "
                                     "Active, D) VALUES (:l, :p, True, True, True, True, True, :a, :d)")
                          .arg(data.path("passwd.db")),
                      {{":l", login}, {":p", passwordDigest(password)}, {":a", active}, {":d", d}});
    }
    std::unique_ptr<Aplikacja> make(const QString &login, const QString &password, int result = QDialog::Accepted)
    {
        auto a = std::make_unique<Aplikacja>(ini, registry, messages, clock, "/opt/fenwa5/", "jan_os");
        a->runLogin = [=, this](TF_Logowania &d) {
            ++logins;
            d.E_Login->setText(login);
            d.E_Haslo->setText(password);
            d.done(result);
            return d.result();
        };
        return a;
    }
};
} // namespace

TEST_F(StartupTest, AdminWithEmptyPasswordReachesTheMainWindow)
{
    registry.last = "admin";
    auto a = make("admin", "");
    ASSERT_TRUE(a->start()) << qPrintable(messages.texts().join("\n"));
    EXPECT_TRUE(messages.shown().isEmpty()) << qPrintable(messages.texts().join("\n"));
    const CurrentUser &u = a->F_Logowania->record;
    EXPECT_EQ(u.user, 1);
    EXPECT_EQ(u.user_str, "admin");
    EXPECT_TRUE(u.admin);
    EXPECT_FALSE(a->F_Logowania->isVisible());
    ASSERT_TRUE(a->F_Konsola && a->F_Konfiguracji && a->F_Dane && a->F_Winietka);
    EXPECT_EQ(a->F_Konsola->windowTitle(), "Fenwa5 - [14.09.2016]- województwo");
    EXPECT_EQ(a->F_Konfiguracji->run().fd, data.folder());
    EXPECT_EQ(a->shownSteps(), Aplikacja::stepCaptions());
    EXPECT_EQ(a->shownSteps().size(), 19);
    EXPECT_EQ(a->shownSteps()[7], "Dialog \"Szukaj\"");
    EXPECT_TRUE(a->Sesja_1->runningUsers().contains("jan_os"));
    a.reset();
    EXPECT_EQ(registry.last, "admin");
}

TEST_F(StartupTest, AboutBoxSettingsAndUsersAreConnected)
{
    auto a = make("admin", "");
    ASSERT_TRUE(a->start());
    QString shownOn;
    QTimer::singleShot(0, a->F_User, [&] {
        shownOn = a->F_Dane->T_Passwd->asString("Login");
        a->F_User->reject();
    });
    a->F_Konsola->Uzytkownicy1->trigger();
    EXPECT_EQ(shownOn, "admin") << "the users window opens modally on the current user's row";
    a->F_Konsola->Ustawienia1->trigger();
    EXPECT_TRUE(a->F_Konfiguracji->isVisible());
    EXPECT_FALSE(a->F_Konfiguracji->BitBtn1->isEnabled());
    EXPECT_FALSE(a->F_Winietka->isVisible());
}

TEST_F(StartupTest, WrongPasswordEndsAndSavesTheLogin)
{
    auto a = make("admin", "zle");
    EXPECT_FALSE(a->start());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Próba nieautoryzowanego dostępu! Nieznany użytkownik lub niepoprawne hasło!");
    EXPECT_FALSE(a->F_Konsola);
    a.reset();
    EXPECT_EQ(registry.last, "admin");
}

TEST_F(StartupTest, LoginInOtherLetterCaseIsUnknown)
{
    auto a = make("Admin", "");
    EXPECT_FALSE(a->start());
    EXPECT_EQ(messages.last(), "Próba nieautoryzowanego dostępu! Nieznany użytkownik lub niepoprawne hasło!");
}

TEST_F(StartupTest, InactiveUser)
{
    auto a = make("jan", "tajne");
    EXPECT_FALSE(a->start());
    EXPECT_EQ(messages.last(), "Próba nieautoryzowanego dostępu! Użytkownik nieaktywny!");
}

TEST_F(StartupTest, CancelEndsSilentlyAndSavesTheLogin)
{
    auto a = make("wpisany", "", TF_Logowania::Abort);
    EXPECT_FALSE(a->start());
    EXPECT_TRUE(messages.shown().isEmpty());
    a.reset();
    EXPECT_EQ(registry.last, "wpisany");
}

TEST_F(StartupTest, BlankPasswordDateWarnsAtTheMainWindow)
{
    auto a = make("ewa", "");
    ASSERT_TRUE(a->start());
    ASSERT_FALSE(messages.shown().isEmpty());
    EXPECT_EQ(messages.shown()[0].title, "Uwaga");
}

TEST_F(StartupTest, FolderWithoutDatabaseOffersANewOneOrEndsBeforeTheLogin)
{
    QTemporaryDir empty;
    ini.writeString("Foldery", "Dane", empty.path());
    messages.answer(false);
    auto a = make("admin", "");
    EXPECT_FALSE(a->start());
    EXPECT_EQ(logins, 0);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Question);
    EXPECT_TRUE(messages.last().contains(empty.path())) << qPrintable(messages.last());
    EXPECT_TRUE(messages.last().endsWith(createDatabaseQuestion(empty.path()))) << qPrintable(messages.last());
    EXPECT_TRUE(QDir(empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "nothing is created";

    // Yes: a new installation, and the login proposes its administrator.
    messages.clear();
    messages.answer(true);
    QString proposed;
    a = std::make_unique<Aplikacja>(ini, registry, messages, clock, "/opt/fenwa5/", "jan_os");
    a->runLogin = [&](TF_Logowania &d) {
        proposed = d.E_Login->text();
        d.done(QDialog::Accepted);
        return d.result();
    };
    ASSERT_TRUE(a->start()) << qPrintable(messages.texts().join("\n"));
    EXPECT_EQ(proposed, "admin");
    ASSERT_GE(messages.shown().size(), 2);
    EXPECT_EQ(messages.shown()[1].text, databaseCreatedText(empty.path()));
    EXPECT_TRUE(QFileInfo::exists(QDir(empty.path()).filePath("fenwa5.sqlite")));
    EXPECT_EQ(a->F_Logowania->record.user_str, "admin");
}

TEST_F(StartupTest, MissingDataFolderIsReportedAndNotCreated)
{
    const QString gone = dir.filePath("udzial-sieciowy");
    ini.writeString("Foldery", "Dane", gone);
    auto a = make("admin", "");
    EXPECT_FALSE(a->start());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Error);
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(StartupTest, NoDataFolderAnywhere)
{
    ini.writeString("Foldery", "Dane", "");
    auto a = make("admin", "");
    EXPECT_FALSE(a->start());
    EXPECT_EQ(logins, 0);
    EXPECT_EQ(messages.last(), noDataFolderText(ini.path()));
    EXPECT_TRUE(messages.last().contains(ini.path()));
    EXPECT_TRUE(ini.valueExists("Foldery", "Dane"));
}

TEST_F(StartupTest, RegistryFolderIsUsedAndWrittenBack)
{
    ini.deleteKey("Foldery", "Dane");
    registry.machine = data.folder();
    auto a = make("admin", "");
    ASSERT_TRUE(a->start());
    EXPECT_EQ(ini.readString("Foldery", "Dane"), data.folder());
}

TEST_F(StartupTest, CountyInstallationCaption)
{
    ini.writeInteger("Lok", "P_W", 0);
    auto a = make("admin", "");
    ASSERT_TRUE(a->start());
    EXPECT_EQ(a->F_Konsola->windowTitle(), "Fenwa5 - [14.09.2016]- powiat");
    a->F_Konfiguracji->BitBtn2->click();
    a->F_Konfiguracji->BitBtn2->click();
    EXPECT_EQ(a->F_Konsola->windowTitle(), "Fenwa5 - [14.09.2016]- powiat");
}

// Each dictionary item of the menu bar and of the toolbar's drop-down opens
// the dictionaries window on its own tab.
TEST_F(StartupTest, DictionaryMenusOpenTheWindowOnTheirTab)
{
    auto a = make("admin", "");
    ASSERT_TRUE(a->start());
    QStringList opened;
    a->F_Slowniki->runModal = [&](QDialog &) {
        opened << a->F_Slowniki->activeTab().object;
        return int(QDialog::Rejected);
    };
    QStringList expected;
    for (const TF_Konsola::Slownik &s : TF_Konsola::slowniki())
        expected << s.tab;
    for (QAction *item : std::as_const(a->F_Konsola->SlownikiMenu))
        item->trigger();
    EXPECT_EQ(opened, expected);

    opened.clear();
    for (QAction *item : a->F_Konsola->PopupActionBar2->actions())
        item->trigger();
    expected.removeAll(QStringLiteral("Tab_ob"));   // the drop-down has no ASF areas
    EXPECT_EQ(opened, expected);
}
