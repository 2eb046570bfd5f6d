#include "app/Login.h"

#include "common/PasswordHash.h"

namespace fenwa::app {

QString loginCaption(const QString &wersja)
{
    return QStringLiteral("Logowanie: ") + mainCaption(wersja);
}

QString mainCaption(const QString &wersja)
{
    return programTitle + QStringLiteral(" - ") + wersja;
}

LoginResult checkLogin(const std::optional<UserRow> &row, const QString &haslo,
                       CurrentUser &user, Messages &messages)
{
    if (!row || !verifyPassword(row->password, haslo)) {
        messages.error(unknownUserText, QStringLiteral("Błąd"));
        return LoginResult::Refused;
    }
    if (!row->active) {
        messages.error(inactiveUserText, QStringLiteral("Błąd"));
        return LoginResult::Inactive;
    }
    user.user = row->id;
    user.user_str = row->login;
    user.haslo = haslo;
    user.slowniki = row->slowniki;
    user.edycja = row->edit;
    user.przeglad = row->browse;
    user.arc = row->arc;
    user.admin = row->admin;
    user.aktywny = row->active;
    user.data = row->d;
    return LoginResult::Ok;
}

QDate passwordDateOrZero(const QDate &d)
{
    return d.isValid() ? d : QDate(1899, 12, 30);
}

bool passwordTooOld(const QDate &passwordDate, const QDateTime &now)
{
    // Wall-clock days, as a calendar counts them: whole days between the two
    // dates plus the part of today already gone.
    const qint64 days = passwordDateOrZero(passwordDate).daysTo(now.date());
    if (days != 30)
        return days > 30;
    return now.time().msecsSinceStartOfDay() > 0;
}

bool warnPasswordAge(const CurrentUser &user, const QDateTime &now, Messages &messages)
{
    if (!passwordTooOld(user.data, now))
        return false;
    messages.warning(passwordAgeText, passwordAgeTitle);
    return true;
}

} // namespace fenwa::app
