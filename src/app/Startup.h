#pragma once
// Preparing the session: the registry values of the program and the choice
// of the data folder.
#include "admin/IniFile.h"
#include "common/Registry.h"

#include <QDir>
#include <QString>

namespace fenwa::app {

// QSettings in the native format: organisation "Zovra", application "fenwa5".
class SystemRegistry : public Registry {
public:
    QString lastLogin() const override;
    void setLastLogin(const QString &login) override;
    QString machineDataFolder() const override;
    QString previousDataFolder() const override;
};

// Step 5 of the preparation: "Foldery"/"Dane" of the settings file; when it is
// empty, the machine's registry value, written back to the settings file (also
// when that is empty). A settings file that cannot be written does not stop
// the start: the folder is still used.
QString resolveDataFolder(admin::IniFile &ini, const Registry &registry);

// The engine's private folder: "fenwa5" in the user's own runtime folder (never
// a folder other users share), created for the user alone when missing.
QString privateDirectory();

// Text shown when no data folder is configured anywhere; it names the
// settings file to write it in.
inline QString noDataFolderText(const QString &settingsPath)
{
    return QStringLiteral("Nie wskazano folderu danych. Wpisz go w pliku ustawień programu %1 "
                          "(sekcja [Foldery], klucz Dane).")
        .arg(QDir::toNativeSeparators(settingsPath));
}

} // namespace fenwa::app
