#pragma once
// What the users window does with the users table T_Passwd, apart from the
// window itself: the current user's row, a user's own password change, the
// administrator's password reset and the broadcast message.
//
// The users table's rules (data/Rules.cpp) decide every insert, edit and
// deletion; a refused operation is abandoned without a word. Passwords are
// stored as the salted hash of common/PasswordHash.h, never as the bare digest.
#include "admin/IniFile.h"
#include "data/Dane.h"

#include <QString>
#include <functional>
#include <optional>

namespace fenwa::admin {

// The three edits of the set-password dialog.
struct PasswordEntry {
    QString old;       // "Stare hasło:"
    QString fresh;     // "Nowe hasło:"
    QString confirm;   // "Potwierdź nowe hasło:"
};

class UsersLogic {
public:
    explicit UsersLogic(data::TF_Dane &dane);

    // Opens T_Passwd when it is closed, reads it again when it is open, and
    // moves to the current user's row. An engine error is shown in the
    // engine's words.
    void activate();
    // Whether the grid's row `row` is the current user's (its Login equals user_str).
    bool isCurrentUserRow(int row) const;

    // Shows the set-password dialog under `caption`; the entry when the user
    // chose OK, nothing otherwise.
    using AskPassword = std::function<std::optional<PasswordEntry>(const QString &caption)>;
    // "Hasło" → "Zmień" for the selected row: only the user's own row; the old
    // password must be right, the new one confirmed, different from the old
    // one and made of characters the digest's code page holds. Returns
    // whether the new password was stored.
    bool changePassword(const AskPassword &ask);

    // "Hasło" → "Usuń": an administrator sets the selected row's password to
    // the empty one (the table's rules let only user 1 change the row).
    // Returns whether it was stored.
    bool resetPassword();

    // Asks for the text of a broadcast message, proposing `proposed`; the
    // text, or nothing when the user cancelled.
    using AskText = std::function<std::optional<QString>(const QString &proposed)>;
    // "Alert": an administrator writes the text and a flag "1" for the
    // operating-system user of every running copy into the settings file.
    // Returns whether everything was written; a settings file that cannot be
    // written stops it with "Unable to write to <path>" (keys written before stay).
    // When the settings file names a server, the text and the flags go to the
    // server instead, in one transaction, and its listeners are notified
    // (data/ServerBroadcast.h); a server error stores nothing and is shown.
    bool sendBroadcast(IniFile &ini, const AskText &ask);

private:
    // Reads the users table again (another workstation may have changed the
    // selected row since) unless a row is being edited; whether a row is there
    // to work on.
    bool readAgain();

    data::TF_Dane &dane_;
};

} // namespace fenwa::admin
