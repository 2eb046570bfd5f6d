#pragma once
// Where an installation on a PostgreSQL server lives: the server (a host name,
// an address or the folder of the server's Unix socket), its port, the
// database, the user and the schema that holds the installation's tables.
//
// The password is never part of it: libpq takes it from its own places (the
// user's ~/.pgpass, the file PGPASSFILE names, or PGPASSWORD), so the program
// neither asks for it nor stores it.
#include <QByteArray>
#include <QString>

namespace fenwa::data {

struct ServerAddress {
    QString host;       // empty: no server, the program works on its data folder
    int port = 5432;
    QString database;   // empty: libpq's default (the user's name)
    QString user;       // empty: libpq's default (the system login)
    QString schema;     // the installation's schema

    // A server is named (the host is filled).
    bool isSet() const;

    // The libpq connection string: every filled value in single quotes with
    // "\" and "'" escaped, so no value can add or change a keyword; with
    // application_name=fenwa5 and a connect timeout. The schema is not part
    // of it (the engine sets it on the open connection).
    QByteArray conninfo() const;

    // Reads an address as an administrator types it, either as a URI
    //   postgresql://user@host:port/database?schema=name
    // (also "postgres://"; parts percent-encoded; the host may be given as the
    // parameter host=, e.g. a socket folder) or as keywords
    //   host=… port=… dbname=… user=… schema=…
    // (values in single quotes when they hold spaces, "\" escaping "\" and "'").
    // A host and a schema are required. On a fault: an empty address and the
    // Polish reason in *error (when given). A password is refused: it belongs
    // in ~/.pgpass.
    static ServerAddress parse(const QString &text, QString *error);

    friend bool operator==(const ServerAddress &, const ServerAddress &) = default;
};

// Connects to the server and checks that it can hold the installation: the
// server answers, the login is accepted, the database exists, the Polish ICU
// collation "pl-PL-x-icu" is there and the schema exists and holds an
// installation (its table passwd). Empty when all is fine (then *serverVersion,
// when given, gets the server's version, e.g. "15.18"); else the Polish reason.
QString testConnection(const ServerAddress &address, QString *serverVersion = nullptr);

} // namespace fenwa::data
