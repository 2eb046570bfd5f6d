#include "register/RecordStamps.h"

#include <QLocale>

namespace fenwa::reg {

QString recordStamps(const data::Dataset &record, data::Dataset &passwd)
{
    auto login = [&](const char *field) {
        const QVariant id = record.value(QString::fromLatin1(field));
        if (!id.isNull() && passwd.locate(QStringLiteral("Id"), id))
            return passwd.asString(QStringLiteral("Login"));
        return id.isNull() ? QStringLiteral("(nieznany)") : QStringLiteral("(usunięty, nr %1)").arg(id.toLongLong());
    };
    auto stamp = [&](const char *field) {
        return QLocale(QLocale::Polish, QLocale::Poland)
            .toString(record.asDateTime(QString::fromLatin1(field)), QLocale::ShortFormat);
    };
    const QString added = login("O_Ins");
    const QString changed = login("O_Mod");
    return QStringLiteral("Grupę dodał %1, użytkownik %2.\nOstatnia zmiana %3, użytkownik %4.")
        .arg(stamp("T_Ins"), added, stamp("T_Mod"), changed);
}

} // namespace fenwa::reg
