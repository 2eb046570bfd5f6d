#include "data/ServerBroadcast.h"

#include "data/EngineError.h"
#include "data/PgText.h"

#include <QVector>
#include <libpq-fe.h>

namespace fenwa::data {

namespace {

const char channel[] = "fenwa5_komunikat";

using pg::Result;
using pg::serverWords;

} // namespace

ServerBroadcast::ServerBroadcast(const ServerAddress &address) : address_(address)
{
    conn_ = PQconnectdb(address_.conninfo().constData());
    if (PQstatus(conn_) != CONNECTION_OK) {
        QString reason = testConnection(address_);
        if (reason.isEmpty())
            reason = serverWords(conn_);
        PQfinish(conn_);
        conn_ = nullptr;
        throw EngineError(QStringLiteral("Brak połączenia z serwerem: %1").arg(reason));
    }
    const QByteArray schema = address_.schema.toUtf8();
    char *quoted = PQescapeIdentifier(conn_, schema.constData(), size_t(schema.size()));
    if (!quoted) {
        const QString words = serverWords(conn_);
        PQfinish(conn_);
        conn_ = nullptr;
        throw EngineError(QStringLiteral("Niepoprawna nazwa schematu: %1").arg(words));
    }
    table_ = QString::fromUtf8(quoted) + QStringLiteral("._fenwa5_komunikat");
    PQfreemem(quoted);
}

ServerBroadcast::~ServerBroadcast()
{
    if (conn_)
        PQfinish(conn_);
}

void ServerBroadcast::exec(const char *sql, const QStringList &params)
{
    const Result result = pg::execText(conn_, sql, params);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw EngineError(QStringLiteral("Serwer zwrócił błąd: %1").arg(serverWords(conn_)));
}

bool ServerBroadcast::tableExists()
{
    const QByteArray name = table_.toUtf8();
    const char *param = name.constData();
    const Result result(PQexecParams(conn_, "SELECT to_regclass($1) IS NOT NULL", 1, nullptr, &param, nullptr,
                                     nullptr, 0),
                        &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1)
        throw EngineError(QStringLiteral("Serwer zwrócił błąd: %1").arg(serverWords(conn_)));
    return *PQgetvalue(result.get(), 0, 0) == 't';
}

QString ServerBroadcast::text()
{
    if (!tableExists())
        return {};
    const QByteArray sql = QStringLiteral("SELECT tekst FROM %1 WHERE uzytkownik = ''").arg(table_).toUtf8();
    const Result result(PQexec(conn_, sql.constData()), &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw EngineError(QStringLiteral("Serwer zwrócił błąd: %1").arg(serverWords(conn_)));
    return PQntuples(result.get()) == 1 ? QString::fromUtf8(PQgetvalue(result.get(), 0, 0)) : QString();
}

void ServerBroadcast::send(const QString &text, const QStringList &osUsers)
{
    exec("BEGIN");
    try {
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (uzytkownik text PRIMARY KEY, tekst text, "
                            "flaga boolean NOT NULL DEFAULT false)")
                 .arg(table_)
                 .toUtf8()
                 .constData());
        exec(QStringLiteral("INSERT INTO %1 (uzytkownik, tekst) VALUES ('', $1) "
                            "ON CONFLICT (uzytkownik) DO UPDATE SET tekst = EXCLUDED.tekst")
                 .arg(table_)
                 .toUtf8()
                 .constData(),
             {text});
        const QByteArray flag = QStringLiteral("INSERT INTO %1 (uzytkownik, flaga) VALUES (lower($1), true) "
                                               "ON CONFLICT (uzytkownik) DO UPDATE SET flaga = true")
                                    .arg(table_)
                                    .toUtf8();
        for (const QString &user : osUsers)
            if (!user.isEmpty())
                exec(flag.constData(), {user});
        exec("SELECT pg_notify($1, $2)", {QString::fromLatin1(channel), address_.schema});
        exec("COMMIT");
    } catch (const EngineError &) {
        PQclear(PQexec(conn_, "ROLLBACK"));
        throw;
    }
}

int ServerBroadcast::listen()
{
    exec(QStringLiteral("LISTEN %1").arg(QString::fromLatin1(channel)).toUtf8().constData());
    listening_ = true;
    return socket();
}

int ServerBroadcast::socket() const
{
    return PQstatus(conn_) == CONNECTION_OK ? PQsocket(conn_) : -1;
}

bool ServerBroadcast::notified()
{
    if (PQstatus(conn_) != CONNECTION_OK || !PQconsumeInput(conn_)) {
        PQreset(conn_);
        if (PQstatus(conn_) != CONNECTION_OK)
            return false;
        if (listening_) {
            try {
                listen();
            } catch (const EngineError &) {
                return false;
            }
        }
        return true;
    }
    bool ours = false;
    while (PGnotify *n = PQnotifies(conn_)) {
        ours = ours || QString::fromUtf8(n->extra) == address_.schema;
        PQfreemem(n);
    }
    return ours;
}

std::optional<QString> ServerBroadcast::pending(const QString &osUser)
{
    if (!tableExists())
        return std::nullopt;
    const QByteArray sql = QStringLiteral("SELECT coalesce(t.tekst, '') FROM %1 f LEFT JOIN %1 t ON t.uzytkownik = '' "
                                          "WHERE f.uzytkownik = lower($1) AND f.flaga")
                               .arg(table_)
                               .toUtf8();
    const QByteArray user = osUser.toUtf8();
    const char *param = user.constData();
    const Result result(PQexecParams(conn_, sql.constData(), 1, nullptr, &param, nullptr, nullptr, 0), &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw EngineError(QStringLiteral("Serwer zwrócił błąd: %1").arg(serverWords(conn_)));
    if (PQntuples(result.get()) != 1)
        return std::nullopt;
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}

void ServerBroadcast::clear(const QString &osUser)
{
    exec(QStringLiteral("UPDATE %1 SET flaga = false WHERE uzytkownik = lower($1)").arg(table_).toUtf8().constData(),
         {osUser});
}

} // namespace fenwa::data
