#pragma once
// The receiving side of the broadcast message (admin/BroadcastKeys.h says
// where it lives in the settings file).
#include "admin/BroadcastKeys.h"
#include "admin/IniFile.h"
#include "common/Messages.h"

#include <QString>

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
    // Only reads the flag (false while the box is open).
    bool flagSet() const;

    const QString &osUser() const { return osUser_; }

private:
    admin::IniFile &ini_;
    QString osUser_;
    Messages &messages_;
    bool showing_ = false;
};

} // namespace fenwa::app
