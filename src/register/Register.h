#pragma once
// Opening a register: the unit list, unit codes, the register's files and
// the tables of its groups and positions. The windows of the flow call these
// between their dialogs.
#include "data/Dane.h"
#include "data/Units.h"

#include <QStringList>

namespace fenwa::reg {

// The unit list and unit codes of the open dialog.
using data::unitCode;
using data::unitNames;

class RegisterFlow {
public:
    explicit RegisterFlow(data::TF_Dane &dane) : dane_(dane) {}

    // Needs the edit or browse right.
    bool allowed() const { return dane_.user().edycja || dane_.user().przeglad; }

    // Year, month and unit chosen: sets rok, mc, kod, sufiks; creates the
    // groups file when missing; opens T_Gr on the month (read-only without
    // the edit right); points T_Poz at the positions file. Returns the groups
    // window's caption. EngineError stops the flow (what was created stays);
    // a unit name found in no unit list is refused before anything changes.
    QString openGroups(int year, int month, const QString &unitName);

    // After "Pozycje": creates the positions file when missing, filters the
    // choice-list dictionaries, upgrades an old positions file, opens T_Poz on
    // the chosen group (read-only for a closed group or without the edit
    // right). Returns the positions list's caption.
    QString openPositions();

    // When the positions list closes: the choice-list filters go off.
    void closePositions();

private:
    data::TF_Dane &dane_;
    QString unitName_;
};

} // namespace fenwa::reg
