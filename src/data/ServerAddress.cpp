#include "data/ServerAddress.h"

#include "data/PgText.h"

#include <QStringList>
#include <QUrl>
#include <libpq-fe.h>
#include <memory>
#include <optional>

namespace fenwa::data {

namespace {

// Seconds libpq waits for a server that does not answer.
constexpr int kConnectTimeout = 10;
// The Polish order of the statements that sort text.
constexpr const char *kPolishCollation = "pl-PL-x-icu";

QByteArray quoted(const QString &value)
{
    QByteArray out = value.toUtf8();
    out.replace('\\', "\\\\");
    out.replace('\'', "\\'");
    return '\'' + out + '\'';
}

// One field of a typed address, checked and put in its place.
class Fields {
public:
    // False (with the reason) for a field the address may not have.
    bool set(const QString &key, const QString &value)
    {
        for (const QChar c : value)
            if (c.category() == QChar::Other_Control) {
                error = QStringLiteral("Pole „%1” adresu serwera zawiera niedozwolone znaki.").arg(key);
                return false;
            }
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port"))
            return setPort(value);
        else if (key == QLatin1String("dbname"))
            address.database = value;
        else if (key == QLatin1String("user"))
            address.user = value;
        else if (key == QLatin1String("schema"))
            address.schema = value;
        else if (key == QLatin1String("password")) {
            error = QStringLiteral("Hasła nie podaje się w adresie serwera: program bierze je z pliku .pgpass "
                                   "użytkownika.");
            return false;
        } else {
            error = QStringLiteral("Nieznane pole „%1” w adresie serwera (znane: host, port, dbname, user, schema).")
                        .arg(key);
            return false;
        }
        return true;
    }

    // The address when it names a host and a schema.
    ServerAddress finish(QString *out)
    {
        if (error.isEmpty() && address.host.isEmpty())
            error = QStringLiteral("W adresie serwera brak hosta (nazwy serwera lub folderu jego gniazda).");
        if (error.isEmpty() && address.schema.isEmpty())
            error = QStringLiteral("W adresie serwera brak schematu instalacji (schema=…).");
        if (out)
            *out = error;
        return error.isEmpty() ? address : ServerAddress{};
    }

    QString error;

private:
    bool setPort(const QString &value)
    {
        bool ok = false;
        const int port = value.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            error = QStringLiteral("Port „%1” nie jest liczbą od 1 do 65535.").arg(value);
            return false;
        }
        address.port = port;
        return true;
    }

    ServerAddress address;
};

ServerAddress fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return {};
}

// postgresql://user@host:port/database?schema=name&host=/socket/folder
ServerAddress parseUri(const QString &text, int schemeLength, QString *error)
{
    Fields fields;
    const auto decode = [](QStringView part) { return QUrl::fromPercentEncoding(part.toUtf8()); };
    QStringView rest = QStringView(text).mid(schemeLength);
    QStringView query;
    if (const auto q = rest.indexOf(QLatin1Char('?')); q >= 0) {
        query = rest.mid(q + 1);
        rest = rest.left(q);
    }
    QStringView authority = rest;
    if (const auto slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        authority = rest.left(slash);
        const QStringView path = rest.mid(slash + 1);
        if (path.contains(QLatin1Char('/')))
            return fail(error, QStringLiteral("Po nazwie bazy danych w adresie serwera może być tylko „?”."));
        if (!path.isEmpty() && !fields.set(QStringLiteral("dbname"), decode(path)))
            return fields.finish(error);
    }
    if (const auto at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QStringView userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        if (userInfo.contains(QLatin1Char(':')) && !fields.set(QStringLiteral("password"), {}))
            return fields.finish(error);
        if (!fields.set(QStringLiteral("user"), decode(userInfo)))
            return fields.finish(error);
    }
    QStringView host = authority;
    std::optional<QStringView> port;
    if (authority.startsWith(QLatin1Char('['))) {   // [IPv6 address]:port
        const auto close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(error, QStringLiteral("W adresie serwera brak „]” po adresie IPv6."));
        host = authority.mid(1, close - 1);
        const QStringView after = authority.mid(close + 1);
        if (after.startsWith(QLatin1Char(':')))
            port = after.mid(1);
        else if (!after.isEmpty())
            return fail(error, QStringLiteral("Po adresie IPv6 w adresie serwera może być tylko „:port”."));
    } else if (const auto colon = authority.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    if (!host.isEmpty() && !fields.set(QStringLiteral("host"), decode(host)))
        return fields.finish(error);
    if (port && !fields.set(QStringLiteral("port"), decode(*port)))
        return fields.finish(error);
    for (const QStringView pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const auto eq = pair.indexOf(QLatin1Char('='));
        const QString key = decode(eq < 0 ? pair : pair.left(eq));
        const QString value = eq < 0 ? QString() : decode(pair.mid(eq + 1));
        if (!fields.set(key, value))
            return fields.finish(error);
    }
    return fields.finish(error);
}

// host=… port=… dbname=… user=… schema=…, values quoted as in libpq.
ServerAddress parseKeywords(const QString &text, QString *error)
{
    Fields fields;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
    };
    for (skipSpaces(); i < text.size(); skipSpaces()) {
        const qsizetype keyStart = i;
        while (i < text.size() && text[i] != QLatin1Char('=') && !text[i].isSpace())
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        skipSpaces();
        if (i >= text.size() || text[i] != QLatin1Char('='))
            return fail(error, QStringLiteral("Po „%1” w adresie serwera brak „=” i wartości.").arg(key));
        ++i;
        skipSpaces();
        QString value;
        const bool inQuotes = i < text.size() && text[i] == QLatin1Char('\'');
        if (inQuotes)
            ++i;
        bool closed = !inQuotes;
        for (; i < text.size(); ++i) {
            const QChar c = text[i];
            if (inQuotes && c == QLatin1Char('\'')) {
                closed = true;
                ++i;
                break;
            }
            if (!inQuotes && c.isSpace())
                break;
            if (c == QLatin1Char('\\') && i + 1 < text.size())
                value += text[++i];
            else
                value += c;
        }
        if (!closed)
            return fail(error, QStringLiteral("Wartość pola „%1” adresu serwera nie ma zamykającego apostrofu.")
                                   .arg(key));
        if (!fields.set(key, value))
            return fields.finish(error);
    }
    return fields.finish(error);
}

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using pg::Result;
using pg::serverWords;

Connection connect(const ServerAddress &address)
{
    return Connection(PQconnectdb(address.conninfo().constData()), &PQfinish);
}

// One row of one value of a statement with text parameters; nullopt (and the
// reason in *error) when the statement fails.
std::optional<QString> scalar(PGconn *conn, const char *sql, const QStringList &params, QString *error)
{
    const Result result = pg::execText(conn, sql, params);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) {
        *error = QStringLiteral("Serwer zwrócił błąd: %1").arg(serverWords(conn));
        return std::nullopt;
    }
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}

// Why a connection was refused: the login, or the database (told apart by
// logging in to another database of the server with the same user).
QString refusal(const ServerAddress &address, PGconn *refused)
{
    const QString user = QString::fromUtf8(PQuser(refused));
    const QString database = QString::fromUtf8(PQdb(refused));
    const QString words = serverWords(refused);
    if (PQconnectionNeedsPassword(refused))
        return QStringLiteral("Serwer odmówił logowania użytkownika „%1”: wymaga hasła, a nie ma go w pliku "
                              ".pgpass użytkownika.")
            .arg(user);
    ServerAddress other = address;
    other.database = database == QLatin1String("postgres") ? QStringLiteral("template1") : QStringLiteral("postgres");
    const Connection conn = connect(other);
    if (PQstatus(conn.get()) != CONNECTION_OK)
        return QStringLiteral("Serwer odmówił logowania użytkownika „%1”: %2").arg(user, words);
    QString error;
    const auto exists =
        scalar(conn.get(), "SELECT count(*) FROM pg_catalog.pg_database WHERE datname = $1", {database}, &error);
    if (!exists)
        return error;
    if (*exists == QLatin1String("0"))
        return QStringLiteral("Na serwerze nie ma bazy danych „%1”.").arg(database);
    return QStringLiteral("Brak dostępu do bazy danych „%1”: %2").arg(database, words);
}

} // namespace

bool ServerAddress::isSet() const
{
    return !host.isEmpty();
}

QByteArray ServerAddress::conninfo() const
{
    QByteArray out = "host=" + quoted(host) + " port=" + QByteArray::number(port);
    if (!database.isEmpty())
        out += " dbname=" + quoted(database);
    if (!user.isEmpty())
        out += " user=" + quoted(user);
    out += " application_name=fenwa5 client_encoding=UTF8 connect_timeout=" + QByteArray::number(kConnectTimeout);
    return out;
}

ServerAddress ServerAddress::parse(const QString &text, QString *error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return fail(error, QStringLiteral("Nie podano adresu serwera."));
    for (const QLatin1String scheme : {QLatin1String("postgresql://"), QLatin1String("postgres://")})
        if (trimmed.startsWith(scheme, Qt::CaseInsensitive))
            return parseUri(trimmed, int(scheme.size()), error);
    return parseKeywords(trimmed, error);
}

QString testConnection(const ServerAddress &address, QString *serverVersion)
{
    if (!address.isSet())
        return QStringLiteral("Nie podano serwera (nazwy hosta lub folderu gniazda).");
    switch (PQping(address.conninfo().constData())) {
    case PQPING_OK:
        break;
    case PQPING_REJECT:
        return QStringLiteral("Serwer %1 (port %2) nie przyjmuje teraz połączeń: uruchamia się lub zatrzymuje.")
            .arg(address.host)
            .arg(address.port);
    case PQPING_NO_ATTEMPT:
        return QStringLiteral("Adresu serwera nie da się użyć: sprawdź nazwę serwera i port.");
    case PQPING_NO_RESPONSE:
        return QStringLiteral("Serwer %1 nie odpowiada na porcie %2: sprawdź nazwę serwera i port oraz czy serwer "
                              "działa.")
            .arg(address.host)
            .arg(address.port);
    }
    const Connection conn = connect(address);
    if (PQstatus(conn.get()) != CONNECTION_OK)
        return refusal(address, conn.get());
    const QString database = QString::fromUtf8(PQdb(conn.get()));

    QString error;
    const auto collation = scalar(conn.get(), "SELECT count(*) FROM pg_catalog.pg_collation WHERE collname = $1",
                                  {QLatin1String(kPolishCollation)}, &error);
    if (!collation)
        return error;
    if (*collation == QLatin1String("0"))
        return QStringLiteral("Serwer nie zna polskiego porządku alfabetycznego (kolacji ICU „%1”): potrzebny jest "
                              "PostgreSQL zbudowany z ICU.")
            .arg(QLatin1String(kPolishCollation));
    const auto schema =
        scalar(conn.get(), "SELECT count(*) FROM pg_catalog.pg_namespace WHERE nspname = $1", {address.schema}, &error);
    if (!schema)
        return error;
    if (*schema == QLatin1String("0"))
        return QStringLiteral("W bazie danych „%1” nie ma schematu „%2”.").arg(database, address.schema);
    const auto passwd = scalar(conn.get(),
                               "SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                               "ON n.oid = c.relnamespace WHERE n.nspname = $1 AND c.relname = 'passwd' "
                               "AND c.relkind IN ('r', 'p')",
                               {address.schema}, &error);
    if (!passwd)
        return error;
    if (*passwd == QLatin1String("0"))
        return QStringLiteral("Schemat „%1” bazy danych „%2” nie zawiera instalacji programu (brak tabeli passwd).")
            .arg(address.schema, database);
    if (serverVersion)
        *serverVersion = QString::fromUtf8(PQparameterStatus(conn.get(), "server_version")).section(QLatin1Char(' '), 0, 0);
    return {};
}

} // namespace fenwa::data
