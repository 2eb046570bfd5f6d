#pragma once
// The program's number policy, shared by every subsystem: rounding, typed
// numbers, number formats, month lengths and the date formats.
#include <QDate>
#include <QString>

namespace fenwa {

// Rounds to 2 (R2) or 4 (R4) decimal places, halves away from zero, in extended precision.
double R2(long double x);
double R4(long double x);
// R2 as a whole number of cents, so that amounts one cent apart compare exactly.
long long R2Cents(long double x);

// The display formats of amounts and of prices.
inline const QString kAmountFormat = QStringLiteral("#,##0.00");
inline const QString kPriceFormat = QStringLiteral("#,##0.0000");

// A number display format read once from its text: "#,##0.00" groups the
// thousands, "#0.##"/"0.00" does not; the digit signs after the point give
// the decimals. Any other text (a date format) is no number format.
class NumberFormat {
public:
    NumberFormat() = default;
    static NumberFormat parse(const QString &text);

    bool isValid() const { return valid_; }
    bool grouped() const { return grouped_; }
    int decimals() const { return decimals_; }
    // The value shown: grouped as formatAmount, otherwise as formatPlain.
    QString format(double value) const;

private:
    bool valid_ = false;
    bool grouped_ = false;
    int decimals_ = 0;
};

// "#,##0.00" with the Polish separators (thousands: no-break space U+00A0,
// decimals: comma); every group of three is separated ("1 234,50").
QString formatAmount(double value, int decimals = 2);
// "#0.##" style: no thousands separator, at most `decimals` decimals, comma as separator.
QString formatPlain(double value, int decimals);
// A number's plain text: up to 15 significant digits, decimal comma, no grouping
// ("1234567,891", "3,75", "100").
QString numberText(double value);
// Parses a typed number: an optional minus sign ("-" or U+2212), digits that
// may be grouped by threes with a space, no-break space or narrow no-break
// space, and a decimal comma or point followed by digits ("-1 234,5",
// "1234.50", ",5"). Anything else (exponents, a plus sign, letters, two
// separators, "inf") is refused and leaves *out unchanged.
bool parseNumber(const QString &text, double *out);

// The date literal of generated SQL: "MM/DD/YYYY" with the double quotes.
QString sqlDateLiteral(const QDate &date);
// Days of a month: February has 29 when the year is divisible by 4 and either
// not by 100, or by 400 but not by 4000 (2000 and 2400 leap, 1900 and 4000 not).
// 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// Short date format of the program ("dd.MM.yyyy").
QString shortDate(const QDate &date);
QDate parseShortDate(const QString &text);

} // namespace fenwa
