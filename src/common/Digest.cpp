#include "common/Digest.h"

#include <QCryptographicHash>
#include <QStringEncoder>

namespace fenwa::app {

QByteArray passwordBytes(const QString &password)
{
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        // Without ICU the code page is unknown; Latin-1 agrees on ASCII.
        return password.toLatin1();
    }
    QByteArray bytes = encoder.encode(password);
    return bytes;
}

bool passwordEncodable(const QString &password)
{
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return true;
    const QByteArray bytes = encoder.encode(password);
    Q_UNUSED(bytes);
    return !encoder.hasError();
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

} // namespace fenwa::app
