#pragma once
// Opens a written file (or a folder) with the desktop's program for its type,
// without waiting: the `open` of a spreadsheet export's environment in the
// running program.
#include <QString>

namespace fenwa::output::ui {

// False when nothing could be started, also when the desktop knows no program
// for the file's type (on freedesktop systems, where the opener itself always
// starts and would fail unseen).
bool openWithDesktop(const QString &path);

} // namespace fenwa::output::ui
