// Concurrent saves: 8 workstations (processes of this program) each save N
// new positions into the same register at once, through the program's own
// save path (the positions table's append and post: the rules, a write
// transaction per save), on a data folder's SQLite file on the local disk
// and on a PostgreSQL server over its local socket.
//
// Reports the positions saved per second by all of them together. A save
// refused because another workstation holds the database ("zajęta") is
// tried again; any other failure fails the run. At the end the register's
// positions are counted: every save must be there.
//
// The server is FENWA5_BENCH_PG (a libpq connection text), or else a
// throwaway cluster scripts/pg-cluster.sh starts for the run and stops at its
// end; without the server programs the server case is left out.
//
//   concurrent_bench [benchmark options]      the timings
//   concurrent_bench --workstation PLACE N    one workstation (started by the timings)
#include "BenchServer.h"
#include "common/Messages.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "data/Demo.h"
#include "data/InstallationCopy.h"
#include "data/Seed.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"
#include "register/Register.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace fenwa;
using namespace fenwa::data;

namespace {

constexpr int workstations = 8, savesEach = 50, year = 2016;
const QString unit = QStringLiteral("2003");   // a county inspectorate

// The place as the workstations are told it: a folder, or "pg:" and a conninfo with the schema.
std::unique_ptr<Database> openPlace(const QString &place, const QString &folder)
{
    if (!place.startsWith(QLatin1String("pg:")))
        return Database::open(place);
    QString error;
    const ServerAddress a = ServerAddress::parse(place.mid(3), &error);
    if (!error.isEmpty())
        throw EngineError(error);
    return Database::openServer(folder, a.conninfo(), a.schema);
}

// One workstation: opens the register's first group and saves `count`
// positions into it, one at a time as a clerk does.
int workstation(const QString &place, int count)
{
    QTemporaryDir exports;
    auto db = openPlace(place, exports.path());
    CurrentUser user;
    user.user = 1;
    user.user_str = QStringLiteral("admin");
    user.edycja = user.przeglad = user.slowniki = true;
    RunSettings settings;
    settings.fd = settings.fe = db->folder();
    settings.wkod = QStringLiteral("20");
    settings.pkod = unit;
    settings.p_w = 1;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    TF_Dane dane(db.get(), user, settings, reg, messages, clock);
    if (!dane.open())
        throw EngineError(QStringLiteral("The data module did not open."));
    reg::RegisterFlow flow(dane);
    dane.T_PIW->locate(QStringLiteral("Kod"), unit);
    flow.openGroups(year, 1, dane.T_PIW->asString(QStringLiteral("Nazwa")));
    reg.dok = int(dane.T_Gr->asInt(QStringLiteral("Id")));
    if (reg.dok == 0)
        throw EngineError(QStringLiteral("The register has no group to save positions into."));
    reg.zk = false;
    reg.symbol = QStringLiteral("bench");
    flow.openPositions();
    Table *p = dane.T_Poz;
    // Ready: the saves start together when the timings say so.
    std::printf("READY\n");
    std::fflush(stdout);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly) || in.readLine().trimmed() != "GO")
        throw EngineError(QStringLiteral("No start signal."));
    int retried = 0;
    for (int n = 0; n < count;) {
        try {
            p->append();
            p->setValue(QStringLiteral("Opis"),
                        QStringLiteral("Stanowisko %1, pozycja %2").arg(QCoreApplication::applicationPid()).arg(n));
            p->post();
            ++n;
        } catch (const EngineError &e) {
            if (!e.message().contains(QStringLiteral("zajęta")))
                throw;
            p->cancel();
            ++retried;
        }
    }
    std::printf("SAVED %d RETRIED %d\n", count, retried);
    return 0;
}

qint64 positions(const Database &db)
{
    const QString table = SqlDialect::tableName(OpenRegister::suffix(year, unit).prepend(QLatin1Char('p')));
    Statement st(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoteIdent(table)));
    return st.step() ? st.integer(0) : -1;
}

// The data folder both cases start from: one unit's demo register.
const QTemporaryDir &source()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        DemoOptions o;
        o.year = year;
        o.now = QDateTime(QDate(year, 12, 31), QTime(12, 0));
        o.units = {unit};
        o.lastMonth = 1;
        o.groupsPerMonth = 2;
        createInstallation(dir.path(), QDate(year, 12, 31), [&](Database &db) { createDemoRegisters(db, o); });
        made = true;
    }
    return dir;
}

// Runs the workstations at `place` and checks that every save is stored.
void saveConcurrently(benchmark::State &state, const QString &place, const Database &db)
{
    qint64 saved = 0, retried = 0;
    static std::string why;   // the benchmark library keeps a pointer to the message
    const auto fail = [&](const QString &message) {
        why = message.toStdString();
        state.SkipWithError(why.c_str());
    };
    for (auto _ : state) {
        const qint64 before = positions(db);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int w = 0; w < workstations; ++w) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--workstation"), place, QString::number(savesEach)});
        }
        // Timed from the moment all are ready until the last has saved.
        for (auto &p : running) {
            while (!p->canReadLine() && p->state() != QProcess::NotRunning)
                p->waitForReadyRead(100);
            if (p->readLine().trimmed() != "READY") {
                fail(QStringLiteral("a workstation did not start: ") + QString::fromUtf8(p->readAllStandardError()));
                return;
            }
        }
        QElapsedTimer timer;
        timer.start();
        for (auto &p : running)
            p->write("GO\n");
        for (auto &p : running) {
            p->waitForFinished(600000);
            const QString out = QString::fromUtf8(p->readAllStandardOutput());
            if (p->exitCode() != 0 || !out.startsWith(QLatin1String("SAVED"))) {
                fail(QStringLiteral("a workstation failed: ") + out + QString::fromUtf8(p->readAllStandardError()));
                return;
            }
            saved += out.section(QLatin1Char(' '), 1, 1).toLongLong();
            retried += out.section(QLatin1Char(' '), 3, 3).toLongLong();
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        const qint64 stored = positions(db) - before;
        if (stored != qint64(workstations) * savesEach) {
            fail(QStringLiteral("%1 positions stored of %2 saved").arg(stored).arg(workstations * savesEach));
            return;
        }
    }
    state.counters["positions/s"] = benchmark::Counter(double(saved), benchmark::Counter::kIsRate);
    state.counters["retried"] = double(retried);
}

void BM_ConcurrentSaves_Sqlite(benchmark::State &state)
{
    const QString folder = source().path();
    auto db = Database::open(folder);
    saveConcurrently(state, folder, *db);
}

// The installation on the server: a copy of the data folder's, in a schema
// of this run (dropped at its end).
struct ServerPlace {
    bench::BenchServer server{"concurrent"};
    QString place;   // as the workstations are told it
    std::unique_ptr<Database> db;

    ServerPlace()
    {
        if (server.conninfo().isEmpty())
            return;
        const QString schema = QStringLiteral("concurrent_%1").arg(QCoreApplication::applicationPid());
        place = QStringLiteral("pg:") + server.place(schema);
        QString error;
        auto from = Database::open(source().path());
        db = copyToNewInstallation(*from, source().path(), ServerAddress::parse(server.place(schema), &error));
    }
    ~ServerPlace()
    {
        if (db)
            db->execNative(QStringLiteral("DROP SCHEMA concurrent_%1 CASCADE").arg(QCoreApplication::applicationPid()));
    }
};

ServerPlace &server()
{
    static ServerPlace s;
    return s;
}

void BM_ConcurrentSaves_Server(benchmark::State &state)
{
    saveConcurrently(state, server().place, *server().db);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--workstation") {
        try {
            return workstation(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
        } catch (const EngineError &e) {
            std::printf("ERROR %s\n", qPrintable(e.message()));
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("ConcurrentSaves/sqlite", BM_ConcurrentSaves_Sqlite)
        ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    if (server().db)
        benchmark::RegisterBenchmark("ConcurrentSaves/server", BM_ConcurrentSaves_Server)
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
