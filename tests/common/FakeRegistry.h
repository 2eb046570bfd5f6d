#pragma once
// A registry with values set by the test; counts writes of the last login.
#include "common/Registry.h"

namespace fenwa::testing {

class FakeRegistry : public Registry {
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
