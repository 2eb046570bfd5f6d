#pragma once
// The receiving side of the broadcast message (admin/BroadcastKeys.h says
// where it lives in the settings file; on a server installation it lives on
// the server, data/ServerBroadcast.h).
#include "admin/BroadcastKeys.h"
#include "admin/IniFile.h"
#include "common/Messages.h"
#include "data/ServerBroadcast.h"

#include <QString>
#include <memory>
#include <optional>

namespace fenwa::app {

inline const QString broadcastTitle = QStringLiteral("Komunikat");

// The operating-system login name (at most 128 characters).
QString osUserName();

class BroadcastReceiver {
public:
    BroadcastReceiver(admin::IniFile &ini, QString osUser, Messages &messages);

    // Reads this user's flag; when set, shows the message and clears the flag
    // after the box has closed. Returns whether a message was shown. A call made
    // while the box is open (from its own event loop) does nothing.
    bool poll();
    // Only reads the flag (false while the box is open). On a server it asks
    // the server only the first time and after a notification arrived.
    bool flagSet();

    // From now on the message comes from the server: the receiver listens
    // there. Returns the socket to watch for readability (-1: none).
    int listenOn(std::unique_ptr<data::ServerBroadcast> server);
    // The socket became readable: takes what arrived (a notification makes
    // the next flagSet() ask the server). Returns the socket to watch from
    // now on (it changes when a lost connection was opened again).
    int takeNotifications();

    const QString &osUser() const { return osUser_; }

private:
    std::optional<QString> pendingText();
    void clearFlag();

    admin::IniFile &ini_;
    std::unique_ptr<data::ServerBroadcast> server_;
    bool askServer_ = true;
    QString osUser_;
    Messages &messages_;
    bool showing_ = false;
};

} // namespace fenwa::app
