#include "admin/ui/Konfiguracji.h"
#include "common/ScriptedMessages.h"
#include "LegacyFolder.h"
#include "data/EngineError.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fenwa;
using namespace fenwa::admin;

namespace {
class FakeSource : public InspectorateSource {
public:
    bool fail = false;
    int reads = 0;
    QVector<Inspectorate> voivodeships() override
    {
        ++reads;
        if (fail)
            throw data::EngineError("Tabela „wiw” nie istnieje w folderze danych „/d”.");
        return {{"podlaskie", "20", "WIW Białystok", "ul. Zwierzyniecka 1", "Białystok"},
                {"warmińsko-mazurskie", "28", "WIW Olsztyn", "ul. Kołobrzeska 2", "Olsztyn"}};
    }
    QVector<Inspectorate> counties() override
    {
        return {{"białostocki", "2001", "PIW Białystok", "ul. A 1", "Białystok"},
                {"bielski", "2002", "PIW Bielsk Podlaski", "ul. B 2", "Bielsk Podlaski"},
                {"elbląski", "2801", "PIW Elbląg", "ul. D 4", "Elbląg"},
                {"olsztyński", "2814", "PIW Olsztyn", "ul. E 5", "Olsztyn"}};
    }
};

class KonfiguracjiTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    IniFile ini{dir.filePath("fenwa5.ini")};
    FakeSource source;
    ScriptedMessages messages;
    QString caption = "Fenwa5 - [14.09.2016]";
    QVector<int> kinds;

    std::unique_ptr<TF_Konfiguracji> make(IniFile &file)
    {
        auto w = std::make_unique<TF_Konfiguracji>(file, "/opt/fenwa5/", source, messages);
        QObject::connect(w.get(), &TF_Konfiguracji::installationKind, [this](int p_w) {
            kinds << p_w;
            caption = captionWithKind(caption, p_w);
        });
        w->load();
        return w;
    }
    std::unique_ptr<TF_Konfiguracji> make() { return make(ini); }
};

bool tabVisible(TF_Konfiguracji &w, QWidget *tab)
{
    return w.PageControl1->isTabVisible(w.PageControl1->indexOf(tab));
}
} // namespace

TEST_F(KonfiguracjiTest, DefaultsWithoutSettingsFile)
{
    auto w = make();
    EXPECT_EQ(w->windowTitle(), "Konfiguracja programu");
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->E_FolderDanych->text(), "/opt/fenwa5/");
    EXPECT_EQ(w->run().fd, "/opt/fenwa5");
    EXPECT_EQ(w->run().p_w, 1);
    EXPECT_EQ(w->ComboBox1->currentText(), "podlaskie");
    EXPECT_EQ(w->ComboBox2->currentText(), "bielski");
    EXPECT_EQ(w->ComboBox2->count(), 2);
    EXPECT_EQ(w->run().wkod, "20");
    EXPECT_EQ(w->run().pkod, "2002");
    EXPECT_EQ(w->Label6->text(), "WIW Białystok");
    EXPECT_EQ(w->Label11->text(), "Bielsk Podlaski");
    EXPECT_EQ(w->GroupWIW->title(), "Dane WIW");
    EXPECT_EQ(w->PageControl1->tabText(0), "Foldery");
    EXPECT_TRUE(tabVisible(*w, w->TabSheet3));
    EXPECT_FALSE(tabVisible(*w, w->TabSheet4)) << "no county tab in a voivodeship installation";
    EXPECT_EQ(kinds, QVector<int>({1}));
    EXPECT_EQ(caption, "Fenwa5 - [14.09.2016]- województwo");
    EXPECT_FALSE(QFile::exists(ini.path()));
}

TEST_F(KonfiguracjiTest, CountyInstallationShowsTheCountyTab)
{
    ini.writeInteger("Lok", "P_W", 0);
    auto w = make();
    EXPECT_TRUE(tabVisible(*w, w->TabSheet4));
    EXPECT_EQ(caption, "Fenwa5 - [14.09.2016]- powiat");
}

TEST_F(KonfiguracjiTest, ChangingTheVoivodeshipRefillsTheCounties)
{
    auto w = make();
    w->ComboBox1->setCurrentIndex(1);
    emit w->ComboBox1->activated(1);
    EXPECT_EQ(w->run().wiw, "warmińsko-mazurskie");
    EXPECT_EQ(w->run().wkod, "28");
    EXPECT_EQ(w->ComboBox2->count(), 2);
    EXPECT_EQ(w->ComboBox2->itemText(0), "elbląski");
    EXPECT_EQ(w->run().pkod, "2814") << "bielski is not here: the last county";
    EXPECT_EQ(w->Label9->text(), "PIW Olsztyn");
    EXPECT_EQ(w->ComboBox2->currentIndex(), -1);
    EXPECT_TRUE(w->BitBtn1->isEnabled());

    w->ComboBox2->setCurrentIndex(0);
    emit w->ComboBox2->activated(0);
    EXPECT_EQ(w->run().piw, "elbląski");
    EXPECT_EQ(w->run().pkod, "2801");
    EXPECT_EQ(w->Label10->text(), "ul. D 4");
}

TEST_F(KonfiguracjiTest, OkNeedsDataAndExportFolders)
{
    auto w = make();
    w->showForEditing();
    EXPECT_FALSE(w->BitBtn1->isEnabled());
    w->E_FolderArchiwizacji->setText("");
    EXPECT_TRUE(w->BitBtn1->isEnabled()) << "the archive folder does not count";
    w->E_FolderEksportu->setText("");
    EXPECT_FALSE(w->BitBtn1->isEnabled());
    w->E_FolderEksportu->setText("/e");
    w->E_FolderDanych->setText("");
    EXPECT_FALSE(w->BitBtn1->isEnabled());
}

TEST_F(KonfiguracjiTest, SavingKeepsTheTypedTextAndNeverWritesPW)
{
    auto w = make();
    const QString running = w->E_FolderDanych->text();
    w->showForEditing();
    w->E_FolderDanych->setText("C:\\Fenwa\\Dane\\");
    w->E_FolderEksportu->setText("/eksport/");
    w->BitBtn1->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(ini.readString("Foldery", "Dane"), "C:\\Fenwa\\Dane\\");
    EXPECT_EQ(ini.readString("Foldery", "Eksport"), "/eksport/");
    EXPECT_EQ(ini.readString("Lok", "WIW"), "podlaskie");
    EXPECT_EQ(ini.readString("Lok", "PIW"), "bielski");
    EXPECT_FALSE(ini.valueExists("Lok", "P_W"));
    EXPECT_EQ(w->run().fd, "C:\\Fenwa\\Dane");
    EXPECT_EQ(w->run().fe, "/eksport");
    // The program runs on its folder until the next start, and says so.
    EXPECT_EQ(messages.last(), kDataFolderAtNextStart);
    const auto told = messages.shown().size();
    w->showForEditing();
    w->E_FolderDanych->setText(running);
    w->BitBtn1->click();
    EXPECT_EQ(messages.shown().size(), told) << "back on the running folder: nothing to tell";
}

TEST_F(KonfiguracjiTest, NoCountySelectedStoresAnEmptyName)
{
    auto w = make();
    w->ComboBox1->setCurrentIndex(1);
    emit w->ComboBox1->activated(1);
    w->BitBtn1->click();
    EXPECT_TRUE(ini.valueExists("Lok", "PIW"));
    EXPECT_EQ(ini.readString("Lok", "PIW", "x"), "");
}

TEST_F(KonfiguracjiTest, AnulujTwiceRestoresAndKeepsOneSuffix)
{
    ini.writeInteger("Lok", "P_W", 0);
    auto w = make();
    w->showForEditing();
    w->E_FolderDanych->setText("/zmienione");
    w->ComboBox1->setCurrentIndex(1);
    emit w->ComboBox1->activated(1);
    w->BitBtn2->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->E_FolderDanych->text(), "/opt/fenwa5/");
    EXPECT_EQ(w->run().wiw, "podlaskie");
    EXPECT_EQ(w->run().wkod, "20");
    w->showForEditing();
    w->BitBtn2->click();
    EXPECT_EQ(caption, "Fenwa5 - [14.09.2016]- powiat");
    EXPECT_EQ(kinds.size(), 3);
    EXPECT_EQ(ini.sections(), QStringList({"Lok"})) << "Anuluj writes nothing";
    EXPECT_EQ(ini.readSection("Lok"), QStringList({"P_W"}));
}

TEST_F(KonfiguracjiTest, FolderChooser)
{
    auto w = make();
    QString title;
    QString answer = "/wybrany";
    w->chooseFolder = [&](QWidget *owner, const QString &t) {
        EXPECT_EQ(owner, w.get());
        title = t;
        return answer;
    };
    w->BitBtn5->click();
    EXPECT_EQ(title, "Wybierz folder");
    EXPECT_EQ(w->E_FolderEksportu->text(), "/wybrany");
    w->BitBtn4->click();
    EXPECT_EQ(w->E_FolderArchiwizacji->text(), "/wybrany");
    answer = QString();   // cancelled
    w->BitBtn3->click();
    EXPECT_EQ(w->E_FolderDanych->text(), "/opt/fenwa5/");
}

TEST_F(KonfiguracjiTest, UnwritableSettingsFileKeepsTheWindowOpen)
{
    QFile blocker(dir.filePath("plik"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniFile bad(dir.filePath("plik/fenwa5.ini"));
    auto w = make(bad);
    w->showForEditing();
    w->E_FolderDanych->setText("/d");
    w->BitBtn1->click();
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Error);
    EXPECT_EQ(messages.last(), "Unable to write to " + bad.path());
    EXPECT_EQ(w->run().fd, "/opt/fenwa5") << "the first key failed: nothing taken";
}

TEST_F(KonfiguracjiTest, MissingInspectorateTablesAreReported)
{
    ini.writeInteger("Lok", "P_W", 0);
    source.fail = true;
    auto w = make();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Tabela „wiw” nie istnieje w folderze danych „/d”.");
    EXPECT_EQ(w->E_FolderDanych->text(), "/opt/fenwa5/") << "the folders are still loaded";
    EXPECT_EQ(kinds, QVector<int>({0})) << "the main window is still completed";
    EXPECT_TRUE(tabVisible(*w, w->TabSheet4));
}

TEST_F(KonfiguracjiTest, ALegacyFolderIsCarriedOverIntoANewDataFolderThatTheWindowThenNames)
{
    auto w = make();
    QTemporaryDir legacy, target;
    QStringList answers;
    w->chooseFolder = [&](QWidget *, const QString &) { return answers.isEmpty() ? QString() : answers.takeFirst(); };

    // A folder without tables is refused before anything is written.
    answers = {target.path(), legacy.path()};
    w->BitBtnMigracja->click();
    EXPECT_TRUE(messages.last().contains("nie ma tabel danych"));
    EXPECT_FALSE(QFile::exists(target.filePath("fenwa5.sqlite")));

    fenwa::testing::writeLegacyFolder(legacy.path(), {"2003"}, 2016, 3);
    answers = {legacy.path(), target.path()};
    w->BitBtnMigracja->click();
    EXPECT_TRUE(QFile::exists(target.filePath("fenwa5.sqlite")));
    EXPECT_TRUE(messages.texts().join('\n').contains("p_2016_2003.db: 3 / 3"));
    EXPECT_EQ(w->E_FolderDanych->text(), target.path());

    // A second run into the same folder is refused and changes nothing there.
    const QString before = w->E_FolderDanych->text();
    answers = {legacy.path(), target.path()};
    w->BitBtnMigracja->click();
    EXPECT_EQ(w->E_FolderDanych->text(), before);
    EXPECT_EQ(messages.shown().last().kind, Messages::Kind::Error);
}

TEST_F(KonfiguracjiTest, ConnectionTestChecksTheTypedServerAndShowsTheOutcome)
{
    auto w = make();
    w->showForEditing();
    QVector<data::ServerAddress> checked;
    QString outcome = "Serwer s1 nie odpowiada na porcie 5433: sprawdź nazwę serwera i port oraz czy serwer działa.";
    w->checkServer = [&](const data::ServerAddress &a, QString *version) {
        checked << a;
        *version = "15.18";
        return outcome;
    };
    w->E_SerwerHost->setText(" s1 ");
    w->SE_SerwerPort->setValue(5433);
    w->E_SerwerBaza->setText("rejestr");
    w->E_SerwerUzytkownik->setText("łukasz");
    w->E_SerwerSchemat->setText("bielsk");
    w->BitBtnTestSerwera->click();
    ASSERT_EQ(checked.size(), 1);
    EXPECT_EQ(checked[0], (data::ServerAddress{"s1", 5433, "rejestr", "łukasz", "bielsk"}));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Error);
    EXPECT_EQ(messages.last(), outcome);

    outcome.clear();
    w->BitBtnTestSerwera->click();
    EXPECT_EQ(messages.shown().last().kind, Messages::Kind::Information);
    EXPECT_EQ(messages.shown().last().title, "Test połączenia");
    EXPECT_EQ(messages.last(), "Połączenie działa: serwer PostgreSQL 15.18, schemat „bielsk” zawiera instalację programu.");
    EXPECT_FALSE(QFile::exists(ini.path())) << "the test saves nothing";
}

TEST_F(KonfiguracjiTest, TheServerIsSavedWithOkAndNeedsASchema)
{
    auto w = make();
    EXPECT_EQ(w->PageControl1->tabText(w->PageControl1->indexOf(w->TabSerwer)), "Serwer");
    EXPECT_EQ(w->SE_SerwerPort->value(), 5432);
    w->showForEditing();   // OK disabled until something is typed, here on the server tab only
    w->E_SerwerHost->setText("serwer.piw.local");
    w->E_SerwerBaza->setText("rejestr");
    w->BitBtn1->click();
    EXPECT_EQ(messages.last(), kServerNeedsSchema);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(QFile::exists(ini.path())) << "nothing written before the schema is given";

    w->E_SerwerSchemat->setText("bielsk");
    w->BitBtn1->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(ini.readString("Serwer", "Host"), "serwer.piw.local");
    EXPECT_EQ(ini.readString("Serwer", "Schemat"), "bielsk");
    auto again = make();
    EXPECT_EQ(again->E_SerwerBaza->text(), "rejestr");
}
