// The entry point: the application, Polish translations, the settings file,
// then the start-up and the main window's message loop.
#include "admin/IniFile.h"
#include "app/Broadcast.h"
#include "app/Login.h"
#include "app/ui/Aplikacja.h"
#include "app/ui/Application.h"
#include "app/ui/Icons.h"
#include "app/ui/Konsola.h"
#include "app/ui/QtMessages.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    fenwa::app::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fenwa5"));
    QApplication::setOrganizationName(QStringLiteral("Zovra"));
    // The product picture on every window; the desktop entry names the program.
    QApplication::setDesktopFileName(QStringLiteral("fenwa5"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(fenwa::app::icons::product(size, size));
    QApplication::setWindowIcon(icon);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));

    QTranslator qtPolish;
    if (qtPolish.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtPolish);

    fenwa::admin::IniFile ini(fenwa::admin::IniFile::defaultPath());
    fenwa::app::SystemRegistry registry;
    fenwa::app::QtMessages messages;
    app.setMessages(&messages);
    fenwa::Clock clock;

    QString exeFolder = QApplication::applicationDirPath();
    if (!exeFolder.endsWith(QLatin1Char('/')))
        exeFolder += QLatin1Char('/');

    // Windows live until the message loop ends; closing the last one (the
    // main window, after its question) ends it.
    fenwa::app::Aplikacja aplikacja(ini, registry, messages, clock, exeFolder, fenwa::app::osUserName());
    if (!aplikacja.start())
        return 0;
    messages.setParent(aplikacja.F_Konsola.get());
    aplikacja.F_Konsola->show();
    aplikacja.F_Konsola->startIdleWatch();
    return app.exec();
}
