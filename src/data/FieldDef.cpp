#include "data/FieldDef.h"

#include <QDateTime>
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

QVariant toStored(const QVariant &value, FieldType type)
{
    if (value.isNull() || !value.isValid())
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return QVariant();
        bool ok = false;
        qint64 v = value.toLongLong(&ok);
        if (!ok) {
            double d = value.toDouble(&ok);
            v = static_cast<qint64>(d);
        }
        return ok ? QVariant(v) : QVariant();
    }
    case FieldType::Float: {
        if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return QVariant();
        bool ok = false;
        double v = value.toDouble(&ok);
        if (!ok && value.typeId() == QMetaType::QString)
            v = QString(value.toString()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case FieldType::Boolean:
        return QVariant(fromStored(value, FieldType::Boolean).toBool() ? 1 : 0);
    case FieldType::Date: {
        QDate d = value.typeId() == QMetaType::QDateTime ? value.toDateTime().date()
                                                          : fromStored(value, FieldType::Date).toDate();
        return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant();
    }
    case FieldType::Timestamp: {
        QDateTime dt = value.typeId() == QMetaType::QDate ? QDateTime(value.toDate(), QTime(0, 0))
                                                           : fromStored(value, FieldType::Timestamp).toDateTime();
        return dt.isValid() ? QVariant(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : QVariant();
    }
    case FieldType::String: {
        QString s = value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Unknown:
        break;
    }
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return value;
}

} // namespace fenwa::data
