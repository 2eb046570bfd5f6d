// Opening written files with the desktop's programs.
#include "output/ui/DesktopOpener.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using fenwa::output::ui::openWithDesktop;

namespace {
// Points the freedesktop look-ups at an empty folder for the test's length.
struct EmptyDesktop {
    QTemporaryDir dir;
    const QList<QByteArray> names{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
    const QList<QByteArray> sessionNames{"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                         "GNOME_DESKTOP_SESSION_ID"};
    QHash<QByteArray, QByteArray> saved;

    EmptyDesktop()
    {
        for (const QByteArray &n : names + sessionNames)
            if (qEnvironmentVariableIsSet(n.constData()))
                saved.insert(n, qgetenv(n.constData()));
        for (const QByteArray &n : names)
            qputenv(n.constData(), dir.path().toLocal8Bit());
        for (const QByteArray &n : sessionNames)
            qunsetenv(n.constData());
    }
    ~EmptyDesktop()
    {
        for (const QByteArray &n : names + sessionNames) {
            if (saved.contains(n))
                qputenv(n.constData(), saved.value(n));
            else
                qunsetenv(n.constData());
        }
    }
};
} // namespace

TEST(DesktopOpener, AFileNoProgramTakesIsReportedAsNotOpened)
{
    EmptyDesktop desktop;
    const QString path = desktop.dir.filePath(QStringLiteral("Grupy.xlsx"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK");
    f.close();
    EXPECT_FALSE(openWithDesktop(path));
}
