#pragma once
// Runs a window's command on the data: a rule's refusal (Abort) is swallowed,
// an engine error is shown in the engine's words. Returns true when the
// command went through.
#include "common/Messages.h"
#include "data/EngineError.h"

#include <QString>
#include <exception>
#include <functional>
#include <new>

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

// The program's last net around everything a window does: like guarded(),
// and any other exception is shown in its own words too (a lack of memory or
// an unknown one in general words), so that nothing ends the program and the
// window stays usable. Returns true when the command went through.
inline bool safely(Messages &messages, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const Abort &) {
    } catch (const EngineError &e) {
        messages.error(e.message());
    } catch (const std::bad_alloc &) {
        messages.error(QStringLiteral("Za mało pamięci, aby wykonać to polecenie."));
    } catch (const std::exception &e) {
        messages.error(QString::fromUtf8(e.what()));
    } catch (...) {
        messages.error(QStringLiteral("Nieoczekiwany błąd programu; polecenie nie zostało wykonane."));
    }
    return false;
}

} // namespace fenwa::data
