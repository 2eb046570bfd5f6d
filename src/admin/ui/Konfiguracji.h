#pragma once
// The settings window: folders, the voivodeship and the county inspectorate,
// the server. Its settings of the run (run()) are read by the rest of the program.
#include "admin/Settings.h"
#include "common/Messages.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace fenwa::admin {

// Told when a saved data folder differs from the one the program runs on: the
// open registers stay on their folder until the program starts again.
inline const QString kDataFolderAtNextStart =
    QStringLiteral("Nowy folder danych zostanie użyty po ponownym uruchomieniu programu.");

// OK with a server named on the tab "Serwer" but no schema.
inline const QString kServerNeedsSchema =
    QStringLiteral("Podaj schemat instalacji na serwerze albo usuń nazwę serwera.");

class TF_Konfiguracji : public QDialog {
    Q_OBJECT
public:
    // exeFolder: the default of every folder. Nothing is loaded until load().
    TF_Konfiguracji(IniFile &ini, const QString &exeFolder, InspectorateSource &source, Messages &messages,
                    QWidget *parent = nullptr);

    // Loading: folders, names, P_W, the inspectorate lookup; then the tab
    // "Dane PIW" and installationKind(p_w) for the main window. Engine errors
    // of the lookup are shown and the loading goes on.
    void load();
    // The main window's "Ustawienia": OK disabled, shown without blocking.
    void showForEditing();

    RunSettings &run() { return settings_.run(); }
    const RunSettings &run() const { return settings_.run(); }
    Settings &settings() { return settings_; }

    // The folder chooser ("Wybierz folder"); replaceable for tests.
    std::function<QString(QWidget *parent, const QString &title)> chooseFolder;
    // The server check of "Test połączenia" (data::testConnection); replaceable for tests.
    std::function<QString(const data::ServerAddress &, QString *serverVersion)> checkServer;

    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet3, *TabSheet4;
    QLineEdit *E_FolderDanych, *E_FolderEksportu, *E_FolderArchiwizacji;
    QPushButton *BitBtn3, *BitBtn5, *BitBtn4;
    QComboBox *ComboBox1, *ComboBox2;
    QGroupBox *GroupWIW, *GroupPIW;
    QLabel *Label6, *Label7, *Label8, *Label9, *Label10, *Label11;
    QPushButton *BitBtn1, *BitBtn2;
    // "Przenieś dane z poprzedniej wersji…" on the folders tab.
    QPushButton *BitBtnMigracja;
    // "Serwer": the server's address as typed, and "Test połączenia".
    QWidget *TabSerwer;
    QLineEdit *E_SerwerHost, *E_SerwerBaza, *E_SerwerUzytkownik, *E_SerwerSchemat;
    QSpinBox *SE_SerwerPort;
    QPushButton *BitBtnTestSerwera;

    // The server's address as typed on the tab "Serwer" (saved or not).
    data::ServerAddress typedServer() const;
    // "Test połączenia": checks the typed address and shows the outcome.
    void testServer();

    // Carries a legacy data folder of Paradox tables over into a new, empty
    // folder (two folder choices), with a progress window; the report is
    // shown and, when the user agrees, the new folder becomes the data folder
    // in the window (saved with OK, like a typed one).
    void migrate();

signals:
    // Emitted at the end of every loading: caption suffix and menu items of the main window.
    void installationKind(int p_w);

private:
    void buildServerTab();
    void showServer(const data::ServerAddress &server);
    void lookup(LookupMode mode);
    void showLookup(const Lookup &l, LookupMode mode);
    void updateOk();
    void browse(QLineEdit *edit);
    void save();
    void cancel();
    FolderTexts texts() const;

    Settings settings_;
    // The data folder the program runs on: the one of the first load. A saved
    // change takes effect at the next start.
    std::optional<QString> runningFolder_;
    InspectorateSource &source_;
    Messages &messages_;
};

} // namespace fenwa::admin
