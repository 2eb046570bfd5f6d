#include "data/FieldDef.h"

#include "common/Numbers.h"

#include <QDateTime>
#include <cmath>
#include <QRegularExpression>

namespace fenwa::data {

FieldDef fieldFromDeclaredType(const QString &name, const QString &declaredType)
{
    FieldDef f;
    f.name = name;
    const QString t = declaredType.trimmed().toUpper();
    if (t.startsWith(QLatin1String("CHAR")) || t.startsWith(QLatin1String("VARCHAR"))
        || t.startsWith(QLatin1String("TEXT"))) {
        f.type = FieldType::String;
        static const QRegularExpression size(QStringLiteral("\\((\\d+)\\)"));
        auto m = size.match(t);
        if (m.hasMatch())
            f.size = m.captured(1).toInt();
    } else if (t.startsWith(QLatin1String("INTEGER")) && t.contains(QLatin1String("AUTOINC"))) {
        f.type = FieldType::AutoInc;
    } else if (t.startsWith(QLatin1String("INT")) || t == QLatin1String("SMALLINT")) {
        f.type = FieldType::Integer;
    } else if (t.startsWith(QLatin1String("FLOAT")) || t.startsWith(QLatin1String("REAL"))
               || t.startsWith(QLatin1String("DOUBLE")) || t.startsWith(QLatin1String("NUMERIC"))
               || t.startsWith(QLatin1String("MONEY"))) {
        f.type = FieldType::Float;
    } else if (t.startsWith(QLatin1String("BOOL")) || t == QLatin1String("LOGICAL")) {
        f.type = FieldType::Boolean;
    } else if (t == QLatin1String("DATE")) {
        f.type = FieldType::Date;
    } else if (t.startsWith(QLatin1String("TIMESTAMP")) || t == QLatin1String("DATETIME")) {
        f.type = FieldType::Timestamp;
    } else {
        f.type = FieldType::Unknown;
    }
    return f;
}

QVariant fromStored(const QVariant &stored, FieldType type)
{
    if (stored.isNull())
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return stored.toLongLong();
    case FieldType::Float:
        return stored.toDouble();
    case FieldType::Boolean:
        if (stored.typeId() == QMetaType::QString) {
            const QString s = stored.toString().trimmed().toLower();
            return s == QLatin1String("1") || s == QLatin1String("true") || s == QLatin1String("t");
        }
        return stored.toLongLong() != 0;
    case FieldType::Date: {
        if (stored.typeId() == QMetaType::QDate)
            return stored;
        QDate d = QDate::fromString(stored.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Timestamp: {
        if (stored.typeId() == QMetaType::QDateTime)
            return stored;
        QString s = stored.toString();
        QDateTime dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid())
            dt = QDateTime::fromString(s, Qt::ISODate);
        if (!dt.isValid()) {
            QDate d = QDate::fromString(s.left(10), Qt::ISODate);
            if (d.isValid())
                dt = QDateTime(d, QTime(0, 0));
        }
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case FieldType::String:
        return stored.toString();
    case FieldType::Unknown:
        break;
    }
    return stored;
}

QVariant fromIsoText(const char *t, int n, FieldType type)
{
    auto num = [t](int at, int len) {
        int v = 0;
        for (int k = at; k < at + len; ++k) {
            if (t[k] < '0' || t[k] > '9')
                return -1;
            v = v * 10 + (t[k] - '0');
        }
        return v;
    };
    if (n < 10 || t[4] != '-' || t[7] != '-')
        return QVariant();
    const QDate d(num(0, 4), num(5, 2), num(8, 2));
    if (!d.isValid())
        return QVariant();
    if (type == FieldType::Date)
        return QVariant(d);
    if (n == 19 && t[10] == ' ' && t[13] == ':' && t[16] == ':') {
        const QTime tm(num(11, 2), num(14, 2), num(17, 2));
        if (tm.isValid())
            return QVariant(QDateTime(d, tm));
    } else if (n == 10) {
        return QVariant(QDateTime(d, QTime(0, 0)));
    }
    return QVariant();
}

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool readNumber(const QVariant &v, double *out)
{
    if (isNumber(v)) {
        *out = v.toDouble();
        return std::isfinite(*out);
    }
    if (v.typeId() == QMetaType::Bool) {
        *out = v.toBool() ? 1 : 0;
        return true;
    }
    return parseNumber(v.toString(), out) && std::isfinite(*out);
}

QDate readDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-dd", "dd.MM.yyyy", "d.M.yyyy"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(format));
        if (d.isValid())
            return d;
    }
    // A stored timestamp given for a date.
    const QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return dt.isValid() ? dt.date() : QDateTime::fromString(t, Qt::ISODate).date();
}

QDateTime readDateTime(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-dd HH:mm:ss", "dd.MM.yyyy HH:mm:ss",
                               "dd.MM.yyyy HH:mm", "yyyy-MM-dd HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(format));
        if (dt.isValid())
            return dt;
    }
    const QDateTime iso = QDateTime::fromString(t, Qt::ISODate);
    if (iso.isValid())
        return iso;
    const QDate d = readDate(t);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

} // namespace

QVariant readValue(const QVariant &value, FieldType type, bool *ok)
{
    *ok = true;
    if (value.isNull() || !value.isValid())
        return QVariant();
    const bool text = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
    if (type != FieldType::String && type != FieldType::Unknown && text && value.toString().trimmed().isEmpty())
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return value.toLongLong();
        double d = 0;
        *ok = readNumber(value, &d) && d == std::trunc(d) && std::fabs(d) < 9.0e15;
        return *ok ? QVariant(static_cast<qint64>(d)) : QVariant();
    }
    case FieldType::Float: {
        double d = 0;
        *ok = readNumber(value, &d);
        return *ok ? QVariant(d) : QVariant();
    }
    case FieldType::Boolean: {
        if (value.typeId() == QMetaType::Bool)
            return value;
        if (isNumber(value)) {
            const double d = value.toDouble();
            *ok = d == 0 || d == 1;
            return *ok ? QVariant(d == 1) : QVariant();
        }
        const QString s = value.toString().trimmed().toLower();
        if (s == QLatin1String("1") || s == QLatin1String("true") || s == QLatin1String("t")
            || s == QLatin1String("tak"))
            return true;
        if (s == QLatin1String("0") || s == QLatin1String("false") || s == QLatin1String("f")
            || s == QLatin1String("nie"))
            return false;
        *ok = false;
        return QVariant();
    }
    case FieldType::Date: {
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else if (text)
            d = readDate(value.toString());
        *ok = d.isValid();
        return *ok ? QVariant(d) : QVariant();
    }
    case FieldType::Timestamp: {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (text)
            dt = readDateTime(value.toString());
        *ok = dt.isValid();
        return *ok ? QVariant(dt) : QVariant();
    }
    case FieldType::String:
        return value.toString();
    case FieldType::Unknown:
        break;
    }
    return value;
}

QString typeNoun(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer: return QStringLiteral("liczbą całkowitą");
    case FieldType::Float: return QStringLiteral("liczbą");
    case FieldType::Boolean: return QStringLiteral("wartością logiczną (Tak/Nie)");
    case FieldType::Date: return QStringLiteral("datą (dd.mm.rrrr)");
    case FieldType::Timestamp: return QStringLiteral("datą i godziną");
    case FieldType::String:
    case FieldType::Unknown: break;
    }
    return QStringLiteral("tekstem");
}

QVariant toStored(const QVariant &value, FieldType type)
{
    bool ok = false;
    const QVariant v = readValue(value, type, &ok);
    if (!ok || v.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Boolean:
        return QVariant(v.toBool() ? 1 : 0);
    case FieldType::Date:
        return v.toDate().toString(Qt::ISODate);
    case FieldType::Timestamp:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case FieldType::String: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Unknown:
        break;
    default:
        return v;
    }
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    return v;
}

} // namespace fenwa::data
