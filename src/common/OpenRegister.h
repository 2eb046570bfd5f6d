#pragma once
// The open register and the chosen group, passed explicitly to whatever needs them.
#include <QString>

namespace fenwa {

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
