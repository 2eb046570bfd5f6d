#include "app/Startup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSettings>

namespace fenwa::app {


QString SystemRegistry::lastLogin() const
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Zovra"), QStringLiteral("fenwa5"));
    s.setFallbacksEnabled(false);
    return s.value(QStringLiteral("User/Last")).toString();
}

void SystemRegistry::setLastLogin(const QString &login)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Zovra"), QStringLiteral("fenwa5"));
    s.setFallbacksEnabled(false);
    s.setValue(QStringLiteral("User/Last"), login);
    s.sync();
}

QString SystemRegistry::machineDataFolder() const
{
    QSettings s(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Zovra"), QStringLiteral("fenwa5"));
    return s.value(QStringLiteral("Path/Data")).toString();
}

QString SystemRegistry::previousDataFolder() const
{
    QSettings s(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Rabex"), QStringLiteral("Fenwa4"));
    return s.value(QStringLiteral("Paths/Data")).toString();
}

QString resolveDataFolder(admin::IniFile &ini, const Registry &registry)
{
    QString folder = ini.readString(QStringLiteral("Foldery"), QStringLiteral("Dane"), QString());
    if (!folder.isEmpty())
        return folder;
    folder = registry.machineDataFolder();
    try {
        ini.writeString(QStringLiteral("Foldery"), QStringLiteral("Dane"), folder);
    } catch (const admin::IniWriteError &) {
        // The folder is still known for this run.
    }
    return folder;
}

QString privateDirectory()
{
    // The user's runtime folder: Qt creates it for this user alone (mode 0700)
    // and refuses one that another user owns.
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString path = QDir(base).filePath(QStringLiteral("fenwa5"));
    const QFileInfo info(path);
    if (!info.isDir())
        QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace fenwa::app
