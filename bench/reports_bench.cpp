// The summary reports over a voivodeship's year, each timed beside the same
// statement run through SQLite's C API (prepared, every column of every row
// read into the C++ types the engine produces):
// - the consolidated multi-criteria report over the voivodeship inspectorate
//   and 19 subordinate units, about 5,000 positions each, from the statement
//   to the last row of the written sheet;
// - the single-criterion report over one unit's year.
//
// The data folder is built once in $FENWA5_BENCH_DIR/reports or
// /tmp/fenwa5-bench-reports and reused.
#include "data/Demo.h"
#include "data/Query.h"
#include "data/Seed.h"
#include "output/SheetExport.h"
#include "reports/CriteriaReport.h"
#include "reports/SimpleReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reports;

namespace {

constexpr int benchYear = 2022;

QStringList subordinates()
{
    QStringList codes;
    for (int i = 80; i < 99; ++i)
        codes << QStringLiteral("20%1").arg(i);
    return codes;
}

struct Folder {
    std::unique_ptr<Database> db;
    QTemporaryDir exports;

    Folder()
    {
        QString dir = qEnvironmentVariable("FENWA5_BENCH_DIR");
        dir = dir.isEmpty() ? QStringLiteral("/tmp/fenwa5-bench-reports") : dir + QStringLiteral("/reports");
        if (QFileInfo::exists(dir + QStringLiteral("/fenwa5.sqlite"))) {
            db = Database::open(dir);
            return;
        }
        QDir().mkpath(dir);
        db = createInstallation(dir, QDate(benchYear + 1, 1, 10));
        // 19 subordinate units: the seed's three and sixteen more.
        for (const QString &code : subordinates())
            db->execNative(QStringLiteral("INSERT INTO jp (Kod, Jp) SELECT '%1', 'Jednostka podległa %1' "
                                          "WHERE NOT EXISTS (SELECT 1 FROM jp WHERE Kod = '%1')")
                               .arg(code));
        DemoOptions o;
        o.year = benchYear;
        o.now = QDateTime(QDate(benchYear + 1, 1, 10), QTime(12, 0));
        o.units = QStringList{QStringLiteral("2000")} + subordinates();
        o.groupsPerMonth = 83;   // about 5,000 positions a unit
        const DemoResult r = createDemoRegisters(*db, o);
        std::printf("Folder %s: %d groups, %d positions\n", qPrintable(dir), r.groups, r.positions);
    }

    ReportRequest request(bool consolidated) const
    {
        ReportRequest r;
        r.od = QDate(benchYear, 1, 1);
        r.doDnia = QDate(benchYear, 12, 31);
        r.unitName = QStringLiteral("Wojewódzki Inspektorat");
        r.code = QStringLiteral("2000");
        r.zbiorczy = consolidated;
        r.subordinates = subordinates();
        return r;
    }
};

Folder &folder()
{
    static Folder f;
    return f;
}

const QStringList kIncluded{QStringLiteral("rozdziały"), QStringLiteral("paragrafy"),
                            QStringLiteral("żródła finansowania"), QStringLiteral("kontrahenci")};

// The statement through the C API: every column of every row read as the engine would.
qint64 runRaw(Database &db, const QStringList &lines)
{
    const QByteArray sql = db.dialect().translate(lines.join(QLatin1Char('\n'))).sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &st, nullptr);
    qint64 rows = 0;
    QVector<QVariant> row;
    while (sqlite3_step(st) == SQLITE_ROW) {
        row.clear();
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_FLOAT: row << sqlite3_column_double(st, i); break;
            case SQLITE_INTEGER: row << qint64(sqlite3_column_int64(st, i)); break;
            case SQLITE_NULL: row << QVariant(); break;
            default: row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
            }
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

void BM_MultiCriteriaConsolidated_ToSheet(benchmark::State &state)
{
    Folder &f = folder();
    const ReportRequest r = f.request(true);
    Query q(f.db.get(), QStringLiteral("Q_Kryt"));
    output::SheetEnvironment env;
    env.folder = f.exports.path();
    env.moment = QDateTime::currentDateTime();
    int lastRow = 0;
    for (auto _ : state) {
        openCriteria(q, r, kIncluded);
        const output::SheetResult res = output::SheetExport::run(env, criteriaSheet(r, kIncluded, q.fieldCount()),
                                                                 [&](output::SheetExport &x) {
            for (int row = 0; row < q.recordCount(); ++row)
                x.addRow(sheetValues(q, row));
        });
        lastRow = res.lastRow;
        QFile::remove(res.path);
    }
    state.counters["rows"] = q.recordCount();
    state.counters["sheet_rows"] = lastRow;
}
BENCHMARK(BM_MultiCriteriaConsolidated_ToSheet)->Unit(benchmark::kMillisecond);

void BM_MultiCriteriaConsolidated_Statement(benchmark::State &state)
{
    Folder &f = folder();
    const ReportRequest r = f.request(true);
    Query q(f.db.get(), QStringLiteral("Q_Kryt"));
    for (auto _ : state)
        openCriteria(q, r, kIncluded);
    state.counters["rows"] = q.recordCount();
}
BENCHMARK(BM_MultiCriteriaConsolidated_Statement)->Unit(benchmark::kMillisecond);

void BM_MultiCriteriaConsolidated_Baseline(benchmark::State &state)
{
    Folder &f = folder();
    const ReportRequest r = f.request(true);
    const QStringList lines = criteriaStatement(f.db->folder(), r, kIncluded, consolidatedSuffixes(*f.db, r));
    qint64 rows = 0;
    for (auto _ : state)
        rows = runRaw(*f.db, lines);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_MultiCriteriaConsolidated_Baseline)->Unit(benchmark::kMillisecond);

void BM_SingleCriterionUnitYear(benchmark::State &state)
{
    Folder &f = folder();
    const ReportRequest r = f.request(false);
    Query q(f.db.get(), QStringLiteral("Q_Simple"));
    for (auto _ : state)
        openSimple(q, r, Criterion::Paragrafy);
    state.counters["rows"] = q.recordCount();
}
BENCHMARK(BM_SingleCriterionUnitYear)->Unit(benchmark::kMillisecond);

void BM_SingleCriterionUnitYear_Baseline(benchmark::State &state)
{
    Folder &f = folder();
    const QStringList lines = simpleStatement(f.db->folder(), f.request(false), Criterion::Paragrafy);
    qint64 rows = 0;
    for (auto _ : state)
        rows = runRaw(*f.db, lines);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SingleCriterionUnitYear_Baseline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    folder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
