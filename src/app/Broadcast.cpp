#include "app/Broadcast.h"

#include "common/Platform.h"
#include "data/EngineError.h"

namespace fenwa::app {

QString osUserName()
{
    QString name = platform::loginName();
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name.left(128);
}

BroadcastReceiver::BroadcastReceiver(admin::IniFile &ini, QString osUser, Messages &messages)
    : ini_(ini), osUser_(std::move(osUser)), messages_(messages)
{
}

int BroadcastReceiver::listenOn(std::unique_ptr<data::ServerBroadcast> server)
{
    server_ = std::move(server);
    askServer_ = true;
    try {
        return server_->listen();
    } catch (const data::EngineError &) {
        return server_->socket();
    }
}

int BroadcastReceiver::takeNotifications()
{
    if (server_ && server_->notified())
        askServer_ = true;
    return server_ ? server_->socket() : -1;
}

// The text when this user's flag is set; a server that cannot be read counts
// as no message (the next notification or reconnection asks again).
std::optional<QString> BroadcastReceiver::pendingText()
{
    if (server_) {
        try {
            return server_->pending(osUser_);
        } catch (const data::EngineError &) {
            return std::nullopt;
        }
    }
    if (!ini_.readBool(admin::broadcastSection, osUser_, false))
        return std::nullopt;
    return ini_.readString(admin::broadcastSection, admin::broadcastTextKey, QString());
}

void BroadcastReceiver::clearFlag()
{
    if (server_) {
        try {
            server_->clear(osUser_);
        } catch (const data::EngineError &e) {
            messages_.error(e.message());
            osUser_.clear();
        }
        return;
    }
    try {
        ini_.writeString(admin::broadcastSection, osUser_, QStringLiteral("0"));
    } catch (const admin::IniWriteError &e) {
        // A settings file that cannot be written: say so once instead of
        // showing the same message at every idle moment.
        messages_.error(e.message());
        osUser_.clear();
    }
}

bool BroadcastReceiver::flagSet()
{
    if (showing_ || osUser_.isEmpty())
        return false;
    if (server_) {
        if (!askServer_ && !server_->notified())
            return false;
        askServer_ = false;
    }
    return pendingText().has_value();
}

bool BroadcastReceiver::poll()
{
    if (showing_ || osUser_.isEmpty())
        return false;
    const std::optional<QString> text = pendingText();
    if (!text)
        return false;
    showing_ = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{showing_};
    messages_.warning(*text, broadcastTitle);
    clearFlag();
    return true;
}

} // namespace fenwa::app
