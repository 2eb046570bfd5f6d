#include "data/Seed.h"

#include "common/Digest.h"
#include "common/Platform.h"
#include "data/EngineError.h"
#include "data/Schema.h"
#include "data/SqlBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace fenwa::data {

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

// Inserts rows into one table with bound parameters, in one transaction.
void insertRows(Database &db, const QString &file, const QStringList &fields,
                const QVector<QVariantList> &rows)
{
    QStringList names;
    for (int i = 0; i < fields.size(); ++i)
        names << QStringLiteral(":v%1").arg(i);
    const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                            .arg(db.path(file), fields.join(QStringLiteral(", ")),
                                 names.join(QStringLiteral(", ")));
    Database::Transaction tx(db);
    for (const QVariantList &row : rows) {
        Params params;
        for (int i = 0; i < fields.size(); ++i)
            params.append({names[i], i < row.size() ? row[i] : QVariant()});
        db.exec(sql, params);
    }
    tx.commit();
}

// Text rows: every value a string (an empty one stays blank).
QVector<QVariantList> textRows(std::initializer_list<std::initializer_list<const char *>> rows)
{
    QVector<QVariantList> out;
    for (const auto &row : rows) {
        QVariantList values;
        for (const char *v : row)
            values << (v && *v ? QVariant(s(v)) : QVariant());
        out << values;
    }
    return out;
}

// One-column dictionaries.
QVector<QVariantList> names(std::initializer_list<const char *> list)
{
    QVector<QVariantList> out;
    for (const char *v : list)
        out << QVariantList{s(v)};
    return out;
}

// ---------------------------------------------------------------- content

// Voivodeship inspectorates: voivodeship, TERYT code, name, street, postal code and town.
const std::initializer_list<std::initializer_list<const char *>> kWiw = {
    {"dolnośląskie", "02", "Wojewódzki Inspektorat Weterynarii we Wrocławiu", "ul. Jana Długosza 49", "51-162 Wrocław"},
    {"kujawsko-pomorskie", "04", "Wojewódzki Inspektorat Weterynarii w Bydgoszczy", "ul. Zygmunta Augusta 7", "85-082 Bydgoszcz"},
    {"lubelskie", "06", "Wojewódzki Inspektorat Weterynarii w Lublinie", "ul. Kazimierza Wielkiego 24a", "20-611 Lublin"},
    {"lubuskie", "08", "Wojewódzki Inspektorat Weterynarii w Gorzowie Wielkopolskim", "ul. Kazimierza Wielkiego 45", "66-400 Gorzów Wielkopolski"},
    {"łódzkie", "10", "Wojewódzki Inspektorat Weterynarii w Łodzi", "ul. Tuwima 35", "90-002 Łódź"},
    {"małopolskie", "12", "Wojewódzki Inspektorat Weterynarii w Krakowie", "ul. Józefińska 20", "30-529 Kraków"},
    {"mazowieckie", "14", "Wojewódzki Inspektorat Weterynarii w Warszawie", "ul. Kolejowa 5/7", "01-217 Warszawa"},
    {"opolskie", "16", "Wojewódzki Inspektorat Weterynarii w Opolu", "ul. Wrocławska 170", "45-836 Opole"},
    {"podkarpackie", "18", "Wojewódzki Inspektorat Weterynarii w Krośnie", "ul. Piastowska 60", "38-400 Krosno"},
    {"podlaskie", "20", "Wojewódzki Inspektorat Weterynarii w Białymstoku", "ul. Zwycięstwa 26a", "15-959 Białystok"},
    {"pomorskie", "22", "Wojewódzki Inspektorat Weterynarii w Gdańsku", "ul. Na Stoku 50", "80-874 Gdańsk"},
    {"śląskie", "24", "Wojewódzki Inspektorat Weterynarii w Katowicach", "ul. Brynowska 25a", "40-585 Katowice"},
    {"świętokrzyskie", "26", "Wojewódzki Inspektorat Weterynarii w Kielcach", "ul. Tarnowska 10", "25-394 Kielce"},
    {"warmińsko-mazurskie", "28", "Wojewódzki Inspektorat Weterynarii w Olsztynie", "ul. Szarych Szeregów 7", "10-072 Olsztyn"},
    {"wielkopolskie", "30", "Wojewódzki Inspektorat Weterynarii w Poznaniu", "ul. Grunwaldzka 250", "60-166 Poznań"},
    {"zachodniopomorskie", "32", "Wojewódzki Inspektorat Weterynarii w Szczecinie", "ul. Ostrawicka 1", "71-337 Szczecin"},
};

// County inspectorates of podlaskie (20) and warmińsko-mazurskie (28): TERYT
// code of the (land) county, the county's adjective as used in
// "powiatu " + powiat + "ego", name, street, postal code and town. The
// inspectorate of a land county also serves the city with county rights
// seated in it (Białystok, Łomża, Suwałki, Olsztyn, Elbląg).
const std::initializer_list<std::initializer_list<const char *>> kPiw = {
    {"2001", "augustowski", "Powiatowy Inspektorat Weterynarii w Augustowie", "ul. Tytoniowa 4", "16-300 Augustów"},
    {"2002", "białostocki", "Powiatowy Inspektorat Weterynarii w Białymstoku", "ul. Sienkiewicza 73", "15-003 Białystok"},
    {"2003", "bielski", "Powiatowy Inspektorat Weterynarii w Bielsku Podlaskim", "ul. Kazimierza Wielkiego 8", "17-100 Bielsk Podlaski"},
    {"2004", "grajewski", "Powiatowy Inspektorat Weterynarii w Grajewie", "ul. Strażacka 1", "19-200 Grajewo"},
    {"2005", "hajnowski", "Powiatowy Inspektorat Weterynarii w Hajnówce", "ul. Piłsudskiego 10", "17-200 Hajnówka"},
    {"2006", "kolneński", "Powiatowy Inspektorat Weterynarii w Kolnie", "ul. Wojska Polskiego 43", "18-500 Kolno"},
    {"2007", "łomżyński", "Powiatowy Inspektorat Weterynarii w Łomży", "ul. Sikorskiego 166", "18-400 Łomża"},
    {"2008", "moniecki", "Powiatowy Inspektorat Weterynarii w Mońkach", "ul. Ełcka 12", "19-100 Mońki"},
    {"2009", "sejneński", "Powiatowy Inspektorat Weterynarii w Sejnach", "ul. Piłsudskiego 38", "16-500 Sejny"},
    {"2010", "siemiatycki", "Powiatowy Inspektorat Weterynarii w Siemiatyczach", "ul. Kościuszki 19", "17-300 Siemiatycze"},
    {"2011", "sokólski", "Powiatowy Inspektorat Weterynarii w Sokółce", "ul. Kryńska 9", "16-100 Sokółka"},
    {"2012", "suwalski", "Powiatowy Inspektorat Weterynarii w Suwałkach", "ul. Sejneńska 58", "16-400 Suwałki"},
    {"2013", "wysokomazowiecki", "Powiatowy Inspektorat Weterynarii w Wysokiem Mazowieckiem", "ul. Ludowa 15", "18-200 Wysokie Mazowieckie"},
    {"2014", "zambrowski", "Powiatowy Inspektorat Weterynarii w Zambrowie", "ul. Mazowiecka 20", "18-300 Zambrów"},
    {"2801", "bartoszycki", "Powiatowy Inspektorat Weterynarii w Bartoszycach", "ul. Kętrzyńska 10", "11-200 Bartoszyce"},
    {"2802", "braniewski", "Powiatowy Inspektorat Weterynarii w Braniewie", "ul. Kościuszki 118", "14-500 Braniewo"},
    {"2803", "działdowski", "Powiatowy Inspektorat Weterynarii w Działdowie", "ul. Księżodworska 1", "13-200 Działdowo"},
    {"2804", "elbląski", "Powiatowy Inspektorat Weterynarii w Elblągu", "ul. Królewiecka 162", "82-300 Elbląg"},
    {"2805", "ełcki", "Powiatowy Inspektorat Weterynarii w Ełku", "ul. Suwalska 64", "19-300 Ełk"},
    {"2806", "giżycki", "Powiatowy Inspektorat Weterynarii w Giżycku", "ul. Warszawska 47", "11-500 Giżycko"},
    {"2807", "iławski", "Powiatowy Inspektorat Weterynarii w Iławie", "ul. Kościuszki 23", "14-200 Iława"},
    {"2808", "kętrzyński", "Powiatowy Inspektorat Weterynarii w Kętrzynie", "ul. Sikorskiego 72", "11-400 Kętrzyn"},
    {"2809", "lidzbarski", "Powiatowy Inspektorat Weterynarii w Lidzbarku Warmińskim", "ul. Olsztyńska 17", "11-100 Lidzbark Warmiński"},
    {"2810", "mrągowski", "Powiatowy Inspektorat Weterynarii w Mrągowie", "ul. Wojska Polskiego 6", "11-700 Mrągowo"},
    {"2811", "nidzicki", "Powiatowy Inspektorat Weterynarii w Nidzicy", "ul. Kolejowa 29", "13-100 Nidzica"},
    {"2812", "nowomiejski", "Powiatowy Inspektorat Weterynarii w Nowym Mieście Lubawskim", "ul. Grunwaldzka 13", "13-300 Nowe Miasto Lubawskie"},
    {"2813", "olecki", "Powiatowy Inspektorat Weterynarii w Olecku", "ul. Gołdapska 8", "19-400 Olecko"},
    {"2814", "olsztyński", "Powiatowy Inspektorat Weterynarii w Olsztynie", "ul. Cementowa 3", "10-429 Olsztyn"},
    {"2815", "ostródzki", "Powiatowy Inspektorat Weterynarii w Ostródzie", "ul. Jana III Sobieskiego 7", "14-100 Ostróda"},
    {"2816", "piski", "Powiatowy Inspektorat Weterynarii w Piszu", "ul. Gizewiusza 3", "12-200 Pisz"},
    {"2817", "szczycieński", "Powiatowy Inspektorat Weterynarii w Szczytnie", "ul. Polska 27", "12-100 Szczytno"},
    {"2818", "gołdapski", "Powiatowy Inspektorat Weterynarii w Gołdapi", "ul. Konstytucji 3 Maja 25", "19-500 Gołdap"},
    {"2819", "węgorzewski", "Powiatowy Inspektorat Weterynarii w Węgorzewie", "ul. Zamkowa 9", "11-600 Węgorzewo"},
};

// Subordinate units of the podlaskie inspectorate: codes outside 2000 and the
// county codes 2001..2014.
const std::initializer_list<std::initializer_list<const char *>> kJp = {
    {"2080", "Zakład Higieny Weterynaryjnej w Białymstoku"},
    {"2081", "Graniczny Inspektorat Weterynarii w Kuźnicy"},
    {"2082", "Graniczny Inspektorat Weterynarii w Bobrownikach"},
};

// Budget chapters of division 010 and 754 a veterinary inspectorate books against.
const std::initializer_list<std::initializer_list<const char *>> kRozdz = {
    {"01022", "Zwalczanie chorób zakaźnych zwierząt oraz badania monitoringowe pozostałości chemicznych i biolog."},
    {"01023", "Inspekcja Weterynaryjna"},
    {"01078", "Usuwanie skutków klęsk żywiołowych"},
    {"01095", "Pozostała działalność"},
    {"75421", "Zarządzanie kryzysowe"},
};

// Budget paragraphs (four digits: the paragraph and its fourth digit).
const std::initializer_list<std::initializer_list<const char *>> kPar = {
    {"3020", "", "Wydatki osobowe niezaliczone do wynagrodzeń"},
    {"3030", "", "Różne wydatki na rzecz osób fizycznych"},
    {"4010", "", "Wynagrodzenia osobowe pracowników"},
    {"4040", "", "Dodatkowe wynagrodzenie roczne"},
    {"4110", "", "Składki na ubezpieczenia społeczne"},
    {"4120", "", "Składki na Fundusz Pracy oraz Fundusz Solidarnościowy"},
    {"4140", "", "Wpłaty na Państwowy Fundusz Rehabilitacji Osób Niepełnosprawnych"},
    {"4170", "", "Wynagrodzenia bezosobowe"},
    {"4210", "", "Zakup materiałów i wyposażenia"},
    {"4220", "", "Zakup środków żywności"},
    {"4230", "", "Zakup leków, wyrobów medycznych i produktów biobójczych"},
    {"4260", "", "Zakup energii"},
    {"4270", "", "Zakup usług remontowych"},
    {"4280", "", "Zakup usług zdrowotnych"},
    {"4300", "", "Zakup usług pozostałych"},
    {"4360", "", "Opłaty z tytułu zakupu usług telekomunikacyjnych"},
    {"4390", "", "Zakup usług obejmujących wykonanie ekspertyz, analiz i opinii"},
    {"4410", "", "Podróże służbowe krajowe"},
    {"4420", "", "Podróże służbowe zagraniczne"},
    {"4430", "", "Różne opłaty i składki"},
    {"4440", "", "Odpisy na zakładowy fundusz świadczeń socjalnych"},
    {"4480", "", "Podatek od nieruchomości"},
    {"4510", "", "Opłaty na rzecz budżetu państwa"},
    {"4520", "", "Opłaty na rzecz budżetów jednostek samorządu terytorialnego"},
    {"4550", "", "Szkolenia członków korpusu służby cywilnej"},
    {"4590", "", "Kary i odszkodowania wypłacane na rzecz osób fizycznych"},
    {"4610", "", "Koszty postępowania sądowego i prokuratorskiego"},
    {"4700", "", "Szkolenia pracowników niebędących członkami korpusu służby cywilnej"},
    {"6050", "", "Wydatki inwestycyjne jednostek budżetowych"},
    {"6060", "", "Wydatki na zakupy inwestycyjne jednostek budżetowych"},
};

// Units of measure: symbol and name.
const std::initializer_list<std::initializer_list<const char *>> kJm = {
    {"szt.", "sztuka"},
    {"kg", "kilogram"},
    {"t", "tona"},
    {"l", "litr"},
    {"m3", "metr sześcienny"},
    {"km", "kilometr"},
    {"godz.", "godzina"},
    {"mies.", "miesiąc"},
    {"kWh", "kilowatogodzina"},
    {"usł.", "usługa"},
    {"bad.", "badanie"},
    {"prób.", "próbka"},
    {"kpl.", "komplet"},
    {"op.", "opakowanie"},
    {"os.", "osoba"},
};

// Financing sources: the name; each is given for the installation year and the year before.
const std::initializer_list<const char *> kZf = {
    "Budżet państwa - wydatki bieżące",
    "Budżet państwa - wydatki majątkowe",
    "Rezerwa celowa - zwalczanie afrykańskiego pomoru świń",
    "Rezerwa celowa - zwalczanie wysoce zjadliwej grypy ptaków",
    "Środki Unii Europejskiej - programy zwalczania i monitorowania chorób zwierząt",
};

const std::initializer_list<const char *> kGat = {
    "bydło", "świnie", "owce", "kozy", "konie", "drób - kury", "drób - indyki",
    "drób - kaczki", "drób - gęsi", "psy", "koty", "dziki", "lisy", "jeleniowate",
    "zwierzęta futerkowe - norki", "ryby", "pszczoły", "króliki",
};

// Diseases: order, Polish name, English name, monitored, registered, combated, notified in the EU.
struct Disease {
    int kol;
    const char *ch;
    const char *chEn;
    bool m, r, z, n;
};
const Disease kCh[] = {
    {1, "afrykański pomór świń (ASF)", "African swine fever", true, true, true, true},
    {2, "wysoce zjadliwa grypa ptaków (HPAI)", "Highly pathogenic avian influenza", true, true, true, true},
    {3, "gąbczasta encefalopatia bydła (BSE)", "Bovine spongiform encephalopathy", true, true, true, true},
    {4, "wścieklizna", "Rabies", true, true, true, true},
    {5, "gruźlica bydła", "Bovine tuberculosis", true, true, true, true},
    {6, "bruceloza bydła", "Bovine brucellosis", true, true, true, true},
    {7, "enzootyczna białaczka bydła", "Enzootic bovine leukosis", true, true, true, true},
    {8, "choroba Aujeszky'ego", "Aujeszky's disease", true, true, true, true},
    {9, "pryszczyca", "Foot-and-mouth disease", false, true, true, true},
    {10, "klasyczny pomór świń", "Classical swine fever", true, true, true, true},
    {11, "rzekomy pomór drobiu (choroba Newcastle)", "Newcastle disease", false, true, true, true},
    {12, "choroba niebieskiego języka", "Bluetongue", true, true, true, true},
    {13, "trzęsawka owiec i kóz (scrapie)", "Scrapie", true, true, true, true},
    {14, "salmonelloza drobiu", "Salmonella infection in poultry", true, true, true, false},
    {15, "pomór małych przeżuwaczy", "Peste des petits ruminants", false, true, true, true},
};

const std::initializer_list<const char *> kBd = {
    "badanie serologiczne w kierunku ASF (ELISA)",
    "badanie w kierunku ASF metodą PCR",
    "próba tuberkulinowa bydła",
    "badanie serologiczne w kierunku brucelozy bydła",
    "badanie serologiczne w kierunku enzootycznej białaczki bydła",
    "szybki test w kierunku BSE",
    "badanie w kierunku grypy ptaków metodą RT-PCR",
    "badanie w kierunku wścieklizny (immunofluorescencja)",
    "badanie skuteczności szczepienia lisów przeciwko wściekliźnie",
    "badanie serologiczne w kierunku choroby Aujeszky'ego",
    "badanie bakteriologiczne w kierunku Salmonella",
};

const std::initializer_list<const char *> kBp = {
    "substancje przeciwbakteryjne w mleku",
    "metale ciężkie (ołów, kadm, rtęć) w tkankach",
    "substancje hormonalne w moczu bydła",
    "chloramfenikol w miodzie",
    "pestycydy chloroorganiczne w jajach",
    "kokcydiostatyki w mięśniach drobiu",
    "dioksyny i polichlorowane bifenyle w tłuszczu",
    "zieleń malachitowa w mięśniach ryb",
};

const std::initializer_list<const char *> kCz = {
    "pobranie próbek do badań",
    "badanie przedubojowe i poubojowe",
    "kontrola gospodarstwa",
    "szczepienie lisów przeciwko wściekliźnie (wyłożenie szczepionki)",
    "zabicie i unieszkodliwienie zwierząt",
    "odszkodowanie za zwierzęta zabite lub padłe",
    "oczyszczanie i odkażanie",
    "transport próbek do laboratorium",
    "odbiór i unieszkodliwienie zwłok zwierzęcych",
    "poszukiwanie padłych dzików",
    "wynagrodzenie lekarzy wyznaczonych",
    "obsługa administracyjna",
};

const std::initializer_list<const char *> kZak = {
    "szczepionka doustna przeciwko wściekliźnie dla lisów",
    "tuberkulina bydlęca PPD",
    "środek dezynfekcyjny",
    "mata dezynfekcyjna",
    "odzież ochronna jednorazowa",
    "pojemniki i worki na próbki",
    "paliwo do samochodów służbowych",
    "materiały biurowe",
    "tonery i materiały eksploatacyjne",
    "samochód terenowy",
};

// Contractors: invented names and numbers, for a fresh installation to start with.
const std::initializer_list<std::initializer_list<const char *>> kKontr = {
    {"Przykładowa Lecznica Weterynaryjna s.c.", "Nowak Anna", "ul. Przykładowa 1", "17-100 Bielsk Podlaski", "NIP 000-000-00-01", "201-01"},
    {"Przykładowy Zakład Utylizacyjny Sp. z o.o.", "", "ul. Polna 2", "15-001 Białystok", "NIP 000-000-00-02", "201-02"},
    {"Przykładowa Hurtownia Weterynaryjna Sp. z o.o.", "", "ul. Handlowa 3", "15-002 Białystok", "NIP 000-000-00-03", "201-03"},
    {"Przykładowa Stacja Paliw", "", "ul. Szosowa 4", "17-100 Bielsk Podlaski", "NIP 000-000-00-04", "201-04"},
    {"Przykładowy Operator Telekomunikacyjny S.A.", "", "ul. Kablowa 5", "00-001 Warszawa", "NIP 000-000-00-05", "201-05"},
    {"Przykładowa Spółka Energetyczna S.A.", "", "ul. Prądowa 6", "15-003 Białystok", "NIP 000-000-00-06", "201-06"},
    {"Przykładowe Biuro Usług Kurierskich", "", "ul. Pocztowa 7", "15-004 Białystok", "NIP 000-000-00-07", "201-07"},
    {"", "Kowalski Jan", "Przykładowo 8", "17-111 Przykładowo", "lekarz wyznaczony 0001", "234-01"},
    {"", "Wiśniewska Maria", "Przykładowo 9", "17-111 Przykładowo", "lekarz wyznaczony 0002", "234-02"},
    {"", "Zieliński Piotr", "Przykładowo 10", "17-111 Przykładowo", "gospodarstwo PL000000001", "234-03"},
    {"Przykładowe Koło Łowieckie", "", "ul. Leśna 11", "17-200 Hajnówka", "NIP 000-000-00-11", "201-11"},
};

const std::initializer_list<const char *> kPrac = {
    "Pracownia Serologii",
    "Pracownia Biologii Molekularnej",
    "Pracownia Bakteriologii",
    "Pracownia Badań Pozostałości",
    "Pracownia Badania Żywności i Pasz",
    "Pracownia Wścieklizny",
};

const std::initializer_list<const char *> kOb = {
    "obszar objęty ograniczeniami I (strefa ochronna)",
    "obszar objęty ograniczeniami II (strefa zakażona)",
    "obszar objęty ograniczeniami III (strefa zagrożenia)",
    "obszar wolny od ASF",
};

} // namespace

QString emptyPasswordDigest()
{
    return passwordDigest(QString());
}

void createSharedTables(Database &db)
{
    Database::Transaction tx(db);
    for (const schema::TableSpec &table : schema::sharedTables()) {
        db.exec(schema::createStatement(db.folder(), table).join(QLatin1Char('\n')));
        schema::createIndexes(db, table);
    }
    tx.commit();
}

void fillInstallation(Database &db, const QDate &today)
{
    insertRows(db, QStringLiteral("passwd.db"),
               {QStringLiteral("Login"), QStringLiteral("Password"), QStringLiteral("Admin"),
                QStringLiteral("Slowniki"), QStringLiteral("Browse"), QStringLiteral("Edit"),
                QStringLiteral("Arc"), QStringLiteral("Active"), QStringLiteral("D")},
               {{QStringLiteral("admin"), emptyPasswordDigest(), true, true, true, true, true, true, today}});

    insertRows(db, QStringLiteral("wiw.db"),
               {QStringLiteral("woj"), QStringLiteral("Kod"), QStringLiteral("Nazwa"),
                QStringLiteral("ulica"), QStringLiteral("Miasto")},
               textRows(kWiw));
    insertRows(db, QStringLiteral("piw.db"),
               {QStringLiteral("Kod"), QStringLiteral("powiat"), QStringLiteral("Nazwa"),
                QStringLiteral("ulica"), QStringLiteral("Miasto")},
               textRows(kPiw));
    insertRows(db, QStringLiteral("jp.db"), {QStringLiteral("Kod"), QStringLiteral("Jp")}, textRows(kJp));
    insertRows(db, QStringLiteral("rozdz.db"), {QStringLiteral("Rozdz"), QStringLiteral("Opis")},
               textRows(kRozdz));
    insertRows(db, QStringLiteral("par.db"),
               {QStringLiteral("Par"), QStringLiteral("Dod"), QStringLiteral("Opis")}, textRows(kPar));

    QVector<QVariantList> zf;
    for (int year : {today.year(), today.year() - 1})
        for (const char *name : kZf)
            zf << QVariantList{s(name), year};
    insertRows(db, QStringLiteral("zf.db"), {QStringLiteral("zf"), QStringLiteral("Rok")}, zf);

    QVector<QVariantList> ch;
    for (const Disease &d : kCh)
        ch << QVariantList{d.kol, s(d.ch), s(d.chEn), d.m, d.r, d.z, d.n, false};
    insertRows(db, QStringLiteral("ch.db"),
               {QStringLiteral("Kol"), QStringLiteral("Ch"), QStringLiteral("ChEn"), QStringLiteral("M"),
                QStringLiteral("R"), QStringLiteral("Z"), QStringLiteral("N"), QStringLiteral("Ukr")},
               ch);

    insertRows(db, QStringLiteral("gat.db"), {QStringLiteral("Gat")}, names(kGat));
    insertRows(db, QStringLiteral("jm.db"), {QStringLiteral("Jms"), QStringLiteral("Jm")}, textRows(kJm));

    QVector<QVariantList> kontr = textRows(kKontr);
    for (QVariantList &row : kontr)
        row << false;
    insertRows(db, QStringLiteral("kontr.db"),
               {QStringLiteral("Nazwa"), QStringLiteral("Im_naz"), QStringLiteral("Ulica"),
                QStringLiteral("Miasto"), QStringLiteral("Ident"), QStringLiteral("Konto"),
                QStringLiteral("Ukr")},
               kontr);

    insertRows(db, QStringLiteral("bd.db"), {QStringLiteral("Bd")}, names(kBd));
    insertRows(db, QStringLiteral("bp.db"), {QStringLiteral("Bp")}, names(kBp));
    QVector<QVariantList> cz = names(kCz);
    for (QVariantList &row : cz)
        row << false;
    insertRows(db, QStringLiteral("cz.db"), {QStringLiteral("Cz"), QStringLiteral("Ukr")}, cz);
    insertRows(db, QStringLiteral("zak.db"), {QStringLiteral("Zak")}, names(kZak));
    insertRows(db, QStringLiteral("prac.db"), {QStringLiteral("Prac")}, names(kPrac));
    insertRows(db, QStringLiteral("ob.db"), {QStringLiteral("ob")}, names(kOb));
}

std::unique_ptr<Database> createDatabase(const QString &folder, const std::function<void(Database &)> &fill)
{
    const QFileInfo dirInfo(folder);
    if (dirInfo.exists() && !dirInfo.isDir())
        throw EngineError(QStringLiteral("%1 nie jest folderem.").arg(QDir::toNativeSeparators(folder)));
    const QString file = QDir(folder).filePath(QString::fromLatin1(Database::fileName));
    const auto alreadyExists = [&] {
        return EngineError(QStringLiteral("Baza danych %1 już istnieje i nie zostanie nadpisana.")
                               .arg(QDir::toNativeSeparators(file)));
    };
    if (QFileInfo::exists(file))
        throw alreadyExists();
    if (!QDir().mkpath(folder))
        throw EngineError(QStringLiteral("Nie można utworzyć folderu %1.").arg(QDir::toNativeSeparators(folder)));

    {
        // The database is built in a folder of its own beside its place and
        // moved there in one step, only when no database appeared meanwhile:
        // whatever fails, nothing but the work folder is removed.
        QTemporaryDir work(QDir(folder).filePath(QStringLiteral(".fenwa5-nowa-XXXXXX")));
        if (!work.isValid())
            throw EngineError(QStringLiteral("Nie można utworzyć bazy danych w folderze %1.")
                                  .arg(QDir::toNativeSeparators(folder)));
        {
            std::unique_ptr<Database> built = Database::open(work.path(), Database::OpenMode::Create);
            fill(*built);
        }
        if (!platform::renameNoReplace(QDir(work.path()).filePath(QString::fromLatin1(Database::fileName)), file)) {
            if (QFileInfo::exists(file))
                throw alreadyExists();
            throw EngineError(QStringLiteral("Nie można zapisać bazy danych %1.").arg(QDir::toNativeSeparators(file)));
        }
    }
    return Database::open(folder, Database::OpenMode::ExistingOnly);
}

std::unique_ptr<Database> createInstallation(const QString &folder, const QDate &today,
                                             const std::function<void(Database &)> &fillMore)
{
    return createDatabase(folder, [&](Database &db) {
        createSharedTables(db);
        fillInstallation(db, today);
        if (fillMore)
            fillMore(db);
    });
}

std::unique_ptr<Database> createServerInstallation(const QString &dataFolder, const ServerAddress &address,
                                                   const QDate &today, const std::function<void(Database &)> &fillMore)
{
    return createServerDatabase(dataFolder, address, [&](Database &db) {
        Database::Transaction tx(db);
        createSharedTables(db);
        fillInstallation(db, today);
        if (fillMore)
            fillMore(db);
        tx.commit();
    });
}

std::unique_ptr<Database> createServerDatabase(const QString &dataFolder, const ServerAddress &address,
                                               const std::function<void(Database &)> &fill)
{
    // Whether the schema is there already: opening it as existing fails
    // otherwise (and for a server that does not answer, which the opening
    // below then reports).
    bool made = false;
    std::unique_ptr<Database> db;
    try {
        db = Database::openServer(dataFolder, address.conninfo(), address.schema, Database::OpenMode::ExistingOnly);
    } catch (const EngineError &) {
        made = true;
    }
    if (made)
        db = Database::openServer(dataFolder, address.conninfo(), address.schema, Database::OpenMode::Create);
    if (!db->listFiles(QStringLiteral("*")).isEmpty())
        throw EngineError(QStringLiteral("Schemat „%1” na serwerze zawiera już tabele i nie zostanie nadpisany.")
                              .arg(address.schema));
    try {
        fill(*db);
    } catch (...) {
        if (made && !db->inTransaction()) {
            try {
                db->execNative(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoteIdent(address.schema)));
            } catch (const EngineError &) {
                // The error that stopped the filling is the one reported.
            }
        }
        throw;
    }
    return db;
}

} // namespace fenwa::data
