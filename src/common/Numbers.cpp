#include "common/Numbers.h"

#include <cmath>

namespace fenwa {

namespace {
double roundTo(long double x, long double unit)
{
    long double q = x / unit;
    q = q >= 0 ? q + 0.5L : q - 0.5L;
    return static_cast<double>(std::trunc(q) * unit);
}
} // namespace

double R2(long double x) { return roundTo(x, 0.01L); }
double R4(long double x) { return roundTo(x, 0.0001L); }

QString formatAmount(double value, int decimals)
{
    // "#,##0.00": every group of three digits is separated, as the format
    // says. (QLocale follows the Polish rule of not grouping four-digit
    // numbers, and misses groups of longer ones, so the grouping is ours.)
    // Halves away from zero, as everywhere in the program.
    if (decimals == 2)
        value = R2(value);
    else if (decimals == 4)
        value = R4(value);
    QString s = QString::number(value, 'f', decimals);
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
    QString s = QString::number(value, 'f', decimals);
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
    QString t = text.trimmed();
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    t.remove(QLatin1Char(' '));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = t.toDouble(&ok);
    if (ok && out)
        *out = v;
    return ok;
}

QString sqlDateLiteral(const QDate &date)
{
    return QLatin1Char('"') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('"');
}

int daysInMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

QString shortDate(const QDate &date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

QDate parseShortDate(const QString &text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
}

} // namespace fenwa
