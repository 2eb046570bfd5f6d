#pragma once
// File names the program proposes for what it writes (sheets, PDF files),
// made from a window's title.
#include <QString>

namespace fenwa::output {

// The title as a file name without its extension: separators of dates and
// paths ('.', '/', '\') become '-', other characters that file systems or
// programs handling the file trip on (':', '*', '?', quotes, '<', '>', '|',
// ';', '$', '&', control characters...) become spaces; runs of spaces are
// folded, the ends trimmed, the length kept to 100 characters. Letters,
// Polish ones included, digits, '-', '_', '(' and ')' stay. An empty result
// is `fallback`.
QString safeFileBase(const QString &title, const QString &fallback = QStringLiteral("Wydruk"));

} // namespace fenwa::output
