#pragma once
// The record rules: every insert, change and deletion on the data module's
// tables passes them. They fill defaults, stamp groups and positions, refuse
// duplicates and blank required fields, enforce the unit-code scheme, refuse
// deletions of records that registers still use, warn about amounts that do
// not add up and guard the users table.
//
// A rule refuses by showing its message through the message interface and
// throwing Abort; the record keeps its state and typed values and nothing is
// written. Every post and delete is committed at once by the table engine
// (immediate save); a check and the write it guards share that transaction.
#include "data/Checks.h"

#include <QDate>
#include <functional>

namespace fenwa::data {

class TF_Dane;

// What the rules read besides the data module's own state.
struct RuleContext {
    // The set-password dialog's flag: a user's own password change is being
    // stored (lets a user other than user 1 edit the users table).
    bool Pas = false;
    // The positions list's flag: a copy is pending, so a new position gets its
    // defaults but no editor (the paste fills and saves it).
    bool kopia = false;
    // Where the reference scans show their walk over files (the file-list
    // window); none: the scans run unseen.
    FileListView *fileList = nullptr;
    // The position editor: shows the current T_Poz record modally under the
    // caption ("Nowa pozycja" or "Pozycja " + Fak) and returns true for OK.
    // The rule then posts the record (OK) or cancels it. Without an editor a
    // new or edited position stays in insert or edit state for the caller.
    std::function<bool(Table &poz, const QString &caption)> positionEditor;
};

// Binds every rule to the tables of the module (called by its constructor).
void bindRules(TF_Dane &dane, RuleContext &ctx);

// The last day of a month; February has 29 days when the year is divisible
// by 4 and either not by 100, or by 400 but not by 4000.
QDate lastDayOfMonth(int year, int month);

} // namespace fenwa::data
