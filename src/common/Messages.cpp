#include "common/Messages.h"

#include <QTextStream>

namespace fenwa {

namespace {
void writeError(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}
} // namespace

void StandardErrorMessages::error(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::warning(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::information(const QString &text, const QString &) { writeError(text); }
void StandardErrorMessages::questionOk(const QString &text, const QString &) { writeError(text); }

bool StandardErrorMessages::question(const QString &text, const QString &)
{
    writeError(text);
    return false;
}

} // namespace fenwa
