#pragma once
// The 8-bit code pages of files and digests made by earlier programs:
// Windows-1250 (settings files, password digests, the CSV file) and 852
// (the previous generation's tables). Every conversion to or from them goes
// through here.
#include <QByteArray>
#include <QString>

namespace fenwa {

enum class CodePage { Windows1250, Ibm852 };

// The text's bytes in the code page. A character the code page lacks becomes
// the substitute byte 0x1A; complete (when given) tells whether none did.
// Without ICU the code pages are unknown and Latin-1 stands in (it agrees on
// ASCII).
QByteArray encode(CodePage page, const QString &text, bool *complete = nullptr);

// The text of bytes in the code page (Latin-1 without ICU).
QString decode(CodePage page, const QByteArray &bytes);

} // namespace fenwa
