#include "data/DatasetRows.h"

#include "data/Statement.h"

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

namespace {
bool compactDate(QDate d)
{
    return d.isValid() && d.toJulianDay() >= 0 && d.toJulianDay() <= std::numeric_limits<quint32>::max();
}

bool compactStamp(const QDateTime &dt)
{
    return dt.isValid() && dt.timeSpec() == Qt::LocalTime && dt.date().toJulianDay() >= 0
        && dt.date().toJulianDay() < kMaxStampDay;
}
} // namespace

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

bool DatasetRows::holds(Column &c, Kind k)
{
    if (c.kind == k)
        return k != Kind::Variant;
    if (c.kind == Kind::Empty) {
        c.kind = k;
        // The rows before held nulls only.
        if (k == Kind::Bool || k == Kind::Date || k == Kind::Text)
            c.narrow.resize(size_t(rows_));
        else if (k == Kind::Variant)
            c.variants.resize(size_t(rows_));
        else
            c.wide.resize(size_t(rows_));
        return k != Kind::Variant;
    }
    if (c.kind != Kind::Variant)
        makeVariant(c);
    return false;
}

void DatasetRows::putNull(int column)
{
    Column &c = columns_[size_t(column)];
    c.nulls.push_back(true);
    switch (c.kind) {
    case Kind::Empty:
        break;
    case Kind::Int:
    case Kind::Double:
    case Kind::DateTime:
        c.wide.push_back(0);
        break;
    case Kind::Bool:
    case Kind::Date:
    case Kind::Text:
        c.narrow.push_back(0);
        break;
    case Kind::Variant:
        c.variants.emplace_back();
        break;
    }
}

void DatasetRows::putInt(int column, qint64 value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, Kind::Int))
        c.wide.push_back(quint64(value));
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putDouble(int column, double value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, Kind::Double))
        c.wide.push_back(std::bit_cast<quint64>(value));
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putBool(int column, bool value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, Kind::Bool))
        c.narrow.push_back(value);
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putDate(int column, QDate value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, compactDate(value) ? Kind::Date : Kind::Variant))
        c.narrow.push_back(quint32(value.toJulianDay()));
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putDateTime(int column, const QDateTime &value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, compactStamp(value) ? Kind::DateTime : Kind::Variant))
        c.wide.push_back((quint64(value.date().toJulianDay()) << kMsBits)
                         | quint64(value.time().msecsSinceStartOfDay()));
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putText(int column, const QString &value)
{
    Column &c = columns_[size_t(column)];
    if (holds(c, Kind::Text))
        c.narrow.push_back(textNumber(value));
    else
        c.variants.emplace_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putUtf8(int column, QByteArrayView text)
{
    Column &c = columns_[size_t(column)];
    if (!holds(c, Kind::Text)) {
        c.variants.emplace_back(QString::fromUtf8(text));
        c.nulls.push_back(false);
        return;
    }
    // A text seen before is found by its bytes, without making a QString.
    auto it = utf8Index_.constFind(QByteArray::fromRawData(text.data(), text.size()));
    quint32 n = 0;
    if (it != utf8Index_.constEnd()) {
        n = *it;
    } else {
        n = textNumber(QString::fromUtf8(text));
        utf8Index_.insert(text.toByteArray(), n);
    }
    c.narrow.push_back(n);
    c.nulls.push_back(false);
}

void DatasetRows::putVariant(int column, const QVariant &value)
{
    if (!value.isValid())
        return putNull(column);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return putInt(column, value.toLongLong());
    case QMetaType::Double:
        return putDouble(column, value.toDouble());
    case QMetaType::Bool:
        return putBool(column, value.toBool());
    case QMetaType::QString:
        return putText(column, value.toString());
    case QMetaType::QDate:
        return putDate(column, value.toDate());
    case QMetaType::QDateTime:
        return putDateTime(column, value.toDateTime());
    default:
        break;
    }
    Column &c = columns_[size_t(column)];
    holds(c, Kind::Variant);
    c.variants.push_back(value);
    c.nulls.push_back(false);
}

void DatasetRows::putStored(int column, const Statement &st, int i, FieldType type)
{
    const int stored = st.columnType(i);
    if (stored == SQLITE_NULL)
        return putNull(column);
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return putInt(column, st.integer(i));
    case FieldType::Float:
        return putDouble(column, st.real(i));
    case FieldType::String:
        return putUtf8(column, st.utf8(i));
    case FieldType::Unknown:
        if (stored == SQLITE_INTEGER)
            return putInt(column, st.integer(i));
        if (stored == SQLITE_FLOAT)
            return putDouble(column, st.real(i));
        return putUtf8(column, st.utf8(i));
    case FieldType::Boolean:
        if (stored != SQLITE_TEXT)
            return putBool(column, st.integer(i) != 0);
        break;
    case FieldType::Date:
    case FieldType::Timestamp:
        break;
    }
    // Dates and logical values stored as text: the statement reads the
    // stored form, in one place.
    putVariant(column, st.value(i, type));
}

void DatasetRows::append(const QVector<QVariant> &record)
{
    for (int i = 0; i < columnCount(); ++i)
        putVariant(i, i < record.size() ? record[i] : QVariant());
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
    utf8Index_ = {};
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
