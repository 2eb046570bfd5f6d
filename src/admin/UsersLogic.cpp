#include "admin/UsersLogic.h"

#include "admin/BroadcastKeys.h"
#include "admin/Settings.h"
#include "common/Digest.h"
#include "common/PasswordHash.h"
#include "data/Guard.h"
#include "data/Seed.h"
#include "data/ServerBroadcast.h"

namespace fenwa::admin {

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kLogin = QStringLiteral("Login");
const QString kPassword = QStringLiteral("Password");

// The characters of a password that the digest's code page lacks, each once.
QString unencodableCharacters(const QString &password)
{
    QString out;
    for (const QChar c : password)
        if (!passwordEncodable(QString(c)) && !out.contains(c))
            out += c;
    return out;
}

// Sets the rules' flag for a user's own password change while it lives.
class OwnPasswordChange {
public:
    explicit OwnPasswordChange(bool &flag) : flag_(flag) { flag_ = true; }
    ~OwnPasswordChange() { flag_ = false; }
    OwnPasswordChange(const OwnPasswordChange &) = delete;
    OwnPasswordChange &operator=(const OwnPasswordChange &) = delete;

private:
    bool &flag_;
};

} // namespace

UsersLogic::UsersLogic(data::TF_Dane &dane) : dane_(dane) {}

void UsersLogic::activate()
{
    data::guarded(dane_.messages(), [this] {
        data::Table *t = dane_.T_Passwd;
        if (!t->active())
            t->open();
        if (!t->editing()) {
            // The table stays open for the whole run: what other
            // workstations changed meanwhile is read again.
            t->refresh();
            t->locate(kLogin, dane_.user().user_str);
        }
    });
}

bool UsersLogic::readAgain()
{
    data::Table *t = dane_.T_Passwd;
    return t->active() && !t->editing() && data::guarded(dane_.messages(), [t] { t->refresh(); }) && !t->isEmpty();
}

bool UsersLogic::isCurrentUserRow(int row) const
{
    const data::Table *t = dane_.T_Passwd;
    const int login = t->fieldIndex(kLogin);
    return login >= 0 && row >= 0 && row < t->recordCount()
           && t->valueAt(row, login).toString() == dane_.user().user_str;
}

bool UsersLogic::changePassword(const AskPassword &ask)
{
    data::Table *t = dane_.T_Passwd;
    if (!readAgain())
        return false;
    Messages &m = dane_.messages();
    if (t->asInt(QStringLiteral("Id")) != dane_.user().user) {
        m.warning(S("Użytkownik może zmienić tylko swoje hasło"), S("Ostrzeżenie"));
        return false;
    }
    const std::optional<PasswordEntry> entry = ask(S("Hasło użytkownika ") + t->asString(kLogin));
    if (!entry)
        return false;
    if (!verifyPassword(t->asString(kPassword), passwordDigest(entry->old))) {
        m.error(S("Niepoprawne \"stare\" hasło."), S("Błąd"));
        return false;
    }
    if (entry->fresh != entry->confirm) {
        m.error(S("Hasło nie zostało prawidłowo potwierdzone."), S("Błąd"));
        return false;
    }
    if (entry->old == entry->fresh) {
        m.error(S("\"Nowe\" hasło jest takie samo jak \"stare\"."), S("Błąd"));
        return false;
    }
    // Every such character would have the same digest: the password would
    // be weaker than it looks, so it is refused.
    const QString lacking = unencodableCharacters(entry->fresh);
    if (!lacking.isEmpty()) {
        m.error(S("Nowe hasło zawiera znaki, których program nie potrafi zapisać: %1\n"
                  "Użyj liter, cyfr i znaków dostępnych na klawiaturze.")
                    .arg(lacking),
                S("Błąd"));
        return false;
    }
    const QString hash = hashPassword(passwordDigest(entry->fresh));
    if (hash.isEmpty()) {
        m.error(S("Za mało pamięci, aby zapisać hasło. Hasło nie zostało zmienione."), S("Błąd"));
        return false;
    }
    OwnPasswordChange pas(dane_.rules.Pas);
    const bool stored = data::guarded(m, [&] {
        t->edit();
        t->setValue(kPassword, hash);
        t->setValue(QStringLiteral("D"), dane_.clock().today());
        t->post();
    });
    if (!stored) {
        // Nothing was stored: the row goes back to what it holds.
        if (t->editing())
            data::quiet([t] { t->cancel(); });
        return false;
    }
    m.information(S("Hasło zostało zmienione"), S("Informacja"));
    return true;
}

bool UsersLogic::resetPassword()
{
    data::Table *t = dane_.T_Passwd;
    if (!dane_.user().admin || !readAgain())
        return false;
    Messages &m = dane_.messages();
    const QString hash = hashPassword(data::emptyPasswordDigest());
    if (hash.isEmpty()) {
        m.error(S("Za mało pamięci, aby zapisać hasło. Hasło nie zostało zresetowane."), S("Błąd"));
        return false;
    }
    bool started = false;
    const bool stored = data::guarded(m, [&] {
        t->edit();
        started = true;
        t->setValue(kPassword, hash);
        t->post();
    });
    if (!stored) {
        if (started && t->editing())
            data::quiet([t] { t->cancel(); });
        return false;
    }
    m.information(S("Hasło zostało zresetowane!\nUżytkownik powinien ustawić nowe hasło!"), S("Uwaga"));
    return true;
}

bool UsersLogic::sendBroadcast(IniFile &ini, const AskText &ask)
{
    if (!dane_.user().admin)
        return false;
    Messages &m = dane_.messages();
    Settings settings(ini, QString());
    settings.load();
    try {
        if (settings.server().isSet()) {
            // On a server the text and the flags live there and the running
            // copies are told at once.
            data::ServerBroadcast server(settings.server());
            const std::optional<QString> text = ask(server.text());
            if (!text)
                return false;
            server.send(*text, dane_.database()->runningUsers());
            return true;
        }
        const std::optional<QString> text = ask(ini.readString(broadcastSection, broadcastTextKey, QString()));
        if (!text)
            return false;
        ini.writeString(broadcastSection, broadcastTextKey, *text);
        // Every running copy, this one included, is told under the
        // operating-system name of its user: the name its receiver reads.
        for (const QString &osUser : dane_.database()->runningUsers())
            ini.writeString(broadcastSection, osUser, QStringLiteral("1"));
    } catch (const IniWriteError &e) {
        m.error(e.message(), S("Błąd"));
        return false;
    } catch (const data::EngineError &e) {
        m.error(e.message(), S("Błąd"));
        return false;
    }
    return true;
}

} // namespace fenwa::admin
