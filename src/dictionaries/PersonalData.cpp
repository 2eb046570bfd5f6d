#include "dictionaries/PersonalData.h"

#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/SqlBuilder.h"

namespace fenwa::dictionaries {

QString personalDataInformation(data::Database &db, qint64 contractorId, const QDateTime &now,
                                const std::function<void(const QString &file)> &searching, const QLocale &locale)
{
    bool found = false;
    bool blankStamp = false;   // the earliest so far is a blank stamp: nothing comes before it
    QDateTime earliest = now;
    QVariant user;
    data::Query q(&db, QStringLiteral("Q_Rob"));
    for (const QString &file : db.listFiles(QStringLiteral("p_????_????.db"))) {
        if (searching)
            searching(file);
        q.clearSql();
        q.addLine(QStringLiteral("SELECT * FROM \"%1\" WHERE kontr = %2 ORDER BY T_Ins")
                      .arg(data::tablePath(db.folder(), file))
                      .arg(contractorId));
        q.open();
        if (!q.isEmpty()) {
            q.first();
            const bool blank = q.isNull(QStringLiteral("T_Ins"));
            const QDateTime stamp = q.asDateTime(QStringLiteral("T_Ins"));
            if (!blankStamp && (blank || stamp < earliest)) {
                found = true;
                blankStamp = blank;
                earliest = stamp;
                user = q.value(QStringLiteral("O_Ins"));
            }
        }
        q.close();
    }

    QString login;
    if (found && !user.isNull()) {
        q.clearSql();
        q.addLine(QStringLiteral("SELECT Login FROM \"%1\" WHERE Id = :id")
                      .arg(data::tablePath(db.folder(), QStringLiteral("passwd.db"))));
        q.setParam(QStringLiteral(":id"), user);
        q.open();
        if (!q.isEmpty()) {
            q.first();
            login = q.asString(QStringLiteral("Login"));
            found = true;
        } else {
            found = false;
        }
        q.close();
    } else {
        found = false;
    }
    if (!found)
        return QStringLiteral("Brak danych!");
    return QStringLiteral("Dane kontrahenta wprowadził po raz pierwszy \n\nnazwa użytkownika: ") + login
        + QStringLiteral("\ndata wprowadzenia: ")
        + (blankStamp ? QString() : locale.toString(earliest.date(), QLocale::ShortFormat));
}

} // namespace fenwa::dictionaries
