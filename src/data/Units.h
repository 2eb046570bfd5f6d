#pragma once
// The units of an installation as the dialogs that choose one list them, and
// the unit code of a chosen name (the register files are named after it).
#include "data/Dane.h"

#include <QStringList>

namespace fenwa::data {

// The unit names of the dialogs that choose a unit, in order. A county
// installation lists its own inspectorate only (singleUnit is set: the list
// cannot change). A voivodeship installation lists the voivodeship
// inspectorates whose code begins with the voivodeship code, the subordinate
// units in table order, then the county inspectorates of the voivodeship. The
// filters set on T_WIW and T_PIW stay for the rest of the run.
QStringList unitNames(TF_Dane &dane, bool *singleUnit = nullptr);

// The unit code of a unit name: piw.db (Kod), else wiw.db (Kod + "00"),
// else jp.db (Kod); exact and case-sensitive; cut to four characters. An
// unknown name gives an empty code.
QString unitCode(TF_Dane &dane, const QString &unitName);

// The codes of the subordinate units (jp.db), in table order.
QStringList subordinateCodes(TF_Dane &dane);

} // namespace fenwa::data
