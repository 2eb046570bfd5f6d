// Writes the product picture as the desktop's icon files:
//   fenwa5-icons FOLDER SIZE...  ->  FOLDER/<SIZE>x<SIZE>/apps/fenwa5.png
// (the hicolor theme's layout), drawn by the program's own code.
#include "app/ui/Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "Wywołanie: fenwa5-icons FOLDER ROZMIAR...\n";
        return 2;
    }
    for (const QString &arg : args.mid(1)) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            err << "Niepoprawny rozmiar ikony: " << arg << '\n';
            return 2;
        }
        const QString dir = QDir(args[0]).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(dir).filePath(QStringLiteral("fenwa5.png"));
        if (!QDir().mkpath(dir) || !fenwa::app::icons::product(size, size).save(file, "PNG")) {
            err << "Nie można zapisać pliku " << file << '\n';
            return 1;
        }
    }
    return 0;
}
