#include "app/ui/Aplikacja.h"

#include "admin/Passwords.h"
#include "admin/Settings.h"
#include "admin/ui/Konfiguracji.h"
#include "app/Login.h"
#include "app/Passwd.h"
#include "app/ui/Konsola.h"
#include "app/ui/Logowanie.h"
#include "app/ui/Winietka.h"
#include "common/ui/OdDo.h"
#include "data/Dane.h"
#include "data/Seed.h"
#include "data/ServerBroadcast.h"
#include "dictionaries/ui/Slowniki.h"
#include "register/Register.h"
#include "register/ui/EdPoz.h"
#include "register/ui/RegisterWindows.h"
#include "reports/ui/Raporty.h"
#include "reports/ui/Szukaj.h"
#include "reports/ui/Zapisy.h"
#include "admin/ui/Obsluga.h"
#include "admin/ui/Pliki.h"
#include "admin/ui/User.h"
#include "admin/ui/UstawHaslo.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace fenwa::app {

QString createDatabaseQuestion(const QString &folder)
{
    return QStringLiteral("Utworzyć nową bazę danych w folderze %1?").arg(folder);
}

QString databaseCreatedText(const QString &folder)
{
    return QStringLiteral("Utworzono nową bazę danych w folderze %1.\n\n"
                          "Zaloguj się jako użytkownik admin z pustym hasłem.")
        .arg(folder);
}

const QStringList &Aplikacja::stepCaptions()
{
    static const QStringList captions = {
        QStringLiteral("Konsola"),
        QStringLiteral("Dialog konfiguracji"),
        QStringLiteral("Moduł zarządzania użytkownikami"),
        QStringLiteral("Okno słowników"),
        QStringLiteral("Moduł danych"),
        QStringLiteral("Dialog zmiany hasła"),
        QStringLiteral("Okno listowania plików"),
        QStringLiteral("Dialog \"Szukaj\""),
        QStringLiteral("Dialog \"Otwórz\""),
        QStringLiteral("Dialog \"Grupa dokumentów\""),
        QStringLiteral("Dialog \"Lista pozycji\""),
        QStringLiteral("Dialog \"Edycja pozycji dokumentu\""),
        QStringLiteral("Dialog \"Raport prosty\""),
        QStringLiteral("Dialog \"Raport złożony\""),
        QStringLiteral("Okno \"Przeglądanie pozycji\""),
        QStringLiteral("Dialog \"Filtr tekstowy\""),
        QStringLiteral("Dialog \"Filtr liczbowy\""),
        QStringLiteral("Dialog \"Filtr logiczny\""),
        QStringLiteral("Dialog \"Filtr dat\""),
    };
    return captions;
}

Aplikacja::Aplikacja(admin::IniFile &ini, Registry &registry, Messages &messages, Clock &clock,
                     QString exeFolder, QString osUser)
    : ini_(ini)
    , registry_(registry)
    , messages_(messages)
    , clock_(clock)
    , exeFolder_(std::move(exeFolder))
    , osUser_(std::move(osUser))
{
    runLogin = [](TF_Logowania &dialog) { return dialog.exec(); };
}

Aplikacja::~Aplikacja()
{
    // Windows first (they refer to the data module and the session), the
    // login window last of them: its end writes the last login.
    F_Winietka.reset();
    Raporty.reset();
    Rejestr.reset();
    // The main window takes its children with it: the settings window, the
    // file list, the search and the register's windows.
    F_Konsola.reset();
    F_Dane.reset();
    if (Sesja_1) {
        try {
            Sesja_1->unregisterRunningCopy();
        } catch (...) {
        }
    }
    F_Logowania.reset();
    Sesja_1.reset();
}

bool Aplikacja::start()
{
    shownSteps_.clear();
    F_Logowania = std::make_unique<TF_Logowania>(registry_);
    if (!prepareSession())
        return false;
    if (!login())
        return false;
    createWindows();
    connectCommands();
    return true;
}

// The creation of the login window: the data folder, the private folder,
// the session and the upgrade of passwd.db. An existing folder without a
// database may get a new empty installation, whose administrator the login
// then proposes; otherwise the problem is reported and ends the run before
// the login is asked for.
bool Aplikacja::prepareSession()
{
    const QString folder = resolveDataFolder(ini_, registry_);
    privateDirectory();
    admin::Settings settings(ini_, exeFolder_);
    settings.load();
    server_ = settings.server();
    place_ = dataPlace(folder, server_);
    try {
        Sesja_1 = openSession(folder, ini_.path(), server_);
    } catch (const data::EngineError &e) {
        const bool emptyFolder = !server_.isSet() && !folder.trimmed().isEmpty() && QFileInfo(folder).isDir()
            && !QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(data::Database::fileName)));
        if (!emptyFolder) {
            messages_.error(e.message());
            return false;
        }
        const QString shown = QDir::toNativeSeparators(folder);
        if (!messages_.question(e.message() + QStringLiteral("\n\n") + createDatabaseQuestion(shown)))
            return false;
        try {
            Sesja_1 = data::createInstallation(folder, clock_.now().date());
        } catch (const data::EngineError &created) {
            messages_.error(created.message());
            return false;
        }
        messages_.information(databaseCreatedText(shown));
        F_Logowania->E_Login->setText(QStringLiteral("admin"));
    }
    upgradePasswd(*Sesja_1, clock_.now());
    return true;
}

bool Aplikacja::login()
{
    if (runLogin(*F_Logowania) != QDialog::Accepted)
        return false;
    std::optional<UserRow> row;
    try {
        row = findUser(*Sesja_1, F_Logowania->E_Login->text());
    } catch (const data::EngineError &e) {
        messages_.error(e.message());
        return false;
    }
    if (checkLogin(row, F_Logowania->record.haslo, F_Logowania->record, messages_) != LoginResult::Ok)
        return false;
    admin::upgradeLegacyPassword(*Sesja_1, row->id, row->password, F_Logowania->record.haslo);
    F_Logowania->hide();
    // This copy now counts among the users of the database (the list the
    // broadcast message is sent to).
    try {
        Sesja_1->registerRunningCopy(osUser_);
        heartbeat_ = new QTimer(this);
        connect(heartbeat_, &QTimer::timeout, this, [this] {
            try {
                Sesja_1->heartbeat();
            } catch (const data::EngineError &) {
            }
        });
        heartbeat_->start(60 * 1000);
    } catch (const data::EngineError &) {
        // A read-only database: the program still runs.
    }
    return true;
}

void Aplikacja::createWindows()
{
    const CurrentUser &user = F_Logowania->record;
    F_Konsola = std::make_unique<TF_Konsola>(user, messages_, clock_, ini_, osUser_);
    F_Konsola->showDataPlace(server_.isSet() ? QStringLiteral("serwer, %1").arg(server_.schema)
                                             : QStringLiteral("folder"),
                             place_);
    if (server_.isSet()) {
        // A server that cannot be reached for the broadcast leaves this copy
        // without it; the session itself is already open.
        try {
            F_Konsola->listenForBroadcasts(std::make_unique<data::ServerBroadcast>(server_));
        } catch (const data::EngineError &) {
        }
    }

    auto splash = std::make_unique<TF_Winietka>(user.wersja);
    splash->show();
    const QStringList &captions = stepCaptions();
    auto step = [&](int i) {
        splash->step(captions[i]);
        shownSteps_ << captions[i];
    };
    step(0);   // F_Konsola, created above

    // 1. Settings window: the settings of the run; completes the main window.
    inspectorates_.setDatabase(Sesja_1.get());
    F_Konfiguracji = new admin::TF_Konfiguracji(ini_, exeFolder_, inspectorates_, messages_,
                                                             F_Konsola.get());
    connect(F_Konfiguracji, &admin::TF_Konfiguracji::installationKind, F_Konsola.get(),
            &TF_Konsola::applyInstallationKind);
    F_Konfiguracji->load();
    step(1);

    // 2. F_User (users window): created with the set-password dialog below.
    // 3. F_Slowniki (dictionaries window) is created here by its own subsystem.
    step(2);
    step(3);

    // 4. The data module: opens and upgrades the shared tables.
    F_Dane = std::make_unique<data::TF_Dane>(Sesja_1.get(), user, F_Konfiguracji->run(), F_Konsola->reg,
                                             messages_, clock_);
    F_Dane->open();
    // The dictionaries window (step 3) binds its grids to the module's
    // tables, so it is made once the module exists.
    F_Slowniki = new dictionaries::ui::TF_Slowniki(*F_Dane, F_Konsola.get());
    F_Slowniki->dumpFolder = privateDirectory();
    F_Slowniki->importFolder = [this] { return registry_.previousDataFolder(); };
    F_Slowniki->unitCodeOf = [this](const QString &unit) { return reg::unitCode(*F_Dane, unit); };
    step(4);

    // 5. The set-password dialog, and the users window it serves (which
    //    binds to the data module's users table, so it comes after it).
    F_UstawHaslo = new admin::TF_UstawHaslo(F_Konsola.get());
    F_User = new admin::TF_User(*F_Dane, ini_, *F_UstawHaslo, F_Konsola.get());
    step(5);
    // 6. The file list: the reference scans of the record rules show in it.
    F_Pliki = new admin::TF_Pliki(F_Konsola.get());
    F_Dane->rules.fileList = F_Pliki;
    step(6);
    // 7. The search dialog.
    F_Szukaj = new reports::ui::TF_Szukaj(messages_, F_Konsola.get());
    step(7);
    // 8. The open dialog and 9. the groups window.
    Rejestr = std::make_unique<reg::ui::RegisterWindows>(*F_Dane, F_Konsola.get());
    step(8);
    step(9);
    // The search looks in the first visible list window.
    reg::ui::TF_GrDok *groups = Rejestr->F_GrDok;
    F_Szukaj->addTarget([this, groups]() -> data::Dataset * { return groups->isVisible() ? F_Dane->T_Gr : nullptr; });
    groups->onSearch = [this](QWidget *owner) { F_Szukaj->showFor(owner); };
    F_Szukaj->addTarget([this]() -> data::Dataset * {
        return F_Slowniki->isVisible() ? F_Slowniki->activeTable() : nullptr;
    });
    F_Slowniki->onSearch = [this](QWidget *owner) { F_Szukaj->showFor(owner); };
    groups->XDBGrid1->setLayoutStore(QString::fromLatin1(reg::ui::TF_GrDok::kGridLayoutSection), gridLayoutStore());
    // 10. The positions list, made with the register's windows.
    reg::ui::TF_ListaPoz *positions = Rejestr->F_ListaPoz;
    F_Szukaj->addTarget(
        [this, positions]() -> data::Dataset * { return positions->isVisible() ? F_Dane->T_Poz : nullptr; });
    positions->onSearch = [this](QWidget *owner) { F_Szukaj->showFor(owner); };
    positions->XDBGrid1->setLayoutStore(QString::fromLatin1(reg::ui::TF_ListaPoz::kGridLayoutSection),
                                        gridLayoutStore());
    positions->statementFolder = privateDirectory();
    step(10);
    // 11. The position editor: every position inserted or edited, from
    // whatever window, shows in it, and OK saves it through the record rules.
    F_EdPoz = new reg::ui::TF_EdPoz(*F_Dane, F_Konsola.get());
    F_Dane->rules.positionEditor = [this](data::Table &, const QString &caption) {
        return F_EdPoz->execute(caption);
    };
    connect(F_Konfiguracji, &admin::TF_Konfiguracji::installationKind, F_EdPoz,
            &reg::ui::TF_EdPoz::setInstallationKind);
    step(11);
    // 12. The period and unit dialog; 13. the criteria dialog and the reports.
    F_OdDo = new fenwa::ui::TF_OdDo(clock_.today(), F_Konsola.get());
    F_OdDo->fillUnits(*F_Dane);
    step(12);
    Raporty = std::make_unique<reports::ui::ReportWindows>(*F_Dane, *F_OdDo, privateDirectory(), F_Konsola.get());
    step(13);
    // The dictionary entry statement asks for its period and unit in the
    // reports' dialog: the print button prints, the spreadsheet button exports.
    F_Slowniki->askPeriod = [this](dictionaries::EntryRequest &request) {
        F_OdDo->setPrintEnabled(true);
        F_OdDo->setQuantitiesEnabled(true);
        F_OdDo->setChartEnabled(false);
        const int result = F_OdDo->exec();
        if (result != fenwa::ui::TF_OdDo::Drukuj && result != fenwa::ui::TF_OdDo::Arkusz)
            return false;
        request.from = F_OdDo->od();
        request.to = F_OdDo->doDnia();
        request.unit = F_OdDo->unitName();
        request.quantities = F_OdDo->ilosci();
        request.toSheet = result == fenwa::ui::TF_OdDo::Arkusz;
        return true;
    };
    // The editor's "..." buttons pick an entry on the dictionary's page.
    F_EdPoz->pickFromDictionary = [this](int page) { return F_Slowniki->pick(page); };
    // 14-18: the position browser with its four filter dialogs. It asks
    // for the register in the open dialog, with the month list off.
    F_Zapisy = new reports::ui::TF_Zapisy(*F_Dane, F_Konsola.get());
    F_Zapisy->statementFolder = privateDirectory();
    F_Zapisy->XDBGrid1->setLayoutStore(QString::fromLatin1(reports::ui::TF_Zapisy::kGridLayoutSection),
                                       gridLayoutStore());
    F_Zapisy->askRegister = [this](int &year, QString &unit) {
        reg::ui::TF_Otworz &dialog = *Rejestr->F_Otworz;
        dialog.propose(clock_.today());
        dialog.ComboBox3->setEnabled(false);
        const bool accepted = Rejestr->runDialog(dialog) == QDialog::Accepted;
        dialog.ComboBox3->setEnabled(true);
        year = dialog.year();
        unit = dialog.unitName();
        return accepted;
    };
    F_Szukaj->addTarget([this]() -> data::Dataset * { return F_Zapisy->isVisible() ? F_Dane->Q_Rob : nullptr; });
    F_Zapisy->onSearch = [this](QWidget *owner) { F_Szukaj->showFor(owner); };
    for (int i = 14; i < captions.size(); ++i)
        step(i);

    splash.reset();
    F_Winietka = std::make_unique<TF_Winietka>(user.wersja);
}

fenwa::ui::GridLayoutStore Aplikacja::gridLayoutStore()
{
    fenwa::ui::GridLayoutStore store;
    store.read = [this](const QString &section) { return ini_.readSectionValues(section); };
    // A layout that cannot be written is lost quietly: the window closes
    // either way and no data is at stake.
    store.write = [this](const QString &section, const fenwa::ui::LayoutValues &values) {
        try {
            ini_.replaceSection(section, values);
        } catch (const admin::IniWriteError &) {
        }
    };
    return store;
}

void Aplikacja::connectCommands()
{
    connect(F_Konsola.get(), &TF_Konsola::ustawieniaRequested, F_Konfiguracji,
            &admin::TF_Konfiguracji::showForEditing);
    connect(F_Konsola.get(), &TF_Konsola::oProgramieRequested, F_Winietka.get(), &TF_Winietka::showAbout);
    connect(F_Konsola.get(), &TF_Konsola::otworzRequested, this, [this] { Rejestr->Otwrz1Click(); });
    connect(F_Konsola.get(), &TF_Konsola::raportProstyRequested, this,
            [this](bool koszty, TF_Konsola::Kryterium k) { Raporty->RaportProsty(koszty, reports::Criterion(int(k))); });
    connect(F_Konsola.get(), &TF_Konsola::raportZlozonyRequested, this,
            [this](bool koszty) { Raporty->RaportZlozony(koszty); });
    connect(F_Konsola.get(), &TF_Konsola::realizacjaPlanowRequested, this,
            [this](bool koszty) { Raporty->RealizacjaPlanow(koszty); });
    connect(F_Konsola.get(), &TF_Konsola::przegladaniePozycjiRequested, this, [this] { F_Zapisy->Przegladanie(); });
    connect(F_Konsola.get(), &TF_Konsola::uzytkownicyRequested, this, [this] { F_User->exec(); });
    connect(F_Konsola.get(), &TF_Konsola::slownikRequested, this,
            [this](const QString &tab) { F_Slowniki->showAt(tab); });
    const auto maintenance = [this] {
        return admin::MaintenanceContext{*F_Dane, *F_Pliki, messages_, clock_, ini_.path(), osUser_, F_Konsola.get()};
    };
    connect(F_Konsola.get(), &TF_Konsola::indeksowanieRequested, this,
            [maintenance] { admin::Indeksowanie1Click(maintenance()); });
    connect(F_Konsola.get(), &TF_Konsola::pakowanieRequested, this,
            [maintenance] { admin::Pakowanie1Click(maintenance()); });
    connect(F_Konsola.get(), &TF_Konsola::archiwizowanieRequested, this,
            [this, maintenance] { admin::Archiwizowanie1Click(maintenance(), F_Konfiguracji->run().fa); });
    connect(F_Konsola.get(), &TF_Konsola::odtwarzanieRequested, this,
            [this, maintenance] { admin::Odtwarzanie1Click(maintenance(), F_Konfiguracji->run().fa); });
}

} // namespace fenwa::app
