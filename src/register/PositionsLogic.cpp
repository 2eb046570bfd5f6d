#include "register/PositionsLogic.h"

#include "common/Numbers.h"
#include "data/Guard.h"
#include "data/SqlBuilder.h"
#include "register/RecordStamps.h"

namespace fenwa::reg {

namespace {

// The fields a copy carries, and where each sits in an entry.
using Member = QVariant PositionsLogic::Entry::*;
struct CopiedField {
    const char *field;
    Member member;
};
using E = PositionsLogic::Entry;
const CopiedField kCopied[] = {
    {"data", &E::data},   {"pks", &E::pks},       {"fak", &E::fak},     {"kontr", &E::kontr}, {"ilosc", &E::ilosc},
    {"cena", &E::cena},   {"netto", &E::netto},   {"brutto", &E::brutto}, {"podatki", &E::podatki},
    {"ch", &E::ch},       {"gat", &E::gat},       {"jm", &E::jm},       {"bd", &E::bd},       {"bp", &E::bp},
    {"zak", &E::zak},     {"ob", &E::ob},         {"opis", &E::opis},   {"cz", &E::cz},       {"zf", &E::zf},
    {"wyd", &E::wyd},     {"kosz", &E::kosz},     {"dot", &E::dot},
};

} // namespace

PositionsMenuState PositionsLogic::menuState() const
{
    PositionsMenuState m;
    const data::Table *p = dane_.T_Poz;
    m.wklej = kopia();
    if (!p->active())
        return m;
    const bool writable = !p->readOnly();
    if (p->editing()) {
        m.zapisz = m.rezygnuj = writable;
        return m;
    }
    const bool hasRow = !p->isEmpty();
    m.dodaj = writable;
    m.usun = m.popraw = writable && hasRow;
    m.kopiuj = m.informacje = m.suma = hasRow;
    m.szukaj = m.drukuj = m.eksport = true;
    return m;
}

void PositionsLogic::copy(const QVector<int> &rows)
{
    data::Table *p = dane_.T_Poz;
    if (!p->active() || p->isEmpty() || rows.isEmpty())
        return;
    if (rows.size() > bufferSize) {
        dane_.messages().warning(QStringLiteral("Można skopiować najwyżej %1 pozycji naraz; zaznaczono %2.")
                                     .arg(bufferSize)
                                     .arg(rows.size()));
        return;
    }
    QVector<Entry> entries;
    // Moving onto a row saves a pending record first; when that is refused,
    // the record and the cursor stay and the buffer is kept.
    const bool moved = data::guarded(dane_.messages(), [&] {
        for (int row : rows) {
            p->moveTo(row);
            Entry e;
            for (const CopiedField &f : kCopied)
                e.*f.member = p->value(QString::fromLatin1(f.field));
            entries << e;
        }
    });
    if (!moved)
        return;
    pp_ = entries;
    ile_ = int(entries.size());
    dane_.rules.kopia = true;
}

void PositionsLogic::paste()
{
    if (!kopia())
        return;
    data::Table *p = dane_.T_Poz;
    if (!p->active() || p->readOnly()) {
        endCopy();
        return;
    }
    // A record being typed is saved first; when it is refused it stays as
    // typed and nothing is pasted (the copy stays pending for another try).
    if (p->editing() && !data::guarded(dane_.messages(), [&] { p->post(); }))
        return;
    for (int i = 0; i < ile_ && i < pp_.size(); ++i) {
        const Entry &e = pp_[i];
        const bool ok = data::quiet([&] {
            p->append();
            for (const CopiedField &f : kCopied)
                p->setValue(QString::fromLatin1(f.field), e.*f.member);
            p->post();
        });
        // A refused position is dropped so that the next one can still go in;
        // only the pasted record is pending here.
        if (!ok && p->editing())
            p->cancel();
    }
    endCopy();
}

ShownStatement PositionsLogic::sumStatement(const QString &fak, int group) const
{
    const data::SqlBuilder q = data::SqlBuilder(dane_.database()->folder())
                                   .select(QStringLiteral("SUM(netto) netto, SUM(podatki) podatki, SUM(brutto) brutto"),
                                           QStringLiteral("Select"))
                                   .from(dane_.openRegister().positionsFile());
    ShownStatement s;
    s.shown = s.sql = q.lines();
    s.shown << QStringLiteral("WHERE fak=\"%1\" and Dok =%2").arg(fak).arg(group);
    s.sql << QStringLiteral("WHERE fak=:fak and Dok =%1").arg(group);
    s.params = {{QStringLiteral(":fak"), fak}};
    return s;
}

void PositionsLogic::sums(const std::function<void()> &repaint)
{
    data::Table *p = dane_.T_Poz;
    if (!p->active() || p->isEmpty() || p->editing())
        return;
    wyr_ = true;
    fwyr_ = p->asString(QStringLiteral("fak"));
    if (repaint)
        repaint();
    data::Query *q = dane_.Q_Suma;
    data::quiet([&] {
        const ShownStatement s = sumStatement(fwyr_, dane_.openRegister().dok);
        q->close();
        q->setSql(s.sql);
        for (const auto &[name, value] : s.params)
            q->setParam(name, value);
        q->open();
        const QString text = QStringLiteral("Wartość netto: %1\nWartość zobowiązań publiczno - prawnych: %2\n"
                                            "Wartość brutto: %3")
                                 .arg(formatAmount(q->asFloat(QStringLiteral("netto"))),
                                      formatAmount(q->asFloat(QStringLiteral("podatki"))),
                                      formatAmount(q->asFloat(QStringLiteral("brutto"))));
        dane_.messages().information(text, QStringLiteral("Suma dokumentu: ") + fwyr_);
    });
    q->close();
    wyr_ = false;
    if (repaint)
        repaint();
}

bool PositionsLogic::highlighted(int row) const
{
    const data::Table *p = dane_.T_Poz;
    if (!wyr_ || row < 0 || row >= p->recordCount())
        return false;
    return p->valueAt(row, p->fieldIndex(QStringLiteral("fak"))).toString() == fwyr_;
}

void PositionsLogic::information()
{
    data::Table *p = dane_.T_Poz;
    data::quiet([&] {
        if (p->active() && !p->isEmpty() && !p->editing())
            dane_.messages().information(recordStamps(*p, *dane_.T_Passwd));
    });
}

QStringList PositionsLogic::exportStatement() const
{
    const QString common = QStringLiteral("zf.zf,ch.ch,gat.gat,kontr.nazwa kontr,cz.cz,p.opis,p.data,p.pks,"
                                          "p.fak,p.ilosc,jm.jm,p.cena,p.netto,p.podatki,p.brutto,p.wyd,p.kosz,"
                                          "p.dot,bd.bd,bp.bp,zak.zak");
    const QString outer = QStringLiteral("FULL OUTER JOIN");
    data::SqlBuilder q(dane_.database()->folder());
    q.select(dane_.settings().voivodeship() ? common + QStringLiteral(",prac.prac") : common);
    q.from(dane_.T_Poz->tableName(), QStringLiteral("AS p"))
        .join(QStringLiteral("zf.db"), QStringLiteral("as zf"), QStringLiteral("zf.id=p.zf"))
        .join(QStringLiteral("jm.db"), QStringLiteral("as jm"), QStringLiteral("jm.id=p.jm"))
        .join(QStringLiteral("ch.db"), QStringLiteral("as ch"), QStringLiteral("ch.id=p.ch"), outer)
        .join(QStringLiteral("gat.db"), QStringLiteral("as gat"), QStringLiteral("gat.id=p.gat"), outer)
        .join(QStringLiteral("cz.db"), QStringLiteral("as cz"), QStringLiteral("cz.id=p.cz"))
        .join(QStringLiteral("kontr.db"), QStringLiteral("as kontr"), QStringLiteral("kontr.id=p.kontr"))
        .join(QStringLiteral("bd.db"), QStringLiteral("as bd"), QStringLiteral("bd.id=p.bd"), outer)
        .join(QStringLiteral("bp.db"), QStringLiteral("as bp"), QStringLiteral("bp.id=p.bp"), outer)
        .join(QStringLiteral("zak.db"), QStringLiteral("as zak"), QStringLiteral("zak.id=p.zak"), outer)
        .join(QStringLiteral("prac.db"), QStringLiteral("as prac"), QStringLiteral("prac.id=p.prac"), outer)
        .where(QStringLiteral("p.Dok=%1").arg(dane_.openRegister().dok));
    return q.lines();
}

} // namespace fenwa::reg
