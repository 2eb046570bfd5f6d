// Two workstations posting the same group symbol at the same moment: the
// duplicate check and the write share one immediate transaction, so one
// record is saved and the other post is refused.
//
// The workstations are two real processes: this test program run again with
// the child test selected, the data folder in FENWA5_RULES_CHILD and, on the
// server, the installation's schema in FENWA5_RULES_SCHEMA.
#include "Installation.h"
#include "WaitUntil.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::DataFolder;
using fenwa::testing::waitUntil;

namespace {

const char *childVariable = "FENWA5_RULES_CHILD";
const char *schemaVariable = "FENWA5_RULES_SCHEMA";
const QString suffix = QStringLiteral("_2016_2201.db");
const QString symbol = QStringLiteral("FV/2016/\"01\"");

void say(const QString &line) { std::cout << "RESULT:" << line.toStdString() << std::endl; }

} // namespace

TEST(RulesTwoProcesses, Child)
{
    const QString folder = QString::fromLocal8Bit(qgetenv(childVariable));
    if (folder.isEmpty())
        GTEST_SKIP() << "run as a workstation by RulesTwoProcesses.OneSavesOneIsRefused";
    auto db = fenwa::testing::openInstallation(folder, QString::fromUtf8(qgetenv(schemaVariable)));
    CurrentUser user;
    user.user = 1;
    user.slowniki = user.edycja = true;
    RunSettings settings;
    settings.fd = folder;
    settings.wkod = QStringLiteral("22");
    OpenRegister reg;
    reg.rok = 2016;
    reg.mc = 1;
    reg.kod = QStringLiteral("2201");
    reg.sufiks = suffix;
    ScriptedMessages messages;
    Clock clock;
    TF_Dane dane(db.get(), user, settings, reg, messages, clock);
    ASSERT_TRUE(dane.open());
    dane.setRegister(suffix);
    Table *gr = dane.T_Gr;
    gr->open();
    // Widen the gap between the check and the write: without one transaction
    // around both, the two workstations would both pass the check.
    auto rule = gr->beforePost;
    gr->beforePost = [rule](Table &t) {
        rule(t);
        QThread::msleep(400);
    };
    gr->append();
    gr->setValue(QStringLiteral("Dok"), symbol);
    gr->setValue(QStringLiteral("Opis"), QStringLiteral("Faktura"));
    gr->setValue(QStringLiteral("Rozdz"), 1);
    gr->setValue(QStringLiteral("Par"), 1);

    QDir dir(folder);
    QFile ready(dir.filePath(QStringLiteral("ready-%1").arg(QCoreApplication::applicationPid())));
    ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    ready.close();
    waitUntil([&] { return dir.exists(QStringLiteral("go")); }, 10000);
    try {
        gr->post();
        say(QStringLiteral("SAVED"));
    } catch (const Abort &) {
        say(QStringLiteral("REFUSED ") + messages.last());
    } catch (const EngineError &e) {
        say(QStringLiteral("ERROR ") + e.message());
    }
}

TEST(RulesTwoProcesses, OneSavesOneIsRefused)
{
    DataFolder f;
    f.db->exec(schema::createGroups(f.folder(), suffix).join(QLatin1Char('\n')));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(childVariable), f.folder());
    env.insert(QString::fromLatin1(schemaVariable), f.schema.name);
    // A workstation runs its one test whatever share of the tests this process runs.
    env.remove(QStringLiteral("GTEST_TOTAL_SHARDS"));
    env.remove(QStringLiteral("GTEST_SHARD_INDEX"));
    QProcess a, b;
    for (QProcess *p : {&a, &b}) {
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=RulesTwoProcesses.Child")});
        ASSERT_TRUE(p->waitForStarted(10000));
    }
    // Both hold a record in insert state; then both post at once.
    QDir dir(f.folder());
    ASSERT_TRUE(waitUntil([&] { return dir.entryList({QStringLiteral("ready-*")}, QDir::Files).size() == 2; }, 10000));
    QFile go(dir.filePath(QStringLiteral("go")));
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    QStringList results;
    for (QProcess *p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        for (const QString &line : QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("RESULT:")))
                results << line.mid(7).trimmed();
    }
    results.sort();
    ASSERT_EQ(results.size(), 2) << results.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(results[0].toStdString(), QStringLiteral("REFUSED Pozycja \"%1\" już istnieje!").arg(symbol).toStdString());
    EXPECT_EQ(results[1].toStdString(), "SAVED");

    Query q(f.db.get(), QStringLiteral("Q_Count"));
    q.setSql({QStringLiteral("SELECT COUNT(*) AS n FROM \"%1\" WHERE Dok = :dok").arg(f.path(QStringLiteral("g") + suffix))});
    q.setParam(QStringLiteral(":dok"), symbol);
    q.open();
    EXPECT_EQ(q.asInt(QStringLiteral("n")), 1);
}
