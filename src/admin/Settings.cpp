#include "admin/Settings.h"

namespace fenwa::admin {

namespace {
const QString folders = QStringLiteral("Foldery");
const QString lok = QStringLiteral("Lok");
const QString serwer = QStringLiteral("Serwer");

void takeLabels(std::array<QString, 3> &labels, const Inspectorate &row)
{
    labels = {row.nazwa, row.ulica, row.miasto};
}
} // namespace

Lookup lookupInspectorate(LookupMode mode, const QVector<Inspectorate> &voivodeships,
                          const QVector<Inspectorate> &counties, const QString &wiw, const QString &piw)
{
    Lookup out;
    const Inspectorate *v = nullptr;
    for (const auto &row : voivodeships)
        if (row.name == wiw) {
            v = &row;
            break;
        }
    if (!v && !voivodeships.isEmpty())
        v = &voivodeships.first();
    if (v) {
        out.wkod = v->kod;
        takeLabels(out.wiwLabels, *v);
    }

    QVector<const Inspectorate *> filtered;
    for (const auto &row : counties)
        if (row.kod.startsWith(out.wkod))
            filtered << &row;

    out.countiesFilled = mode != LookupMode::County;
    if (out.countiesFilled)
        for (const auto *row : filtered)
            out.counties << row->name;

    const Inspectorate *p = nullptr;
    for (const auto *row : filtered)
        if (row->name == piw) {
            p = row;
            break;
        }
    if (!p && !filtered.isEmpty())
        p = mode == LookupMode::County ? filtered.first() : filtered.last();
    if (p) {
        out.pkod = p->kod;
        takeLabels(out.piwLabels, *p);
    }
    return out;
}

QString stripSeparator(const QString &folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder.left(folder.size() - 1);
    return folder;
}

QString captionWithKind(const QString &caption, int p_w)
{
    QString base = caption;
    for (const QString &suffix : {voivodeshipSuffix, countySuffix})
        if (base.endsWith(suffix)) {
            base.chop(suffix.size());
            break;
        }
    return base + (p_w == 1 ? voivodeshipSuffix : countySuffix);
}

Settings::Settings(IniFile &ini, QString exeFolder) : ini_(ini), exeFolder_(std::move(exeFolder)) {}

FolderTexts Settings::load()
{
    FolderTexts t;
    t.dane = ini_.readString(folders, QStringLiteral("Dane"), exeFolder_);
    t.eksport = ini_.readString(folders, QStringLiteral("Eksport"), exeFolder_);
    t.archiwizacja = ini_.readString(folders, QStringLiteral("Archiwizacja"), exeFolder_);
    run_.fd = stripSeparator(t.dane);
    run_.fe = stripSeparator(t.eksport);
    run_.fa = stripSeparator(t.archiwizacja);
    run_.wiw = ini_.readString(lok, QStringLiteral("WIW"), QStringLiteral("podlaskie"));
    run_.piw = ini_.readString(lok, QStringLiteral("PIW"), QStringLiteral("bielski"));
    run_.p_w = ini_.readInteger(lok, QStringLiteral("P_W"), 1);
    server_ = {};
    server_.host = ini_.readString(serwer, QStringLiteral("Host"));
    server_.port = ini_.readInteger(serwer, QStringLiteral("Port"), server_.port);
    server_.database = ini_.readString(serwer, QStringLiteral("Baza"));
    server_.user = ini_.readString(serwer, QStringLiteral("Uzytkownik"));
    server_.schema = ini_.readString(serwer, QStringLiteral("Schemat"));
    return t;
}

void Settings::save(const FolderTexts &texts, const QString &wiwText, const QString &piwText)
{
    ini_.writeString(folders, QStringLiteral("Dane"), texts.dane);
    run_.fd = stripSeparator(texts.dane);
    ini_.writeString(folders, QStringLiteral("Eksport"), texts.eksport);
    run_.fe = stripSeparator(texts.eksport);
    ini_.writeString(folders, QStringLiteral("Archiwizacja"), texts.archiwizacja);
    run_.fa = stripSeparator(texts.archiwizacja);
    ini_.writeString(lok, QStringLiteral("WIW"), wiwText);
    ini_.writeString(lok, QStringLiteral("PIW"), piwText);
}

void Settings::saveServer(const data::ServerAddress &server)
{
    if (server.isSet() || ini_.sectionExists(serwer)) {
        ini_.writeString(serwer, QStringLiteral("Host"), server.host);
        ini_.writeInteger(serwer, QStringLiteral("Port"), server.port);
        ini_.writeString(serwer, QStringLiteral("Baza"), server.database);
        ini_.writeString(serwer, QStringLiteral("Uzytkownik"), server.user);
        ini_.writeString(serwer, QStringLiteral("Schemat"), server.schema);
    }
    server_ = server;
}

Lookup Settings::lookup(LookupMode mode, InspectorateSource &source)
{
    const auto voivodeships = source.voivodeships();
    const auto counties = source.counties();
    last_ = lookupInspectorate(mode, voivodeships, counties, run_.wiw, run_.piw);
    run_.wkod = last_.wkod;
    run_.pkod = last_.pkod;
    run_.iw = inspectorateBlock();
    return last_;
}

QString Settings::inspectorateBlock() const
{
    const auto &labels = run_.voivodeship() ? last_.wiwLabels : last_.piwLabels;
    return labels[0] + QLatin1Char('\n') + labels[1] + QLatin1Char('\n') + labels[2];
}

bool Settings::canSave(const FolderTexts &texts)
{
    return !texts.dane.isEmpty() && !texts.eksport.isEmpty();
}

} // namespace fenwa::admin
