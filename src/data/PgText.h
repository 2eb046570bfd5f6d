#pragma once
// Small pieces for the places that talk to a PostgreSQL server through libpq
// outside the engine's backend (the connection test, the broadcast): a
// result that frees itself, the server's words, and a statement run with
// text parameters.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <libpq-fe.h>
#include <memory>

namespace fenwa::data::pg {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// The server's or libpq's own words about the last failure, on one line.
inline QString serverWords(PGconn *conn) { return QString::fromUtf8(PQerrorMessage(conn)).simplified(); }

// Runs sql with params as text values ($1, $2...); the result, whatever its status.
inline Result execText(PGconn *conn, const char *sql, const QStringList &params)
{
    QVector<QByteArray> values;
    QVector<const char *> pointers;
    for (const QString &p : params)
        values << p.toUtf8();
    for (const QByteArray &v : values)
        pointers << v.constData();
    return Result(PQexecParams(conn, sql, int(pointers.size()), nullptr, pointers.constData(), nullptr, nullptr, 0),
                  &PQclear);
}

} // namespace fenwa::data::pg
