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

// A post or delete refused because another workstation changed or deleted
// the record since this one read it. The record keeps its state (a pending
// edit keeps the typed values); reading the data again allows a retry.
class RecordConflict : public EngineError {
public:
    enum class Kind { Changed, Deleted };
    RecordConflict(Kind kind, const QString &message) : EngineError(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// A record rule refused the operation; its message (if any) was already shown.
// Windows swallow it; the record keeps its state.
struct Abort {};

} // namespace fenwa::data
