#pragma once
// The login check and the current-user record it fills.
#include "common/Messages.h"
#include "common/CurrentUser.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace fenwa::app {

inline const QString programTitle = QStringLiteral("Fenwa5");
inline const QString programVersion = QStringLiteral("[14.09.2016]");

inline const QString unknownUserText =
    QStringLiteral("Próba nieautoryzowanego dostępu! Nieznany użytkownik lub niepoprawne hasło!");
inline const QString inactiveUserText =
    QStringLiteral("Próba nieautoryzowanego dostępu! Użytkownik nieaktywny!");
inline const QString passwordAgeText =
    QStringLiteral("Od zmiany hasła upłynęło więcej niż 30 dni. Zalecana jest zmiana hasła.");
inline const QString passwordAgeTitle = QStringLiteral("Uwaga");

// "Logowanie: Fenwa5 - [14.09.2016]"
QString loginCaption(const QString &wersja);
// "Fenwa5 - [14.09.2016]"
QString mainCaption(const QString &wersja);

// One row of passwd.db as the login reads it.
struct UserRow {
    int id = 0;
    QString login;
    QString password;   // stored digest
    bool active = false;
    bool slowniki = false;
    bool edit = false;
    bool browse = false;
    bool arc = false;
    bool admin = false;
    QDate d;            // date of the last password change; invalid when blank
};

enum class LoginResult { Ok, Refused, Inactive };

// Steps 4-7 of the login: `row` is the row whose Login equals the typed login
// exactly (none: unknown user), `haslo` the digest of the typed password,
// checked against the stored password in either of its forms (verifyPassword). On success `user` is filled;
// otherwise the refusal is shown through `messages`.
LoginResult checkLogin(const std::optional<UserRow> &row, const QString &haslo,
                       CurrentUser &user, Messages &messages);

// The password date as days: a blank date counts as day 0 (30.12.1899).
QDate passwordDateOrZero(const QDate &d);
// More than 30 days (counted with the time of day) since the password date at midnight.
bool passwordTooOld(const QDate &passwordDate, const QDateTime &now);
// Shows the password-age warning when due; returns whether it was shown.
bool warnPasswordAge(const CurrentUser &user, const QDateTime &now, Messages &messages);

} // namespace fenwa::app
