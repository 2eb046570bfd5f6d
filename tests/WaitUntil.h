#pragma once
// Waiting in tests: events run in short slices until a condition holds, so a
// test waits only as long as the program needs, never a fixed time.
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace fenwa::testing {

// Lets events run (and the thread sleep between them) until the condition
// holds or timeoutMs passes; returns whether it holds.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop slice;
        QTimer::singleShot(10, &slice, &QEventLoop::quit);
        slice.exec();
    }
    return true;
}

} // namespace fenwa::testing
