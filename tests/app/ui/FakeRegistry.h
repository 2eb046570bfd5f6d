#pragma once
#include "app/Startup.h"

namespace fenwa::testing {

class FakeRegistry : public app::Registry {
public:
    QString last, machine, previous;
    int lastWrites = 0;
    QString lastLogin() const override { return last; }
    void setLastLogin(const QString &l) override
    {
        last = l;
        ++lastWrites;
    }
    QString machineDataFolder() const override { return machine; }
    QString previousDataFolder() const override { return previous; }
};

} // namespace fenwa::testing
