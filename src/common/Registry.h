#pragma once
// The program's values in the system registry (QSettings in the native format
// implements it for the running program; tests give their own).
#include <QString>

namespace fenwa {

// The two registry values of the program (and the previous generation's
// data folder). Missing values read as empty text.
class Registry {
public:
    virtual ~Registry() = default;
    virtual QString lastLogin() const = 0;            // user scope, "User"/"Last"
    virtual void setLastLogin(const QString &login) = 0;
    virtual QString machineDataFolder() const = 0;    // machine scope, "Path"/"Data"
    virtual QString previousDataFolder() const = 0;   // previous generation, "Paths"/"Data"
};

} // namespace fenwa
