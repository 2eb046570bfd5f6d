#pragma once
// State shared between windows, passed explicitly to whatever needs it.
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

// The settings of the run (the settings window's public fields).
struct RunSettings {
    QString fd;            // data folder, no trailing separator
    QString fa;            // archive folder
    QString fe;            // export folder
    QString wiw;           // voivodeship name
    QString piw;           // county name (adjective stem)
    QString wkod;          // voivodeship code, 2 characters
    QString pkod;          // county inspectorate code, 4 characters
    int p_w = 1;           // 1 = voivodeship installation, else county
    QString iw;            // the inspectorate block of prints: name, street, town (one a line)
    bool voivodeship() const { return p_w == 1; }
};

// The open register and the chosen group (the main window's fields).
struct OpenRegister {
    int rok = 0;
    int mc = 0;
    QString kod;
    QString sufiks;        // "_" + year + "_" + code + ".db"
    int dok = 0;           // Id of the chosen group
    bool zk = false;
    QString symbol;        // the group's Dok
    QString rozdz;         // the group's chapter number
    QString par;           // paragraph number + "; " + paragraph name
    QString groupsFile() const { return QStringLiteral("g") + sufiks; }
    QString positionsFile() const { return QStringLiteral("p") + sufiks; }
    static QString suffix(int year, const QString &code)
    {
        return QStringLiteral("_%1_%2.db").arg(year).arg(code);
    }
};

} // namespace fenwa
