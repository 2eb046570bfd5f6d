#include "admin/Settings.h"
#include "data/EngineError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa::admin;

namespace {
const QVector<Inspectorate> wiwRows = {
    {"podlaskie", "20", "Wojewódzki Inspektorat Weterynarii", "ul. Zwierzyniecka 1", "Białystok"},
    {"warmińsko-mazurskie", "28", "WIW w Olsztynie", "ul. Kołobrzeska 2", "Olsztyn"},
};
const QVector<Inspectorate> piwRows = {
    {"białostocki", "2001", "PIW Białystok", "ul. A 1", "Białystok"},
    {"bielski", "2002", "PIW Bielsk Podlaski", "ul. B 2", "Bielsk Podlaski"},
    {"hajnowski", "2005", "PIW Hajnówka", "ul. C 3", "Hajnówka"},
    {"elbląski", "2801", "PIW Elbląg", "ul. D 4", "Elbląg"},
    {"olsztyński", "2814", "PIW Olsztyn", "ul. E 5", "Olsztyn"},
};

class FakeSource : public InspectorateSource {
public:
    QVector<Inspectorate> wiw = wiwRows, piw = piwRows;
    bool fail = false;
    QVector<Inspectorate> voivodeships() override
    {
        if (fail)
            throw fenwa::data::EngineError("Brak tabeli wiw.db");
        return wiw;
    }
    QVector<Inspectorate> counties() override { return piw; }
};
} // namespace

TEST(InspectorateLookup, InitialModeFindsBoth)
{
    const Lookup l = lookupInspectorate(LookupMode::Initial, wiwRows, piwRows, "podlaskie", "bielski");
    EXPECT_EQ(l.wkod, "20");
    EXPECT_EQ(l.pkod, "2002");
    EXPECT_TRUE(l.countiesFilled);
    EXPECT_EQ(l.counties, QStringList({"białostocki", "bielski", "hajnowski"}));
    EXPECT_EQ(l.wiwLabels[0], "Wojewódzki Inspektorat Weterynarii");
    EXPECT_EQ(l.wiwLabels[2], "Białystok");
    EXPECT_EQ(l.piwLabels[0], "PIW Bielsk Podlaski");
    EXPECT_EQ(l.piwLabels[1], "ul. B 2");
}

TEST(InspectorateLookup, UnknownNamesFallBack)
{
    // Unknown voivodeship: the first row of wiw.db; unknown county: the last
    // of the list when the list is refilled...
    Lookup l = lookupInspectorate(LookupMode::Initial, wiwRows, piwRows, "mazowieckie", "BIELSKI");
    EXPECT_EQ(l.wkod, "20");
    EXPECT_EQ(l.pkod, "2005");
    l = lookupInspectorate(LookupMode::Voivodeship, wiwRows, piwRows, "warmińsko-mazurskie", "bielski");
    EXPECT_EQ(l.wkod, "28");
    EXPECT_EQ(l.counties, QStringList({"elbląski", "olsztyński"}));
    EXPECT_EQ(l.pkod, "2814");
    EXPECT_EQ(l.piwLabels[2], "Olsztyn");
    // ...and the first in the county mode, which leaves the list alone.
    l = lookupInspectorate(LookupMode::County, wiwRows, piwRows, "warmińsko-mazurskie", "bielski");
    EXPECT_FALSE(l.countiesFilled);
    EXPECT_TRUE(l.counties.isEmpty());
    EXPECT_EQ(l.pkod, "2801");
}

TEST(InspectorateLookup, EmptyTablesGiveEmptyValues)
{
    const Lookup l = lookupInspectorate(LookupMode::Initial, {}, {}, "podlaskie", "bielski");
    EXPECT_TRUE(l.wkod.isEmpty());
    EXPECT_TRUE(l.pkod.isEmpty());
    EXPECT_TRUE(l.counties.isEmpty());
    EXPECT_TRUE(l.piwLabels[0].isEmpty());
}

TEST(Folders, OneTrailingSeparatorIsDropped)
{
    EXPECT_EQ(stripSeparator("C:\\Fenwa\\"), "C:\\Fenwa");
    EXPECT_EQ(stripSeparator("/dane/"), "/dane");
    EXPECT_EQ(stripSeparator("/dane//"), "/dane/");
    EXPECT_EQ(stripSeparator("/dane"), "/dane");
    EXPECT_EQ(stripSeparator(""), "");
}

TEST(Caption, KindSuffixAppearsOnce)
{
    const QString c = "Fenwa5 - [14.09.2016]";
    EXPECT_EQ(captionWithKind(c, 1), "Fenwa5 - [14.09.2016]- województwo");
    EXPECT_EQ(captionWithKind(c, 0), "Fenwa5 - [14.09.2016]- powiat");
    EXPECT_EQ(captionWithKind(captionWithKind(c, 0), 0), "Fenwa5 - [14.09.2016]- powiat");
    EXPECT_EQ(captionWithKind(captionWithKind(c, 1), 2), "Fenwa5 - [14.09.2016]- powiat");
}

TEST(Settings, DefaultsWithoutFile)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    Settings s(ini, "/opt/fenwa5/");
    const FolderTexts t = s.load();
    EXPECT_EQ(t.dane, "/opt/fenwa5/");
    EXPECT_EQ(t.eksport, "/opt/fenwa5/");
    EXPECT_EQ(t.archiwizacja, "/opt/fenwa5/");
    EXPECT_EQ(s.run().fd, "/opt/fenwa5");
    EXPECT_EQ(s.run().fe, "/opt/fenwa5");
    EXPECT_EQ(s.run().fa, "/opt/fenwa5");
    EXPECT_EQ(s.run().wiw, "podlaskie");
    EXPECT_EQ(s.run().piw, "bielski");
    EXPECT_EQ(s.run().p_w, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("fenwa5.ini")));
}

TEST(Settings, EmptyValueStaysEmptyAndBadPwIsDefault)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    ini.writeString("Foldery", "Eksport", "");
    ini.writeString("Lok", "P_W", "powiat");
    Settings s(ini, "/opt/fenwa5/");
    EXPECT_EQ(s.load().eksport, "");
    EXPECT_EQ(s.run().fe, "");
    EXPECT_EQ(s.run().p_w, 1);
    ini.writeString("Lok", "P_W", "0");
    s.load();
    EXPECT_EQ(s.run().p_w, 0);
    EXPECT_FALSE(s.run().voivodeship());
}

TEST(Settings, SavesAsTypedAndUsesWithoutSeparator)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    ini.writeInteger("Lok", "P_W", 0);
    Settings s(ini, "/opt/fenwa5/");
    s.load();
    s.save({"C:\\Dane\\", "/eksport/", ""}, "warmińsko-mazurskie", "");
    EXPECT_EQ(ini.readString("Foldery", "Dane"), "C:\\Dane\\");
    EXPECT_EQ(ini.readString("Foldery", "Eksport"), "/eksport/");
    EXPECT_TRUE(ini.valueExists("Foldery", "Archiwizacja"));
    EXPECT_EQ(ini.readString("Foldery", "Archiwizacja", "x"), "");
    EXPECT_EQ(ini.readString("Lok", "WIW"), "warmińsko-mazurskie");
    EXPECT_TRUE(ini.valueExists("Lok", "PIW"));
    EXPECT_EQ(ini.readString("Lok", "P_W"), "0") << "P_W is never written";
    EXPECT_EQ(s.run().fd, "C:\\Dane");
    EXPECT_EQ(s.run().fe, "/eksport");
    EXPECT_EQ(s.run().fa, "");
}

TEST(Settings, ServerSectionRoundTripsAndAnEmptyHostMeansNoServer)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    Settings s(ini, "/opt/fenwa5/");
    s.load();
    EXPECT_FALSE(s.server().isSet());
    s.saveServer({});
    EXPECT_FALSE(QFile::exists(ini.path())) << "no server named: no section written";

    const fenwa::data::ServerAddress server{"serwer.piw.local", 5433, "rejestr", "łukasz", "bielsk"};
    s.saveServer(server);
    EXPECT_EQ(ini.readSection("Serwer"), QStringList({"Host", "Port", "Baza", "Uzytkownik", "Schemat"}));
    Settings other(ini, "/opt/fenwa5/");
    other.load();
    EXPECT_EQ(other.server(), server);

    s.saveServer({"", 5433, "rejestr", "łukasz", "bielsk"});
    other.load();
    EXPECT_FALSE(other.server().isSet()) << "a cleared host: back on the data folder";
    ini.writeString("Serwer", "Port", "piąty");
    other.load();
    EXPECT_EQ(other.server().port, 5432);
}

TEST(Settings, SaveStopsWhereTheFileCannotBeWritten)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("plik"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniFile ini(dir.filePath("plik/fenwa5.ini"));
    Settings s(ini, "/opt/fenwa5/");
    s.load();
    EXPECT_THROW(s.save({"/nowe", "/e", "/a"}, "podlaskie", "bielski"), IniWriteError);
    EXPECT_EQ(s.run().fd, "/opt/fenwa5");
}

TEST(Settings, LookupTakesCodesAndBlock)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("fenwa5.ini"));
    Settings s(ini, "/opt/");
    s.load();
    FakeSource src;
    s.lookup(LookupMode::Initial, src);
    EXPECT_EQ(s.run().wkod, "20");
    EXPECT_EQ(s.run().pkod, "2002");
    EXPECT_EQ(s.inspectorateBlock(), "Wojewódzki Inspektorat Weterynarii\nul. Zwierzyniecka 1\nBiałystok");
    s.run().p_w = 0;
    EXPECT_EQ(s.inspectorateBlock(), "PIW Bielsk Podlaski\nul. B 2\nBielsk Podlaski");
    src.fail = true;
    EXPECT_THROW(s.lookup(LookupMode::Initial, src), fenwa::data::EngineError);
    EXPECT_EQ(s.run().wkod, "20") << "a failed lookup keeps the codes";
}

TEST(Settings, OkNeedsDataAndExportFolders)
{
    EXPECT_TRUE(Settings::canSave({"/d", "/e", ""}));
    EXPECT_FALSE(Settings::canSave({"/d", "", "/a"}));
    EXPECT_FALSE(Settings::canSave({"", "/e", "/a"}));
}
