// fenwa5-baza: creates the installation database of a data folder or of a
// server schema, a demo installation, runs single SQL statements on either
// and checks it; copies an installation between folders and servers;
// migrates a legacy data folder.
#include "admin/Migration.h"
#include "common/Clock.h"
#include "data/Database.h"
#include "data/Demo.h"
#include "data/EngineError.h"
#include "data/InstallationCopy.h"
#include "data/Guard.h"
#include "data/Seed.h"
#include "data/ServerAddress.h"
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
    "  fenwa5-baza init MIEJSCE\n"
    "      Tworzy bazę danych instalacji ze wszystkimi tabelami wspólnymi: użytkownik\n"
    "      \"admin\" z pustym hasłem i wszystkimi uprawnieniami, inspektoraty wojewódzkie\n"
    "      i powiatowe, klasyfikacja budżetowa, jednostki miary, źródła finansowania,\n"
    "      gatunki, choroby i inne słowniki. W folderze danych (zakładanym, gdy go nie\n"
    "      ma) powstaje plik fenwa5.sqlite; na serwerze - tabele w schemacie (zakładanym,\n"
    "      gdy go nie ma). Istniejąca baza danych, także schemat z tabelami, nigdy nie\n"
    "      jest nadpisywana.\n"
    "\n"
    "  fenwa5-baza demo MIEJSCE\n"
    "      Jak init, a ponadto rejestry demonstracyjne bieżącego roku dla jednostek\n"
    "      2000 (WIW w Białymstoku), 2003 (PIW w Bielsku Podlaskim) i 2080 (ZHW\n"
    "      w Białymstoku): grupy dokumentów i pozycje z kolejnych miesięcy.\n"
    "\n"
    "  fenwa5-baza sql MIEJSCE [PLIK]\n"
    "      Wykonuje jedno polecenie SQL w dialekcie programu, wczytane z PLIKU albo\n"
    "      ze standardowego wejścia; tekst w innym kodowaniu niż UTF-8 jest odrzucany.\n"
    "      Wiersze polecenia zwracającego wiersze (SELECT, WITH, PRAGMA...) trafiają na\n"
    "      standardowe wyjście jako CSV (RFC 4180: wiersz nagłówka, daty RRRR-MM-DD,\n"
    "      liczby z kropką, wartości logiczne 1/0, pusta wartość jako puste pole).\n"
    "      Inne polecenie wypisuje nagłówek \"zmienione_wiersze\" i liczbę zmienionych\n"
    "      wierszy. Błąd trafia na standardowe wyjście błędów, kod wyjścia 1.\n"
    "\n"
    "  fenwa5-baza sprawdz MIEJSCE\n"
    "      Sprawdza bazę danych: w folderze danych spójność pliku fenwa5.sqlite\n"
    "      (integrity_check SQLite); w folderze i na serwerze - czy są wszystkie\n"
    "      tabele wspólne z ich polami, czy rejestry mają pola swojego rodzaju i czy\n"
    "      wiersze każdej tabeli dają się policzyć; na serwerze także, czy wszystkie\n"
    "      ograniczenia tabel są sprawdzone (spójność stron danych pilnuje sam serwer).\n"
    "      Wypisuje \"OK\" (kod wyjścia 0) albo znalezione problemy (kod wyjścia 1).\n"
    "\n"
    "  fenwa5-baza kopiuj Z DO\n"
    "      Kopiuje całą instalację z miejsca Z do miejsca DO: z folderu danych na\n"
    "      serwer, z serwera do folderu danych, między serwerami albo folderami.\n"
    "      Miejsce DO musi być nowe albo puste (folder bez fenwa5.sqlite, schemat bez\n"
    "      tabel). Źródło jest czytane w jednym spójnym stanie; każda tabela jest\n"
    "      kopiowana w osobnej transakcji, z tymi samymi identyfikatorami i kolejnym\n"
    "      identyfikatorem, po czym liczba jej wierszy jest sprawdzana. Przy błędzie\n"
    "      miejsce DO zostaje takie, jak było. Wypisuje liczbę wierszy każdej tabeli.\n"
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
    "MIEJSCE (także Z i DO) to folder danych albo adres instalacji na serwerze\n"
    "PostgreSQL, w postaci URI albo słów kluczowych, zawsze ze schematem:\n"
    "  postgresql://uzytkownik@host:5432/baza?schema=fenwa5\n"
    "  \"host=/var/run/postgresql port=5432 dbname=baza user=uzytkownik schema=fenwa5\"\n"
    "Hasło nie jest częścią adresu: libpq bierze je z pliku ~/.pgpass, z pliku\n"
    "wskazanego przez PGPASSFILE albo ze zmiennej PGPASSWORD.\n"
    "\n"
    "Opcja --folder=FOLDER (w dowolnym miejscu wywołania) podaje folder danych\n"
    "instalacji na serwerze: folder, który polecenia SQL programu piszą przed\n"
    "nazwami tabel (\"FOLDER\\g_2016_2201.db\"), i folder eksportów. Bez niej: folder\n"
    "bieżący. Dla miejsc w folderze danych opcja nie ma znaczenia.\n"
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

// Where an installation lives: a data folder, or a schema on a server (with
// the data folder its statements name).
struct Place {
    QString folder;
    ServerAddress server;

    bool onServer() const { return server.isSet(); }
    QString shown() const
    {
        if (!onServer())
            return QDir::toNativeSeparators(QDir(folder).filePath(QString::fromLatin1(Database::fileName)));
        return QStringLiteral("schemat „%1” bazy „%2” na serwerze %3:%4")
            .arg(server.schema, server.database, server.host)
            .arg(server.port);
    }
    std::unique_ptr<Database> open() const
    {
        if (onServer())
            return Database::openServer(folder, server.conninfo(), server.schema);
        return Database::open(folder, Database::OpenMode::ExistingOnly);
    }
};

// A server address is a URI or keywords (with "="); anything else a folder.
bool namesServer(const QString &arg)
{
    return arg.startsWith(QLatin1String("postgresql://")) || arg.startsWith(QLatin1String("postgres://"))
           || arg.contains(QLatin1Char('='));
}

Place place(const QString &arg, const QString &dataFolder)
{
    if (!namesServer(arg))
        return {arg, {}};
    QString error;
    const ServerAddress server = ServerAddress::parse(arg, &error);
    if (!error.isEmpty())
        throw EngineError(error);
    return {dataFolder, server};
}

int init(const Place &where, bool demo)
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
    if (where.onServer())
        createServerInstallation(where.folder, where.server, now.date(), fillDemo);
    else
        createInstallation(where.folder, now.date(), fillDemo);
    QTextStream out(stdout);
    out << "Utworzono bazę danych instalacji: " << where.shown() << Qt::endl;
    if (demo)
        out << "Rejestry demonstracyjne roku " << options.year << " (jednostki "
            << options.units.join(QStringLiteral(", ")) << "): " << result.groups << " grup dokumentów, "
            << result.positions << " pozycji." << Qt::endl;
    return 0;
}

int sql(const Place &where, const QString &file)
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
    std::unique_ptr<Database> db = where.open();
    QString result;
    QTextStream buffer(&result);
    runConsoleStatement(*db, statement, buffer);
    buffer.flush();
    QTextStream out(stdout);
    out << result;
    return 0;
}

int check(const Place &where)
{
    std::unique_ptr<Database> db = where.open();
    const QStringList problems = installationProblems(*db);
    QTextStream out(stdout);
    if (problems.isEmpty()) {
        out << "OK" << Qt::endl;
        return 0;
    }
    out << "Baza danych " << where.shown() << " jest uszkodzona:" << Qt::endl;
    for (const QString &p : problems)
        out << p << Qt::endl;
    return 1;
}

// "1 tabela", "23 tabele", "25 tabel": the noun agreeing with the number.
QString counted(qint64 n, const char *one, const char *few, const char *many)
{
    const qint64 lastTwo = n % 100, last = n % 10;
    const char *word = n == 1 ? one : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few : many;
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

int copy(const Place &from, const Place &to)
{
    std::unique_ptr<Database> source = from.open();
    QTextStream out(stdout);
    qint64 total = 0;
    int tables = 0;
    copyToNewInstallation(*source, to.folder, to.server, [&](const CopiedTable &t) {
        out << t.file << ": " << t.rows << Qt::endl;
        total += t.rows;
        ++tables;
    });
    out << "Skopiowano instalację (" << counted(tables, "tabela", "tabele", "tabel") << ", "
        << counted(total, "wiersz", "wiersze", "wierszy") << ") do: " << to.shown() << Qt::endl;
    return 0;
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

int run(QStringList args)
{
    QString dataFolder = QDir::currentPath();
    for (qsizetype i = args.size() - 1; i > 0; --i) {
        if (args[i].startsWith(QLatin1String("--folder="))) {
            dataFolder = args.takeAt(i).mid(int(qstrlen("--folder=")));
            if (dataFolder.isEmpty())
                return usage(QStringLiteral("Opcja --folder wymaga nazwy folderu: --folder=FOLDER."));
        }
    }
    const QString &command = args[0];
    if (command == QLatin1String("init") || command == QLatin1String("demo")) {
        if (args.size() != 2)
            return usage(QStringLiteral("Polecenie %1 wymaga jednego argumentu: MIEJSCE.").arg(command));
        return init(place(args[1], dataFolder), command == QLatin1String("demo"));
    }
    if (command == QLatin1String("sql")) {
        if (args.size() < 2 || args.size() > 3)
            return usage(QStringLiteral("Polecenie sql wymaga argumentów: MIEJSCE [PLIK]."));
        return sql(place(args[1], dataFolder), args.size() == 3 ? args[2] : QString());
    }
    if (command == QLatin1String("sprawdz")) {
        if (args.size() != 2)
            return usage(QStringLiteral("Polecenie sprawdz wymaga jednego argumentu: MIEJSCE."));
        return check(place(args[1], dataFolder));
    }
    if (command == QLatin1String("kopiuj")) {
        if (args.size() != 3)
            return usage(QStringLiteral("Polecenie kopiuj wymaga argumentów: Z DO."));
        return copy(place(args[1], dataFolder), place(args[2], dataFolder));
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
