#pragma once
// What every print and export of the program takes from the running program:
// the inspectorate block, the footer of prints, the export folder and the user.
#include "data/Dane.h"
#include "output/PrintJob.h"
#include "output/SheetExport.h"

namespace fenwa::output {

// Tytul, IW and Stopka_raportu for a print titled `title`.
PrintParameters standardParameters(data::TF_Dane &dane, const QString &title);

// The export folder, the moment, version and user; `open` starts the desktop's program.
SheetEnvironment sheetEnvironment(data::TF_Dane &dane, std::function<bool(const QString &)> open);

} // namespace fenwa::output
