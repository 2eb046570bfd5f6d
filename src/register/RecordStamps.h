#pragma once
// Who added and who last changed a group or a position, as "Informacje"
// shows it.
#include "data/Table.h"

namespace fenwa::reg {

// "Grupę dodał {T_Ins}, użytkownik {login}." and, on the next line,
// "Ostatnia zmiana {T_Mod}, użytkownik {login}." for the current record of
// `record`; users are found in `passwd` by their Id. A user who no longer
// exists is named by the number the record keeps.
QString recordStamps(const data::Dataset &record, data::Dataset &passwd);

} // namespace fenwa::reg
