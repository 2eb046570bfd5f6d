#include "output/ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace fenwa::output::ui {

bool openWithDesktop(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace fenwa::output::ui
