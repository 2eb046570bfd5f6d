#pragma once
// The PostgreSQL server a benchmark's server cases run on: FENWA5_BENCH_PG
// (a libpq connection text), or else a throwaway cluster that
// scripts/pg-cluster.sh starts for the run and stops at its end. Without the
// server programs (or when the cluster does not start) the conninfo stays
// empty and the benchmark leaves its server cases out, saying so.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QString>

#include <cstdio>

namespace fenwa::bench {

class BenchServer {
public:
    explicit BenchServer(const char *name)
    {
        conninfo_ = qgetenv("FENWA5_BENCH_PG");
        if (!conninfo_.isEmpty())
            return;
        if (QProcess::execute(script(), {QStringLiteral("available")}) != 0) {
            std::printf("No PostgreSQL server programs installed: the server cases are left out.\n");
            return;
        }
        cluster_ = QDir::tempPath()
                   + QStringLiteral("/fenwa5-%1-pg-%2").arg(QLatin1String(name)).arg(QCoreApplication::applicationPid());
        QProcess start;
        start.start(script(), {QStringLiteral("start"), cluster_});
        start.waitForFinished(120000);
        conninfo_ = start.readAllStandardOutput().trimmed();
        if (start.exitCode() != 0 || conninfo_.isEmpty()) {
            std::printf("The throwaway PostgreSQL cluster did not start: the server cases are left out.\n%s\n",
                        start.readAllStandardError().constData());
            conninfo_.clear();
        }
    }
    ~BenchServer()
    {
        if (cluster_.isEmpty())
            return;
        QProcess::execute(script(), {QStringLiteral("stop"), cluster_});
        QDir(cluster_).removeRecursively();
    }
    BenchServer(const BenchServer &) = delete;
    BenchServer &operator=(const BenchServer &) = delete;

    // The libpq connection text; empty: no server.
    const QByteArray &conninfo() const { return conninfo_; }
    // An installation's address there, as fenwa5-baza takes it.
    QString place(const QString &schema) const
    {
        return QString::fromUtf8(conninfo_) + QStringLiteral(" schema=") + schema;
    }

private:
    static QString script() { return QStringLiteral(FENWA5_SOURCE_DIR "/scripts/pg-cluster.sh"); }

    QByteArray conninfo_;
    QString cluster_;   // the folder of the cluster started here
};

} // namespace fenwa::bench
