#include "common/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace fenwa {

namespace {

const char *codecName(CodePage page)
{
    return page == CodePage::Windows1250 ? "windows-1250" : "IBM852";
}

} // namespace

QByteArray encode(CodePage page, const QString &text, bool *complete)
{
    QStringEncoder encoder(codecName(page), QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        if (complete)
            *complete = true;
        return text.toLatin1();
    }
    QByteArray bytes = encoder.encode(text);
    if (complete)
        *complete = !encoder.hasError();
    return bytes;
}

QString decode(CodePage page, const QByteArray &bytes)
{
    QStringDecoder decoder(codecName(page), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

} // namespace fenwa
