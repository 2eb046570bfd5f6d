#pragma once
// Runs a window's command on the data: a rule's refusal (Abort) is swallowed,
// an engine error is shown in the engine's words. Returns true when the
// command went through.
#include "common/Messages.h"
#include "data/EngineError.h"

#include <functional>

namespace fenwa::data {

inline bool guarded(Messages &messages, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const Abort &) {
        return false;
    } catch (const EngineError &e) {
        messages.error(e.message());
        return false;
    }
}

// The same, but engine errors are swallowed too (commands that report nothing).
inline bool quiet(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const Abort &) {
    } catch (const EngineError &) {
    }
    return false;
}

} // namespace fenwa::data
