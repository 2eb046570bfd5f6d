#include "common/Digest.h"
#include "app/Login.h"
#include "common/ScriptedMessages.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::app;

namespace {
UserRow admin()
{
    UserRow r;
    r.id = 1;
    r.login = QStringLiteral("admin");
    r.password = passwordDigest(QString());
    r.active = true;
    r.admin = true;
    r.arc = true;
    r.browse = true;
    r.edit = false;
    r.slowniki = true;
    r.d = QDate(2016, 9, 1);
    return r;
}
} // namespace

TEST(LoginCheck, GoodPasswordFillsTheRecord)
{
    ScriptedMessages m;
    CurrentUser u;
    u.wersja = programVersion;
    ASSERT_EQ(checkLogin(admin(), passwordDigest(QString()), u, m), LoginResult::Ok);
    EXPECT_TRUE(m.shown().isEmpty());
    EXPECT_EQ(u.user, 1);
    EXPECT_EQ(u.user_str, "admin");
    EXPECT_EQ(u.haslo, "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_TRUE(u.admin);
    EXPECT_TRUE(u.arc);
    EXPECT_TRUE(u.przeglad);
    EXPECT_FALSE(u.edycja);
    EXPECT_TRUE(u.slowniki);
    EXPECT_TRUE(u.aktywny);
    EXPECT_EQ(u.data, QDate(2016, 9, 1));
    EXPECT_EQ(u.wersja, "[14.09.2016]");
}

TEST(LoginCheck, UnknownUserAndWrongPasswordLookAlike)
{
    ScriptedMessages unknown, wrong;
    CurrentUser u1, u2;
    EXPECT_EQ(checkLogin(std::nullopt, passwordDigest(QString()), u1, unknown), LoginResult::Refused);
    EXPECT_EQ(checkLogin(admin(), passwordDigest(QStringLiteral("x")), u2, wrong), LoginResult::Refused);
    ASSERT_EQ(unknown.shown().size(), 1);
    ASSERT_EQ(wrong.shown().size(), 1);
    EXPECT_EQ(unknown.shown()[0].kind, Messages::Kind::Error);
    EXPECT_EQ(unknown.shown()[0].title, "Błąd");
    EXPECT_EQ(unknown.last(),
              "Próba nieautoryzowanego dostępu! Nieznany użytkownik lub niepoprawne hasło!");
    EXPECT_EQ(wrong.last(), unknown.last());
    EXPECT_EQ(wrong.shown()[0].title, "Błąd");
    EXPECT_EQ(u2.user, 0);
    EXPECT_TRUE(u2.user_str.isEmpty());
}

TEST(LoginCheck, LowerCaseStoredDigestNeverMatches)
{
    ScriptedMessages m;
    CurrentUser u;
    UserRow r = admin();
    r.password = r.password.toLower();
    EXPECT_EQ(checkLogin(r, passwordDigest(QString()), u, m), LoginResult::Refused);
    EXPECT_EQ(m.last(), unknownUserText);
}

TEST(LoginCheck, InactiveUserWithGoodPassword)
{
    ScriptedMessages m;
    CurrentUser u;
    UserRow r = admin();
    r.active = false;
    EXPECT_EQ(checkLogin(r, passwordDigest(QString()), u, m), LoginResult::Inactive);
    ASSERT_EQ(m.shown().size(), 1);
    EXPECT_EQ(m.last(), "Próba nieautoryzowanego dostępu! Użytkownik nieaktywny!");
    EXPECT_EQ(m.shown()[0].title, "Błąd");
    EXPECT_FALSE(u.admin);
}

TEST(LoginCheck, InactiveUserWithWrongPasswordGetsTheFirstMessage)
{
    ScriptedMessages m;
    CurrentUser u;
    UserRow r = admin();
    r.active = false;
    checkLogin(r, passwordDigest(QStringLiteral("zle")), u, m);
    EXPECT_EQ(m.last(), unknownUserText);
}

TEST(Captions, LoginAndMain)
{
    EXPECT_EQ(loginCaption(programVersion), "Logowanie: Fenwa5 - [14.09.2016]");
    EXPECT_EQ(mainCaption(programVersion), "Fenwa5 - [14.09.2016]");
}

TEST(PasswordAge, ThirtyDaysBoundaryAtMidnight)
{
    const QDate changed(2016, 1, 1);
    const QDate day30 = changed.addDays(30);
    EXPECT_FALSE(passwordTooOld(changed, QDateTime(changed, QTime(12, 0))));
    EXPECT_FALSE(passwordTooOld(changed, QDateTime(day30.addDays(-1), QTime(23, 59, 59, 999))));
    EXPECT_FALSE(passwordTooOld(changed, QDateTime(day30, QTime(0, 0))));
    EXPECT_TRUE(passwordTooOld(changed, QDateTime(day30, QTime(0, 0, 0, 1))));
    EXPECT_TRUE(passwordTooOld(changed, QDateTime(day30, QTime(8, 0))));
    EXPECT_TRUE(passwordTooOld(changed, QDateTime(day30.addDays(1), QTime(0, 0))));
}

TEST(PasswordAge, CountsCalendarDaysAcrossSummerTime)
{
    // 30 days spanning the change of clocks in March are still 30 days.
    const QDate changed(2016, 3, 10);
    EXPECT_FALSE(passwordTooOld(changed, QDateTime(QDate(2016, 4, 9), QTime(0, 0))));
    EXPECT_TRUE(passwordTooOld(changed, QDateTime(QDate(2016, 4, 9), QTime(0, 30))));
}

TEST(PasswordAge, BlankDateIsAlwaysWarned)
{
    ScriptedMessages m;
    CurrentUser u;
    EXPECT_TRUE(warnPasswordAge(u, QDateTime(QDate(2016, 9, 14), QTime(9, 0)), m));
    ASSERT_EQ(m.shown().size(), 1);
    EXPECT_EQ(m.shown()[0].kind, Messages::Kind::Warning);
    EXPECT_EQ(m.shown()[0].title, "Uwaga");
    EXPECT_EQ(m.last(), "Od zmiany hasła upłynęło więcej niż 30 dni. Zalecana jest zmiana hasła.");
}

TEST(PasswordAge, FreshPasswordShowsNothing)
{
    ScriptedMessages m;
    CurrentUser u;
    u.data = QDate(2016, 9, 1);
    EXPECT_FALSE(warnPasswordAge(u, QDateTime(QDate(2016, 9, 14), QTime(9, 0)), m));
    EXPECT_TRUE(m.shown().isEmpty());
}
