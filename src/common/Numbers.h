#pragma once
// Rounding, number and date formats shared by every subsystem.
#include <QDate>
#include <QString>

namespace fenwa {

// Rounds to 2 (R2) or 4 (R4) decimal places, halves away from zero, in extended precision.
double R2(long double x);
double R4(long double x);

// "#,##0.00" with the Polish separators (thousands: no-break space U+00A0,
// decimals: comma); every group of three is separated ("1 234,50").
QString formatAmount(double value, int decimals = 2);
// "#0.##" style: no thousands separator, at most `decimals` decimals, comma as separator.
QString formatPlain(double value, int decimals);
// A number's plain text: up to 15 significant digits, decimal comma, no grouping
// ("1234567,891", "3,75", "100").
QString numberText(double value);
// Parses a typed number: accepts comma or dot, ignores spaces and no-break spaces.
bool parseNumber(const QString &text, double *out);

// The date literal of generated SQL: "MM/DD/YYYY" with the double quotes.
QString sqlDateLiteral(const QDate &date);
int daysInMonth(int year, int month);

// Short date format of the program ("dd.MM.yyyy").
QString shortDate(const QDate &date);
QDate parseShortDate(const QString &text);

} // namespace fenwa
