#include "common/Digest.h"

#include <gtest/gtest.h>

using fenwa::passwordBytes;
using fenwa::passwordDigest;
using fenwa::passwordEncodable;
using fenwa::sha1Hex;

// FIPS 180-1, appendix A and B, and the digest of zero bytes.
TEST(Sha1, Fips180Vectors)
{
    EXPECT_EQ(sha1Hex("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(sha1Hex(QByteArray(1000000, 'a')), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
    EXPECT_EQ(sha1Hex(QByteArray()), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST(Sha1, BlockBoundaries)
{
    // 55, 56 and 64 bytes: the padding spills into a second block at 56.
    EXPECT_EQ(sha1Hex(QByteArray(55, 'a')), "C1C8BBDC22796E28C0E15163D20899B65621D65A");
    EXPECT_EQ(sha1Hex(QByteArray(56, 'a')), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699");
    EXPECT_EQ(sha1Hex(QByteArray(64, 'a')), "0098BA824B5C16427BD7A1122A5A442A25EC644D");
}

TEST(PasswordDigest, FortyUpperCaseHexDigits)
{
    const QString d = passwordDigest(QStringLiteral("tajne"));
    ASSERT_EQ(d.size(), 40);
    for (QChar c : d)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << qPrintable(d);
    EXPECT_EQ(passwordDigest(QStringLiteral("abc")), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST(PasswordDigest, EmptyPasswordIsDigestOfZeroBytes)
{
    EXPECT_EQ(passwordDigest(QString()), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(passwordDigest(QStringLiteral("")), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST(PasswordDigest, PolishLettersUseWindows1250)
{
    const QByteArray bytes = passwordBytes(QStringLiteral("ąęłńóśźżĄĘŁŃÓŚŹŻ"));
    EXPECT_EQ(bytes.toHex().toUpper(), "B9EAB3F1F39C9FBFA5CAA3D1D38C8FAF");
    // Not the UTF-8 bytes: a digest of UTF-8 would never match the stored ones.
    const QString word = QStringLiteral("Zażółć");
    EXPECT_EQ(passwordDigest(word), sha1Hex(QByteArray("Za\xBF\xF3\xB3\xE6")));
    EXPECT_NE(passwordDigest(word), sha1Hex(word.toUtf8()));
}

TEST(PasswordDigest, LetterCaseMatters)
{
    EXPECT_NE(passwordDigest(QStringLiteral("Haslo")), passwordDigest(QStringLiteral("haslo")));
}

TEST(PasswordDigest, CharactersOutsideTheCodePageAreDetected)
{
    EXPECT_TRUE(passwordEncodable(QStringLiteral("Zażółć gęślą jaźń?")));
    EXPECT_TRUE(passwordEncodable(QString()));
    EXPECT_FALSE(passwordEncodable(QStringLiteral("пароль")));
    EXPECT_FALSE(passwordEncodable(QStringLiteral("abc€\u65E5")));
    // Such passwords collide: every missing character becomes the same byte.
    EXPECT_EQ(passwordDigest(QStringLiteral("\u65E5")), passwordDigest(QStringLiteral("\u0416")));
    EXPECT_NE(passwordDigest(QStringLiteral("\u65E5")), passwordDigest(QStringLiteral("?")));
}
