#include "app/Broadcast.h"

#include "common/Platform.h"

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

bool BroadcastReceiver::flagSet() const
{
    return !showing_ && !osUser_.isEmpty() && ini_.readBool(admin::broadcastSection, osUser_, false);
}

bool BroadcastReceiver::poll()
{
    if (showing_ || osUser_.isEmpty())
        return false;
    if (!ini_.readBool(admin::broadcastSection, osUser_, false))
        return false;
    const QString text = ini_.readString(admin::broadcastSection, admin::broadcastTextKey, QString());
    showing_ = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{showing_};
    messages_.warning(text, broadcastTitle);
    try {
        ini_.writeString(admin::broadcastSection, osUser_, QStringLiteral("0"));
    } catch (const admin::IniWriteError &e) {
        // A settings file that cannot be written: say so once instead of
        // showing the same message at every idle moment.
        messages_.error(e.message());
        osUser_.clear();
    }
    return true;
}

} // namespace fenwa::app
