// fenwa5-baza: creates the installation database of a data folder, a demo
// data folder, runs single SQL statements on a data folder and checks its
// database with SQLite's integrity check; migrates a legacy data folder.
#include "admin/Migration.h"
#include "common/Clock.h"
#include "data/Database.h"
#include "data/Demo.h"
#include "data/EngineError.h"
#include "data/Guard.h"
#include "data/Seed.h"
#include "data/SqlConsole.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace fenwa::data;

namespace {

const char *const kHelp =
    "fenwa5-baza - baza danych instalacji programu Fenwa5\n"
    "\n"
    "Użycie:\n"
    "  fenwa5-baza init FOLDER\n"
    "      Tworzy w folderze danych FOLDER (zakładanym, gdy go nie ma) bazę danych\n"
    "      fenwa5.sqlite ze wszystkimi tabelami wspólnymi: użytkownik \"admin\" z pustym\n"
    "      hasłem i wszystkimi uprawnieniami, inspektoraty wojewódzkie i powiatowe,\n"
    "      klasyfikacja budżetowa, jednostki miary, źródła finansowania, gatunki,\n"
    "      choroby i inne słowniki. Istniejąca baza danych nigdy nie jest nadpisywana.\n"
    "\n"
    "  fenwa5-baza demo FOLDER\n"
    "      Jak init, a ponadto rejestry demonstracyjne bieżącego roku dla jednostek\n"
    "      2000 (WIW w Białymstoku), 2003 (PIW w Bielsku Podlaskim) i 2080 (ZHW\n"
    "      w Białymstoku): grupy dokumentów i pozycje z kolejnych miesięcy.\n"
    "\n"
    "  fenwa5-baza sql FOLDER [PLIK]\n"
    "      Wykonuje jedno polecenie SQL w dialekcie programu, wczytane z PLIKU albo\n"
    "      ze standardowego wejścia; tekst w innym kodowaniu niż UTF-8 jest odrzucany.\n"
    "      Wiersze polecenia zwracającego wiersze (SELECT, WITH, PRAGMA...) trafiają na\n"
    "      standardowe wyjście jako CSV (RFC 4180: wiersz nagłówka, daty RRRR-MM-DD,\n"
    "      liczby z kropką, wartości logiczne 1/0, pusta wartość jako puste pole).\n"
    "      Inne polecenie wypisuje nagłówek \"zmienione_wiersze\" i liczbę zmienionych\n"
    "      wierszy. Błąd trafia na standardowe wyjście błędów, kod wyjścia 1.\n"
    "\n"
    "  fenwa5-baza sprawdz FOLDER\n"
    "      Sprawdza spójność bazy danych fenwa5.sqlite (integrity_check SQLite):\n"
    "      wypisuje \"OK\" (kod wyjścia 0) albo znalezione uszkodzenia (kod wyjścia 1).\n"
    "\n"
    "  fenwa5-baza migruj STARY_FOLDER NOWY_FOLDER\n"
    "      Przenosi dane starego folderu danych (tabele Paradox: użytkownicy, słowniki,\n"
    "      rejestry g_RRRR_KKKK.db i p_RRRR_KKKK.db, plan.db) do nowej bazy danych\n"
    "      w NOWYM_FOLDERZE, z tymi samymi identyfikatorami, wartościami i znacznikami.\n"
    "      Stary folder nie jest zmieniany; istniejąca baza danych nie jest nadpisywana.\n"
    "      Wypisuje liczby wierszy odczytanych i zapisanych oraz pominięte pliki.\n"
    "\n"
    "  fenwa5-baza pomoc | -h | --help\n"
    "      Wyświetla ten opis.\n"
    "\n"
    "Kody wyjścia: 0 - powodzenie, 1 - błąd, 2 - niepoprawne wywołanie.\n";

void printErr(const QString &text)
{
    QTextStream err(stderr);
    err << text << Qt::endl;
}

int usage(const QString &problem)
{
    printErr(problem);
    printErr(QStringLiteral("Opis wywołania: fenwa5-baza pomoc"));
    return 2;
}

int init(const QString &folder, bool demo)
{
    fenwa::Clock clock;
    const QDateTime now = clock.now();
    DemoOptions options;
    DemoResult result;
    std::function<void(Database &)> fillDemo;
    if (demo) {
        options.year = now.date().year();
        options.now = now;
        demoMonths(options.year, now, &options.firstMonth, &options.lastMonth);
        // The demo registers are made before the database takes its place.
        fillDemo = [&](Database &db) { result = createDemoRegisters(db, options); };
    }
    std::unique_ptr<Database> db = createInstallation(folder, now.date(), fillDemo);
    QTextStream out(stdout);
    out << "Utworzono bazę danych instalacji: "
        << QDir::toNativeSeparators(QDir(db->folder()).filePath(QString::fromLatin1(Database::fileName)))
        << Qt::endl;
    if (demo)
        out << "Rejestry demonstracyjne roku " << options.year << " (jednostki "
            << options.units.join(QStringLiteral(", ")) << "): " << result.groups << " grup dokumentów, "
            << result.positions << " pozycji." << Qt::endl;
    return 0;
}

int sql(const QString &folder, const QString &file)
{
    QByteArray bytes;
    if (file.isEmpty()) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw EngineError(QStringLiteral("Nie można czytać standardowego wejścia."));
        bytes = in.readAll();
    } else {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw EngineError(QStringLiteral("Nie można odczytać pliku %1.").arg(QDir::toNativeSeparators(file)));
        bytes = in.readAll();
    }
    const QString statement = decodeConsoleInput(bytes);
    std::unique_ptr<Database> db = Database::open(folder, Database::OpenMode::ExistingOnly);
    QString result;
    QTextStream buffer(&result);
    runConsoleStatement(*db, statement, buffer);
    buffer.flush();
    QTextStream out(stdout);
    out << result;
    return 0;
}

int check(const QString &folder)
{
    std::unique_ptr<Database> db = Database::open(folder, Database::OpenMode::ExistingOnly);
    const QStringList problems = integrityProblems(*db);
    QTextStream out(stdout);
    if (problems.isEmpty()) {
        out << "OK" << Qt::endl;
        return 0;
    }
    out << "Baza danych "
        << QDir::toNativeSeparators(QDir(db->folder()).filePath(QString::fromLatin1(Database::fileName)))
        << " jest uszkodzona:" << Qt::endl;
    for (const QString &p : problems)
        out << p << Qt::endl;
    return 1;
}

int migrate(const QString &oldFolder, const QString &newFolder)
{
    fenwa::Clock clock;
    const fenwa::admin::MigrationReport report =
        fenwa::admin::migrateLegacyFolder(oldFolder, newFolder, clock.now().date());
    QTextStream out(stdout);
    out << report.text();
    return 0;
}

int run(const QStringList &args)
{
    const QString &command = args[0];
    if (command == QLatin1String("init") || command == QLatin1String("demo")) {
        if (args.size() != 2)
            return usage(QStringLiteral("Polecenie %1 wymaga jednego argumentu: FOLDER.").arg(command));
        return init(args[1], command == QLatin1String("demo"));
    }
    if (command == QLatin1String("sql")) {
        if (args.size() < 2 || args.size() > 3)
            return usage(QStringLiteral("Polecenie sql wymaga argumentów: FOLDER [PLIK]."));
        return sql(args[1], args.size() == 3 ? args[2] : QString());
    }
    if (command == QLatin1String("sprawdz")) {
        if (args.size() != 2)
            return usage(QStringLiteral("Polecenie sprawdz wymaga jednego argumentu: FOLDER."));
        return check(args[1]);
    }
    if (command == QLatin1String("migruj")) {
        if (args.size() != 3)
            return usage(QStringLiteral("Polecenie migruj wymaga argumentów: STARY_FOLDER NOWY_FOLDER."));
        return migrate(args[1], args[2]);
    }
    return usage(QStringLiteral("Nieznane polecenie: %1").arg(command));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("Brak polecenia."));
    const QString command = args[0];
    if (command == QLatin1String("pomoc") || command == QLatin1String("-h") || command == QLatin1String("--help")) {
        QTextStream(stdout) << QString::fromUtf8(kHelp);
        return 0;
    }
    // Whatever fails (also a lack of memory) ends the tool with a message and code 1.
    fenwa::StandardErrorMessages errors;
    int code = 1;
    fenwa::data::safely(errors, [&] { code = run(args); });
    return code;
}
