#include "common/CodePage.h"

#include <gtest/gtest.h>

using fenwa::CodePage;

// The Polish letters "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ" in each code page: older settings
// files and digests use Windows-1250, the previous generation's tables 852.
TEST(CodePageTest, PolishLettersConvertBothWays)
{
    const QString letters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    const struct {
        CodePage page;
        QByteArray bytes;
    } rows[] = {
        {CodePage::Windows1250, "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"},
        {CodePage::Ibm852, "\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(static_cast<int>(row.page));
        bool complete = false;
        EXPECT_EQ(fenwa::encode(row.page, letters, &complete).toHex(), row.bytes.toHex());
        EXPECT_TRUE(complete);
        EXPECT_EQ(fenwa::decode(row.page, row.bytes), letters);
    }
}

TEST(CodePageTest, MissingCharacterIsReportedAndSubstituted)
{
    bool complete = true;
    EXPECT_EQ(fenwa::encode(CodePage::Windows1250, QStringLiteral("a\u65E5"), &complete), QByteArray("a\x1A"));
    EXPECT_FALSE(complete);
}
