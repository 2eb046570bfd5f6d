#include "output/FileName.h"

namespace fenwa::output {

QString safeFileBase(const QString &title, const QString &fallback)
{
    QString base;
    base.reserve(title.size());
    for (const QChar c : title) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')
            || c == QLatin1Char('(') || c == QLatin1Char(')'))
            base += c;
        else if (c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            base += QLatin1Char('-');
        else
            base += QLatin1Char(' ');
    }
    base = base.simplified();
    if (base.size() > 100)
        base = base.left(100);
    while (!base.isEmpty() && (base.front() == QLatin1Char('-') || base.front().isSpace()))
        base.remove(0, 1);
    while (!base.isEmpty() && (base.back() == QLatin1Char('-') || base.back().isSpace()))
        base.chop(1);
    return base.isEmpty() ? fallback : base;
}

} // namespace fenwa::output
