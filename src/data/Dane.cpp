#include "data/Dane.h"

#include "common/Numbers.h"
#include "data/Schema.h"
#include "data/SqlBuilder.h"

namespace fenwa::data {

TF_Dane::TF_Dane(Database *db, const CurrentUser &user, const RunSettings &settings, OpenRegister &reg,
                 Messages &messages, Clock &clock, QObject *parent)
    : QObject(parent),
      BatchMove1(db, QStringLiteral("BatchMove1")),
      db_(db),
      user_(user),
      settings_(settings),
      reg_(reg),
      messages_(messages),
      clock_(clock)
{
    setObjectName(QStringLiteral("F_Dane"));
    T_Passwd = makeTable(QStringLiteral("T_Passwd"), QStringLiteral("passwd.db"));
    T_WIW = makeTable(QStringLiteral("T_WIW"), QStringLiteral("wiw.db"));
    T_PIW = makeTable(QStringLiteral("T_PIW"), QStringLiteral("piw.db"));
    T_Jp = makeTable(QStringLiteral("T_Jp"), QStringLiteral("jp.db"));
    T_Rozdz = makeTable(QStringLiteral("T_Rozdz"), QStringLiteral("rozdz.db"));
    T_Par = makeTable(QStringLiteral("T_Par"), QStringLiteral("par.db"));
    T_Zf = makeTable(QStringLiteral("T_Zf"), QStringLiteral("zf.db"));
    T_Ch = makeTable(QStringLiteral("T_Ch"), QStringLiteral("ch.db"));
    T_Gat = makeTable(QStringLiteral("T_Gat"), QStringLiteral("gat.db"));
    T_Jm = makeTable(QStringLiteral("T_Jm"), QStringLiteral("jm.db"));
    T_kontr = makeTable(QStringLiteral("T_kontr"), QStringLiteral("kontr.db"));
    T_Bd = makeTable(QStringLiteral("T_Bd"), QStringLiteral("bd.db"));
    T_Bp = makeTable(QStringLiteral("T_Bp"), QStringLiteral("bp.db"));
    T_Cz = makeTable(QStringLiteral("T_Cz"), QStringLiteral("cz.db"));
    T_Zak = makeTable(QStringLiteral("T_Zak"), QStringLiteral("zak.db"));
    T_Prac = makeTable(QStringLiteral("T_Prac"), QStringLiteral("prac.db"));
    T_ob = makeTable(QStringLiteral("T_ob"), QStringLiteral("ob.db"));
    T_Gr = makeTable(QStringLiteral("T_Gr"), QString());
    T_Poz = makeTable(QStringLiteral("T_Poz"), QString());
    T_Plan = makeTable(QStringLiteral("T_Plan"), QStringLiteral("plan.db"));
    T_Temp = makeTable(QStringLiteral("T_Temp"), QStringLiteral("temp.db"));

    // Declared fields: dictionaries, units and the register. passwd, wiw, piw,
    // plan and temp take their fields from the files as they are.
    for (Table *t : {T_Jp, T_Rozdz, T_Par, T_Zf, T_Ch, T_Gat, T_Jm, T_kontr, T_Bd, T_Bp, T_Cz, T_Zak,
                     T_Prac, T_ob})
        t->setDeclaredFields(schema::find(t->tableName())->fields);
    T_Gr->setDeclaredFields(schema::groupsTable().fields);
    T_Poz->setDeclaredFields(schema::positionsTable().fields);

    T_Bd->setIndexName(QStringLiteral("Bd"));
    T_Bp->setIndexName(QStringLiteral("Bp"));
    T_Cz->setIndexName(QStringLiteral("Cz"));
    T_Zak->setIndexName(QStringLiteral("Zak"));

    T_Gr->addLookupField(QStringLiteral("Rozdzial"), 10, QStringLiteral("Rozdz"), T_Rozdz, QStringLiteral("Id"),
                         QStringLiteral("Rozdz"));
    T_Gr->addLookupField(QStringLiteral("Para"), 10, QStringLiteral("Par"), T_Par, QStringLiteral("Id"),
                         QStringLiteral("Par"));
    T_Gr->addLookupField(QStringLiteral("Paragraf"), 255, QStringLiteral("Par"), T_Par, QStringLiteral("Id"),
                         QStringLiteral("Opis"));
    // A position names its contractor, disease and activity whatever filter
    // the dictionary has for choosing.
    auto names = [this](const char *name, Table *dictionary, const QString &file, const QString &expression,
                        const QString &field) {
        auto *query = new Query(db_, QString::fromLatin1(name), this);
        nameLists_.push_back({dictionary, query, file, expression, field});
        // Read again when the dictionary's records were, not when they were
        // only filtered anew (choosing in a positions list filters them).
        for (auto signal : {&Dataset::rowsChanged, &Dataset::stateChanged})
            connect(dictionary, signal, query, [this, at = nameLists_.size() - 1] {
                NameList &list = nameLists_[at];
                if (list.dictionary->active() && list.dictionary->state() == Dataset::State::Browse
                    && list.dictionary->recordsVersion() != list.readAt)
                    readNames(list);
            });
        return query;
    };
    Q_KontrNazwy = names("Q_KontrNazwy", T_kontr, QStringLiteral("kontr.db"),
                         QStringLiteral("COALESCE(NULLIF(TRIM(Nazwa), ''), Im_naz)"), QStringLiteral("Nazwa"));
    Q_ChNazwy = names("Q_ChNazwy", T_Ch, QStringLiteral("ch.db"), QStringLiteral("Ch"), QStringLiteral("Ch"));
    Q_CzNazwy = names("Q_CzNazwy", T_Cz, QStringLiteral("cz.db"), QStringLiteral("Cz"), QStringLiteral("Cz"));
    T_Poz->addLookupField(QStringLiteral("Kontrahent"), 160, QStringLiteral("kontr"), Q_KontrNazwy,
                          QStringLiteral("Id"), QStringLiteral("Nazwa"));
    T_Poz->addLookupField(QStringLiteral("Choroba"), 160, QStringLiteral("ch"), Q_ChNazwy, QStringLiteral("Id"),
                          QStringLiteral("Ch"));
    T_Poz->addLookupField(QStringLiteral("Czynnosc"), 160, QStringLiteral("Cz"), Q_CzNazwy, QStringLiteral("Id"),
                          QStringLiteral("Cz"));
    T_Poz->addLookupField(QStringLiteral("jm2"), 40, QStringLiteral("jm"), T_Jm, QStringLiteral("Id"),
                          QStringLiteral("Jm"));

    // Amounts of positions: shown with grouping, edited without.
    T_Poz->setDisplayFormat(QStringLiteral("cena"), kPriceFormat);
    T_Poz->setEditFormat(QStringLiteral("cena"), QStringLiteral("#0.####"));
    for (const char *amount : {"netto", "podatki", "brutto"}) {
        T_Poz->setDisplayFormat(QString::fromLatin1(amount), kAmountFormat);
        T_Poz->setEditFormat(QString::fromLatin1(amount), QStringLiteral("#0.##"));
    }

    auto ds = [this](Dataset *d, const char *name) { return new DataSource(d, QString::fromLatin1(name), this); };
    DS_Passwd = ds(T_Passwd, "DS_Passwd");
    DS_WIW = ds(T_WIW, "DS_WIW");
    DS_PIW = ds(T_PIW, "DS_PIW");
    DS_Jp = ds(T_Jp, "DS_Jp");
    DS_Rozdz = ds(T_Rozdz, "DS_Rozdz");
    DS_Par = ds(T_Par, "DS_Par");
    DS_Zf = ds(T_Zf, "DS_Zf");
    DS_Ch = ds(T_Ch, "DS_Ch");
    DS_Gat = ds(T_Gat, "DS_Gat");
    DS_Jm = ds(T_Jm, "DS_Jm");
    DS_kontr = ds(T_kontr, "DS_kontr");
    DS_Bd = ds(T_Bd, "DS_Bd");
    DS_Bp = ds(T_Bp, "DS_Bp");
    DS_Cz = ds(T_Cz, "DS_Cz");
    DS_Zak = ds(T_Zak, "DS_Zak");
    DS_Prac = ds(T_Prac, "DS_Prac");
    DS_ob = ds(T_ob, "DS_ob");
    DS_Gr = ds(T_Gr, "DS_Gr");
    DS_Poz = ds(T_Poz, "DS_Poz");

    auto q = [this](const char *name) { return new Query(db_, QString::fromLatin1(name), this); };
    Q_Create = q("Q_Create");
    Q_Rob = q("Q_Rob");
    Q_GrDok = q("Q_GrDok");
    Q_Suma = q("Q_Suma");
    Q_Simple = q("Q_Simple");
    Q_Kryt = q("Q_Kryt");
    Q_Plan = q("Q_Plan");
    Q_Slownik = q("Q_Slownik");
    DS_Q_Rob = ds(Q_Rob, "DS_Q_Rob");

    // Every real-number column of the work query shows two decimals.
    Q_Rob->afterOpen = [](Query &query) {
        for (int i = 0; i < query.fieldCount(); ++i)
            if (query.fieldDef(i).type == FieldType::Float)
                query.setDisplayFormat(query.fieldDef(i).name, kAmountFormat);
    };

    bindRules(*this, rules);
}

TF_Dane::~TF_Dane() = default;

Table *TF_Dane::makeTable(const QString &name, const QString &file)
{
    auto *t = new Table(db_, name, this);
    if (!file.isEmpty())
        t->setTableName(file);
    return t;
}

QVector<Table *> TF_Dane::sharedTables() const
{
    return {T_Passwd, T_WIW, T_PIW, T_Rozdz, T_Par, T_Zf, T_Ch, T_Gat, T_Jm, T_Bd, T_Bp,
            T_ob, T_Cz, T_Jp, T_Prac, T_Zak, T_kontr};
}

void TF_Dane::setRegister(const QString &suffix)
{
    T_Gr->setTableName(QStringLiteral("g") + suffix);
    T_Poz->setTableName(QStringLiteral("p") + suffix);
}

void TF_Dane::readNames(NameList &list)
{
    try {
        list.names->clearSql();
        list.names->addLine(QStringLiteral("SELECT Id, %1 AS %2 FROM \"%3\"")
                                .arg(list.expression, list.field, tablePath(db_->folder(), list.file)));
        list.names->open();
        list.readAt = list.dictionary->recordsVersion();
    } catch (const EngineError &e) {
        messages_.error(e.message());
    }
}

void TF_Dane::openShared(Table *t, bool writable)
{
    t->setReadOnly(!writable);
    t->open();
}

// Opens a dictionary whose old files lack the field Ukr: on an engine error
// the field is added, every row set to not hidden, and the table opened again.
void TF_Dane::openUpgrading(Table *t, const QString &file, bool writable)
{
    t->setReadOnly(!writable);
    try {
        t->open();
    } catch (const EngineError &) {
        const QString path = tablePath(db_->folder(), file);
        {
            // Checked again under the write lock: another workstation may
            // have just upgraded the same file.
            Database::Transaction tx(*db_);
            bool hasUkr = false;
            for (const FieldDef &f : db_->fields(file))
                hasUkr = hasUkr || f.name.compare(QLatin1String("Ukr"), Qt::CaseInsensitive) == 0;
            if (!hasUkr) {
                Q_Create->clearSql();
                Q_Create->addLine(QStringLiteral("ALTER TABLE \"%1\" ADD Ukr Boolean").arg(path));
                Q_Create->execSql();
                Q_Create->clearSql();
                Q_Create->addLine(QStringLiteral("UPDATE \"%1\" SET Ukr=False").arg(path));
                Q_Create->execSql();
            }
            tx.commit();
        }
        t->open();
    }
}

bool TF_Dane::open()
{
    const bool slowniki = user_.slowniki;
    const bool zakupy = user_.slowniki || user_.edycja;
    try {
        if (!db_)
            throw EngineError(QStringLiteral("Brak połączenia z bazą danych."));
        // 1. Users: never read-only here.
        openShared(T_Passwd, true);
        // 2. Reference lists and dictionaries that need the dictionaries right.
        for (Table *t : {T_WIW, T_PIW, T_Rozdz, T_Par, T_Zf, T_Ch, T_Gat, T_Jm, T_Bd, T_Bp})
            openShared(t, slowniki);
        // 3. ASF areas: created on the first start.
        {
            Database::Transaction tx(*db_);
            if (!db_->fileExists(QStringLiteral("ob.db"))) {
                Q_Create->clearSql();
                Q_Create->addLine(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, ob Char(150),")
                                      .arg(tablePath(db_->folder(), QStringLiteral("ob.db"))));
                Q_Create->addLine(QStringLiteral("PRIMARY KEY (Id))"));
                Q_Create->execSql();
            }
            tx.commit();
        }
        openShared(T_ob, slowniki);
        // 4. Activities, upgraded with Ukr when needed.
        openUpgrading(T_Cz, QStringLiteral("cz.db"), slowniki);
        // 5. Units and laboratories.
        openShared(T_Jp, slowniki);
        openShared(T_Prac, slowniki);
        // 6. Purchases: the dictionaries or the edit right.
        openShared(T_Zak, zakupy);
        // 7. Contractors, as purchases, upgraded with Ukr when needed.
        openUpgrading(T_kontr, QStringLiteral("kontr.db"), zakupy);
        for (NameList &list : nameLists_)
            readNames(list);
        // 8. The register: read-only without the edit right; opened per register.
        T_Gr->setReadOnly(!user_.edycja);
        T_Poz->setReadOnly(!user_.edycja);
    } catch (const EngineError &e) {
        messages_.error(e.message());
        return false;
    }
    return true;
}

} // namespace fenwa::data
