#pragma once
// An installation database in a temporary folder (March 2016, voivodeship
// code 20) with its data module open, for the register's tests.
#include "QtPrinters.h"
#include "common/ScriptedMessages.h"
#include "data/Dane.h"
#include "data/Seed.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace fenwa::testing {

using namespace fenwa::data;

struct Installation {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    CurrentUser user;
    RunSettings settings;
    OpenRegister reg;
    ScriptedMessages messages;
    Clock clock;
    std::unique_ptr<TF_Dane> dane;

    explicit Installation(bool edycja = true, int p_w = 1)
    {
        clock.set(QDateTime(QDate(2016, 3, 15), QTime(10, 0)));
        db = createInstallation(dir.path(), clock.today());
        user.user = 1;
        user.user_str = QStringLiteral("admin");
        user.wersja = QStringLiteral("5.0");
        user.edycja = edycja;
        user.przeglad = true;
        user.slowniki = true;
        settings.fd = dir.path();
        settings.fe = dir.path();
        settings.wkod = QStringLiteral("20");
        settings.pkod = QStringLiteral("2003");
        settings.p_w = p_w;
        dane = std::make_unique<TF_Dane>(db.get(), user, settings, reg, messages, clock);
        EXPECT_TRUE(dane->open());
    }
    QString unit(const char *table, const char *code)
    {
        Query q(db.get(), QStringLiteral("Q"));
        q.setSql({QStringLiteral("SELECT * FROM \"%1\" WHERE Kod = :k").arg(db->path(QString::fromLatin1(table)))});
        q.setParam(QStringLiteral("k"), QString::fromLatin1(code));
        q.open();
        return q.asString(QString::fromLatin1(table) == QLatin1String("jp.db") ? QStringLiteral("Jp") : QStringLiteral("Nazwa"));
    }
    void addGroup(const QString &dok, int month, bool closed = false)
    {
        Table *g = dane->T_Gr;
        g->append();
        g->setValue(QStringLiteral("Dok"), dok);
        g->setValue(QStringLiteral("Opis"), QStringLiteral("Opis ") + dok);
        g->setValue(QStringLiteral("Rozdz"), 1);
        g->setValue(QStringLiteral("Par"), 2);
        g->setValue(QStringLiteral("Rok"), reg.rok);
        g->setValue(QStringLiteral("Mc"), month);
        g->setValue(QStringLiteral("Zk"), closed);
        g->setValue(QStringLiteral("O_Ins"), 1);
        g->setValue(QStringLiteral("O_Mod"), 1);
        g->setValue(QStringLiteral("T_Ins"), clock.now());
        g->setValue(QStringLiteral("T_Mod"), clock.now());
        g->post();
    }
};

} // namespace fenwa::testing
