// The record rules, through the data module, on real databases.
#include "Installation.h"
#include "common/Numbers.h"
#include "common/ScriptedMessages.h"

#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::data;
using fenwa::testing::Content;
using fenwa::testing::Installation;
using fenwa::testing::Workstation;

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

// The office of these tests: voivodeship code 22, the shared tables empty, the
// data module opened by the test itself.
const Workstation kOffice{.content = Content::Tables, .open = false, .voivodeship = "22"};
const Workstation kOtherUser{.content = Content::Tables, .open = false, .user = 2, .voivodeship = "22"};

// Appends a record with the given values and posts it; true when it was saved.
bool add(Table *t, const QVector<std::pair<QString, QVariant>> &values)
{
    t->append();
    for (const auto &[field, value] : values)
        t->setValue(field, value);
    try {
        t->post();
        return true;
    } catch (const Abort &) {
        return false;
    }
}

bool postOrAbort(Table *t)
{
    try {
        t->post();
        return true;
    } catch (const Abort &) {
        return false;
    }
}

bool removeOrAbort(Table *t)
{
    try {
        t->remove();
        return true;
    } catch (const Abort &) {
        return false;
    }
}

// Messages that also note whether a write lock was held while asking.
struct LockWatchingMessages : ScriptedMessages {
    Database *db = nullptr;
    bool askedUnderLock = false;
    bool question(const QString &text, const QString &title) override
    {
        if (db && db->inTransaction())
            askedUnderLock = true;
        return ScriptedMessages::question(text, title);
    }
};

const QString C = QStringLiteral("Cz");

} // namespace

TEST(Rules, DictionaryDuplicateIsRefusedAndTheRecordKeepsItsState)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *cz = m.d().T_Cz;
    ASSERT_TRUE(add(cz, {{C, S("szczepienie")}}));
    EXPECT_TRUE(m.messages.shown().isEmpty());

    EXPECT_FALSE(add(cz, {{C, S("szczepienie")}}));
    ASSERT_EQ(m.messages.shown().size(), 1);
    EXPECT_EQ(m.messages.shown()[0].kind, Messages::Kind::Warning);
    EXPECT_EQ(m.messages.shown()[0].title, S("Ostrzeżenie"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"szczepienie\" już istnieje!"));
    EXPECT_EQ(cz->state(), Dataset::State::Insert);
    EXPECT_EQ(cz->asString(C), S("szczepienie"));
    EXPECT_EQ(m.count(QStringLiteral("cz.db")), 1);

    // Another name passes once typed in.
    cz->setValue(C, S("odrobaczanie"));
    EXPECT_TRUE(postOrAbort(cz));
    EXPECT_EQ(m.count(QStringLiteral("cz.db")), 2);
}

TEST(Rules, EditingAnEntryWithoutRenamingItPassesItsOwnRow)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *cz = m.d().T_Cz;
    ASSERT_TRUE(add(cz, {{C, S("badanie")}}));
    ASSERT_TRUE(add(cz, {{C, S("ubój")}}));
    m.messages.clear();
    ASSERT_TRUE(cz->locate(C, S("badanie")));
    cz->edit();
    cz->setValue(QStringLiteral("Ukr"), true);
    EXPECT_TRUE(postOrAbort(cz));
    EXPECT_TRUE(m.messages.shown().isEmpty());

    // Renaming it to another entry's name is refused.
    ASSERT_TRUE(cz->locate(C, S("badanie")));
    cz->edit();
    cz->setValue(C, S("ubój"));
    EXPECT_FALSE(postOrAbort(cz));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"ubój\" już istnieje!"));
    EXPECT_EQ(cz->state(), Dataset::State::Edit);
    EXPECT_EQ(m.count(QStringLiteral("cz.db"), S("Cz = \"ubój\"")), 1);
}

TEST(Rules, QuotedValuesAreCheckedAndSavedLikeAnyOtherText)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *k = m.d().T_kontr;
    Table *zak = m.d().T_Zak;
    const QString jan = S("Kowalski \"Jan\"");
    const QString injection = S("a\" OR \"1\"=\"1");
    ASSERT_TRUE(add(zak, {{QStringLiteral("Zak"), S("igły")}}));
    // The injection does not match the unrelated entry, and is saved as typed.
    ASSERT_TRUE(add(zak, {{QStringLiteral("Zak"), injection}}));
    ASSERT_TRUE(add(zak, {{QStringLiteral("Zak"), jan}}));
    EXPECT_TRUE(m.messages.shown().isEmpty()) << m.messages.last().toStdString();
    EXPECT_TRUE(zak->locate(QStringLiteral("Zak"), injection));
    EXPECT_TRUE(zak->locate(QStringLiteral("Zak"), jan));

    // A second one of each is a duplicate, with the value in the message as typed.
    EXPECT_FALSE(add(zak, {{QStringLiteral("Zak"), injection}}));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"a\" OR \"1\"=\"1\" już istnieje!"));
    zak->cancel();
    EXPECT_FALSE(add(zak, {{QStringLiteral("Zak"), jan}}));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"Kowalski \"Jan\"\" już istnieje!"));
    zak->cancel();
    EXPECT_EQ(m.count(QStringLiteral("zak.db")), 3);

    // The same in the contractors' asking check and in a group's symbol.
    m.messages.clear();
    ASSERT_TRUE(add(k, {{QStringLiteral("Nazwa"), jan}}));
    EXPECT_TRUE(m.messages.shown().isEmpty());
    m.makeRegister(2016, QStringLiteral("2201"));
    m.d().T_Gr->open();
    auto group = [&](const QString &dok) {
        return add(m.d().T_Gr, {{QStringLiteral("Dok"), dok}, {QStringLiteral("Opis"), S("x")},
                                {QStringLiteral("Rozdz"), 1}, {QStringLiteral("Par"), 1}});
    };
    ASSERT_TRUE(group(S("FV/1")));
    EXPECT_TRUE(group(injection));
    EXPECT_FALSE(group(injection));
    m.d().T_Gr->cancel();
    EXPECT_EQ(m.count(QStringLiteral("g_2016_2201.db")), 2);
}

TEST(Rules, CheckStatementShowsTheValueButRunsItBound)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *cz = m.d().T_Cz;
    const CheckStatement ins = duplicateStatement(*cz, {C}, {S("a\" OR \"1\"=\"1")}, QVariant());
    EXPECT_EQ(ins.shown, QStringLiteral("SELECT * FROM \"%1\" WHERE Cz = \"a\" OR \"1\"=\"1\"").arg(m.path(QStringLiteral("cz.db"))));
    EXPECT_FALSE(ins.sql.contains(QStringLiteral("OR \"1\"")));
    EXPECT_EQ(ins.params.size(), 1);
    const CheckStatement edit = duplicateStatement(*m.d().T_Par, {QStringLiteral("Par"), QStringLiteral("Dod")},
                                                   {QStringLiteral("4210"), QStringLiteral("01")}, 7);
    EXPECT_EQ(edit.shown, QStringLiteral("SELECT * FROM \"%1\" WHERE Par = \"4210\" and Dod=\"01\" and id<>7")
                              .arg(m.path(QStringLiteral("par.db"))));
    EXPECT_TRUE(edit.sql.endsWith(QStringLiteral("and id<>:id")));
}

TEST(Rules, ParagraphPairAndItsBlankMark)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *par = m.d().T_Par;
    auto p = [&](const char *nr, const QVariant &dod, const char *opis) {
        return add(par, {{QStringLiteral("Par"), S(nr)}, {QStringLiteral("Dod"), dod}, {QStringLiteral("Opis"), S(opis)}});
    };
    ASSERT_TRUE(p("4210", S("01"), "Zakup materiałów"));
    EXPECT_TRUE(p("4210", S("02"), "Zakup materiałów - leki"));
    EXPECT_FALSE(p("4210", S("01"), "Inny opis"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"4210, 01\" już istnieje!"));
    par->cancel();
    // The pair is checked before the description.
    m.messages.clear();
    EXPECT_FALSE(p("4300", S("01"), "Zakup materiałów"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"Zakup materiałów\" już istnieje!"));
    par->cancel();
    // Blank marks are one value: a second 4170 without a mark is a duplicate.
    EXPECT_TRUE(p("4170", QVariant(), "Wynagrodzenia bezosobowe"));
    EXPECT_FALSE(p("4170", QVariant(), "Umowy zlecenia"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"4170, \" już istnieje!"));
    par->cancel();
    EXPECT_TRUE(p("4170", S("01"), "Umowy zlecenia"));
    EXPECT_EQ(m.count(QStringLiteral("par.db")), 4);
}

TEST(Rules, RequiredFieldsAfterTheDuplicateChecks)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *rozdz = m.d().T_Rozdz;
    EXPECT_FALSE(add(rozdz, {{QStringLiteral("Rozdz"), S("01022")}}));
    ASSERT_EQ(m.messages.shown().size(), 1);
    EXPECT_EQ(m.messages.shown()[0].kind, Messages::Kind::Error);
    EXPECT_EQ(m.messages.shown()[0].title, S("Błąd"));
    EXPECT_EQ(m.messages.last(), S("Pola \"Rozdział\" i \"Nazwa\" nie mogą być puste!"));
    // Spaces only are blank too.
    rozdz->setValue(QStringLiteral("Opis"), S("   "));
    EXPECT_FALSE(postOrAbort(rozdz));
    EXPECT_EQ(m.messages.shown().size(), 2);
    rozdz->setValue(QStringLiteral("Opis"), S("Zwalczanie chorób zakaźnych zwierząt"));
    EXPECT_TRUE(postOrAbort(rozdz));

    // A financing source needs its year.
    m.messages.clear();
    EXPECT_FALSE(add(m.d().T_Zf, {{QStringLiteral("zf"), S("Budżet wojewody")}}));
    EXPECT_EQ(m.messages.last(), S("Pola \"Rok ...\" i \"Nazwa ...\" nie mogą być puste!"));
    m.d().T_Zf->setValue(QStringLiteral("Rok"), 2016);
    EXPECT_TRUE(postOrAbort(m.d().T_Zf));
    // ...and its name is unique whatever the year.
    EXPECT_FALSE(add(m.d().T_Zf, {{QStringLiteral("zf"), S("Budżet wojewody")}, {QStringLiteral("Rok"), 2017}}));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"Budżet wojewody\" już istnieje!"));
    m.d().T_Zf->cancel();

    // The other messages, one each.
    struct Case {
        Table *t;
        const char *text;
    } cases[] = {
        {m.d().T_Ch, "Pole \"Nazwa choroby\" nie może być puste!"},
        {m.d().T_Gat, "Pole \"Nazwa gatunku zwierzęcia\" nie może być puste!"},
        {m.d().T_Jm, "Pola \"Symbol\" i \"Jednostka miary\" nie mogą być puste!"},
        {m.d().T_Bd, "Pole \"Nazwa badania\" nie może być puste!"},
        {m.d().T_Bp, "Pole \"Nazwa badania\" nie może być puste!"},
        {m.d().T_Cz, "Pole \"Czynność\" nie może być puste!"},
        {m.d().T_Zak, "Pole \"Nazwa zakupionych ...\" nie może być puste!"},
        {m.d().T_Prac, "Pole \"Nazwa pracowni\" nie może być puste!"},
        {m.d().T_ob, "Pole \"Obszar ASF\" nie może być puste!"},
        {m.d().T_kontr, "Pole \"Nazwa kontrahenta\" nie może być puste!"},
        {m.d().T_Passwd, "Pole \"Nazwa użytkownika\" nie może być puste!"},
    };
    for (const Case &c : cases) {
        m.messages.clear();
        EXPECT_FALSE(add(c.t, {})) << c.t->name().toStdString();
        EXPECT_EQ(m.messages.last(), S(c.text)) << c.t->name().toStdString();
        c.t->cancel();
    }
    // Units of measure: symbol and name both required, each unique.
    ASSERT_TRUE(add(m.d().T_Jm, {{QStringLiteral("Jms"), S("szt.")}, {QStringLiteral("Jm"), S("sztuka")}}));
    EXPECT_FALSE(add(m.d().T_Jm, {{QStringLiteral("Jms"), S("szt.")}, {QStringLiteral("Jm"), S("sztuki")}}));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"szt.\" już istnieje!"));
}

TEST(Rules, ContractorMayRepeatAfterYes)
{
    Installation m(kOffice);
    LockWatchingMessages watched;
    ASSERT_TRUE(m.open());
    Table *k = m.d().T_kontr;
    ASSERT_TRUE(add(k, {{QStringLiteral("Nazwa"), S("Vet-Pol")}}));
    // A personal contractor without a firm name: no question about the blank name.
    ASSERT_TRUE(add(k, {{QStringLiteral("Im_naz"), S("Nowak Anna")}}));
    EXPECT_TRUE(m.messages.shown().isEmpty());
    EXPECT_FALSE(k->isNull(QStringLiteral("Ukr")));
    EXPECT_FALSE(k->asBool(QStringLiteral("Ukr")));

    m.messages.answer(false);
    EXPECT_FALSE(add(k, {{QStringLiteral("Nazwa"), S("Vet-Pol")}}));
    ASSERT_EQ(m.messages.shown().size(), 1);
    EXPECT_EQ(m.messages.shown()[0].kind, Messages::Kind::Question);
    EXPECT_EQ(m.messages.shown()[0].title, S("Pytanie"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"Vet-Pol\" już istnieje!\n Czy mimo to dodać taki zapis?"));
    EXPECT_EQ(k->state(), Dataset::State::Insert);
    m.messages.answer(true);
    EXPECT_TRUE(postOrAbort(k));
    EXPECT_EQ(m.count(QStringLiteral("kontr.db"), S("Nazwa = \"Vet-Pol\"")), 2);

    // Both names asked about, in order; the question holds no write lock.
    Installation m2(kOffice);
    m2.user = m.user;
    ASSERT_TRUE(m2.open(&watched));
    watched.db = m2.db.get();
    Table *k2 = m2.d().T_kontr;
    ASSERT_TRUE(add(k2, {{QStringLiteral("Nazwa"), S("Lek-Vet")}, {QStringLiteral("Im_naz"), S("Zieliński Jan")}}));
    EXPECT_TRUE(add(k2, {{QStringLiteral("Nazwa"), S("Lek-Vet")}, {QStringLiteral("Im_naz"), S("Zieliński Jan")}}));
    ASSERT_EQ(watched.shown().size(), 2);
    EXPECT_TRUE(watched.shown()[0].text.startsWith(S("Pozycja \"Lek-Vet\"")));
    EXPECT_TRUE(watched.shown()[1].text.startsWith(S("Pozycja \"Zieliński Jan\"")));
    EXPECT_FALSE(watched.askedUnderLock);
}

TEST(Rules, UnitCodesWithVoivodeshipCode22)
{
    Installation m(kOffice);
    // A county inspectorate with code 2202.
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Kod, powiat, Nazwa) VALUES (\"2202\", \"bielski\", \"PIW Bielsk\")")
                     .arg(m.path(QStringLiteral("piw.db"))));
    ASSERT_TRUE(m.open());
    Table *jp = m.d().T_Jp;
    auto unit = [&](const char *kod, const char *name) {
        jp->append();
        EXPECT_EQ(jp->asString(QStringLiteral("Kod")), QStringLiteral("22"));   // the default
        jp->setValue(QStringLiteral("Kod"), S(kod));
        jp->setValue(QStringLiteral("Jp"), S(name));
        return postOrAbort(jp);
    };
    EXPECT_TRUE(unit("2201", "Pracownia w Łomży"));

    EXPECT_FALSE(unit("2200", "Inspektorat"));
    EXPECT_EQ(m.messages.last(), S("Kod 2200 jest zarezerwowany dla WIW!"));
    EXPECT_EQ(m.messages.shown().last().kind, Messages::Kind::Error);
    EXPECT_EQ(jp->asString(QStringLiteral("Kod")), QStringLiteral("2200"));
    jp->cancel();

    EXPECT_FALSE(unit("220", "Trzy znaki"));
    EXPECT_EQ(m.messages.last(), S("Kod powinnien być czteroznakowy!"));
    jp->cancel();

    EXPECT_FALSE(unit("2202", "Oddział"));
    EXPECT_EQ(m.messages.last(), S("Kod 2202 jest kodem powiatu bielskiego!"));
    jp->cancel();

    // 1201: refused once and shown corrected; the second save checks 2203.
    EXPECT_FALSE(unit("1203", "Laboratorium"));
    EXPECT_EQ(m.messages.last(), S("Dwoma pierwszymi znakami kodu powinny być 22!"));
    EXPECT_EQ(jp->state(), Dataset::State::Insert);
    EXPECT_EQ(jp->asString(QStringLiteral("Kod")), QStringLiteral("2203"));
    EXPECT_TRUE(postOrAbort(jp));

    // 1202 corrects to a county inspectorate's code: refused again on the second save.
    EXPECT_FALSE(unit("1202", "Filia"));
    EXPECT_EQ(jp->asString(QStringLiteral("Kod")), QStringLiteral("2202"));
    EXPECT_FALSE(postOrAbort(jp));
    EXPECT_EQ(m.messages.last(), S("Kod 2202 jest kodem powiatu bielskiego!"));
    jp->cancel();

    // Duplicates first, then the blank test.
    EXPECT_FALSE(unit("2201", "Nowa"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"2201\" już istnieje!"));
    jp->cancel();
    EXPECT_FALSE(unit("2204", ""));
    EXPECT_EQ(m.messages.last(), S("Pola \"KOD\" i \"NAZWA JEDNOSTKI\" nie mogą być puste!"));
    jp->cancel();
    EXPECT_EQ(m.count(QStringLiteral("jp.db")), 2);

    // Deleting a unit checks nothing.
    m.messages.clear();
    ASSERT_TRUE(jp->locate(QStringLiteral("Kod"), QStringLiteral("2201")));
    EXPECT_TRUE(removeOrAbort(jp));
    EXPECT_TRUE(m.messages.shown().isEmpty());
}

TEST(Rules, CountyInspectorateFoundOnlyThroughTheFilter)
{
    Installation m(kOffice);
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Kod, powiat) VALUES (\"2202\", \"bielski\")").arg(m.path(QStringLiteral("piw.db"))));
    ASSERT_TRUE(m.open());
    m.d().T_PIW->setFilter(QStringLiteral("Kod = '2209'"));
    m.d().T_PIW->setFiltered(true);
    Table *jp = m.d().T_Jp;
    jp->append();
    jp->setValue(QStringLiteral("Kod"), QStringLiteral("2202"));
    jp->setValue(QStringLiteral("Jp"), S("Oddział"));
    EXPECT_TRUE(postOrAbort(jp)) << m.messages.last().toStdString();
}

TEST(Rules, GroupsDefaultsStampsAndSymbolsUniqueInTheYearFile)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    m.makeRegister(2016, QStringLiteral("2201"), 1);
    Table *gr = m.d().T_Gr;
    gr->open();
    auto group = [&](const char *dok) {
        gr->append();
        gr->setValue(QStringLiteral("Dok"), S(dok));
        gr->setValue(QStringLiteral("Opis"), S("Faktura"));
        gr->setValue(QStringLiteral("Rozdz"), 1);
        gr->setValue(QStringLiteral("Par"), 2);
        return postOrAbort(gr);
    };
    gr->append();
    EXPECT_FALSE(gr->asBool(QStringLiteral("Zk")));
    EXPECT_FALSE(gr->isNull(QStringLiteral("Zk")));
    EXPECT_EQ(gr->asInt(QStringLiteral("Rok")), 2016);
    EXPECT_EQ(gr->asInt(QStringLiteral("Mc")), 1);
    gr->cancel();

    ASSERT_TRUE(group("FV/1/2016"));
    const QDateTime created(QDate(2016, 3, 15), QTime(10, 0, 0));
    EXPECT_EQ(gr->asDateTime(QStringLiteral("T_Ins")), created);
    EXPECT_EQ(gr->asDateTime(QStringLiteral("T_Mod")), created);
    EXPECT_EQ(gr->asInt(QStringLiteral("O_Ins")), 1);
    EXPECT_EQ(gr->asInt(QStringLiteral("O_Mod")), 1);

    // A change by another user restamps only the modification.
    m.user.user = 5;
    m.clock.set(QDateTime(QDate(2016, 4, 2), QTime(8, 0, 0)));
    gr->edit();
    gr->setValue(QStringLiteral("Opis"), S("Faktura korygująca"));
    ASSERT_TRUE(postOrAbort(gr));
    EXPECT_EQ(gr->asDateTime(QStringLiteral("T_Ins")), created);
    EXPECT_EQ(gr->asInt(QStringLiteral("O_Ins")), 1);
    EXPECT_EQ(gr->asDateTime(QStringLiteral("T_Mod")), QDateTime(QDate(2016, 4, 2), QTime(8, 0, 0)));
    EXPECT_EQ(gr->asInt(QStringLiteral("O_Mod")), 5);

    // March of the same register, filtered to its month: the January symbol is still taken.
    m.reg.mc = 3;
    gr->setFilter(QStringLiteral("Mc = 3"));
    gr->setFiltered(true);
    EXPECT_FALSE(group("FV/1/2016"));
    EXPECT_EQ(m.messages.last(), S("Pozycja \"FV/1/2016\" już istnieje!"));
    gr->cancel();
    EXPECT_TRUE(group("FV/2/2016"));

    // Another year or another unit has its own file.
    gr->close();
    m.makeRegister(2017, QStringLiteral("2201"), 1);
    gr->open();
    EXPECT_TRUE(group("FV/1/2016"));
    gr->close();
    m.makeRegister(2016, QStringLiteral("2205"), 1);
    gr->open();
    EXPECT_TRUE(group("FV/1/2016"));

    m.messages.clear();
    gr->append();
    gr->setValue(QStringLiteral("Dok"), S("FV/9"));
    gr->setValue(QStringLiteral("Opis"), S("Bez paragrafu"));
    gr->setValue(QStringLiteral("Rozdz"), 1);
    EXPECT_FALSE(postOrAbort(gr));
    EXPECT_EQ(m.messages.last(), S("Pola \"Symbol\", \"Rodział\", \"Paragraf\" i \"Opis\" nie mogą być puste!"));
}

TEST(Rules, LastDayOfTheMonth)
{
    EXPECT_EQ(lastDayOfMonth(2024, 2), QDate(2024, 2, 29));
    EXPECT_EQ(lastDayOfMonth(2100, 2), QDate(2100, 2, 28));
    EXPECT_EQ(lastDayOfMonth(2000, 2), QDate(2000, 2, 29));
    EXPECT_EQ(lastDayOfMonth(2400, 2), QDate(2400, 2, 29));
    EXPECT_EQ(lastDayOfMonth(4000, 2), QDate(4000, 2, 28));
    EXPECT_EQ(lastDayOfMonth(2016, 4), QDate(2016, 4, 30));
    EXPECT_EQ(lastDayOfMonth(2016, 12), QDate(2016, 12, 31));
    EXPECT_FALSE(lastDayOfMonth(2016, 13).isValid());
    EXPECT_FALSE(lastDayOfMonth(0, 1).isValid());
}

namespace {

// A register open on one group, with the positions table open.
struct PositionsModule : Installation {
    PositionsModule(int year = 2024, int month = 2) : Installation(kOffice)
    {
        EXPECT_TRUE(open());
        makeRegister(year, QStringLiteral("2201"), month);
        dane->T_Gr->open();
        add(dane->T_Gr, {{QStringLiteral("Dok"), S("FV/7")}, {QStringLiteral("Opis"), S("Zakupy")},
                         {QStringLiteral("Rozdz"), 1}, {QStringLiteral("Par"), 1}});
        reg.dok = int(dane->T_Gr->asInt(QStringLiteral("Id")));
        dane->T_Poz->open();
    }
    bool position(const QVariant &ilosc, const QVariant &cena, const QVariant &netto, const QVariant &podatki,
                  const QVariant &brutto)
    {
        Table *p = dane->T_Poz;
        p->append();
        p->setValue(QStringLiteral("ilosc"), ilosc);
        p->setValue(QStringLiteral("cena"), cena);
        p->setValue(QStringLiteral("netto"), netto);
        p->setValue(QStringLiteral("podatki"), podatki);
        p->setValue(QStringLiteral("brutto"), brutto);
        p->setValue(QStringLiteral("FAK"), S("FV/7/1"));
        return postOrAbort(p);
    }
};

} // namespace

TEST(Rules, NewPositionDefaultsAndTheEditorHook)
{
    PositionsModule m(2024, 2);
    Table *p = m.d().T_Poz;
    p->append();
    EXPECT_EQ(p->asInt(QStringLiteral("Dok")), m.reg.dok);
    EXPECT_TRUE(p->asBool(QStringLiteral("Dot")));
    EXPECT_TRUE(p->asBool(QStringLiteral("Wyd")));
    EXPECT_TRUE(p->asBool(QStringLiteral("Kosz")));
    EXPECT_EQ(p->asDate(QStringLiteral("Data")), QDate(2024, 2, 29));
    // Without an editor the record waits in insert state.
    EXPECT_EQ(p->state(), Dataset::State::Insert);
    p->cancel();

    QStringList captions;
    bool answer = true;
    m.d().rules.positionEditor = [&](Table &t, const QString &caption) {
        captions << caption;
        t.setValue(QStringLiteral("FAK"), S("FV/7/2"));
        return answer;
    };
    p->append();   // the editor opens, OK posts
    EXPECT_EQ(p->state(), Dataset::State::Browse);
    EXPECT_EQ(m.count(QStringLiteral("p_2024_2201.db")), 1);
    p->edit();     // the editor opens for the existing position, OK posts
    EXPECT_EQ(p->state(), Dataset::State::Browse);
    answer = false;
    p->append();   // cancelled
    EXPECT_EQ(p->state(), Dataset::State::Browse);
    EXPECT_EQ(m.count(QStringLiteral("p_2024_2201.db")), 1);
    EXPECT_EQ(captions, (QStringList{S("Nowa pozycja"), S("Pozycja FV/7/2"), S("Nowa pozycja")}));

    // A pending copy: defaults, but no editor (the paste fills and saves).
    m.d().rules.kopia = true;
    p->append();
    EXPECT_EQ(captions.size(), 3);
    EXPECT_EQ(p->state(), Dataset::State::Insert);
    EXPECT_EQ(p->asInt(QStringLiteral("Dok")), m.reg.dok);
    EXPECT_TRUE(postOrAbort(p));
}

TEST(Rules, PositionStamps)
{
    PositionsModule m(2016, 12);
    Table *p = m.d().T_Poz;
    ASSERT_TRUE(m.position(1, 10, 10, 0, 10));
    EXPECT_EQ(p->asDate(QStringLiteral("Data")), QDate(2016, 12, 31));
    EXPECT_EQ(p->asDateTime(QStringLiteral("T_Ins")), m.clock.now());
    EXPECT_EQ(p->asInt(QStringLiteral("O_Ins")), 1);
    m.user.user = 3;
    const QDateTime later(QDate(2017, 1, 5), QTime(9, 15, 0));
    m.clock.set(later);
    p->edit();
    ASSERT_TRUE(postOrAbort(p));
    EXPECT_EQ(p->asDateTime(QStringLiteral("T_Mod")), later);
    EXPECT_EQ(p->asInt(QStringLiteral("O_Mod")), 3);
    EXPECT_EQ(p->asInt(QStringLiteral("O_Ins")), 1);
}

TEST(Rules, AmountConsistencyWarning)
{
    PositionsModule m;
    EXPECT_TRUE(m.position(3, 1.25, 3.00, 0.75, 3.75));
    EXPECT_TRUE(m.messages.shown().isEmpty());

    EXPECT_TRUE(m.position(3, 1.25, 3.00, 0.75, 3.80));
    ASSERT_EQ(m.messages.shown().size(), 1);
    EXPECT_EQ(m.messages.shown()[0].kind, Messages::Kind::QuestionOk);
    EXPECT_EQ(m.messages.shown()[0].title, S("Pytanie"));
    EXPECT_EQ(m.messages.last(), S("Niezgodność iloczynu: 3,0000 x 1,25 = 3,75. Kwota brutto wynosi 3,80.\n"
                                   "Niezgodność sumy: 3,00 + 0,75 = 3,75. Kwota brutto wynosi 3,80.\n"));
    // Saved either way.
    EXPECT_EQ(m.count(QStringLiteral("p_2024_2201.db")), 2);

    // Blank net and charges count as zero.
    m.messages.clear();
    EXPECT_TRUE(m.position(1, 100, QVariant(), QVariant(), 100));
    EXPECT_EQ(m.messages.last(), S("Niezgodność sumy: 0,00 + 0,00 = 0,00. Kwota brutto wynosi 100,00.\n"));

    // One cent already counts; the stored values are shown, grouped by thousands.
    m.messages.clear();
    EXPECT_TRUE(m.position(1234.5, 2, 2469, 0.01, 2469));
    EXPECT_EQ(m.messages.last(), S("Niezgodność sumy: 2\u00a0469,00 + 0,01 = 2\u00a0469,01. Kwota brutto wynosi 2\u00a0469,00.\n"));
    m.messages.clear();
    EXPECT_TRUE(m.position(1234.5, 2, 2469, 0, 2469.01));
    EXPECT_EQ(m.messages.last(),
              S("Niezgodność iloczynu: 1\u00a0234,5000 x 2,00 = 2\u00a0469,00. Kwota brutto wynosi 2\u00a0469,01.\n"
                "Niezgodność sumy: 2\u00a0469,00 + 0,00 = 2\u00a0469,00. Kwota brutto wynosi 2\u00a0469,01.\n"));
    // Products rounded to cents agree: 3 x 1.237 = 3.711 is 3.71.
    m.messages.clear();
    EXPECT_TRUE(m.position(3, 1.237, 3.71, 0, 3.71));
    EXPECT_TRUE(m.messages.shown().isEmpty()) << m.messages.last().toStdString();
}

TEST(Rules, AmountWarningRoundsHalvesAwayFromZero)
{
    // 0.125 is exact in binary: rounds up to 0.13, so the gross of 0.13 agrees.
    EXPECT_TRUE(amountWarning(1, 0.125, 0.125, 0, 0.13).isEmpty());
    EXPECT_FALSE(amountWarning(1, 0.125, 0.125, 0, 0.12).isEmpty());
    // Negative corrections round away from zero too.
    EXPECT_TRUE(amountWarning(-1, 0.125, -0.125, 0, -0.13).isEmpty());
    EXPECT_TRUE(amountWarning(QVariant(), QVariant(), QVariant(), QVariant(), QVariant()).isEmpty());
    // A difference of exactly one cent between values not exact in binary.
    EXPECT_FALSE(amountWarning(1, 0.29, 0.29, 0, 0.30).isEmpty());
    EXPECT_FALSE(amountWarning(1, 1000.10, 1000.10, 0, 1000.11).isEmpty());
}

TEST(Rules, DeletingAPositionAsksFirst)
{
    PositionsModule m;
    Table *p = m.d().T_Poz;
    ASSERT_TRUE(m.position(1, 5, 5, 0, 5));
    m.messages.clear();
    m.messages.answer(false);
    EXPECT_FALSE(removeOrAbort(p));
    EXPECT_EQ(m.messages.last(), S("Usunąć wybraną pozycję?"));
    EXPECT_EQ(m.messages.shown().last().kind, Messages::Kind::Question);
    EXPECT_EQ(m.count(QStringLiteral("p_2024_2201.db")), 1);
    m.messages.answer(true);
    EXPECT_TRUE(removeOrAbort(p));
    EXPECT_EQ(m.count(QStringLiteral("p_2024_2201.db")), 0);
}

TEST(Rules, GroupWithPositionsCannotBeDeleted)
{
    PositionsModule m;
    Table *gr = m.d().T_Gr;
    ASSERT_TRUE(m.position(1, 5, 5, 0, 5));
    m.messages.clear();
    ASSERT_TRUE(gr->locate(QStringLiteral("Id"), m.reg.dok));
    EXPECT_FALSE(removeOrAbort(gr));
    EXPECT_EQ(m.messages.texts(),
              (QStringList{S("Usunąć wybraną pozycję?"), S("Grupa zawiera dokumenty - usunięcie niemożliwe!")}));
    EXPECT_EQ(m.messages.shown().last().kind, Messages::Kind::Information);
    EXPECT_EQ(m.fileList.mask, QStringLiteral("p_2024_2201.db"));
    EXPECT_EQ(m.fileList.files, QStringList{QStringLiteral("p_2024_2201.db")});
    EXPECT_EQ(m.fileList.caption, S("Szukanie ..."));
    EXPECT_FALSE(m.fileList.visible);
    EXPECT_EQ(m.count(QStringLiteral("g_2024_2201.db")), 1);

    // An empty group goes, after the question.
    add(gr, {{QStringLiteral("Dok"), S("FV/8")}, {QStringLiteral("Opis"), S("Pusta")}, {QStringLiteral("Rozdz"), 1},
             {QStringLiteral("Par"), 1}});
    m.messages.clear();
    EXPECT_TRUE(removeOrAbort(gr));
    EXPECT_EQ(m.messages.texts(), QStringList{S("Usunąć wybraną pozycję?")});
    EXPECT_EQ(m.count(QStringLiteral("g_2024_2201.db")), 1);
}

TEST(Rules, EmptyGroupDeletedWhileThePositionsFileDoesNotExist)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    const QString suffix = OpenRegister::suffix(2016, QStringLiteral("2201"));
    m.db->exec(schema::createGroups(m.folder(), suffix).join(QLatin1Char('\n')));
    m.openRegister(2016, QStringLiteral("2201"), 5);
    Table *gr = m.d().T_Gr;
    gr->open();
    ASSERT_TRUE(add(gr, {{QStringLiteral("Dok"), S("FV/1")}, {QStringLiteral("Opis"), S("a")}, {QStringLiteral("Rozdz"), 1},
                         {QStringLiteral("Par"), 1}}));
    m.messages.answer(false);
    EXPECT_FALSE(removeOrAbort(gr));
    EXPECT_EQ(m.fileList.shows, 0);   // No: nothing scanned
    EXPECT_TRUE(removeOrAbort(gr));
    EXPECT_TRUE(m.fileList.files.isEmpty());
    EXPECT_EQ(m.fileList.hides, 1);
    EXPECT_EQ(m.count(QStringLiteral("g_2016_2201.db")), 0);
}

TEST(Rules, ActivityUsedInAnotherUnitsRegisterCannotBeDeleted)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    Table *cz = m.d().T_Cz;
    ASSERT_TRUE(add(cz, {{C, S("szczepienie")}}));
    const qint64 used = cz->asInt(QStringLiteral("Id"));
    ASSERT_TRUE(add(cz, {{C, S("nieużywana")}}));
    // Three registers; the activity is used in the middle one, of another unit and year.
    for (const char *s : {"_2015_2201.db", "_2016_2205.db", "_2016_2207.db"})
        m.db->exec(schema::createPositions(m.folder(), S(s)).join(QLatin1Char('\n')));
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Cz) VALUES (1, :cz)").arg(m.path(QStringLiteral("p_2016_2205.db"))),
                 {{QStringLiteral(":cz"), used}});
    // A groups file is no positions file: not scanned for activities.
    m.db->exec(schema::createGroups(m.folder(), S("_2016_2201.db")).join(QLatin1Char('\n')));

    m.messages.clear();
    ASSERT_TRUE(cz->locate(C, S("szczepienie")));
    EXPECT_FALSE(removeOrAbort(cz));
    EXPECT_EQ(m.messages.texts(), (QStringList{S("Usunąć zaznaczony zapis?"),
                                               S("Rekord związany ze zbiorem danych - usunięcie rekordu niemożliwe!")}));
    EXPECT_EQ(m.messages.shown().last().title, S("Informacja"));
    EXPECT_EQ(m.fileList.mask, QStringLiteral("p_????_????.db"));
    EXPECT_EQ(m.fileList.folder, m.folder());
    EXPECT_EQ(m.fileList.caption, S("Szukanie ..."));
    EXPECT_EQ(m.fileList.files.size(), 3);
    // Every file scanned, also after the hit in the second.
    EXPECT_EQ(m.fileList.selected, (QVector<int>{0, 1, 2}));
    EXPECT_FALSE(m.fileList.visible);
    EXPECT_EQ(m.count(QStringLiteral("cz.db")), 2);
    // The work query stays on the last file's result.
    EXPECT_TRUE(m.d().Q_Rob->active());

    m.messages.clear();
    m.messages.answer(false);
    ASSERT_TRUE(cz->locate(C, S("nieużywana")));
    EXPECT_FALSE(removeOrAbort(cz));
    EXPECT_EQ(m.messages.texts(), QStringList{S("Usunąć zaznaczony zapis?")});
    m.messages.clear();
    EXPECT_TRUE(removeOrAbort(cz));
    EXPECT_EQ(m.messages.texts(), QStringList{S("Usunąć zaznaczony zapis?")});
    EXPECT_EQ(m.count(QStringLiteral("cz.db")), 1);
}

TEST(Rules, ChapterUsedByAGroupCannotBeDeletedAndOldFilesWithoutTheColumnPass)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    ASSERT_TRUE(add(m.d().T_Rozdz, {{QStringLiteral("Rozdz"), S("01022")}, {QStringLiteral("Opis"), S("Zwalczanie")}}));
    const qint64 id = m.d().T_Rozdz->asInt(QStringLiteral("Id"));
    m.db->exec(schema::createGroups(m.folder(), S("_2016_2201.db")).join(QLatin1Char('\n')));
    m.db->exec(QStringLiteral("INSERT INTO \"%1\" (Dok, Rozdz) VALUES (\"FV\", :r)").arg(m.path(QStringLiteral("g_2016_2201.db"))),
                 {{QStringLiteral(":r"), id}});
    EXPECT_FALSE(removeOrAbort(m.d().T_Rozdz));
    EXPECT_EQ(m.fileList.mask, QStringLiteral("g_????_????.db"));

    // An ASF area: a positions file from before ASF areas cannot refer to it.
    ASSERT_TRUE(add(m.d().T_ob, {{QStringLiteral("ob"), S("strefa czerwona")}}));
    m.db->exec(QStringLiteral("CREATE TABLE \"%1\" (Id AUTOINC, Dok INTEGER, Cz INTEGER, PRIMARY KEY (Id))")
                     .arg(m.path(QStringLiteral("p_2012_2201.db"))));
    m.messages.clear();
    EXPECT_TRUE(removeOrAbort(m.d().T_ob)) << m.messages.texts().join('|').toStdString();
    EXPECT_EQ(m.fileList.files.size(), 1);
    EXPECT_EQ(m.count(QStringLiteral("ob.db")), 0);
}

TEST(Rules, UsersTableGuards)
{
    // Only user 1 adds users; a new user starts inactive, without rights and password.
    Installation admin(kOffice);
    ASSERT_TRUE(admin.open());
    Table *pw = admin.d().T_Passwd;
    ASSERT_TRUE(add(pw, {{QStringLiteral("Login"), S("admin")}}));
    ASSERT_TRUE(add(pw, {{QStringLiteral("Login"), S("kasia")}}));
    for (const char *f : {"Admin", "Slowniki", "Browse", "Edit", "Arc", "Active"}) {
        EXPECT_FALSE(pw->isNull(S(f))) << f;
        EXPECT_FALSE(pw->asBool(S(f))) << f;
    }
    EXPECT_EQ(pw->asString(QStringLiteral("Password")), QStringLiteral("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"));
    EXPECT_FALSE(add(pw, {{QStringLiteral("Login"), S("kasia")}}));
    EXPECT_EQ(admin.messages.last(), S("Pozycja \"kasia\" już istnieje!"));
    pw->cancel();

    // Nobody deletes user 1; user 1 deletes the others.
    admin.messages.clear();
    ASSERT_TRUE(pw->locate(QStringLiteral("Id"), 1));
    EXPECT_FALSE(removeOrAbort(pw));
    EXPECT_TRUE(admin.messages.shown().isEmpty());   // silently
    EXPECT_EQ(admin.count(QStringLiteral("passwd.db")), 2);

    // Another user: no insert, no delete, no edit except the own password change.
    Installation other(kOtherUser);
    other.db.reset();
    other.db = admin.connect();
    ASSERT_TRUE(other.open());
    Table *pw2 = other.d().T_Passwd;
    EXPECT_THROW(pw2->append(), Abort);
    EXPECT_EQ(pw2->state(), Dataset::State::Browse);
    ASSERT_TRUE(pw2->locate(QStringLiteral("Login"), S("kasia")));
    EXPECT_FALSE(removeOrAbort(pw2));
    EXPECT_THROW(pw2->edit(), Abort);
    EXPECT_EQ(pw2->state(), Dataset::State::Browse);
    other.d().rules.Pas = true;
    pw2->edit();
    pw2->setValue(QStringLiteral("Password"), QStringLiteral("7C4A8D09CA3762AF61E59520943DC26494F8941B"));
    EXPECT_TRUE(postOrAbort(pw2));
    other.d().rules.Pas = false;
    EXPECT_TRUE(other.messages.shown().isEmpty());

    admin.messages.clear();
    pw->refresh();
    ASSERT_TRUE(pw->locate(QStringLiteral("Login"), S("kasia")));
    EXPECT_TRUE(removeOrAbort(pw));
    EXPECT_EQ(admin.count(QStringLiteral("passwd.db")), 1);
}

TEST(Rules, WorkQueryShowsRealNumbersWithTwoDecimals)
{
    Installation m(kOffice);
    ASSERT_TRUE(m.open());
    m.d().Q_Rob->setSql({QStringLiteral("SELECT 1234.5 AS kwota, 1234567.891 AS duza, -0.004 AS mala, 7 AS liczba")});
    m.d().Q_Rob->open();
    EXPECT_EQ(m.d().Q_Rob->displayText(0, 0), S("1\u00a0234,50"));
    EXPECT_EQ(m.d().Q_Rob->displayText(0, 1), S("1\u00a0234\u00a0567,89"));
    EXPECT_EQ(m.d().Q_Rob->displayText(0, 2), S("0,00"));
    EXPECT_EQ(m.d().Q_Rob->displayText(0, 3), S("7"));
}

TEST(Rules, DeletionQuestionsHoldNoWriteLock)
{
    Installation m(kOffice);
    LockWatchingMessages watched;
    ASSERT_TRUE(m.open(&watched));
    watched.db = m.db.get();
    m.makeRegister(2016, QStringLiteral("2201"), 1);
    ASSERT_TRUE(add(m.d().T_Gat, {{QStringLiteral("Gat"), S("owce")}}));
    m.d().T_Gr->open();
    ASSERT_TRUE(add(m.d().T_Gr, {{QStringLiteral("Dok"), S("FV/1")}, {QStringLiteral("Opis"), S("a")},
                                 {QStringLiteral("Rozdz"), 1}, {QStringLiteral("Par"), 1}}));
    m.reg.dok = int(m.d().T_Gr->asInt(QStringLiteral("Id")));
    m.d().T_Poz->open();
    m.d().T_Poz->append();
    ASSERT_TRUE(postOrAbort(m.d().T_Poz));
    EXPECT_TRUE(removeOrAbort(m.d().T_Poz));
    EXPECT_TRUE(removeOrAbort(m.d().T_Gr));
    EXPECT_TRUE(removeOrAbort(m.d().T_Gat));
    EXPECT_EQ(watched.shown().size(), 3);
    EXPECT_FALSE(watched.askedUnderLock);
}
