#include "data/Rules.h"

#include "common/Numbers.h"
#include "data/Dane.h"
#include "data/Seed.h"

namespace fenwa::data {

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

// One duplicate check of a before-post rule: a field, or two fields together.
struct Dup {
    QStringList fields;
    bool ask;
};

// The before-post rule of a dictionary or of the users table: its duplicate
// checks in order, then the required-field test.
struct DictionaryRule {
    Table *table;
    QVector<Dup> checks;
    QStringList required;
    bool anyOfRequired;   // at least one of the fields (contractors), else all
    QString message;
};

void runDup(Table &t, const Dup &d, Messages &m)
{
    if (d.fields.size() == 2)
        pairDuplicateCheck(t, d.fields[0], d.fields[1], d.ask, m);
    else
        duplicateCheck(t, d.fields[0], d.ask, m);
}

void requireFields(Table &t, const QStringList &fields, bool anyOf, const QString &message, Messages &m)
{
    bool anyBlank = false, allBlank = true;
    for (const QString &f : fields) {
        if (isBlankField(t, f))
            anyBlank = true;
        else
            allBlank = false;
    }
    if (anyOf ? allBlank : anyBlank) {
        m.error(message, S("Błąd"));
        throw Abort{};
    }
}

void bindDictionary(const DictionaryRule &r, Messages &m)
{
    // Checks that ask the user run before the write lock is taken: a dialog
    // waiting for an answer must not hold up the other workstations. They need
    // no lock, since the user may accept the repetition anyway.
    QVector<Dup> asking, refusing;
    for (const Dup &d : r.checks)
        (d.ask ? asking : refusing) << d;
    if (!asking.isEmpty())
        r.table->confirmPost = [asking, &m](Table &t) {
            for (const Dup &d : asking)
                runDup(t, d, m);
        };
    r.table->beforePost = [refusing, required = r.required, anyOf = r.anyOfRequired, message = r.message,
                           &m](Table &t) {
        for (const Dup &d : refusing)
            runDup(t, d, m);
        requireFields(t, required, anyOf, message, m);
    };
}

void stamp(Table &t, TF_Dane &d)
{
    const QDateTime now = d.clock().now();
    const int user = d.user().user;
    t.setValue(QStringLiteral("T_Mod"), now);
    t.setValue(QStringLiteral("O_Mod"), user);
    if (t.state() == Dataset::State::Insert) {
        t.setValue(QStringLiteral("T_Ins"), now);
        t.setValue(QStringLiteral("O_Ins"), user);
    }
}

// The deletion question and the reference scan of a dictionary entry: over
// every register file matching mask, for the column named after the table.
void bindReferenceCheck(Table *table, const QString &mask, TF_Dane &d, RuleContext &ctx)
{
    table->confirmDelete = [&d](Table &) {
        if (!d.messages().question(S("Usunąć zaznaczony zapis?"), S("Pytanie")))
            throw Abort{};
    };
    table->beforeDelete = [mask, &d, &ctx](Table &t) {
        QString column = t.tableName();
        column.chop(3);   // ".db"
        if (referenceScan(*t.database(), *d.Q_Rob, ctx.fileList, mask, column, t.value(QStringLiteral("Id")))) {
            d.messages().information(S("Rekord związany ze zbiorem danych - usunięcie rekordu niemożliwe!"),
                                     S("Informacja"));
            throw Abort{};
        }
    };
}

void bindUnits(TF_Dane &d)
{
    d.T_Jp->afterInsert = [&d](Table &t) { t.setValue(QStringLiteral("Kod"), d.settings().wkod); };
    d.T_Jp->beforePost = [&d](Table &t) {
        Messages &m = d.messages();
        const QString W = d.settings().wkod;
        duplicateCheck(t, QStringLiteral("Jp"), false, m);
        duplicateCheck(t, QStringLiteral("Kod"), false, m);
        if (isBlankField(t, QStringLiteral("Kod")) || isBlankField(t, QStringLiteral("Jp"))) {
            m.error(S("Pola \"KOD\" i \"NAZWA JEDNOSTKI\" nie mogą być puste!"), S("Błąd"));
            throw Abort{};
        }
        const QString kod = t.asString(QStringLiteral("Kod"));
        if (kod.size() != 4) {
            m.error(S("Kod powinnien być czteroznakowy!"), S("Błąd"));
            throw Abort{};
        }
        // The code corrected in the record: W and the unit's own two characters.
        const QString corrected = W + kod.mid(2, 2);
        if (kod.left(2) != W) {
            m.error(S("Dwoma pierwszymi znakami kodu powinny być ") + W + QStringLiteral("!"), S("Błąd"));
            t.setValue(QStringLiteral("Kod"), corrected);
            throw Abort{};
        }
        if (kod == W + QStringLiteral("00")) {
            m.error(S("Kod ") + kod + S(" jest zarezerwowany dla WIW!"), S("Błąd"));
            t.setValue(QStringLiteral("Kod"), corrected);
            throw Abort{};
        }
        // The county inspectorates that T_PIW lets through (its filter holds).
        Table *piw = d.T_PIW;
        if (!piw->active())
            piw->open();
        if (piw->locate(QStringLiteral("Kod"), kod)) {
            m.error(S("Kod ") + kod + S(" jest kodem powiatu ") + piw->asString(QStringLiteral("powiat"))
                        + S("ego!"),
                    S("Błąd"));
            t.setValue(QStringLiteral("Kod"), corrected);
            throw Abort{};
        }
    };
}

void bindUsers(TF_Dane &d, RuleContext &ctx)
{
    Table *t = d.T_Passwd;
    t->beforeInsert = [&d](Table &) {
        if (d.user().user != 1)
            throw Abort{};
    };
    t->beforeEdit = [&d, &ctx](Table &) {
        if (d.user().user != 1 && !ctx.Pas)
            throw Abort{};
    };
    t->beforeDelete = [&d](Table &tab) {
        if (d.user().user != 1 || tab.asInt(QStringLiteral("Id")) == 1)
            throw Abort{};
    };
    t->afterInsert = [](Table &tab) {
        for (const char *f : {"Admin", "Slowniki", "Browse", "Edit", "Arc", "Active"})
            tab.setValue(QString::fromLatin1(f), false);
        tab.setValue(QStringLiteral("Password"), emptyPasswordDigest());
    };
}

void bindGroups(TF_Dane &d)
{
    Table *t = d.T_Gr;
    t->afterInsert = [&d](Table &tab) {
        tab.setValue(QStringLiteral("Zk"), false);
        tab.setValue(QStringLiteral("Rok"), d.openRegister().rok);
        tab.setValue(QStringLiteral("Mc"), d.openRegister().mc);
    };
    t->beforePost = [&d](Table &tab) {
        stamp(tab, d);
        duplicateCheck(tab, QStringLiteral("Dok"), false, d.messages());
        for (const char *f : {"Dok", "Opis", "Par", "Rozdz"}) {
            if (isBlankField(tab, QString::fromLatin1(f))) {
                d.messages().error(S("Pola \"Symbol\", \"Rodział\", \"Paragraf\" i \"Opis\" nie mogą być puste!"),
                                   S("Błąd"));
                throw Abort{};
            }
        }
    };
}

void bindGroupDeletion(TF_Dane &d, RuleContext &ctx)
{
    Table *t = d.T_Gr;
    t->confirmDelete = [&d](Table &) {
        if (!d.messages().question(S("Usunąć wybraną pozycję?"), S("Pytanie")))
            throw Abort{};
    };
    t->beforeDelete = [&d, &ctx](Table &tab) {
        const OpenRegister &reg = d.openRegister();
        const QString file = QStringLiteral("p_%1_%2.db").arg(reg.rok).arg(reg.kod);
        if (referenceScan(*tab.database(), *d.Q_Rob, ctx.fileList, file, QStringLiteral("Dok"),
                          tab.value(QStringLiteral("Id")))) {
            d.messages().information(S("Grupa zawiera dokumenty - usunięcie niemożliwe!"), S("Informacja"));
            throw Abort{};
        }
    };
}

void bindPositions(TF_Dane &d, RuleContext &ctx)
{
    Table *t = d.T_Poz;
    t->afterInsert = [&d, &ctx](Table &tab) {
        const OpenRegister &reg = d.openRegister();
        tab.setValue(QStringLiteral("Dok"), reg.dok);
        tab.setValue(QStringLiteral("Dot"), true);
        tab.setValue(QStringLiteral("Wyd"), true);
        tab.setValue(QStringLiteral("Kosz"), true);
        const QDate last = lastDayOfMonth(reg.rok, reg.mc);
        if (last.isValid())
            tab.setValue(QStringLiteral("Data"), last);
        if (ctx.kopia || !ctx.positionEditor)
            return;
        if (ctx.positionEditor(tab, S("Nowa pozycja")))
            tab.post();
        else
            tab.cancel();
    };
    t->afterEdit = [&ctx](Table &tab) {
        if (!ctx.positionEditor)
            return;
        if (ctx.positionEditor(tab, S("Pozycja ") + tab.asString(QStringLiteral("Fak"))))
            tab.post();
        else
            tab.cancel();
    };
    t->beforePost = [&d](Table &tab) { stamp(tab, d); };
    t->afterPost = [&d](Table &tab) {
        // The position is saved; the warning only informs.
        const QString text = amountWarning(tab.value(QStringLiteral("ilosc")), tab.value(QStringLiteral("cena")),
                                           tab.value(QStringLiteral("netto")), tab.value(QStringLiteral("podatki")),
                                           tab.value(QStringLiteral("brutto")));
        if (!text.isEmpty())
            d.messages().questionOk(text, S("Pytanie"));
    };
    t->confirmDelete = [&d](Table &) {
        if (!d.messages().question(S("Usunąć wybraną pozycję?"), S("Pytanie")))
            throw Abort{};
    };
}

} // namespace

QDate lastDayOfMonth(int year, int month)
{
    if (year < 1 || month < 1 || month > 12)
        return QDate();
    return QDate(year, month, daysInMonth(year, month));
}

void bindRules(TF_Dane &d, RuleContext &ctx)
{
    Messages &m = d.messages();
    const QVector<DictionaryRule> dictionaries = {
        {d.T_Rozdz, {{{QStringLiteral("Opis")}, false}, {{QStringLiteral("Rozdz")}, false}},
         {QStringLiteral("Rozdz"), QStringLiteral("Opis")}, false,
         S("Pola \"Rozdział\" i \"Nazwa\" nie mogą być puste!")},
        {d.T_Par, {{{QStringLiteral("Par"), QStringLiteral("Dod")}, false}, {{QStringLiteral("Opis")}, false}},
         {QStringLiteral("Par"), QStringLiteral("Opis")}, false, S("Pola \"Paragraf\" i \"Opis\" nie mogą być puste!")},
        {d.T_Zf, {{{QStringLiteral("zf")}, false}}, {QStringLiteral("Rok"), QStringLiteral("zf")}, false,
         S("Pola \"Rok ...\" i \"Nazwa ...\" nie mogą być puste!")},
        {d.T_Ch, {{{QStringLiteral("Ch")}, false}}, {QStringLiteral("Ch")}, false,
         S("Pole \"Nazwa choroby\" nie może być puste!")},
        {d.T_Gat, {{{QStringLiteral("Gat")}, false}}, {QStringLiteral("Gat")}, false,
         S("Pole \"Nazwa gatunku zwierzęcia\" nie może być puste!")},
        {d.T_Jm, {{{QStringLiteral("Jm")}, false}, {{QStringLiteral("Jms")}, false}},
         {QStringLiteral("Jm"), QStringLiteral("Jms")}, false,
         S("Pola \"Symbol\" i \"Jednostka miary\" nie mogą być puste!")},
        {d.T_kontr, {{{QStringLiteral("Nazwa")}, true}, {{QStringLiteral("Im_naz")}, true}},
         {QStringLiteral("Nazwa"), QStringLiteral("Im_naz")}, true,
         S("Pole \"Nazwa kontrahenta\" nie może być puste!")},
        {d.T_Bd, {{{QStringLiteral("Bd")}, false}}, {QStringLiteral("Bd")}, false,
         S("Pole \"Nazwa badania\" nie może być puste!")},
        {d.T_Bp, {{{QStringLiteral("Bp")}, false}}, {QStringLiteral("Bp")}, false,
         S("Pole \"Nazwa badania\" nie może być puste!")},
        {d.T_Cz, {{{QStringLiteral("Cz")}, false}}, {QStringLiteral("Cz")}, false,
         S("Pole \"Czynność\" nie może być puste!")},
        {d.T_Zak, {{{QStringLiteral("Zak")}, false}}, {QStringLiteral("Zak")}, false,
         S("Pole \"Nazwa zakupionych ...\" nie może być puste!")},
        {d.T_Prac, {{{QStringLiteral("Prac")}, false}}, {QStringLiteral("Prac")}, false,
         S("Pole \"Nazwa pracowni\" nie może być puste!")},
        {d.T_ob, {{{QStringLiteral("ob")}, false}}, {QStringLiteral("ob")}, false,
         S("Pole \"Obszar ASF\" nie może być puste!")},
        {d.T_Passwd, {{{QStringLiteral("Login")}, false}}, {QStringLiteral("Login")}, false,
         S("Pole \"Nazwa użytkownika\" nie może być puste!")},
    };
    for (const DictionaryRule &r : dictionaries)
        bindDictionary(r, m);

    // New-record defaults of the dictionaries.
    d.T_Ch->afterInsert = [](Table &t) {
        for (const char *f : {"M", "R", "Z", "N", "Ukr"})
            t.setValue(QString::fromLatin1(f), false);
    };
    d.T_kontr->afterInsert = [](Table &t) { t.setValue(QStringLiteral("Ukr"), false); };

    // Deletions guarded by the registers that use the entry.
    for (Table *t : {d.T_Zf, d.T_Ch, d.T_Gat, d.T_Jm, d.T_kontr, d.T_Bd, d.T_Bp, d.T_Cz, d.T_Zak, d.T_Prac, d.T_ob})
        bindReferenceCheck(t, QStringLiteral("p_????_????.db"), d, ctx);
    for (Table *t : {d.T_Rozdz, d.T_Par})
        bindReferenceCheck(t, QStringLiteral("g_????_????.db"), d, ctx);

    bindUnits(d);
    bindUsers(d, ctx);
    bindGroups(d);
    bindGroupDeletion(d, ctx);
    bindPositions(d, ctx);
}

} // namespace fenwa::data
