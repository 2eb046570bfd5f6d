#include "register/Register.h"

#include "common/Calendar.h"
#include "data/Schema.h"

namespace fenwa::reg {

using data::Table;

QString RegisterFlow::openGroups(int year, int month, const QString &unitName)
{
    OpenRegister &r = dane_.openRegister();
    const QString kod = unitCode(dane_, unitName);
    if (kod.isEmpty())
        throw data::EngineError(QStringLiteral("Nie znaleziono jednostki „%1” w słownikach inspektoratów i jednostek. "
                                               "Rejestr nie został otwarty.")
                                    .arg(unitName));
    r.rok = year;
    r.mc = month;
    r.kod = kod;
    r.sufiks = OpenRegister::suffix(r.rok, r.kod);
    unitName_ = unitName;
    data::Database &db = *dane_.database();
    // The schema is read first; only a file to create or index takes the
    // write lock, and the check is made again under it: two workstations
    // opening a new register at once create it once.
    auto groupsReady = [&] {
        return db.fileExists(r.groupsFile()) && data::schema::missingRegisterIndexes(db, r.groupsFile()).isEmpty();
    };
    if (!groupsReady()) {
        data::Database::Transaction tx(db);
        if (!db.fileExists(r.groupsFile())) {
            dane_.Q_Create->setSql(data::schema::createGroups(db.folder(), r.sufiks));
            dane_.Q_Create->execSql();
        }
        data::schema::createRegisterIndexes(db, r.groupsFile());
        tx.commit();
    }
    Table *g = dane_.T_Gr;
    g->close();
    g->setTableName(r.groupsFile());
    g->setFilter(QStringLiteral("rok = %1 and mc = %2").arg(r.rok).arg(r.mc));
    g->setFiltered(true);
    g->setReadOnly(!dane_.user().edycja);
    g->open();
    dane_.T_Poz->close();
    dane_.T_Poz->setTableName(r.positionsFile());
    return QStringLiteral("Dokumenty: %1 za rok %2, miesiąc %3.").arg(unitName).arg(r.rok).arg(monthName(r.mc));
}

QString RegisterFlow::openPositions()
{
    OpenRegister &r = dane_.openRegister();
    data::Database &db = *dane_.database();
    // Created when missing; an old positions file lacks ob and the indexes.
    // What is missing is read from the schema (no rows are read); the change
    // is made under one write lock, after checking again, so it is made once.
    auto positionsReady = [&] {
        return db.fileExists(r.positionsFile()) && data::schema::positionsHaveOb(db, r.sufiks)
               && data::schema::missingRegisterIndexes(db, r.positionsFile()).isEmpty();
    };
    if (!positionsReady()) {
        data::Database::Transaction tx(db);
        if (!db.fileExists(r.positionsFile())) {
            dane_.Q_Create->setSql(data::schema::createPositions(db.folder(), r.sufiks));
            dane_.Q_Create->execSql();
        }
        if (!data::schema::positionsHaveOb(db, r.sufiks)) {
            dane_.Q_Create->setSql(data::schema::upgradePositions(db.folder(), r.sufiks));
            dane_.Q_Create->execSql();
        }
        data::schema::createRegisterIndexes(db, r.positionsFile());
        tx.commit();
    }
    dane_.T_Zf->setFilter(QStringLiteral("Rok = %1").arg(r.rok));
    for (Table *t : {dane_.T_Ch, dane_.T_Cz, dane_.T_kontr})
        t->setFilter(QStringLiteral("Ukr = False"));
    for (Table *t : {dane_.T_Zf, dane_.T_Ch, dane_.T_Cz, dane_.T_kontr})
        t->setFiltered(true);
    Table *p = dane_.T_Poz;
    p->close();
    p->setTableName(r.positionsFile());
    p->setFilter(QStringLiteral("dok = %1").arg(r.dok));
    p->setFiltered(true);
    p->setReadOnly(r.zk || !dane_.user().edycja);
    p->open();
    return QStringLiteral("Grupa dokumentów: %1, Rozdział: %2, §%3, rok %4, miesiąc %5 - %6.")
        .arg(r.symbol, r.rozdz, r.par)
        .arg(r.rok)
        .arg(monthName(r.mc), unitName_);
}

void RegisterFlow::closePositions()
{
    for (Table *t : {dane_.T_Zf, dane_.T_Ch, dane_.T_Cz, dane_.T_kontr})
        t->setFiltered(false);
    dane_.T_Poz->close();
}

} // namespace fenwa::reg
