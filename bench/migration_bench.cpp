// The migration of a legacy data folder: 20 units x 1 year x 5,000 positions
// (and each unit's groups, the users and two dictionaries) written as Paradox
// tables with pxlib's writer, once, in $FENWA5_BENCH_DIR or
// /tmp/fenwa5-bench-legacy; each run migrates it into a new folder. The
// counter "wiersze/s" is rows written per second.
#include "LegacyFolder.h"
#include "admin/Migration.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString legacyFolder()
{
    const QString dir = qEnvironmentVariableIsSet("FENWA5_BENCH_DIR")
        ? qEnvironmentVariable("FENWA5_BENCH_DIR")
        : QStringLiteral("/tmp/fenwa5-bench-legacy");
    if (!QFileInfo::exists(QDir(dir).filePath(QStringLiteral("p_2016_2019.db")))) {
        QDir().mkpath(dir);
        QStringList units;
        for (int u = 0; u < 20; ++u)
            units << QStringLiteral("20%1").arg(u, 2, 10, QLatin1Char('0'));
        fenwa::testing::writeLegacyFolder(dir, units, 2016, 5000);
    }
    return dir;
}

void BM_MigrateLegacyFolder(benchmark::State &state)
{
    const QString old = legacyFolder();
    qint64 rows = 0;
    for (auto _ : state) {
        QTemporaryDir target;
        const auto report = fenwa::admin::migrateLegacyFolder(old, target.path(), QDate(2024, 1, 1));
        for (const auto &t : report.tables)
            rows += t.written;
    }
    state.counters["wiersze/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MigrateLegacyFolder)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
