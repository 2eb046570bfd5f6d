#include "app/Passwd.h"
#include "app/Startup.h"

#include "data/Table.h"

#include <QDir>

namespace fenwa::app {

std::unique_ptr<data::Database> openSession(const QString &folder, const QString &settingsPath,
                                            const data::ServerAddress &server)
{
    if (server.isSet()) {
        auto db = data::Database::openServer(folder, server.conninfo(), server.schema);
        if (!db->fileExists(QStringLiteral("passwd.db")))
            throw data::EngineError(
                QStringLiteral("Schemat „%1” na serwerze %2 nie zawiera instalacji programu (brak tabeli passwd).")
                    .arg(server.schema, server.host));
        return db;
    }
    if (folder.trimmed().isEmpty())
        throw data::EngineError(noDataFolderText(settingsPath));
    return data::Database::open(folder, data::Database::OpenMode::ExistingOnly);
}

QString dataPlace(const QString &folder, const data::ServerAddress &server)
{
    if (!server.isSet())
        return QDir::toNativeSeparators(folder);
    QString place = QStringLiteral("serwer %1:%2").arg(server.host).arg(server.port);
    if (!server.database.isEmpty())
        place += QStringLiteral(", baza %1").arg(server.database);
    return place + QStringLiteral(", schemat %1").arg(server.schema);
}

bool upgradePasswd(data::Database &db, const QDateTime &now) noexcept
{
    try {
        for (const auto &f : db.fields(QStringLiteral("passwd.db")))
            if (f.name.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0)
                return false;
        data::Database::Transaction tx(db);
        db.exec(QStringLiteral("ALTER TABLE \"%1\" ADD D Date").arg(db.path(QStringLiteral("passwd.db"))));
        db.exec(QStringLiteral("UPDATE \"%1\" SET D=:dzis").arg(db.path(QStringLiteral("passwd.db"))),
                {{QStringLiteral(":dzis"), now.date()}});
        tx.commit();
        return true;
    } catch (...) {
        return false;
    }
}

std::optional<UserRow> findUser(data::Database &db, const QString &login)
{
    data::Table passwd(&db, QStringLiteral("T_Passwd"));
    passwd.setTableName(QStringLiteral("passwd.db"));
    passwd.setReadOnly(true);
    passwd.open();
    if (!passwd.locate(QStringLiteral("Login"), login)) {
        passwd.close();
        return std::nullopt;
    }
    UserRow row;
    row.id = int(passwd.asInt(QStringLiteral("Id")));
    row.login = passwd.asString(QStringLiteral("Login"));
    row.password = passwd.asString(QStringLiteral("Password"));
    row.active = passwd.asBool(QStringLiteral("Active"));
    row.slowniki = passwd.asBool(QStringLiteral("Slowniki"));
    row.edit = passwd.asBool(QStringLiteral("Edit"));
    row.browse = passwd.asBool(QStringLiteral("Browse"));
    row.arc = passwd.asBool(QStringLiteral("Arc"));
    row.admin = passwd.asBool(QStringLiteral("Admin"));
    if (passwd.hasField(QStringLiteral("D")) && !passwd.isNull(QStringLiteral("D")))
        row.d = passwd.asDate(QStringLiteral("D"));
    passwd.close();
    return row;
}

} // namespace fenwa::app
