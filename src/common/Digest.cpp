#include "common/Digest.h"

#include "common/CodePage.h"

#include <QCryptographicHash>

namespace fenwa {

QByteArray passwordBytes(const QString &password)
{
    return encode(CodePage::Windows1250, password);
}

bool passwordEncodable(const QString &password)
{
    bool complete = true;
    encode(CodePage::Windows1250, password, &complete);
    return complete;
}

QString sha1Hex(const QByteArray &bytes)
{
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.toHex()).toUpper();
}

QString passwordDigest(const QString &password)
{
    return sha1Hex(passwordBytes(password));
}

} // namespace fenwa
