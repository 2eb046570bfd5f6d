#include "data/DatasetRows.h"

#include <QDate>
#include <QDateTime>

#include <bit>
#include <limits>

namespace fenwa::data {

namespace {
// A moment of a day: the Julian day above the milliseconds since midnight.
constexpr int kMsBits = 27;   // 86,400,000 ms < 2^27
constexpr quint64 kMsMask = (quint64(1) << kMsBits) - 1;
constexpr qint64 kMaxStampDay = qint64(1) << (64 - kMsBits - 1);
} // namespace

DatasetRows::DatasetRows(int columns) : columns_(size_t(qMax(columns, 0))), textStarts_{0} {}

DatasetRows::Kind DatasetRows::kindOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return Kind::Int;
    case QMetaType::Double:
        return Kind::Double;
    case QMetaType::Bool:
        return Kind::Bool;
    case QMetaType::QString:
        return Kind::Text;
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        return d.isValid() && d.toJulianDay() >= 0 && d.toJulianDay() <= std::numeric_limits<quint32>::max()
            ? Kind::Date
            : Kind::Variant;
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.isValid() && dt.timeSpec() == Qt::LocalTime && dt.date().toJulianDay() >= 0
                && dt.date().toJulianDay() < kMaxStampDay
            ? Kind::DateTime
            : Kind::Variant;
    }
    default:
        return Kind::Variant;
    }
}

quint32 DatasetRows::textNumber(const QString &s)
{
    auto it = textIndex_.constFind(s);
    if (it != textIndex_.constEnd())
        return *it;
    const quint32 n = quint32(textStarts_.size() - 1);
    chars_.insert(chars_.end(), s.utf16(), s.utf16() + s.size());
    textStarts_.push_back(quint32(chars_.size()));
    textIndex_.insert(s, n);
    return n;
}

void DatasetRows::makeVariant(Column &c)
{
    std::vector<QVariant> values;
    values.reserve(size_t(rows_) + 1);
    for (int r = 0; r < rows_; ++r)
        values.push_back(get(c, r));
    c.kind = Kind::Variant;
    c.variants = std::move(values);
    c.narrow = {};
    c.wide = {};
}

void DatasetRows::put(Column &c, const QVariant &v)
{
    const bool null = !v.isValid();
    if (!null) {
        const Kind k = kindOf(v);
        if (c.kind == Kind::Empty) {
            c.kind = k;
            // The rows before held nulls only.
            if (k == Kind::Bool || k == Kind::Date || k == Kind::Text)
                c.narrow.resize(size_t(rows_));
            else if (k == Kind::Variant)
                c.variants.resize(size_t(rows_));
            else
                c.wide.resize(size_t(rows_));
        } else if (c.kind != k && c.kind != Kind::Variant) {
            makeVariant(c);
        }
    }
    c.nulls.push_back(null);
    switch (c.kind) {
    case Kind::Empty:
        break;
    case Kind::Int:
        c.wide.push_back(null ? 0 : quint64(v.toLongLong()));
        break;
    case Kind::Double:
        c.wide.push_back(null ? 0 : std::bit_cast<quint64>(v.toDouble()));
        break;
    case Kind::Bool:
        c.narrow.push_back(!null && v.toBool());
        break;
    case Kind::Date:
        c.narrow.push_back(null ? 0 : quint32(v.toDate().toJulianDay()));
        break;
    case Kind::DateTime: {
        quint64 w = 0;
        if (!null) {
            const QDateTime dt = v.toDateTime();
            w = (quint64(dt.date().toJulianDay()) << kMsBits) | quint64(dt.time().msecsSinceStartOfDay());
        }
        c.wide.push_back(w);
        break;
    }
    case Kind::Text:
        c.narrow.push_back(null ? 0 : textNumber(v.toString()));
        break;
    case Kind::Variant:
        c.variants.push_back(v);
        break;
    }
}

void DatasetRows::append(const QVector<QVariant> &record)
{
    for (size_t i = 0; i < columns_.size(); ++i)
        put(columns_[i], qsizetype(i) < record.size() ? record[qsizetype(i)] : QVariant());
    ++rows_;
}

QVariant DatasetRows::get(const Column &c, int row) const
{
    if (c.nulls[size_t(row)])
        return QVariant();
    switch (c.kind) {
    case Kind::Empty:
        return QVariant();
    case Kind::Int:
        return QVariant(qint64(c.wide[size_t(row)]));
    case Kind::Double:
        return QVariant(std::bit_cast<double>(c.wide[size_t(row)]));
    case Kind::Bool:
        return QVariant(c.narrow[size_t(row)] != 0);
    case Kind::Date:
        return QVariant(QDate::fromJulianDay(c.narrow[size_t(row)]));
    case Kind::DateTime: {
        const quint64 w = c.wide[size_t(row)];
        return QVariant(QDateTime(QDate::fromJulianDay(qint64(w >> kMsBits)),
                                  QTime::fromMSecsSinceStartOfDay(int(w & kMsMask))));
    }
    case Kind::Text: {
        const quint32 n = c.narrow[size_t(row)];
        const quint32 from = textStarts_[n];
        return QVariant(QString(reinterpret_cast<const QChar *>(chars_.data() + from), qsizetype(textStarts_[n + 1] - from)));
    }
    case Kind::Variant:
        return c.variants[size_t(row)];
    }
    return QVariant();
}

QVariant DatasetRows::value(int row, int column) const
{
    if (row < 0 || row >= rows_ || column < 0 || column >= columnCount())
        return QVariant();
    return get(columns_[size_t(column)], row);
}

QVector<QVariant> DatasetRows::record(int row) const
{
    QVector<QVariant> rec;
    rec.reserve(columnCount());
    for (int i = 0; i < columnCount(); ++i)
        rec << value(row, i);
    return rec;
}

void DatasetRows::widenToDouble(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    Column &c = columns_[size_t(column)];
    if (c.kind == Kind::Empty || c.kind == Kind::Double)
        return;
    if (c.kind == Kind::Int) {
        for (quint64 &w : c.wide)
            w = std::bit_cast<quint64>(double(qint64(w)));
        c.kind = Kind::Double;
        return;
    }
    if (c.kind != Kind::Variant)
        makeVariant(c);
    for (QVariant &v : c.variants)
        if (v.isValid() && v.typeId() != QMetaType::Double)
            v = v.toDouble();
}

void DatasetRows::finish()
{
    textIndex_ = {};
    chars_.shrink_to_fit();
    textStarts_.shrink_to_fit();
    for (Column &c : columns_) {
        c.narrow.shrink_to_fit();
        c.wide.shrink_to_fit();
        c.variants.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
}

} // namespace fenwa::data
