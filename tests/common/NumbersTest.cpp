// The number policy: rounding, typed numbers and the display formats.
#include "common/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace fenwa;

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

struct Rounding {
    long double value;
    double r2;
    double r4;
};

struct Typed {
    const char *text;
    bool accepted;
    double value;
};

struct Shown {
    const char *format;
    double value;
    const char *text;
};

} // namespace

// Values exact in binary, so that a half is a true half.
TEST(Numbers, R2AndR4RoundHalvesAwayFromZero)
{
    const Rounding rows[] = {
        {0.125L, 0.13, 0.125},
        {-0.125L, -0.13, -0.125},
        {1.03125L, 1.03, 1.0313},
        {-1.03125L, -1.03, -1.0313},
        {123456789.125L, 123456789.13, 123456789.125},
        {0.1L + 0.2L, 0.3, 0.3},
        {-0.0001L, 0.0, -0.0001},
    };
    for (const Rounding &r : rows) {
        SCOPED_TRACE(static_cast<double>(r.value));
        EXPECT_DOUBLE_EQ(R2(r.value), r.r2);
        EXPECT_DOUBLE_EQ(R4(r.value), r.r4);
        EXPECT_EQ(R2Cents(r.value), static_cast<long long>(std::llround(r.r2 * 100)));
    }
}

TEST(Numbers, TypedNumbersInPolishAndPlainFormsOnly)
{
    const Typed rows[] = {
        {"1234,56", true, 1234.56},
        {"1234.56", true, 1234.56},
        {"1 234,56", true, 1234.56},
        {"1\u00a0234,56", true, 1234.56},
        {"12\u202f345\u202f678,9", true, 12345678.9},
        {"  -12,5 ", true, -12.5},
        {"\u221212,5", true, -12.5},
        {",5", true, 0.5},
        {"5,", true, 5},
        {"0", true, 0},
        {"123456789012,34", true, 123456789012.34},
        {"", false, 0},
        {",", false, 0},
        {"-", false, 0},
        {"abc", false, 0},
        {"1e5", false, 0},
        {"+5", false, 0},
        {"1,2,3", false, 0},
        {"1.234,5", false, 0},
        {"12 34", false, 0},
        {"1  234", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"0x10", false, 0},
        {"--5", false, 0},
        {"5-", false, 0},
        {"12 zł", false, 0},
    };
    for (const Typed &r : rows) {
        SCOPED_TRACE(r.text);
        double v = -7;
        EXPECT_EQ(parseNumber(S(r.text), &v), r.accepted);
        EXPECT_EQ(v, r.accepted ? r.value : -7);
    }
}

TEST(Numbers, FormatsGroupEveryThreeDigitsAndRoundHalvesAwayFromZero)
{
    const Shown rows[] = {
        {"#,##0.00", 0, "0,00"},
        {"#,##0.00", 999.999, "1\u00a0000,00"},
        {"#,##0.00", 123.4, "123,40"},
        {"#,##0.00", -1234.5, "-1\u00a0234,50"},
        {"#,##0.00", 12345678.9, "12\u00a0345\u00a0678,90"},
        {"#,##0.00", 0.125, "0,13"},
        {"#,##0.00", -0.125, "-0,13"},
        {"#,##0.00", -0.001, "0,00"},
        {"#,##0.0000", 3, "3,0000"},
        {"#,##0.0000", 1234.56789, "1\u00a0234,5679"},
        {"#,##0", 5, "5"},
        {"#0.##", 0.125, "0,13"},
        {"#0.##", 1234.5, "1234,5"},
        {"#0.####", -1.03125, "-1,0313"},
        {"#0.##", -0.001, "0"},
    };
    for (const Shown &r : rows) {
        SCOPED_TRACE(std::string(r.format) + " " + std::to_string(r.value));
        const NumberFormat f = NumberFormat::parse(QString::fromLatin1(r.format));
        ASSERT_TRUE(f.isValid());
        EXPECT_EQ(f.format(r.value), S(r.text));
    }
    EXPECT_FALSE(NumberFormat::parse(QStringLiteral("dd.MM.yyyy")).isValid());
}
