#pragma once
// The logged-in user, passed explicitly to whatever needs it.
#include <QDate>
#include <QString>

namespace fenwa {

// The logged-in user (the login window's public fields).
struct CurrentUser {
    int user = 0;          // Id in passwd.db
    QString user_str;      // login
    QString haslo;         // password digest
    bool admin = false;
    bool slowniki = false;
    bool edycja = false;
    bool przeglad = false;
    bool aktywny = false;
    bool arc = false;
    QDate data;            // date of the last password change
    QString wersja;        // program version
};

} // namespace fenwa
