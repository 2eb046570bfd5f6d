#pragma once
// Opening a register: the unit list, unit codes, the register's files and
// the tables of its groups and positions. The windows of the flow call these
// between their dialogs.
#include "data/Dane.h"

#include <QStringList>

namespace fenwa::reg {

// The unit names of the open dialog, in order. A county installation lists
// its own inspectorate only (singleUnit is set: the list cannot change). The
// filters set on T_WIW and T_PIW stay for the rest of the run.
QStringList unitNames(data::TF_Dane &dane, bool *singleUnit = nullptr);

// The unit code of a unit name: piw.db (Kod), else wiw.db (Kod + "00"),
// else jp.db (Kod); exact and case-sensitive; cut to four characters. An
// unknown name gives an empty code.
QString unitCode(data::TF_Dane &dane, const QString &unitName);

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
