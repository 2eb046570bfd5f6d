#include "common/Numbers.h"

#include <QRegularExpression>

#include <cmath>

namespace fenwa {

namespace {
// How many units x is, rounded: halves away from zero, in extended precision.
long double units(long double x, long double unit)
{
    const long double q = x / unit;
    return std::trunc(q >= 0 ? q + 0.5L : q - 0.5L);
}

double roundTo(long double x, long double unit) { return static_cast<double>(units(x, unit) * unit); }

// The value rounded as shown with `decimals` decimals, halves away from zero.
double rounded(double value, int decimals)
{
    if (decimals == 2)
        return R2(value);
    if (decimals == 4)
        return R4(value);
    return decimals < 0 || decimals > 15 ? value : roundTo(value, std::pow(10.0L, -decimals));
}
} // namespace

double R2(long double x) { return roundTo(x, 0.01L); }
double R4(long double x) { return roundTo(x, 0.0001L); }

long long R2Cents(long double x) { return static_cast<long long>(units(x, 0.01L)); }

NumberFormat NumberFormat::parse(const QString &text)
{
    NumberFormat f;
    static const QRegularExpression pattern(QStringLiteral("^[#0,]*[0#](\\.([0#]+))?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return f;
    f.valid_ = true;
    f.grouped_ = text.contains(QLatin1Char(','));
    f.decimals_ = int(m.capturedLength(2));
    return f;
}

QString NumberFormat::format(double value) const
{
    return grouped_ ? formatAmount(value, decimals_) : formatPlain(value, decimals_);
}

QString formatAmount(double value, int decimals)
{
    // "#,##0.00": every group of three digits is separated, as the format
    // says. (QLocale follows the Polish rule of not grouping four-digit
    // numbers, and misses groups of longer ones, so the grouping is ours.)
    // Halves away from zero, as everywhere in the program.
    QString s = QString::number(rounded(value, decimals), 'f', decimals);
    bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    const int dot = s.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? s : s.left(dot);
    const QString fraction = dot < 0 ? QString() : s.mid(dot + 1);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QChar(0x00A0));   // the Polish thousands separator
    bool zero = true;
    for (QChar c : s)
        if (c.isDigit() && c != QLatin1Char('0'))
            zero = false;
    QString out = (negative && !zero ? QStringLiteral("-") : QString()) + whole;
    if (!fraction.isEmpty())
        out += QLatin1Char(',') + fraction;
    return out;
}

QString formatPlain(double value, int decimals)
{
    QString s = QString::number(rounded(value, decimals), 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString numberText(double value)
{
    QString s = QString::number(value, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        // Too large or small for 15 digits in plain notation: fixed notation.
        s = QString::number(value, 'f', 6);
        while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool parseNumber(const QString &text, double *out)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^([-\\x{2212}]?)(\\d+|\\d{1,3}(?:[ \\x{00A0}\\x{202F}]\\d{3})+)?(?:[.,](\\d*))?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return false;
    QString plain = m.captured(2);
    plain.remove(QLatin1Char(' ')).remove(QChar(0x00A0)).remove(QChar(0x202F));
    const QString number = (m.capturedLength(1) ? QStringLiteral("-") : QString())
        + (plain.isEmpty() ? QStringLiteral("0") : plain) + QLatin1Char('.') + m.captured(3) + QLatin1Char('0');
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (out)
        *out = v;
    return true;
}

QString sqlDateLiteral(const QDate &date)
{
    return QLatin1Char('"') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('"');
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month != 2)
        return days[month - 1];
    const bool leap = year % 4 == 0 && (year % 100 != 0 || (year % 400 == 0 && year % 4000 != 0));
    return leap ? 29 : 28;
}

QString shortDate(const QDate &date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

QDate parseShortDate(const QString &text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
}

} // namespace fenwa
