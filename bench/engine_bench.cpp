// Table engine paths against the same SQL run straight through SQLite.
// Builds its own data folder once (20 units x 5 years x 5,000 positions) in
// $FENWA5_BENCH_DIR or /tmp/fenwa5-bench, and reuses it on later runs.
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/Table.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace fenwa::data;

namespace {

constexpr int units = 20, years = 5, positionsPerRegister = 5000, groupsPerRegister = 500;
constexpr int firstYear = 2020, dictSize = 200;

QString benchFolder()
{
    QString dir = qEnvironmentVariable("FENWA5_BENCH_DIR");
    return dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/fenwa5-bench") : dir;
}

QString unitCode(int u) { return QStringLiteral("20%1").arg(u + 1, 2, 10, QLatin1Char('0')); }

void build(Database &db)
{
    for (const auto &t : schema::sharedTables()) {
        db.exec(schema::createStatement(db.folder(), t).join(QLatin1Char('\n')));
        schema::createIndexes(db, t);
    }
    QRandomGenerator rng(42);
    Database::Transaction tx(db);
    const char *dicts[] = {"rozdz", "par", "zf", "ch", "gat", "jm", "kontr", "bd", "bp", "cz", "zak", "prac", "ob"};
    const char *nameField[] = {"Rozdz", "Par", "zf", "Ch", "Gat", "Jm", "Nazwa", "Bd", "Bp", "Cz", "Zak", "Prac", "ob"};
    for (int d = 0; d < 13; ++d) {
        Statement st(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(QLatin1String(dicts[d]), QLatin1String(nameField[d])));
        for (int i = 0; i < dictSize; ++i) {
            st.reset();
            st.bind(1, QStringLiteral("%1 pozycja słownika %2").arg(QLatin1String(dicts[d])).arg(i).left(10 + (d == 0 || d == 1 ? 0 : 30)));
            st.step();
        }
    }
    for (int y = 0; y < years; ++y) {
        for (int u = 0; u < units; ++u) {
            const QString suffix = QStringLiteral("_%1_%2.db").arg(firstYear + y).arg(unitCode(u));
            db.exec(schema::createGroups(db.folder(), suffix).join(QLatin1Char('\n')));
            db.exec(schema::createPositions(db.folder(), suffix).join(QLatin1Char('\n')));
            const QString g = QStringLiteral("g") + suffix.chopped(3), p = QStringLiteral("p") + suffix.chopped(3);
            Statement sg(db, QStringLiteral("INSERT INTO \"%1\" (Dok, Rozdz, Par, Opis, Rok, Mc, Zk, O_Ins) "
                                            "VALUES (?, ?, ?, ?, ?, ?, 0, 1)").arg(g));
            for (int i = 0; i < groupsPerRegister; ++i) {
                sg.reset();
                sg.bind(1, QStringLiteral("FV/%1/%2").arg(i).arg(firstYear + y));
                sg.bind(2, 1 + int(rng.bounded(dictSize)));
                sg.bind(3, 1 + int(rng.bounded(dictSize)));
                sg.bind(4, QStringLiteral("Opis grupy dokumentów numer %1").arg(i));
                sg.bind(5, firstYear + y);
                sg.bind(6, 1 + i * 12 / groupsPerRegister);
                sg.step();
            }
            Statement sp(db, QStringLiteral("INSERT INTO \"%1\" (Dok, Cz, Bd, Bp, zak, kontr, prac, zf, ch, gat, jm, "
                                            "ilosc, cena, netto, podatki, BRUTTO, wyd, Kosz, DOT, ob, Opis, Data, PKS, FAK) "
                                            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(p));
            for (int i = 0; i < positionsPerRegister; ++i) {
                // The first 200 positions belong to group 1 (the group benchmark).
                int group = i < 200 ? 1 : 2 + int(rng.bounded(groupsPerRegister - 1));
                int month = 1 + (group - 1) * 12 / groupsPerRegister;
                sp.reset();
                sp.bind(1, group);
                for (int k = 2; k <= 11; ++k)
                    sp.bind(k, 1 + int(rng.bounded(dictSize)));
                double qty = 1 + rng.bounded(10), price = rng.bounded(50000) / 100.0;
                sp.bind(12, qty);
                sp.bind(13, price);
                sp.bind(14, qty * price * 0.77);
                sp.bind(15, qty * price * 0.23);
                sp.bind(16, qty * price);
                sp.bind(17, 1);
                sp.bind(18, int(rng.bounded(2)));
                sp.bind(19, 1);
                sp.bind(20, 1 + int(rng.bounded(dictSize)));
                sp.bind(21, QStringLiteral("Pozycja %1").arg(i));
                sp.bind(22, QDate(firstYear + y, month, 1 + int(rng.bounded(28))));
                sp.bind(23, QStringLiteral("PK-%1").arg(i));
                sp.bind(24, QStringLiteral("FAK/%1").arg(i));
                sp.step();
            }
        }
    }
    tx.commit();
}

Database &database()
{
    static std::unique_ptr<Database> db = [] {
        const QString folder = benchFolder();
        if (!QFile::exists(folder + QStringLiteral("/fenwa5.sqlite"))) {
            auto fresh = Database::open(folder, Database::OpenMode::Create);
            build(*fresh);
        }
        return Database::open(folder);
    }();
    return *db;
}

const QString suffix = QStringLiteral("_2022_2005.db");

// Steps through a native statement reading every column, as a dataset does.
void runRaw(Database &db, const QString &sqliteSql, const QVariantList &binds = {})
{
    Statement st(db, sqliteSql);
    for (int i = 0; i < binds.size(); ++i)
        st.bind(i + 1, binds[i]);
    const int n = st.columnCount();
    while (st.step()) {
        for (int i = 0; i < n; ++i) {
            switch (st.columnType(i)) {
            case SQLITE_INTEGER: benchmark::DoNotOptimize(st.integer(i)); break;
            case SQLITE_FLOAT: benchmark::DoNotOptimize(st.real(i)); break;
            case SQLITE_TEXT: benchmark::DoNotOptimize(st.text(i)); break;
            default: break;
            }
        }
    }
}

QString allColumns(const QString &file)
{
    QStringList cols;
    for (const auto &f : database().fields(file))
        cols << QLatin1Char('"') + f.name + QLatin1Char('"');
    return cols.join(QStringLiteral(", ")) + QStringLiteral(", rowid");
}

void BM_GroupsOfMonth_Table(benchmark::State &state)
{
    Database &db = database();
    Table t(&db, QStringLiteral("T_Gr"));
    t.setTableName(QStringLiteral("g") + suffix);
    t.setFilter(QStringLiteral("Mc = 3"));
    t.setFiltered(true);
    for (auto _ : state) {
        t.open();
        benchmark::DoNotOptimize(t.recordCount());
        t.close();
    }
}
BENCHMARK(BM_GroupsOfMonth_Table)->Unit(benchmark::kMillisecond);

void BM_GroupsOfMonth_Raw(benchmark::State &state)
{
    Database &db = database();
    const QString sql = QStringLiteral("SELECT %1 FROM \"g_2022_2005\" WHERE \"Mc\" = ? ORDER BY \"Id\"")
                            .arg(allColumns(QStringLiteral("g") + suffix));
    for (auto _ : state)
        runRaw(db, sql, {3});
}
BENCHMARK(BM_GroupsOfMonth_Raw)->Unit(benchmark::kMillisecond);

void BM_PositionsOfGroup_Table(benchmark::State &state)
{
    Database &db = database();
    Table t(&db, QStringLiteral("T_Poz"));
    t.setTableName(QStringLiteral("p") + suffix);
    t.setFilter(QStringLiteral("Dok = 1"));
    t.setFiltered(true);
    for (auto _ : state) {
        t.open();
        if (t.recordCount() != 200)
            state.SkipWithError("expected 200 positions");
        t.close();
    }
}
BENCHMARK(BM_PositionsOfGroup_Table)->Unit(benchmark::kMillisecond);

void BM_PositionsOfGroup_Raw(benchmark::State &state)
{
    Database &db = database();
    const QString sql = QStringLiteral("SELECT %1 FROM \"p_2022_2005\" WHERE \"Dok\" = ? ORDER BY \"Id\"")
                            .arg(allColumns(QStringLiteral("p") + suffix));
    for (auto _ : state)
        runRaw(db, sql, {1});
}
BENCHMARK(BM_PositionsOfGroup_Raw)->Unit(benchmark::kMillisecond);

QStringList browserStatement(Database &db)
{
    const QString d = db.folder(), s = suffix;
    return {
        QStringLiteral("SELECT p.id,g.dok,rozdz.rozdz,par.par,par.opis popis,zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,p.data,p.pks,p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,bd.bd,bp.bp,zak.zak,prac.prac,ob.ob"),
        QStringLiteral("FROM \"%1\\p%2\" AS p").arg(d, s),
        QStringLiteral("JOIN \"%1\\g%2\" AS g on g.id=p.dok").arg(d, s),
        QStringLiteral("JOIN \"%1\\rozdz.db\" as rozdz on rozdz.id=g.rozdz").arg(d),
        QStringLiteral("JOIN \"%1\\par.db\" as par on par.id=g.par").arg(d),
        QStringLiteral("JOIN \"%1\\zf.db\" as zf on zf.id=p.zf").arg(d),
        QStringLiteral("JOIN \"%1\\jm.db\" as jm on jm.id=p.jm").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\ch.db\" as ch on ch.id=p.ch").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\gat.db\" as gat on gat.id=p.gat").arg(d),
        QStringLiteral("JOIN \"%1\\cz.db\" as cz on cz.id=p.cz").arg(d),
        QStringLiteral("JOIN \"%1\\kontr.db\" as kontr on kontr.id=p.kontr").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\bd.db\" as bd on bd.id=p.bd").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\bp.db\" as bp on bp.id=p.bp").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\zak.db\" as zak on zak.id=p.zak").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\prac.db\" as prac on prac.id=p.prac").arg(d),
        QStringLiteral("FULL OUTER JOIN \"%1\\ob.db\" as ob on ob.id=p.ob").arg(d),
        QStringLiteral("WHERE p.data BETWEEN \"01/01/2022\" AND \"12/31/2022\""),
        QStringLiteral("ORDER BY id"),
    };
}

void BM_Browser_Query(benchmark::State &state)
{
    Database &db = database();
    Query q(&db, QStringLiteral("Q_Rob"));
    q.setSql(browserStatement(db));
    for (auto _ : state) {
        q.open();
        if (q.recordCount() != positionsPerRegister)
            state.SkipWithError("expected every position of the year");
        q.close();
    }
}
BENCHMARK(BM_Browser_Query)->Unit(benchmark::kMillisecond);

void BM_Browser_Raw(benchmark::State &state)
{
    Database &db = database();
    const QString sql = db.dialect().translate(browserStatement(db).join(QLatin1Char('\n'))).sql;
    for (auto _ : state)
        runRaw(db, sql);
}
BENCHMARK(BM_Browser_Raw)->Unit(benchmark::kMillisecond);

void BM_ReferenceScan_Query(benchmark::State &state)
{
    Database &db = database();
    Query q(&db, QStringLiteral("Q_Rob"));
    for (auto _ : state) {
        bool used = false;
        for (const QString &file : db.listFiles(QStringLiteral("p_????_????.db"))) {
            q.close();
            q.setSql({QStringLiteral("SELECT * FROM \"%1\" WHERE %2 = %3").arg(db.path(file), QStringLiteral("cz")).arg(dictSize + 1)});
            q.open();
            used = used || !q.isEmpty();
        }
        benchmark::DoNotOptimize(used);
    }
}
BENCHMARK(BM_ReferenceScan_Query)->Unit(benchmark::kMillisecond);

void BM_ReferenceScan_Raw(benchmark::State &state)
{
    Database &db = database();
    QStringList sql;
    for (const QString &file : db.listFiles(QStringLiteral("p_????_????.db")))
        sql << db.dialect().translate(QStringLiteral("SELECT * FROM \"%1\" WHERE cz = %2").arg(db.path(file)).arg(dictSize + 1)).sql;
    for (auto _ : state)
        for (const QString &s : sql)
            runRaw(db, s);
}
BENCHMARK(BM_ReferenceScan_Raw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    database();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
