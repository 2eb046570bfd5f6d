#include "register/GroupsLogic.h"

#include "common/Numbers.h"
#include "data/Guard.h"
#include "data/SqlBuilder.h"
#include "register/RecordStamps.h"

namespace fenwa::reg {

using data::Dataset;

bool GroupsLogic::buttonsEnabled() const
{
    const data::Table *g = dane_.T_Gr;
    return g->active() && g->state() == Dataset::State::Browse && !g->isEmpty();
}

GroupsMenuState GroupsLogic::menuState() const
{
    GroupsMenuState m;
    const data::Table *g = dane_.T_Gr;
    m.wklej = kopia_;
    if (!g->active())
        return m;
    if (g->editing()) {
        m.zapisz = m.rezygnuj = true;
        return m;
    }
    m.dodaj = true;
    if (g->isEmpty())
        return m;
    const bool closed = g->asBool(QStringLiteral("Zk"));
    m.usun = m.popraw = true;
    m.zamknij = !closed;
    m.otworz = closed;
    m.szukaj = m.drukuj = m.eksport = m.informacje = true;
    return m;
}

bool GroupsLogic::canShowPositions() const { return buttonsEnabled(); }

void GroupsLogic::takeCurrentGroup()
{
    data::Table *g = dane_.T_Gr;
    OpenRegister &r = dane_.openRegister();
    if (g->active() && !g->isEmpty()) {
        if (g->editing())
            g->cancel();
        r.dok = int(g->asInt(QStringLiteral("Id")));
        r.zk = g->asBool(QStringLiteral("Zk"));
        r.symbol = g->asString(QStringLiteral("Dok"));
        r.par = g->asString(QStringLiteral("Para")) + QStringLiteral("; ") + g->asString(QStringLiteral("Paragraf"));
        r.rozdz = g->asString(QStringLiteral("Rozdzial"));
    }
    g->close();
}

void GroupsLogic::setClosed(bool closed)
{
    data::Table *g = dane_.T_Gr;
    bool ok = data::quiet([&] {
        if (!g->active() || g->isEmpty())
            throw data::Abort{};
        g->edit();
        g->setValue(QStringLiteral("Zk"), closed);
        g->post();
    });
    if (!ok) {
        if (g->active() && g->editing())
            g->cancel();
        dane_.messages().error(closed ? QStringLiteral("Błąd zamknięcia!") : QStringLiteral("Błąd otwarcia!"));
        return;
    }
    dane_.messages().information(QStringLiteral("Dokument %1 został %2!")
                                     .arg(g->asString(QStringLiteral("Dok")),
                                          closed ? QStringLiteral("zamknięty") : QStringLiteral("otwarty")));
}

void GroupsLogic::copy(const QVector<int> &rows)
{
    data::Table *g = dane_.T_Gr;
    if (!g->active() || g->isEmpty() || rows.isEmpty())
        return;
    if (rows.size() > bufferSize) {
        dane_.messages().warning(QStringLiteral("Można skopiować najwyżej %1 grup dokumentów naraz; "
                                                "zaznaczono %2.")
                                     .arg(bufferSize)
                                     .arg(rows.size()));
        return;
    }
    QVector<Entry> entries;
    // Moving onto a row saves a pending record first; when its rule refuses,
    // the record and the cursor stay and the buffer is kept.
    const bool moved = data::guarded(dane_.messages(), [&] {
        for (int row : rows) {
            g->moveTo(row);
            entries << Entry{g->asString(QStringLiteral("Dok")), g->asString(QStringLiteral("Opis")),
                             g->value(QStringLiteral("Rozdz")), g->value(QStringLiteral("Par"))};
        }
    });
    if (!moved)
        return;
    grgr_ = entries;
    ile_ = int(entries.size());
    kopia_ = true;
}

void GroupsLogic::paste()
{
    if (!kopia_)
        return;
    data::Table *g = dane_.T_Gr;
    // A record being typed is saved first; when it is refused it stays as
    // typed and nothing is pasted (the buffer is kept for another try).
    if (g->editing() && !data::guarded(dane_.messages(), [&] { g->post(); }))
        return;
    for (int i = 0; i < ile_ && i < grgr_.size(); ++i) {
        const Entry &e = grgr_[i];
        bool ok = data::quiet([&] {
            g->append();
            g->setValue(QStringLiteral("Dok"), e.dok);
            g->setValue(QStringLiteral("Opis"), e.opis);
            g->setValue(QStringLiteral("Rozdz"), e.rozdz);
            g->setValue(QStringLiteral("Par"), e.par);
            g->post();
        });
        // A refused group is dropped so that the next one can still be added.
        if (!ok && g->active() && g->editing())
            g->cancel();
    }
    kopia_ = false;
}

void GroupsLogic::sums()
{
    data::Table *g = dane_.T_Gr;
    if (!g->active() || g->isEmpty())
        return;
    const OpenRegister &r = dane_.openRegister();
    const QString dok = g->asString(QStringLiteral("Dok"));
    data::guarded(dane_.messages(), [&] {
        data::Query *q = dane_.Q_Rob;
        q->close();
        q->setSql(data::SqlBuilder(dane_.database()->folder())
                      .select(QStringLiteral("SUM(Netto) netto,SUM(Podatki) podatki, SUM(Brutto) brutto"))
                      .from(r.positionsFile())
                      .where(QStringLiteral("Dok=%1").arg(g->asInt(QStringLiteral("Id"))))
                      .lines());
        q->open();
        const double netto = q->asFloat(QStringLiteral("netto"));
        const double podatki = q->asFloat(QStringLiteral("podatki"));
        const double brutto = q->asFloat(QStringLiteral("brutto"));
        q->close();
        dane_.messages().information(QStringLiteral("Netto: %1zł, podatki: %2zł, brutto: %3zł.")
                                         .arg(formatAmount(netto), formatAmount(podatki), formatAmount(brutto)),
                                     QStringLiteral("Sumy \"%1\"").arg(dok));
    });
}

void GroupsLogic::information()
{
    data::Table *g = dane_.T_Gr;
    data::quiet([&] {
        if (g->active() && !g->isEmpty())
            dane_.messages().information(recordStamps(*g, *dane_.T_Passwd));
    });
}

QStringList GroupsLogic::groupListStatement() const
{
    const OpenRegister &r = dane_.openRegister();
    return data::SqlBuilder(dane_.database()->folder())
        .select(QStringLiteral("g.id,g.Dok,r.Rozdz As Rozdzial,p.Par||\"-\"||p.Opis As Paragraf,g.Opis, g.zk, "
                               "g.T_Ins, i.login, g.T_mod, m.login AS Log"))
        .from(dane_.T_Gr->tableName(), QStringLiteral("AS g"))
        .join(QStringLiteral("passwd.db"), QStringLiteral("AS i"), QStringLiteral("g.O_Ins=i.Id"))
        .join(QStringLiteral("passwd.db"), QStringLiteral("AS m"), QStringLiteral("g.O_Mod=m.Id"))
        .join(QStringLiteral("par.db"), QStringLiteral("AS p"), QStringLiteral("g.par=p.Id"))
        .join(QStringLiteral("rozdz.db"), QStringLiteral("AS r"), QStringLiteral("g.rozdz=r.Id"))
        .where(QStringLiteral("Rok = %1 AND Mc=%2").arg(r.rok).arg(r.mc))
        .orderBy(QStringLiteral("Id"))
        .lines();
}

} // namespace fenwa::reg
