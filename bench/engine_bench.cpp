// What the program does with years of data, timed side by side with a fair
// baseline: the same statement prepared once through SQLite's C API, the same
// columns read into the same C++ types the engine produces (qint64, double,
// bool, QString, QDate, QDateTime).
//
// The same cases run on a PostgreSQL server over its local socket too, the
// baseline there prepared once through libpq (PQprepare/PQexecPrepared) on
// the engine's own connection. The server is FENWA5_BENCH_PG (a libpq
// connection text), or else a throwaway cluster scripts/pg-cluster.sh starts
// for the run and stops at its end; without the server programs the server
// cases are left out with a message. The data folder's content is copied
// into the server's schema "bench" once (kept there while the server is).
//
// The data folder (20 units x 5 years, about 5,000 positions a register, made
// by the demo generator: stamps, varied texts, chapters and paragraphs) is
// built once in $FENWA5_BENCH_DIR or /tmp/fenwa5-bench-demo and reused.
//
// Before the timings the program prints the memory a browser row costs, the
// file size the register indexes take, and what each action reads from the
// database file and how often it locks it (counted by a wrapping VFS), with
// a warm page cache and after another workstation's commit (cold).
#include "BenchServer.h"
#include "common/Messages.h"
#include "common/ScriptedMessages.h"
#include "data/Checks.h"
#include "data/Dane.h"
#include "data/Demo.h"
#include "data/Query.h"
#include "data/InstallationCopy.h"
#include "data/PgBackend.h"
#include "data/Seed.h"
#include "data/SqlBuilder.h"
#include "data/Statement.h"
#include "register/Register.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <malloc.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace fenwa;
using namespace fenwa::data;

namespace {

constexpr int firstYear = 2020, years = 5, benchYear = 2022, benchMonth = 3;
const QString benchUnit = QStringLiteral("2005");

QStringList units()
{
    QStringList u{QStringLiteral("2000")};
    for (int i = 1; i <= 14; ++i)
        u << QStringLiteral("20%1").arg(i, 2, 10, QLatin1Char('0'));
    u << QStringLiteral("2080") << QStringLiteral("2081") << QStringLiteral("2082") << QStringLiteral("2801")
      << QStringLiteral("2802");
    return u;
}

// ------------------------------------------------------------ counting VFS

struct IoCounts {
    qint64 bytesRead = 0, reads = 0, locks = 0, accesses = 0;
};
IoCounts io;
sqlite3_vfs *realVfs = nullptr;

struct CountingFile {
    sqlite3_file base;
    sqlite3_file *real;
};
sqlite3_file *realOf(sqlite3_file *f) { return reinterpret_cast<CountingFile *>(f)->real; }

const sqlite3_io_methods countingMethods = {
    1,
    [](sqlite3_file *f) {
        int rc = realOf(f)->pMethods ? realOf(f)->pMethods->xClose(realOf(f)) : SQLITE_OK;
        return rc;
    },
    [](sqlite3_file *f, void *buf, int amount, sqlite3_int64 offset) {
        io.bytesRead += amount;
        ++io.reads;
        return realOf(f)->pMethods->xRead(realOf(f), buf, amount, offset);
    },
    [](sqlite3_file *f, const void *buf, int amount, sqlite3_int64 offset) {
        return realOf(f)->pMethods->xWrite(realOf(f), buf, amount, offset);
    },
    [](sqlite3_file *f, sqlite3_int64 size) { return realOf(f)->pMethods->xTruncate(realOf(f), size); },
    [](sqlite3_file *f, int flags) { return realOf(f)->pMethods->xSync(realOf(f), flags); },
    [](sqlite3_file *f, sqlite3_int64 *size) { return realOf(f)->pMethods->xFileSize(realOf(f), size); },
    [](sqlite3_file *f, int level) {
        ++io.locks;
        return realOf(f)->pMethods->xLock(realOf(f), level);
    },
    [](sqlite3_file *f, int level) {
        ++io.locks;
        return realOf(f)->pMethods->xUnlock(realOf(f), level);
    },
    [](sqlite3_file *f, int *out) {
        ++io.locks;
        return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
    },
    [](sqlite3_file *f, int op, void *arg) { return realOf(f)->pMethods->xFileControl(realOf(f), op, arg); },
    [](sqlite3_file *f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); },
    [](sqlite3_file *f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); },
    // Version 1 methods: no shared memory, no memory-mapped pages.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

sqlite3_vfs countingVfs;

void installCountingVfs()
{
    realVfs = sqlite3_vfs_find(nullptr);
    countingVfs = *realVfs;
    countingVfs.zName = "counting";
    countingVfs.szOsFile = int(sizeof(CountingFile)) + realVfs->szOsFile;
    countingVfs.pAppData = nullptr;
    countingVfs.xOpen = [](sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags) {
        auto *c = reinterpret_cast<CountingFile *>(f);
        c->real = reinterpret_cast<sqlite3_file *>(c + 1);
        int rc = realVfs->xOpen(realVfs, name, c->real, flags, outFlags);
        c->base.pMethods = rc == SQLITE_OK ? &countingMethods : nullptr;
        return rc;
    };
    countingVfs.xDelete = [](sqlite3_vfs *, const char *name, int dirSync) {
        return realVfs->xDelete(realVfs, name, dirSync);
    };
    countingVfs.xAccess = [](sqlite3_vfs *, const char *name, int flags, int *out) {
        ++io.accesses;
        return realVfs->xAccess(realVfs, name, flags, out);
    };
    sqlite3_vfs_register(&countingVfs, 1);
}

// ------------------------------------------------------------ the data

QString benchFolder()
{
    QString dir = qEnvironmentVariable("FENWA5_BENCH_DIR");
    return dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/fenwa5-bench-demo") : dir;
}

void build(const QString &folder)
{
    std::fprintf(stderr, "Building the benchmark data in %s ...\n", qPrintable(folder));
    auto db = createInstallation(folder, QDate(firstYear + years - 1, 12, 31));
    for (int y = firstYear; y < firstYear + years; ++y) {
        DemoOptions o;
        o.year = y;
        o.now = QDateTime(QDate(firstYear + years - 1, 12, 31), QTime(12, 0));
        o.units = units();
        o.groupsPerMonth = 42;
        o.minPositions = 5;
        o.maxPositions = 15;
        o.seed = quint32(1000 + y);
        createDemoRegisters(*db, o);
    }
}

struct Program {
    std::unique_ptr<Database> db;
    std::unique_ptr<Database> otherWorkstation;
    CurrentUser user;
    RunSettings settings;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    std::unique_ptr<TF_Dane> dane;
    std::unique_ptr<reg::RegisterFlow> flow;
    QString unitName;
    int group = 0;              // a group of the benchmark month
    qint64 unusedActivity = 0;  // an Id of cz.db no position refers to

    // The program on a session of the installation, another workstation on the other.
    Program(std::unique_ptr<Database> session, std::unique_ptr<Database> other)
        : db(std::move(session)), otherWorkstation(std::move(other))
    {
        const QString folder = db->folder();
        otherWorkstation->execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS _bench_other (x INTEGER)"));
        user.user = 1;
        user.user_str = QStringLiteral("admin");
        user.edycja = user.przeglad = user.slowniki = true;
        settings.fd = settings.fe = folder;
        settings.wkod = QStringLiteral("20");
        settings.pkod = benchUnit;
        settings.p_w = 1;
        dane = std::make_unique<TF_Dane>(db.get(), user, settings, reg, messages, clock);
        if (!dane->open())
            throw EngineError(QStringLiteral("The data module did not open."));
        flow = std::make_unique<reg::RegisterFlow>(*dane);
        dane->T_PIW->locate(QStringLiteral("Kod"), benchUnit);
        unitName = dane->T_PIW->asString(QStringLiteral("Nazwa"));
        flow->openGroups(benchYear, benchMonth, unitName);
        group = int(dane->T_Gr->asInt(QStringLiteral("Id")));
        Statement st(*db, QStringLiteral("SELECT MAX(\"Id\") + 1 FROM cz"));
        st.step();
        unusedActivity = st.integer(0);
    }

    // The chosen group, as closing the groups window leaves it.
    void chooseGroup()
    {
        reg.dok = group;
        reg.zk = false;
        reg.symbol = QStringLiteral("bench");
    }

    QStringList browserStatement(const QString &unit) const
    {
        const QString d = db->folder(), s = OpenRegister::suffix(benchYear, unit);
        return {
            QStringLiteral("SELECT p.id,g.dok,rozdz.rozdz,par.par,par.opis popis,zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,"
                           "p.opis,p.data,p.pks,p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,p.dot,"
                           "bd.bd,bp.bp,zak.zak,prac.prac,ob.ob"),
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
            QStringLiteral("WHERE p.data BETWEEN \"01/01/%1\" AND \"12/31/%1\"").arg(benchYear),
            QStringLiteral("ORDER BY id"),
        };
    }

    // What the program does: the actions of the network figures.
    void openRegister() { flow->openGroups(benchYear, benchMonth, unitName); }
    int openPositions()
    {
        chooseGroup();
        flow->openPositions();
        const int rows = touchLookups(*dane->T_Poz);
        flow->closePositions();
        return rows;
    }
    void savePosition(int n)
    {
        Table *p = dane->T_Poz;
        p->edit();
        p->setValue(QStringLiteral("Opis"), QStringLiteral("Pozycja zapisana %1 raz").arg(n));
        p->post();
    }
    // Inside the delete's write transaction, as the program scans.
    bool referenceScan()
    {
        Database::Transaction deleting(*db);
        return data::referenceScan(*db, *dane->Q_Rob, nullptr, QStringLiteral("p_????_????.db"), QStringLiteral("cz"),
                                   unusedActivity);
    }
    int browserYear(Query &q)
    {
        q.close();
        q.setSql(browserStatement(benchUnit));
        q.open();
        return q.recordCount();
    }
    void anotherWorkstationCommits() { otherWorkstation->execNative(QStringLiteral("INSERT INTO _bench_other VALUES (1)")); }

    // The looked-up names of every row, as a grid shows them.
    static int touchLookups(const Dataset &t)
    {
        for (int r = 0; r < t.recordCount(); ++r)
            for (int f = 0; f < t.fieldCount(); ++f)
                if (t.fieldDef(f).lookup)
                    benchmark::DoNotOptimize(t.valueAt(r, f));
        return t.recordCount();
    }
};

std::unique_ptr<Database> openFolder()
{
    const QString folder = benchFolder();
    if (!QFile::exists(folder + QStringLiteral("/fenwa5.sqlite")))
        build(folder);
    return Database::open(folder);
}

Program &program()
{
    static Program p(openFolder(), openFolder());
    return p;
}

// ------------------------------------------------------------ the server

const QString benchSchema = QStringLiteral("bench");

bench::BenchServer &server()
{
    static bench::BenchServer s("engine");
    return s;
}

ServerAddress benchAddress()
{
    QString error;
    return ServerAddress::parse(server().place(benchSchema), &error);
}

std::unique_ptr<Database> openServer()
{
    return Database::openServer(benchFolder(), server().conninfo(), benchSchema, Database::OpenMode::Create);
}

// The program on the server's copy of the data folder's installation.
Program &serverProgram()
{
    static Program p = [] {
        if (openServer()->listFiles(QStringLiteral("passwd.db")).isEmpty()) {
            std::fprintf(stderr, "Copying the benchmark data to the server ...\n");
            QElapsedTimer t;
            t.start();
            copyToNewInstallation(*program().db, benchFolder(), benchAddress());
            std::fprintf(stderr, "... copied in %.1f s\n", double(t.elapsed()) / 1000.0);
        }
        return Program(openServer(), openServer());
    }();
    return p;
}

// ------------------------------------------------------------ the baseline

// Rows read into the program's value types, column by column.
struct TypedRows {
    std::vector<qint64> ints;
    std::vector<double> reals;
    std::vector<bool> flags;
    std::vector<QString> texts;
    std::vector<QDate> dates;
    std::vector<QDateTime> stamps;
    int rows = 0;
    void clear() { *this = TypedRows(); }
};

enum class Kind { Int, Real, Flag, Text, Date, Stamp };

// A statement prepared once; each run binds, steps and reads every column.
class Raw {
public:
    Raw(const Database &db, const QString &sqliteSql) : db_(db.handle())
    {
        const QByteArray text = sqliteSql.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), -1, &st_, nullptr) != SQLITE_OK)
            throw EngineError(QString::fromUtf8(sqlite3_errmsg(db_)));
        for (int c = 0; c < sqlite3_column_count(st_); ++c) {
            const QByteArray t = QByteArray(sqlite3_column_decltype(st_, c) ? sqlite3_column_decltype(st_, c) : "").toUpper();
            kinds_.push_back(t.startsWith("INT")    ? Kind::Int
                             : t == "FLOAT"         ? Kind::Real
                             : t == "BOOLEAN"       ? Kind::Flag
                             : t == "DATE"          ? Kind::Date
                             : t == "TIMESTAMP"     ? Kind::Stamp
                                                    : Kind::Text);
        }
    }
    ~Raw() { sqlite3_finalize(st_); }
    void run(TypedRows &out, const QVariantList &binds = {})
    {
        sqlite3_reset(st_);
        for (int i = 0; i < binds.size(); ++i)
            sqlite3_bind_int64(st_, i + 1, binds[i].toLongLong());
        const int n = int(kinds_.size());
        while (sqlite3_step(st_) == SQLITE_ROW) {
            ++out.rows;
            for (int c = 0; c < n; ++c) {
                if (sqlite3_column_type(st_, c) == SQLITE_NULL)
                    continue;
                auto text = [&] {
                    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st_, c)),
                                             sqlite3_column_bytes(st_, c));
                };
                switch (kinds_[size_t(c)]) {
                case Kind::Int: out.ints.push_back(sqlite3_column_int64(st_, c)); break;
                case Kind::Real: out.reals.push_back(sqlite3_column_double(st_, c)); break;
                case Kind::Flag: out.flags.push_back(sqlite3_column_int(st_, c) != 0); break;
                case Kind::Text: out.texts.push_back(text()); break;
                case Kind::Date: out.dates.push_back(date(c)); break;
                case Kind::Stamp: out.stamps.push_back(QDateTime(date(c), time(c))); break;
                }
            }
        }
    }

private:
    // "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS", read digit by digit.
    int number(int c, int at, int len) const
    {
        const unsigned char *t = sqlite3_column_text(st_, c);
        int v = 0;
        for (int k = at; k < at + len && t[k]; ++k)
            v = v * 10 + (t[k] - '0');
        return v;
    }
    QDate date(int c) const { return QDate(number(c, 0, 4), number(c, 5, 2), number(c, 8, 2)); }
    QTime time(int c) const { return QTime(number(c, 11, 2), number(c, 14, 2), number(c, 17, 2)); }

    sqlite3 *db_;
    sqlite3_stmt *st_ = nullptr;
    std::vector<Kind> kinds_;
};

// A statement prepared once through libpq on the engine's own connection
// to the server; each run binds, executes and reads every column into the
// program's value types as the engine does (libpq's text results).
class RawPg {
public:
    RawPg(const Database &db, const QString &sql) : conn_(dynamic_cast<PgConnection &>(db.connection()).handle())
    {
        name_ = "bench_" + QByteArray::number(++made_);
        PGresult *r = PQprepare(conn_, name_.constData(), sql.toUtf8().constData(), 0, nullptr);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok)
            throw EngineError(QString::fromUtf8(PQerrorMessage(conn_)));
    }
    ~RawPg() { PQclear(PQexec(conn_, ("DEALLOCATE " + name_).constData())); }
    void run(TypedRows &out, const QVariantList &binds = {})
    {
        QVector<QByteArray> texts;
        QVector<const char *> values;
        for (const QVariant &b : binds)
            texts << b.toString().toUtf8();
        for (const QByteArray &t : texts)
            values << t.constData();
        PGresult *r = PQexecPrepared(conn_, name_.constData(), int(values.size()), values.data(), nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK) {
            PQclear(r);
            throw EngineError(QString::fromUtf8(PQerrorMessage(conn_)));
        }
        const int n = PQnfields(r), rows = PQntuples(r);
        if (kinds_.empty())
            for (int c = 0; c < n; ++c) {
                const Oid t = PQftype(r, c);
                kinds_.push_back(t == 20 || t == 21 || t == 23 ? Kind::Int
                                 : t == 700 || t == 701 || t == 1700 ? Kind::Real
                                 : t == 16                  ? Kind::Flag
                                 : t == 1082                ? Kind::Date
                                 : t == 1114                ? Kind::Stamp
                                                            : Kind::Text);
            }
        for (int row = 0; row < rows; ++row) {
            ++out.rows;
            for (int c = 0; c < n; ++c) {
                if (PQgetisnull(r, row, c))
                    continue;
                const char *v = PQgetvalue(r, row, c);
                switch (kinds_[size_t(c)]) {
                case Kind::Int: out.ints.push_back(std::strtoll(v, nullptr, 10)); break;
                case Kind::Real: out.reals.push_back(std::strtod(v, nullptr)); break;
                case Kind::Flag: out.flags.push_back(v[0] == 't'); break;
                case Kind::Text: out.texts.push_back(QString::fromUtf8(v, PQgetlength(r, row, c))); break;
                case Kind::Date: out.dates.push_back(date(v)); break;
                case Kind::Stamp: out.stamps.push_back(QDateTime(date(v), time(v))); break;
                }
            }
        }
        PQclear(r);
    }
    // Runs text that returns no rows (BEGIN, COMMIT).
    void command(const char *sql) { PQclear(PQexec(conn_, sql)); }

private:
    static int number(const char *t, int at, int len)
    {
        int v = 0;
        for (int k = at; k < at + len && t[k]; ++k)
            v = v * 10 + (t[k] - '0');
        return v;
    }
    static QDate date(const char *t) { return QDate(number(t, 0, 4), number(t, 5, 2), number(t, 8, 2)); }
    static QTime time(const char *t) { return QTime(number(t, 11, 2), number(t, 14, 2), number(t, 17, 2)); }

    static inline int made_ = 0;
    PGconn *conn_;
    QByteArray name_;
    std::vector<Kind> kinds_;
};

// The baseline of one backend: the statement in SQLite's words ("?" and the
// rowid) or the server's ($1 and the Id key), prepared once.
class Baseline {
public:
    Baseline(const Database &db, const QString &sql)
    {
        if (db.isServer())
            pg_ = std::make_unique<RawPg>(db, sql);
        else
            sqlite_ = std::make_unique<Raw>(db, sql);
    }
    void run(TypedRows &out, const QVariantList &binds = {})
    {
        if (pg_)
            pg_->run(out, binds);
        else
            sqlite_->run(out, binds);
    }

private:
    std::unique_ptr<Raw> sqlite_;
    std::unique_ptr<RawPg> pg_;
};

// A field of a table file as its table spells it, quoted, after "alias." (when given).
QString col(const Program &p, const QString &file, const QString &alias, const QString &name)
{
    for (const FieldDef &f : p.db->fields(file))
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return alias.isEmpty() ? quoteIdent(f.name) : alias + QLatin1Char('.') + quoteIdent(f.name);
    throw EngineError(QStringLiteral("No field %1 in %2").arg(name, file));
}

// The n-th parameter and the row identity in the backend's words.
QString param(const Program &p, int n) { return p.db->isServer() ? QStringLiteral("$%1").arg(n) : QStringLiteral("?"); }
QString rowId(const Program &p, const QString &alias)
{
    return alias + (p.db->isServer() ? QStringLiteral(".\"Id\"") : QStringLiteral(".rowid"));
}

QString groupsFile() { return OpenRegister::suffix(benchYear, benchUnit).prepend(QLatin1Char('g')); }
QString positionsFile() { return OpenRegister::suffix(benchYear, benchUnit).prepend(QLatin1Char('p')); }

QString columnsOf(const Program &p, const QString &file, const QString &alias)
{
    QStringList cols;
    for (const FieldDef &f : p.db->fields(file))
        cols << alias + QLatin1Char('.') + quoteIdent(f.name);
    return cols.join(QStringLiteral(", "));
}

QString groupsTable() { return SqlDialect::tableName(groupsFile()); }
QString positionsTable() { return SqlDialect::tableName(positionsFile()); }

// ------------------------------------------------------------ timings

void openGroupsEngine(benchmark::State &state, Program &p)
{
    for (auto _ : state) {
        p.openRegister();
        Program::touchLookups(*p.dane->T_Gr);
    }
    state.counters["rows"] = p.dane->T_Gr->recordCount();
}

void openGroupsBaseline(benchmark::State &state, Program &p)
{
    const QString g = groupsFile(), d = QStringLiteral("rozdz.db"), pa = QStringLiteral("par.db");
    Baseline raw(*p.db, QStringLiteral("SELECT %1, %2, %3, %4, %5 FROM %6 AS g "
                                       "LEFT JOIN rozdz AS r ON %7 = %8 LEFT JOIN par AS pa ON %9 = %10 "
                                       "WHERE %11 = %12 AND %13 = %14 ORDER BY %15")
                            .arg(columnsOf(p, g, QStringLiteral("g")), rowId(p, QStringLiteral("g")),
                                 col(p, d, QStringLiteral("r"), QStringLiteral("Rozdz")),
                                 col(p, pa, QStringLiteral("pa"), QStringLiteral("Par")),
                                 col(p, pa, QStringLiteral("pa"), QStringLiteral("Opis")), quoteIdent(groupsTable()),
                                 col(p, d, QStringLiteral("r"), QStringLiteral("Id")),
                                 col(p, g, QStringLiteral("g"), QStringLiteral("Rozdz")),
                                 col(p, pa, QStringLiteral("pa"), QStringLiteral("Id")))
                            .arg(col(p, g, QStringLiteral("g"), QStringLiteral("Par")),
                                 col(p, g, QStringLiteral("g"), QStringLiteral("Rok")), param(p, 1),
                                 col(p, g, QStringLiteral("g"), QStringLiteral("Mc")), param(p, 2),
                                 col(p, g, QStringLiteral("g"), QStringLiteral("Id"))));
    TypedRows rows;
    for (auto _ : state) {
        rows.clear();
        raw.run(rows, {benchYear, benchMonth});
    }
    state.counters["rows"] = rows.rows;
}

void openPositionsEngine(benchmark::State &state, Program &p)
{
    int rows = 0;
    for (auto _ : state)
        rows = p.openPositions();
    state.counters["rows"] = rows;
}

void openPositionsBaseline(benchmark::State &state, Program &p)
{
    const QString f = positionsFile();
    const auto pc = [&](const char *name) { return col(p, f, QStringLiteral("p"), QString::fromLatin1(name)); };
    const auto dict = [&](const char *file, const char *alias, const char *name) {
        return col(p, QString::fromLatin1(file), QString::fromLatin1(alias), QString::fromLatin1(name));
    };
    Baseline raw(*p.db, QStringLiteral("SELECT %1, %2, %3, %4, %5, %6 FROM %7 AS p "
                                       "LEFT JOIN kontr AS k ON %8 = %9 LEFT JOIN ch AS c ON %10 = %11 "
                                       "LEFT JOIN cz AS z ON %12 = %13 LEFT JOIN jm AS j ON %14 = %15 "
                                       "WHERE %16 = %17 ORDER BY %18")
                            .arg(columnsOf(p, f, QStringLiteral("p")), rowId(p, QStringLiteral("p")),
                                 dict("kontr.db", "k", "Nazwa"), dict("ch.db", "c", "Ch"), dict("cz.db", "z", "Cz"),
                                 dict("jm.db", "j", "Jm"), quoteIdent(positionsTable()), dict("kontr.db", "k", "Id"),
                                 pc("kontr"))
                            .arg(dict("ch.db", "c", "Id"), pc("ch"), dict("cz.db", "z", "Id"), pc("Cz"),
                                 dict("jm.db", "j", "Id"), pc("jm"), pc("Dok"), param(p, 1), pc("Id")));
    TypedRows rows;
    for (auto _ : state) {
        rows.clear();
        raw.run(rows, {p.group});
    }
    state.counters["rows"] = rows.rows;
}

void browserEngine(benchmark::State &state, Program &p)
{
    Query q(p.db.get(), QStringLiteral("Q_Rob"));
    int rows = 0;
    for (auto _ : state)
        rows = p.browserYear(q);
    state.counters["rows"] = rows;
}

void browserBaseline(benchmark::State &state, Program &p)
{
    Baseline raw(*p.db, p.db->translate(p.browserStatement(benchUnit).join(QLatin1Char('\n'))).sql);
    TypedRows rows;
    for (auto _ : state) {
        rows.clear();
        raw.run(rows);
    }
    state.counters["rows"] = rows.rows;
}

// The browser statement with its FULL OUTER JOINs run as written (SQLite).
void browserBaselineAsWritten(benchmark::State &state, Program &p)
{
    QString sql = p.db->dialect().translate(p.browserStatement(benchUnit).join(QLatin1Char('\n'))).sql;
    sql.replace(QStringLiteral("LEFT OUTER JOIN"), QStringLiteral("FULL OUTER JOIN"));
    Raw raw(*p.db, sql);
    TypedRows rows;
    for (auto _ : state) {
        rows.clear();
        raw.run(rows);
    }
    state.counters["rows"] = rows.rows;
}

void referenceScanEngine(benchmark::State &state, Program &p)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(p.referenceScan());
}

void referenceScanBaseline(benchmark::State &state, Program &p)
{
    std::vector<std::unique_ptr<Baseline>> scans;
    for (const QString &file : p.db->listFiles(QStringLiteral("p_????_????.db")))
        scans.push_back(std::make_unique<Baseline>(
            *p.db, QStringLiteral("SELECT * FROM %1 AS p WHERE %2 = %3")
                       .arg(quoteIdent(SqlDialect::tableName(file)),
                            col(p, file, QStringLiteral("p"), QStringLiteral("Cz")), param(p, 1))));
    const auto run = [&](const char *sql) {
        if (p.db->isServer())
            PQclear(PQexec(dynamic_cast<PgConnection &>(p.db->connection()).handle(), sql));
        else
            sqlite3_exec(p.db->handle(), sql, nullptr, nullptr, nullptr);
    };
    TypedRows rows;
    for (auto _ : state) {
        rows.clear();
        run(p.db->isServer() ? "BEGIN" : "BEGIN IMMEDIATE");
        for (auto &s : scans)
            s->run(rows, {p.unusedActivity});
        run("ROLLBACK");
    }
    state.counters["files"] = double(scans.size());
}

void savePositionEngine(benchmark::State &state, Program &p)
{
    p.chooseGroup();
    p.flow->openPositions();
    int n = 0;
    for (auto _ : state)
        p.savePosition(++n);
    p.flow->closePositions();
}

// The same change in its own immediate transaction, then the group's
// positions read again, as the engine does after a post.
void savePositionBaseline(benchmark::State &state, Program &p)
{
    const QString f = positionsFile();
    const auto pc = [&](const char *name) { return col(p, f, QString(), QString::fromLatin1(name)); };
    Baseline update(*p.db, QStringLiteral("UPDATE %1 SET %2 = %3, %4 = %5, %6 = %7 WHERE %8 = "
                                          "(SELECT MIN(%8) FROM %1 WHERE %9 = %10)")
                               .arg(quoteIdent(positionsTable()), pc("Opis"), param(p, 1), pc("T_Mod"), param(p, 2),
                                    pc("O_Mod"), param(p, 3), pc("Id"), pc("Dok"))
                               .arg(param(p, 4)));
    Baseline reread(*p.db, QStringLiteral("SELECT %1, %2 FROM %3 AS p WHERE %4 = %5 ORDER BY %6")
                               .arg(columnsOf(p, f, QStringLiteral("p")), rowId(p, QStringLiteral("p")),
                                    quoteIdent(positionsTable()), col(p, f, QStringLiteral("p"), QStringLiteral("Dok")),
                                    param(p, 1), col(p, f, QStringLiteral("p"), QStringLiteral("Id"))));
    const auto run = [&](const char *sql) {
        if (p.db->isServer())
            PQclear(PQexec(dynamic_cast<PgConnection &>(p.db->connection()).handle(), sql));
        else
            sqlite3_exec(p.db->handle(), sql, nullptr, nullptr, nullptr);
    };
    TypedRows rows;
    int n = 0;
    for (auto _ : state) {
        run(p.db->isServer() ? "BEGIN" : "BEGIN IMMEDIATE");
        rows.clear();
        update.run(rows, {QStringLiteral("Pozycja zapisana %1 raz").arg(++n),
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), 1, p.group});
        run("COMMIT");
        rows.clear();
        reread.run(rows, {p.group});
    }
}

// Every case on one backend: the engine, then its baseline.
void registerCases(const char *backend, Program &(*side)(), bool server)
{
    using Case = void (*)(benchmark::State &, Program &);
    const struct {
        const char *name;
        Case run;
    } cases[] = {
        {"OpenGroups/engine", openGroupsEngine},       {"OpenGroups/baseline", openGroupsBaseline},
        {"OpenPositions/engine", openPositionsEngine}, {"OpenPositions/baseline", openPositionsBaseline},
        {"Browser/engine", browserEngine},             {"Browser/baseline", browserBaseline},
        {"Browser/baselineAsWritten", browserBaselineAsWritten},
        {"ReferenceScan/engine", referenceScanEngine}, {"ReferenceScan/baseline", referenceScanBaseline},
        {"SavePosition/engine", savePositionEngine},   {"SavePosition/baseline", savePositionBaseline},
    };
    for (const auto &c : cases) {
        if (server && QByteArray(c.name).endsWith("AsWritten"))
            continue;
        const Case run = c.run;
        benchmark::RegisterBenchmark((std::string(backend) + "/" + c.name).c_str(),
                                     [run, side](benchmark::State &state) { run(state, side()); })
            ->Unit(benchmark::kMillisecond);
    }
}

// ------------------------------------------------------------ figures

void memoryPerBrowserRow()
{
    Program &p = program();
    std::vector<std::unique_ptr<Query>> browsers;
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    qint64 rows = 0;
    for (const QString &unit : units()) {
        browsers.push_back(std::make_unique<Query>(p.db.get(), QStringLiteral("Q_Rob")));
        browsers.back()->setSql(p.browserStatement(unit));
        browsers.back()->open();
        rows += browsers.back()->recordCount();
    }
    const size_t engine = mallinfo2().uordblks - before;
    browsers.clear();
    malloc_trim(0);
    const size_t before2 = mallinfo2().uordblks;
    std::vector<TypedRows> typed(size_t(units().size()));
    for (int i = 0; i < units().size(); ++i) {
        Raw raw(*p.db, p.db->dialect().translate(p.browserStatement(units()[i]).join(QLatin1Char('\n'))).sql);
        raw.run(typed[size_t(i)]);
    }
    const size_t baseline = mallinfo2().uordblks - before2;
    std::printf("Memory, browser over %d units x 1 year: %lld rows; engine %.1f MB = %.0f B a row; "
                "typed columns %.1f MB = %.0f B a row\n",
                int(units().size()), rows, engine / 1e6, double(engine) / double(rows), baseline / 1e6,
                double(baseline) / double(rows));
}

void fileSizes()
{
    Program &p = program();
    Statement st(*p.db, QStringLiteral("SELECT SUM(pgsize), SUM(CASE WHEN name LIKE 'p\\_%.%' ESCAPE '\\' OR name LIKE "
                                       "'g\\_%.%' ESCAPE '\\' THEN pgsize ELSE 0 END), SUM(CASE WHEN name LIKE 'p\\_%' "
                                       "ESCAPE '\\' AND name NOT LIKE '%.%' THEN pgsize ELSE 0 END) FROM dbstat"));
    st.step();
    qint64 positions = 0;
    for (const QString &file : p.db->listFiles(QStringLiteral("p_????_????.db"))) {
        Statement n(*p.db, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(SqlDialect::tableName(file)));
        n.step();
        positions += n.integer(0);
    }
    std::printf("File: %.1f MB in all; register indexes %.1f MB (%.1f%%); positions tables %.1f MB for %lld "
                "positions = %.0f B a stored row\n",
                st.integer(0) / 1e6, st.integer(1) / 1e6, 100.0 * double(st.integer(1)) / double(st.integer(0)),
                st.integer(2) / 1e6, positions, double(st.integer(2)) / double(positions));
}

void networkFigures()
{
    Program &p = program();
    Query q(p.db.get(), QStringLiteral("Q_Rob"));
    int saves = 0;
    const struct {
        const char *action;
        std::function<void()> run;
    } actions[] = {
        {"open a register (T_Gr)", [&] { p.openRegister(); }},
        {"open a group's positions", [&] { p.openPositions(); }},
        {"save a position", [&] { p.savePosition(++saves); }},
        {"reference scan, 100 files", [&] { p.referenceScan(); }},
        {"browser, one unit-year", [&] { p.browserYear(q); }},
    };
    std::printf("\n%-28s | %12s %7s %6s %6s | %12s %7s %6s %6s\n", "action (VFS calls)", "cold: bytes", "reads",
                "locks", "access", "warm: bytes", "reads", "locks", "access");
    for (const auto &a : actions) {
        const bool save = QByteArray(a.action).startsWith("save");
        if (save) {
            p.chooseGroup();
            p.flow->openPositions();
        }
        IoCounts figures[2];
        for (IoCounts &f : figures) {
            if (&f == &figures[0])
                p.anotherWorkstationCommits();
            io = IoCounts();
            a.run();
            f = io;
        }
        if (save)
            p.flow->closePositions();
        std::printf("%-28s | %12lld %7lld %6lld %6lld | %12lld %7lld %6lld %6lld\n", a.action, figures[0].bytesRead,
                    figures[0].reads, figures[0].locks, figures[0].accesses, figures[1].bytesRead, figures[1].reads,
                    figures[1].locks, figures[1].accesses);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    installCountingVfs();
    program();
    registerCases("sqlite", program, false);
    if (!server().conninfo().isEmpty()) {
        serverProgram();
        registerCases("server", serverProgram, true);
    }
    benchmark::Initialize(&argc, argv);
    if (!qEnvironmentVariableIsSet("FENWA5_BENCH_TIMES_ONLY")) {
        fileSizes();
        memoryPerBrowserRow();
        networkFigures();
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
