// The position browser over one unit's year of about 5,000 positions:
// opening the statement with the grid bound and shown, applying a filter of
// three columns, each beside the same work done through SQLite's C API
// (the statement prepared and every column of every row read; the filter as
// a WHERE condition added to the statement).
//
// The data folder is built once in $FENWA5_BENCH_DIR/browser or
// /tmp/fenwa5-bench-browser and reused.
#include "common/ui/DbGrid.h"
#include "data/Demo.h"
#include "data/Query.h"
#include "data/Seed.h"
#include "reports/Browser.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::data;
using namespace fenwa::reports;

namespace {

constexpr int benchYear = 2022;

struct Folder {
    std::unique_ptr<Database> db;
    QString dir;

    Folder()
    {
        dir = qEnvironmentVariable("FENWA5_BENCH_DIR");
        dir = dir.isEmpty() ? QStringLiteral("/tmp/fenwa5-bench-browser") : dir + QStringLiteral("/browser");
        if (QFileInfo::exists(dir + QStringLiteral("/fenwa5.sqlite"))) {
            db = Database::open(dir);
            return;
        }
        QDir().mkpath(dir);
        db = createInstallation(dir, QDate(benchYear + 1, 1, 10));
        DemoOptions o;
        o.year = benchYear;
        o.now = QDateTime(QDate(benchYear + 1, 1, 10), QTime(12, 0));
        o.units = {QStringLiteral("2003")};
        o.groupsPerMonth = 83;   // about 5,000 positions
        const DemoResult r = createDemoRegisters(*db, o);
        std::printf("Folder %s: %d groups, %d positions\n", qPrintable(dir), r.groups, r.positions);
    }
    QStringList statement() const
    {
        return browserStatement(dir, QStringLiteral("_%1_2003.db").arg(benchYear), benchYear, false);
    }
};

Folder &folder()
{
    static Folder f;
    return f;
}

const QString kFilter = QStringLiteral("brutto>=100 AND brutto<=2000 and Wyd=True and data>=01.03.%1 AND data<=30.09.%1")
                            .arg(benchYear);
const QString kWhere = QStringLiteral(" AND p.brutto>=100 AND p.brutto<=2000 AND p.wyd=1 AND p.data BETWEEN '%1-03-01' "
                                      "AND '%1-09-30'")
                           .arg(benchYear);

qint64 runRaw(Database &db, const QString &sqlText)
{
    const QByteArray sql = sqlText.toUtf8();
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

QString translated(Database &db, const QStringList &lines)
{
    return db.dialect().translate(lines.join(QLatin1Char('\n'))).sql;
}

void BM_OpenUnitYear_GridShown(benchmark::State &state)
{
    Folder &f = folder();
    Query q(f.db.get(), QStringLiteral("Q_Rob"));
    fenwa::ui::DbGrid grid;
    QVector<fenwa::ui::GridColumn> columns{{.title = QStringLiteral("Lp")}};
    for (const BrowserColumn &c : browserColumns(false))
        columns << fenwa::ui::GridColumn{.field = c.field, .title = c.title, .width = c.width, .check = c.check};
    grid.resize(1300, 800);
    grid.show();
    for (auto _ : state) {
        q.setSql(f.statement());
        q.open();
        grid.bind(&q, columns, nullptr);
        QApplication::processEvents();
        benchmark::DoNotOptimize(browserTotals(q).brutto);
    }
    state.counters["rows"] = q.recordCount();
}
BENCHMARK(BM_OpenUnitYear_GridShown)->Unit(benchmark::kMillisecond);

void BM_OpenUnitYear_Baseline(benchmark::State &state)
{
    Folder &f = folder();
    const QString sql = translated(*f.db, f.statement());
    for (auto _ : state)
        benchmark::DoNotOptimize(runRaw(*f.db, sql));
}
BENCHMARK(BM_OpenUnitYear_Baseline)->Unit(benchmark::kMillisecond);

void BM_ApplyFilter(benchmark::State &state)
{
    Folder &f = folder();
    Query q(f.db.get(), QStringLiteral("Q_Rob"));
    q.setSql(f.statement());
    q.open();
    for (auto _ : state) {
        applyFilter(q, kFilter);
        benchmark::DoNotOptimize(browserTotals(q).brutto);
        state.PauseTiming();
        applyFilter(q, QString());
        state.ResumeTiming();
    }
    applyFilter(q, kFilter);
    state.counters["rows"] = q.recordCount();
}
BENCHMARK(BM_ApplyFilter)->Unit(benchmark::kMillisecond);

void BM_ApplyFilter_Baseline(benchmark::State &state)
{
    Folder &f = folder();
    QStringList lines = f.statement();
    lines[lines.size() - 2] += kWhere;
    const QString sql = translated(*f.db, lines);
    qint64 rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = runRaw(*f.db, sql));
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ApplyFilter_Baseline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
