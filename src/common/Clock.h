#pragma once
// "Now" for the whole program; tests fix it.
#include <QDateTime>
#include <optional>

namespace fenwa {

class Clock {
public:
    QDateTime now() const { return fixed_ ? *fixed_ : QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }
    void set(const QDateTime &moment) { fixed_ = moment; }
    void release() { fixed_.reset(); }

private:
    std::optional<QDateTime> fixed_;
};

} // namespace fenwa
