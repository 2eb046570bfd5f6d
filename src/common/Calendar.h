#pragma once
#include <QString>
#include <QStringList>

namespace fenwa {

// "styczeń" ... "grudzień"; month 1 to 12.
inline const QStringList &monthNames()
{
    static const QStringList names{
        QStringLiteral("styczeń"), QStringLiteral("luty"), QStringLiteral("marzec"),
        QStringLiteral("kwiecień"), QStringLiteral("maj"), QStringLiteral("czerwiec"),
        QStringLiteral("lipiec"), QStringLiteral("sierpień"), QStringLiteral("wrzesień"),
        QStringLiteral("październik"), QStringLiteral("listopad"), QStringLiteral("grudzień")};
    return names;
}

inline QString monthName(int month) { return month >= 1 && month <= 12 ? monthNames()[month - 1] : QString(); }

} // namespace fenwa
