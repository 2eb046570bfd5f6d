#pragma once
// Failures of the table engine. The message is in the engine's (Polish) words
// and is what the user sees in an error box.
#include <QString>
#include <stdexcept>

namespace fenwa::data {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

// A record rule refused the operation; its message (if any) was already shown.
// Windows swallow it; the record keeps its state.
struct Abort {};

} // namespace fenwa::data
