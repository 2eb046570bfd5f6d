#pragma once
// The settings of the run: the folders, the inspectorate and the server,
// loaded from and saved to the settings file, and the lookup of the
// inspectorate's data in wiw.db and piw.db. The settings window shows and
// edits them.
#include "admin/IniFile.h"
#include "common/RunSettings.h"
#include "data/ServerAddress.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace fenwa::admin {

inline const QString voivodeshipSuffix = QStringLiteral("- województwo");
inline const QString countySuffix = QStringLiteral("- powiat");
// The voivodeships the program knows (the list of the settings window).
inline const QStringList knownVoivodeships = {QStringLiteral("podlaskie"),
                                              QStringLiteral("warmińsko-mazurskie")};

// One row of wiw.db (name = woj) or piw.db (name = powiat).
struct Inspectorate {
    QString name;
    QString kod;
    QString nazwa;
    QString ulica;
    QString miasto;
};

// wiw.db and piw.db in table order; both throw data::EngineError on failure.
class InspectorateSource {
public:
    virtual ~InspectorateSource() = default;
    virtual QVector<Inspectorate> voivodeships() = 0;
    virtual QVector<Inspectorate> counties() = 0;
};

enum class LookupMode { Initial, Voivodeship, County };

struct Lookup {
    QString wkod;
    QString pkod;
    std::array<QString, 3> wiwLabels;   // name, street, town of the voivodeship inspectorate
    std::array<QString, 3> piwLabels;   // the same of the county inspectorate
    bool countiesFilled = false;        // the county list was refilled (initial, voivodeship mode)
    QStringList counties;               // the county names of the chosen voivodeship, in table order
};

// The lookup: the voivodeship row named `wiw` (else the first), the county
// rows whose Kod begins with its Kod, and among them the row named `piw`
// (else the last in the modes that refill the list, the first in county mode).
Lookup lookupInspectorate(LookupMode mode, const QVector<Inspectorate> &voivodeships,
                          const QVector<Inspectorate> &counties, const QString &wiw, const QString &piw);

// Removes one trailing "/" or "\".
QString stripSeparator(const QString &folder);

// The caption with the installation kind appended directly after it; an
// earlier suffix is replaced, so the caption carries exactly one.
QString captionWithKind(const QString &caption, int p_w);

// The folder texts as typed in the window.
struct FolderTexts {
    QString dane;
    QString eksport;
    QString archiwizacja;
};

class Settings {
public:
    // exeFolder: the executable's folder, the default of each folder.
    Settings(IniFile &ini, QString exeFolder);

    // Reads folders and inspectorate names, P_W and the server (no lookup);
    // returns the folder texts as they are in the file.
    FolderTexts load();
    // Writes the folders and the two names in this order, then takes the folder
    // fields. Stops with IniWriteError at the first key that cannot be written
    // (the keys before it stay written and their fields are taken).
    void save(const FolderTexts &texts, const QString &wiwText, const QString &piwText);

    // The section [Serwer] (Host, Port, Baza, Uzytkownik, Schemat): the server
    // that holds the installation; an empty Host means none (the program works
    // on its data folder). No password is ever stored: libpq takes it from the
    // user's .pgpass. As read by load() or taken by saveServer().
    const data::ServerAddress &server() const { return server_; }
    // Writes the section and takes the address (IniWriteError as save());
    // writes nothing for an address without a host when the file has no
    // server section yet.
    void saveServer(const data::ServerAddress &server);

    // Runs the lookup and takes wkod and pkod. EngineError from the source passes on.
    Lookup lookup(LookupMode mode, InspectorateSource &source);

    RunSettings &run() { return run_; }
    const RunSettings &run() const { return run_; }
    const Lookup &lastLookup() const { return last_; }
    // The inspectorate block of printouts: the three lines of the voivodeship
    // inspectorate in a voivodeship installation, else of the county one.
    QString inspectorateBlock() const;

    // The OK rule: data and export folders both filled.
    static bool canSave(const FolderTexts &texts);

private:
    IniFile &ini_;
    QString exeFolder_;
    RunSettings run_;
    Lookup last_;
    data::ServerAddress server_;
};

} // namespace fenwa::admin
