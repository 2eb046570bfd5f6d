#pragma once
// The one owner of the program's windows and of the session: creates them
// once, in the order of the start-up, and keeps them for the whole run.
#include "admin/IniFile.h"
#include "admin/InspectorateTables.h"
#include "app/Startup.h"
#include "common/Clock.h"
#include "common/Messages.h"
#include "common/ui/GridLayout.h"
#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QTimer;

namespace fenwa::data {
class TF_Dane;
}
namespace fenwa::admin {
class TF_Konfiguracji;
class TF_Pliki;
class TF_User;
class TF_UstawHaslo;
}
namespace fenwa::reg::ui {
class RegisterWindows;
class TF_EdPoz;
}
namespace fenwa::reports::ui {
class TF_Szukaj;
class TF_Zapisy;
class ReportWindows;
}
namespace fenwa::ui {
class TF_OdDo;
}
namespace fenwa::dictionaries::ui {
class TF_Slowniki;
}

namespace fenwa::app {

// Asked when the data folder exists but holds no database.
QString createDatabaseQuestion(const QString &folder);
// Told after the new database was created: how to log in.
QString databaseCreatedText(const QString &folder);

class TF_Logowania;
class TF_Konsola;
class TF_Winietka;

class Aplikacja : public QObject {
    Q_OBJECT
public:
    Aplikacja(admin::IniFile &ini, Registry &registry, Messages &messages, Clock &clock,
              QString exeFolder, QString osUser);
    ~Aplikacja() override;

    // Steps 2 to 11 of the start-up: the session, the login, the windows
    // under the splash. False: the program ends (the reason was shown, or the
    // login was cancelled).
    bool start();
    // What start() runs to show the login; replaceable for tests (default: exec()).
    std::function<int(TF_Logowania &)> runLogin;

    // The windows and objects of the run (null until created).
    std::unique_ptr<data::Database> Sesja_1;
    std::unique_ptr<TF_Logowania> F_Logowania;
    std::unique_ptr<TF_Konsola> F_Konsola;
    // Windows with the main window as their Qt parent are owned by it; the
    // others by this object.
    admin::TF_Konfiguracji *F_Konfiguracji = nullptr;
    std::unique_ptr<data::TF_Dane> F_Dane;
    dictionaries::ui::TF_Slowniki *F_Slowniki = nullptr;
    admin::TF_Pliki *F_Pliki = nullptr;
    admin::TF_User *F_User = nullptr;
    admin::TF_UstawHaslo *F_UstawHaslo = nullptr;
    reports::ui::TF_Szukaj *F_Szukaj = nullptr;
    std::unique_ptr<reg::ui::RegisterWindows> Rejestr;   // F_Otworz, F_GrDok and the flow
    fenwa::ui::TF_OdDo *F_OdDo = nullptr;                // the period and unit dialog
    std::unique_ptr<reports::ui::ReportWindows> Raporty;   // F_Kryteria and the reports
    reports::ui::TF_Zapisy *F_Zapisy = nullptr;   // the position browser and its filters
    reg::ui::TF_EdPoz *F_EdPoz = nullptr;   // opened by the record rules of positions
    std::unique_ptr<TF_Winietka> F_Winietka;   // the about box

    // The step captions of the splash, in order (19 on a bar of 20).
    static const QStringList &stepCaptions();
    // Captions shown by the last start() (tests).
    const QStringList &shownSteps() const { return shownSteps_; }

private:
    bool prepareSession();
    bool login();
    void createWindows();
    void connectCommands();
    // The grids' column layouts kept in the settings file.
    fenwa::ui::GridLayoutStore gridLayoutStore();

    admin::IniFile &ini_;
    Registry &registry_;
    Messages &messages_;
    Clock &clock_;
    QString exeFolder_;
    QString osUser_;
    data::ServerAddress server_;   // the settings file's server (none: the data folder)
    QString place_;                // where the data is, for the main window
    admin::InspectorateTables inspectorates_{nullptr};
    QTimer *heartbeat_ = nullptr;
    QStringList shownSteps_;
};

} // namespace fenwa::app
