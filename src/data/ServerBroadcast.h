#pragma once
// The broadcast message of an installation on a server. The schema's table
// _fenwa5_komunikat holds the text (the row of the empty user name) and one
// flag per operating-system user; the sender stores them in one transaction
// and notifies the channel "fenwa5_komunikat" (the schema's name as payload),
// so every running copy that listens reads its flag at once instead of
// polling. The connection is one of its own, apart from the engine's: a
// listening connection must stay free to receive notifications.
#include "data/ServerAddress.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct pg_conn;

namespace fenwa::data {

class ServerBroadcast {
public:
    // Connects to the server. EngineError with a Polish message when it cannot.
    explicit ServerBroadcast(const ServerAddress &address);
    ~ServerBroadcast();
    ServerBroadcast(const ServerBroadcast &) = delete;
    ServerBroadcast &operator=(const ServerBroadcast &) = delete;

    // The text last sent (empty when none). EngineError on a server error.
    QString text();
    // Stores `text`, sets the flag of every user in `osUsers` and notifies the
    // listeners, all in one transaction (the table is created when missing).
    // EngineError when anything fails; then nothing is stored.
    void send(const QString &text, const QStringList &osUsers);

    // Starts listening; the socket to watch for readability (-1 when the
    // connection is lost). EngineError on a server error.
    int listen();
    // Reads what arrived on the socket; whether a notification for this
    // schema was among it. A lost connection is opened again (and listens
    // again); then the answer is true, since notifications may have been
    // missed meanwhile. Never throws: a server still away answers false.
    bool notified();
    // The socket of the connection (-1 when lost).
    int socket() const;

    // The text when `osUser`'s flag is set, else nothing. EngineError on a
    // server error.
    std::optional<QString> pending(const QString &osUser);
    // Clears `osUser`'s flag. EngineError on a server error.
    void clear(const QString &osUser);

private:
    void exec(const char *sql, const QStringList &params = {});
    bool tableExists();

    ServerAddress address_;
    pg_conn *conn_ = nullptr;
    QString table_;   // the table's schema-qualified, quoted name
    bool listening_ = false;
};

} // namespace fenwa::data
