#include "output/ReportSource.h"

#include "common/Numbers.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace fenwa::output {

QString ReportSource::text(int row, int col) const
{
    const Column c = column(col);
    return formatValue(value(row, col), c.type, c.format);
}

int ReportSource::columnIndex(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (column(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString formatGrouped(double value, int decimals) { return formatAmount(value, decimals); }

QString formatValue(const QVariant &value, ColumnType type, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (type) {
    case ColumnType::Number: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            return value.toString();
        const NumberFormat number = NumberFormat::parse(format);
        if (number.isValid() && number.grouped())
            return number.format(d);
        return formatPlain(d, 4);
    }
    case ColumnType::Date: {
        QDate date;
        if (value.metaType().id() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else if (value.metaType().id() == QMetaType::QDate)
            date = value.toDate();
        else
            date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (!date.isValid())
            return value.toString();
        return date.toString(format.isEmpty() ? QStringLiteral("dd.MM.yyyy") : format);
    }
    case ColumnType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnType::Integer:
        return QString::number(value.toLongLong());
    case ColumnType::Text:
        break;
    }
    return value.toString();
}

void MemorySource::addRow(QVector<QVariant> row)
{
    row.resize(columns_.size());
    rows_.push_back(std::move(row));
}

QVariant MemorySource::value(int row, int col) const
{
    if (row < 0 || row >= rows_.size() || col < 0 || col >= columns_.size())
        return QVariant();
    return rows_[row][col];
}

} // namespace fenwa::output
