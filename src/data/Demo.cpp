#include "data/Demo.h"

#include "common/Numbers.h"
#include "data/EngineError.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QHash>
#include <QSet>
#include <cmath>
#include <random>

namespace fenwa::data {

void createRegister(Database &db, int year, const QString &code)
{
    const QString sufiks = QStringLiteral("_%1_%2.db").arg(year).arg(code);
    Database::Transaction tx(db);
    if (!db.fileExists(QStringLiteral("g") + sufiks))
        db.exec(schema::createGroups(db.folder(), sufiks).join(QLatin1Char('\n')));
    if (!db.fileExists(QStringLiteral("p") + sufiks))
        db.exec(schema::createPositions(db.folder(), sufiks).join(QLatin1Char('\n')));
    schema::createRegisterIndexes(db, QStringLiteral("g") + sufiks);
    schema::createRegisterIndexes(db, QStringLiteral("p") + sufiks);
    tx.commit();
}

void demoMonths(int year, const QDateTime &now, int *firstMonth, int *lastMonth)
{
    *firstMonth = 1;
    if (year < now.date().year())
        *lastMonth = 12;
    else
        *lastMonth = std::max(3, year == now.date().year() ? now.date().month() : 3);
}

namespace {

QString u(const char *utf8) { return utf8 ? QString::fromUtf8(utf8) : QString(); }

enum class Charges { None, Payroll, AllTax };
enum class Unit { Voivodeship, County, Laboratory };

// One kind of position a group of some kind holds. Dictionary entries are
// named by their text; a null pointer leaves the reference blank.
struct Line {
    const char *opis;
    const char *cz;
    const char *zak;
    const char *jm;          // symbol (Jms)
    const char *kontr;       // Nazwa or, for persons, Im_naz
    const char *ch;
    const char *gat;
    const char *bd;
    const char *bp;
    const char *prac;
    const char *ob;
    double qMin, qMax;       // quantity range
    bool wholeQuantity;
    double pMin, pMax;       // gross unit cost range
};

struct GroupKind {
    const char *rozdz;
    const char *par;
    const char *symbol;      // document symbol prefix
    const char *opis;
    const char *zf;          // financing source name
    Charges charges;
    QVector<Unit> units;     // units that book such groups
    QVector<Line> lines;
    bool once = false;       // booked once a year, with one position (an investment)
};

const char *const kBudzet = "Budżet państwa - wydatki bieżące";
const char *const kMajatek = "Budżet państwa - wydatki majątkowe";
const char *const kAsf = "Rezerwa celowa - zwalczanie afrykańskiego pomoru świń";
const char *const kUe = "Środki Unii Europejskiej - programy zwalczania i monitorowania chorób zwierząt";

const QVector<GroupKind> &groupKinds()
{
    using U = Unit;
    static const QVector<GroupKind> kinds = {
        {"01023", "4010", "LP", "Lista płac - wynagrodzenia osobowe", kBudzet, Charges::Payroll,
         {U::Voivodeship, U::County, U::Laboratory},
         {{"wynagrodzenie zasadnicze", "obsługa administracyjna", nullptr, "mies.", nullptr, nullptr,
           nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, true, 4200, 9800}}},
        {"01023", "4210", "FV", "Zakup materiałów biurowych i paliwa", kBudzet, Charges::None,
         {U::Voivodeship, U::County, U::Laboratory},
         {{"paliwo do samochodu służbowego", "obsługa administracyjna", "paliwo do samochodów służbowych", "l",
           "Przykładowa Stacja Paliw", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 20, 120, false,
           5.49, 6.99},
          {"papier, segregatory, materiały biurowe", "obsługa administracyjna", "materiały biurowe", "kpl.",
           "Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", nullptr, nullptr, nullptr, nullptr, nullptr,
           nullptr, 1, 6, true, 35, 240},
          {"tonery do drukarek", "obsługa administracyjna", "tonery i materiały eksploatacyjne", "szt.",
           "Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", nullptr, nullptr, nullptr, nullptr, nullptr,
           nullptr, 1, 4, true, 189, 420}}},
        {"01023", "4260", "FE", "Energia elektryczna", kBudzet, Charges::None,
         {U::Voivodeship, U::County, U::Laboratory},
         {{"energia elektryczna - siedziba", "obsługa administracyjna", nullptr, "kWh",
           "Przykładowa Spółka Energetyczna S.A.", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 900,
           4200, true, 0.89, 1.12}}},
        {"01023", "4360", "FT", "Usługi telekomunikacyjne", kBudzet, Charges::None,
         {U::Voivodeship, U::County},
         {{"abonament telefonii komórkowej", "obsługa administracyjna", nullptr, "usł.",
           "Przykładowy Operator Telekomunikacyjny S.A.", nullptr, nullptr, nullptr, nullptr, nullptr,
           nullptr, 4, 18, true, 29.9, 49.9}}},
        {"01023", "4410", "DEL", "Rozliczenie delegacji krajowych", kBudzet, Charges::None,
         {U::Voivodeship, U::County},
         {{"przejazd samochodem prywatnym", "kontrola gospodarstwa", nullptr, "km", nullptr, nullptr, nullptr,
           nullptr, nullptr, nullptr, nullptr, 40, 380, true, 0.8358, 0.8358}}},
        {"01023", "4300", "FV", "Usługi pocztowe i kurierskie", kBudzet, Charges::None,
         {U::Voivodeship, U::County, U::Laboratory},
         {{"przesyłki kurierskie", "obsługa administracyjna", nullptr, "usł.", "Przykładowe Biuro Usług Kurierskich",
           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 3, 25, true, 18.5, 42}}},
        {"01023", "4480", "PN", "Podatek od nieruchomości", kBudzet, Charges::AllTax,
         {U::Voivodeship, U::County},
         {{"rata podatku od nieruchomości", "obsługa administracyjna", nullptr, "mies.", nullptr, nullptr,
           nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, true, 310, 1250}}},
        {"01022", "4300", "FV", "Odbiór i unieszkodliwienie padłych zwierząt", kAsf, Charges::None,
         {U::County, U::Voivodeship},
         {{"odbiór i unieszkodliwienie zwłok dzików", "odbiór i unieszkodliwienie zwłok zwierzęcych", nullptr,
           "kg", "Przykładowy Zakład Utylizacyjny Sp. z o.o.", "afrykański pomór świń (ASF)", "dziki", nullptr,
           nullptr, nullptr, "obszar objęty ograniczeniami II (strefa zakażona)", 40, 600, true, 2.8, 4.6},
          {"odbiór zwłok świń z gospodarstwa", "odbiór i unieszkodliwienie zwłok zwierzęcych", nullptr, "kg",
           "Przykładowy Zakład Utylizacyjny Sp. z o.o.", "afrykański pomór świń (ASF)", "świnie", nullptr,
           nullptr, nullptr, "obszar objęty ograniczeniami III (strefa zagrożenia)", 200, 2400, true, 2.4, 3.9}}},
        {"01022", "4300", "FV", "Poszukiwanie padłych dzików", kAsf, Charges::None,
         {U::County},
         {{"wynagrodzenie za odnalezienie zwłok dzika", "poszukiwanie padłych dzików", nullptr, "szt.",
           "Przykładowe Koło Łowieckie", "afrykański pomór świń (ASF)", "dziki", nullptr, nullptr, nullptr,
           "obszar objęty ograniczeniami I (strefa ochronna)", 1, 6, true, 150, 150}}},
        {"01022", "4170", "UZ", "Wynagrodzenia lekarzy wyznaczonych", kUe, Charges::Payroll,
         {U::County},
         {{"pobranie krwi do badań w kierunku EBB", "wynagrodzenie lekarzy wyznaczonych", nullptr, "szt.",
           "Kowalski Jan", "enzootyczna białaczka bydła", "bydło", nullptr, nullptr, nullptr, nullptr, 20, 160,
           true, 6.5, 9.2},
          {"próba tuberkulinowa", "wynagrodzenie lekarzy wyznaczonych", "tuberkulina bydlęca PPD", "szt.",
           "Wiśniewska Maria", "gruźlica bydła", "bydło", "próba tuberkulinowa bydła", nullptr, nullptr, nullptr,
           15, 140, true, 7.1, 11.4},
          {"pobranie próbek w kierunku ASF", "pobranie próbek do badań", nullptr, "prób.", "Kowalski Jan",
           "afrykański pomór świń (ASF)", "świnie", nullptr, nullptr, nullptr,
           "obszar objęty ograniczeniami II (strefa zakażona)", 5, 60, true, 12, 18}}},
        {"01022", "4590", "ODS", "Odszkodowania za zwierzęta zabite", kAsf, Charges::None,
         {U::County},
         {{"odszkodowanie za świnie zabite z nakazu", "odszkodowanie za zwierzęta zabite lub padłe", nullptr,
           "szt.", "Zieliński Piotr", "afrykański pomór świń (ASF)", "świnie", nullptr, nullptr, nullptr,
           "obszar objęty ograniczeniami III (strefa zagrożenia)", 8, 140, true, 380, 690}}},
        {"01022", "4210", "FV", "Zakup szczepionki przeciwko wściekliźnie", kUe, Charges::None,
         {U::Voivodeship},
         {{"szczepionka doustna dla lisów", "szczepienie lisów przeciwko wściekliźnie (wyłożenie szczepionki)",
           "szczepionka doustna przeciwko wściekliźnie dla lisów", "szt.",
           "Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", "wścieklizna", "lisy", nullptr, nullptr, nullptr,
           nullptr, 2000, 12000, true, 3.15, 3.85}}},
        {"01022", "4230", "FV", "Zakup środków do dezynfekcji", kAsf, Charges::None,
         {U::Voivodeship, U::County},
         {{"środek dezynfekcyjny", "oczyszczanie i odkażanie", "środek dezynfekcyjny", "l",
           "Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", "afrykański pomór świń (ASF)", "świnie", nullptr,
           nullptr, nullptr, "obszar objęty ograniczeniami III (strefa zagrożenia)", 20, 400, true, 14.5, 39},
          {"maty dezynfekcyjne", "oczyszczanie i odkażanie", "mata dezynfekcyjna", "szt.",
           "Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", "wysoce zjadliwa grypa ptaków (HPAI)",
           "drób - kury", nullptr, nullptr, nullptr, nullptr, 2, 20, true, 85, 160}}},
        {"01022", "4390", "LAB", "Badania laboratoryjne w programach zwalczania", kUe, Charges::None,
         {U::Laboratory, U::Voivodeship},
         {{"badania serologiczne ASF", "pobranie próbek do badań", nullptr, "bad.", nullptr,
           "afrykański pomór świń (ASF)", "dziki", "badanie serologiczne w kierunku ASF (ELISA)", nullptr,
           "Pracownia Serologii", "obszar objęty ograniczeniami I (strefa ochronna)", 20, 400, true, 11.2, 16.8},
          {"badania PCR w kierunku ASF", "pobranie próbek do badań", nullptr, "bad.", nullptr,
           "afrykański pomór świń (ASF)", "dziki", "badanie w kierunku ASF metodą PCR", nullptr,
           "Pracownia Biologii Molekularnej", "obszar objęty ograniczeniami II (strefa zakażona)", 10, 300, true,
           38, 62},
          {"badania w kierunku grypy ptaków", "pobranie próbek do badań", nullptr, "bad.", nullptr,
           "wysoce zjadliwa grypa ptaków (HPAI)", "drób - kury", "badanie w kierunku grypy ptaków metodą RT-PCR",
           nullptr, "Pracownia Biologii Molekularnej", nullptr, 10, 120, true, 55, 80},
          {"badania w kierunku wścieklizny", "pobranie próbek do badań", nullptr, "bad.", nullptr, "wścieklizna",
           "lisy", "badanie w kierunku wścieklizny (immunofluorescencja)", nullptr, "Pracownia Wścieklizny",
           nullptr, 5, 60, true, 48, 70}}},
        {"01022", "4390", "LAB", "Badania monitoringowe pozostałości", kUe, Charges::None,
         {U::Laboratory},
         {{"badania pozostałości w mleku", "pobranie próbek do badań", nullptr, "bad.", nullptr, nullptr, "bydło",
           nullptr, "substancje przeciwbakteryjne w mleku", "Pracownia Badań Pozostałości", nullptr, 10, 90, true,
           95, 160},
          {"badania chloramfenikolu w miodzie", "pobranie próbek do badań", nullptr, "bad.", nullptr, nullptr,
           "pszczoły", nullptr, "chloramfenikol w miodzie", "Pracownia Badań Pozostałości", nullptr, 2, 20, true,
           180, 260},
          {"badania metali ciężkich w tkankach", "pobranie próbek do badań", nullptr, "bad.", nullptr, nullptr,
           "świnie", nullptr, "metale ciężkie (ołów, kadm, rtęć) w tkankach", "Pracownia Badań Pozostałości",
           nullptr, 5, 40, true, 120, 210}}},
        {"01023", "6060", "FV", "Zakup samochodu terenowego", kMajatek, Charges::None,
         {U::Voivodeship},
         {{"samochód terenowy do zwalczania ASF", "obsługa administracyjna", "samochód terenowy", "szt.",
           "Przykładowa Stacja Paliw", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, true, 118000,
           156000}},
         true},
    };
    return kinds;
}

// A small deterministic generator (std::mt19937 is the same on every platform;
// the distributions of the standard library are not, so they are not used).
class Rng {
public:
    explicit Rng(quint32 seed) : engine_(seed) {}
    int between(int lo, int hi) { return lo + int(engine_() % quint32(hi - lo + 1)); }
    double real(double lo, double hi) { return lo + (hi - lo) * (engine_() / 4294967296.0); }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::mt19937 engine_;
};

// Text -> Id of one dictionary.
QHash<QString, int> dictionary(Database &db, const QString &file, const QString &field)
{
    Query q(&db, QStringLiteral("Q_Demo"));
    q.setSql({QStringLiteral("SELECT Id, %1 FROM \"%2\"").arg(field, db.path(file))});
    q.open();
    QHash<QString, int> map;
    for (q.first(); !q.eof(); q.next())
        if (!q.isNull(field) && !map.contains(q.asString(field)))
            map.insert(q.asString(field), int(q.asInt(QStringLiteral("Id"))));
    q.close();
    return map;
}

QVariant idOf(const QHash<QString, int> &map, const char *text)
{
    if (!text)
        return {};
    auto it = map.constFind(u(text));
    return it == map.constEnd() ? QVariant() : QVariant(*it);
}

struct Dictionaries {
    QHash<QString, int> rozdz, par, cz, zak, jm, kontrNazwa, kontrOsoba, ch, gat, bd, bp, prac, ob;
    QHash<QString, int> zfThisYear, zfAnyYear;
    QStringList jpCodes;
};

Dictionaries loadDictionaries(Database &db, int year)
{
    Dictionaries d;
    d.rozdz = dictionary(db, QStringLiteral("rozdz.db"), QStringLiteral("Rozdz"));
    d.par = dictionary(db, QStringLiteral("par.db"), QStringLiteral("Par"));
    d.cz = dictionary(db, QStringLiteral("cz.db"), QStringLiteral("Cz"));
    d.zak = dictionary(db, QStringLiteral("zak.db"), QStringLiteral("Zak"));
    d.jm = dictionary(db, QStringLiteral("jm.db"), QStringLiteral("Jms"));
    d.kontrNazwa = dictionary(db, QStringLiteral("kontr.db"), QStringLiteral("Nazwa"));
    d.kontrOsoba = dictionary(db, QStringLiteral("kontr.db"), QStringLiteral("Im_naz"));
    d.ch = dictionary(db, QStringLiteral("ch.db"), QStringLiteral("Ch"));
    d.gat = dictionary(db, QStringLiteral("gat.db"), QStringLiteral("Gat"));
    d.bd = dictionary(db, QStringLiteral("bd.db"), QStringLiteral("Bd"));
    d.bp = dictionary(db, QStringLiteral("bp.db"), QStringLiteral("Bp"));
    d.prac = dictionary(db, QStringLiteral("prac.db"), QStringLiteral("Prac"));
    d.ob = dictionary(db, QStringLiteral("ob.db"), QStringLiteral("ob"));

    Query q(&db, QStringLiteral("Q_Demo"));
    q.setSql({QStringLiteral("SELECT Id, zf, Rok FROM \"%1\"").arg(db.path(QStringLiteral("zf.db")))});
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        const QString name = q.asString(QStringLiteral("zf"));
        const int id = int(q.asInt(QStringLiteral("Id")));
        if (q.asInt(QStringLiteral("Rok")) == year && !d.zfThisYear.contains(name))
            d.zfThisYear.insert(name, id);
        if (!d.zfAnyYear.contains(name))
            d.zfAnyYear.insert(name, id);
    }
    q.close();

    q.setSql({QStringLiteral("SELECT Kod FROM \"%1\"").arg(db.path(QStringLiteral("jp.db")))});
    q.open();
    for (q.first(); !q.eof(); q.next())
        d.jpCodes << q.asString(QStringLiteral("Kod"));
    q.close();
    return d;
}

Unit unitKind(const QString &code, const Dictionaries &d)
{
    if (code.endsWith(QLatin1String("00")))
        return Unit::Voivodeship;
    if (d.jpCodes.contains(code))
        return Unit::Laboratory;
    return Unit::County;
}

QString groupInsert(const Database &db, const QString &file)
{
    return QStringLiteral("INSERT INTO \"%1\" (Dok, Rozdz, Par, Opis, Rok, Mc, Zk, T_Ins, T_Mod, O_Ins, O_Mod) "
                          "VALUES (:dok, :rozdz, :par, :opis, :rok, :mc, :zk, :tins, :tmod, :oins, :omod)")
        .arg(db.path(file));
}

QString positionInsert(const Database &db, const QString &file)
{
    return QStringLiteral(
               "INSERT INTO \"%1\" (Dok, Cz, Bd, Bp, zak, kontr, prac, zf, ch, gat, jm, ilosc, cena, netto, "
               "podatki, BRUTTO, wyd, Kosz, DOT, ob, Opis, Data, PKS, FAK, T_Ins, T_Mod, O_Ins, O_Mod) "
               "VALUES (:dok, :cz, :bd, :bp, :zak, :kontr, :prac, :zf, :ch, :gat, :jm, :ilosc, :cena, :netto, "
               ":podatki, :brutto, :wyd, :kosz, :dot, :ob, :opis, :data, :pks, :fak, :tins, :tmod, :oins, :omod)")
        .arg(db.path(file));
}

} // namespace

DemoResult createDemoRegisters(Database &db, const DemoOptions &o)
{
    if (o.year < 1900 || o.firstMonth < 1 || o.lastMonth > 12 || o.firstMonth > o.lastMonth
        || o.minPositions < 1 || o.maxPositions < o.minPositions || o.groupsPerMonth < 1)
        throw EngineError(QStringLiteral("Niepoprawne parametry danych demonstracyjnych."));

    const Dictionaries d = loadDictionaries(db, o.year);
    DemoResult result;
    Rng rng(o.seed);

    for (const QString &code : o.units) {
        const QString sufiks = QStringLiteral("_%1_%2.db").arg(o.year).arg(code);
        const QString gFile = QStringLiteral("g") + sufiks;
        const QString pFile = QStringLiteral("p") + sufiks;
        if (db.fileExists(gFile) || db.fileExists(pFile))
            throw EngineError(QStringLiteral("Rejestr %1 już istnieje.").arg(gFile));

        const Unit kind = unitKind(code, d);
        QVector<const GroupKind *> kinds;
        for (const GroupKind &k : groupKinds())
            if (k.units.contains(kind))
                kinds << &k;

        Database::Transaction tx(db);
        createRegister(db, o.year, code);
        // Each insert is translated and prepared once, then run per row.
        Statement gInsert(db, db.dialect().translate(groupInsert(db, gFile)).sql);
        Statement pInsert(db, db.dialect().translate(positionInsert(db, pFile)).sql);
        int documentNo = 0;
        int rotation = rng.between(0, 99);
        QSet<const GroupKind *> booked;
        int bankStatement = 0;

        for (int month = o.firstMonth; month <= o.lastMonth; ++month) {
            // In the month of `now` nothing is dated after today.
            int days = daysInMonth(o.year, month);
            if (o.now.isValid() && o.now.date().year() == o.year && o.now.date().month() == month)
                days = o.now.date().day();
            // Groups of the last two months stay open; older ones are closed.
            const bool closed = month < o.lastMonth - 1;
            for (int g = 0; g < o.groupsPerMonth; ++g) {
                // The first groups of a month are the payroll and the running
                // costs; the others take the unit's remaining kinds in turn, so
                // a long enough demo shows every kind.
                const int n = int(kinds.size());
                const GroupKind *pick = kinds[std::min(g, n - 1)];
                if (g >= 2 && n > 2) {
                    do
                        pick = kinds[2 + rotation++ % (n - 2)];
                    while (pick->once && booked.contains(pick) && booked.size() < n - 2);
                }
                const GroupKind &k = *pick;
                if (k.once)
                    booked.insert(&k);
                ++documentNo;
                const QString dok = QStringLiteral("%1 %2/%3/%4")
                                        .arg(u(k.symbol))
                                        .arg(documentNo, 3, 10, QLatin1Char('0'))
                                        .arg(month, 2, 10, QLatin1Char('0'))
                                        .arg(o.year);
                const QDate groupDate(o.year, month, rng.between(1, days));
                QDateTime inserted(groupDate, QTime(rng.between(7, 14), rng.between(0, 59), rng.between(0, 59)));
                if (o.now.isValid() && inserted > o.now)
                    inserted = o.now;
                const QDateTime modified = closed ? inserted.addDays(std::min(3, days - groupDate.day()))
                                                  : inserted.addSecs(rng.between(60, 3600));

                gInsert.reset();
                gInsert.bindNamed({{QStringLiteral(":dok"), dok},
                               {QStringLiteral(":rozdz"), idOf(d.rozdz, k.rozdz)},
                               {QStringLiteral(":par"), idOf(d.par, k.par)},
                               {QStringLiteral(":opis"), u(k.opis)},
                               {QStringLiteral(":rok"), o.year},
                               {QStringLiteral(":mc"), month},
                               {QStringLiteral(":zk"), closed},
                               {QStringLiteral(":tins"), inserted},
                               {QStringLiteral(":tmod"), o.now.isValid() ? std::min(modified, o.now) : modified},
                               {QStringLiteral(":oins"), o.user},
                               {QStringLiteral(":omod"), o.user}});
                while (gInsert.step()) {
                }
                const qint64 groupId = db.lastInsertId();
                ++result.groups;
                ++bankStatement;

                const int count = k.once ? 1 : rng.between(o.minPositions, o.maxPositions);
                for (int position = 0; position < count; ++position) {
                    const Line &line = k.lines[rng.between(0, int(k.lines.size()) - 1)];
                    const double quantity = line.wholeQuantity ? rng.between(int(line.qMin), int(line.qMax))
                                                         : R2(rng.real(line.qMin, line.qMax));
                    const double price =
                        line.pMin == line.pMax ? line.pMin : R2(rng.real(line.pMin, line.pMax));
                    const double gross = R2(static_cast<long double>(quantity) * price);
                    double charges = 0;
                    if (k.charges == Charges::Payroll)
                        charges = R2(gross * static_cast<long double>(rng.real(0.27, 0.36)));
                    else if (k.charges == Charges::AllTax)
                        charges = gross;
                    const double net = R2(static_cast<long double>(gross) - charges);

                    // Expenditure and cost: most positions are both; an
                    // investment is expenditure only; some invoices are costs
                    // of the month not paid yet; early in the year some
                    // payments settle the previous year.
                    bool wyd = true, kosz = true, dot = true;
                    if (QString::fromLatin1(k.par).startsWith(QLatin1Char('6')))
                        kosz = false;
                    else if (month <= 2 && k.charges == Charges::None && rng.chance(15))
                        kosz = false, dot = false;
                    else if (k.charges == Charges::None && rng.chance(10))
                        wyd = false;

                    QVariant kontr = idOf(d.kontrNazwa, line.kontr);
                    if (!kontr.isValid())
                        kontr = idOf(d.kontrOsoba, line.kontr);
                    QVariant zf = idOf(d.zfThisYear, k.zf);
                    if (!zf.isValid())
                        zf = idOf(d.zfAnyYear, k.zf);
                    const QDate date(o.year, month, rng.between(1, days));
                    QDateTime stamp(date, QTime(rng.between(7, 15), rng.between(0, 59), rng.between(0, 59)));
                    if (o.now.isValid() && stamp > o.now)
                        stamp = o.now;

                    pInsert.reset();
                    pInsert.bindNamed(
                            {{QStringLiteral(":dok"), groupId},
                             {QStringLiteral(":cz"), idOf(d.cz, line.cz)},
                             {QStringLiteral(":bd"), idOf(d.bd, line.bd)},
                             {QStringLiteral(":bp"), idOf(d.bp, line.bp)},
                             {QStringLiteral(":zak"), idOf(d.zak, line.zak)},
                             {QStringLiteral(":kontr"), kontr},
                             {QStringLiteral(":prac"), idOf(d.prac, line.prac)},
                             {QStringLiteral(":zf"), zf},
                             {QStringLiteral(":ch"), idOf(d.ch, line.ch)},
                             {QStringLiteral(":gat"), idOf(d.gat, line.gat)},
                             {QStringLiteral(":jm"), idOf(d.jm, line.jm)},
                             {QStringLiteral(":ilosc"), quantity},
                             {QStringLiteral(":cena"), price},
                             {QStringLiteral(":netto"), net},
                             {QStringLiteral(":podatki"), charges},
                             {QStringLiteral(":brutto"), gross},
                             {QStringLiteral(":wyd"), wyd},
                             {QStringLiteral(":kosz"), kosz},
                             {QStringLiteral(":dot"), dot},
                             {QStringLiteral(":ob"), idOf(d.ob, line.ob)},
                             {QStringLiteral(":opis"), u(line.opis)},
                             {QStringLiteral(":data"), date},
                             {QStringLiteral(":pks"), QStringLiteral("WB %1/%2").arg(bankStatement).arg(o.year)},
                             {QStringLiteral(":fak"), dok},
                             {QStringLiteral(":tins"), stamp},
                             {QStringLiteral(":tmod"), stamp},
                             {QStringLiteral(":oins"), o.user},
                             {QStringLiteral(":omod"), o.user}});
                    while (pInsert.step()) {
                    }
                    ++result.positions;
                }
            }
        }
        tx.commit();
    }
    return result;
}

} // namespace fenwa::data
