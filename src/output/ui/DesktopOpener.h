#pragma once
// Opens a written file with the desktop's program for its type, without waiting:
// the `open` of a spreadsheet export's environment in the running program.
#include <QString>

namespace fenwa::output::ui {

bool openWithDesktop(const QString &path);

} // namespace fenwa::output::ui
