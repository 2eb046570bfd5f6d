#pragma once
// The password digest stored in passwd.db: SHA-1 over the password's bytes in
// the Windows-1250 code page, as 40 upper-case hexadecimal digits.
#include <QByteArray>
#include <QString>

namespace fenwa {

// The bytes a password is digested from: Windows-1250, the code page the
// stored digests were made with. A character the code page lacks becomes 0x1A.
QByteArray passwordBytes(const QString &password);

// Whether every character of a password has a Windows-1250 byte. A password
// that has not would share its digest with every other such password of the
// same length (each of those characters becomes byte 0x1A), so the place
// where passwords are set should refuse it.
bool passwordEncodable(const QString &password);

// SHA-1 of bytes, 40 upper-case hexadecimal digits.
QString sha1Hex(const QByteArray &bytes);

// The digest of a typed password; the empty password gives the digest of zero bytes.
QString passwordDigest(const QString &password);

} // namespace fenwa
