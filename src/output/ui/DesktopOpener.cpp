#include "output/ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace fenwa::output::ui {

namespace {
// Whether the desktop has a program for the file's type. Where this cannot be
// asked (no xdg-mime), the opener is left to try.
bool desktopHasProgramFor([[maybe_unused]] const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForStarted(5000) || !query.waitForFinished(10000))
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
#else
    return true;
#endif
}
} // namespace

bool openWithDesktop(const QString &path)
{
    return desktopHasProgramFor(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace fenwa::output::ui
