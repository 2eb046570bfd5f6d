#include "data/Dataset.h"

#include "common/Numbers.h"

#include <QDateTime>

namespace fenwa::data {

namespace {
// The key under which a value is compared exactly (type-independent for numbers).
QString keyText(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QStringLiteral("\x01null");
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float: {
        double d = v.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)))
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', 17);
    }
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v.toString();
    }
}

// A value's plain text: numbers without grouping, dates in the short format,
// logical values as True/False.
QString plainText(const QVariant &v, FieldType type)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (type) {
    case FieldType::Float:
        return numberText(v.toDouble());
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        return shortDate(v.toDate());
    case FieldType::Timestamp:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    default:
        if (v.typeId() == QMetaType::QDate)
            return shortDate(v.toDate());
        if (v.typeId() == QMetaType::Double)
            return numberText(v.toDouble());
        return v.toString();
    }
}

QVariant coerce(const QVariant &v, FieldType type)
{
    if (type == FieldType::Unknown || v.isNull())
        return v;
    return fromStored(toStored(v, type), type);
}
} // namespace

Dataset::Dataset(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }

Dataset::~Dataset() = default;

bool Dataset::sameValue(const QVariant &a, const QVariant &b) { return keyText(a) == keyText(b); }

int Dataset::fieldIndex(const QString &name) const
{
    return fieldByName_.value(name.toLower(), -1);
}

const FieldDef &Dataset::fieldDef(const QString &name) const
{
    int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(QStringLiteral("%1: nie znaleziono pola „%2”.").arg(objectName(), name));
    return fields_[i];
}

Dataset::Record Dataset::currentRecord() const
{
    if (cursor_ < 0 || cursor_ >= visible_.size())
        return Record();
    return rows_.record(visible_[cursor_]);
}

QVariant Dataset::value(int field) const
{
    if (field < 0 || field >= fields_.size())
        return QVariant();
    if (editing()) {
        if (fields_[field].lookup)
            return lookupValue(field, [this](int f) { return buffer_.value(f); });
        return buffer_.value(field);
    }
    if (cursor_ < 0 || cursor_ >= visible_.size())
        return QVariant();
    return valueAt(cursor_, field);
}

QVariant Dataset::value(const QString &field) const
{
    int i = fieldIndex(field);
    if (i < 0)
        throw EngineError(QStringLiteral("%1: nie znaleziono pola „%2”.").arg(objectName(), field));
    return value(i);
}

bool Dataset::isNull(const QString &field) const
{
    QVariant v = value(field);
    return v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

QString Dataset::asString(const QString &field) const
{
    return plainText(value(field), fields_[fieldIndex(field)].type);
}

qint64 Dataset::asInt(const QString &field) const { return value(field).toLongLong(); }
double Dataset::asFloat(const QString &field) const { return value(field).toDouble(); }
bool Dataset::asBool(const QString &field) const { return value(field).toBool(); }

QDateTime Dataset::asDateTime(const QString &field) const
{
    QVariant v = value(field);
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

QDate Dataset::asDate(const QString &field) const { return asDateTime(field).date(); }

void Dataset::setValue(const QString &field, const QVariant &v)
{
    if (!editing())
        throw EngineError(QStringLiteral("%1: zbiór danych nie jest w trybie edycji.").arg(objectName()));
    int i = fieldIndex(field);
    if (i < 0)
        throw EngineError(QStringLiteral("%1: nie znaleziono pola „%2”.").arg(objectName(), field));
    if (fields_[i].lookup)
        throw EngineError(QStringLiteral("%1: pole „%2” jest wyliczane i nie można go zmienić.")
                              .arg(objectName(), fields_[i].name));
    bool ok = true;
    QVariant c = readValue(v, fields_[i].type, &ok);
    if (!ok)
        throw EngineError(QStringLiteral("Wartość „%1” nie jest %2 (pole „%3”).")
                              .arg(v.toString().trimmed(), typeNoun(fields_[i].type), fields_[i].name));
    c = coerce(c, fields_[i].type);
    if (fields_[i].type == FieldType::String && c.toString().isEmpty())
        c = QVariant();
    buffer_[i] = c;
    emit recordChanged();
}

QVariant Dataset::valueAt(int row, int field) const
{
    if (field < 0 || field >= fields_.size())
        return QVariant();
    if (editing() && row == currentDisplayRow())
        return value(field);
    if (row < 0 || row >= visible_.size())
        return QVariant();
    const int stored = visible_[row];
    if (fields_[field].lookup)
        return lookupValue(field, [this, stored](int f) { return rows_.value(stored, f); });
    return rows_.value(stored, field);
}

void Dataset::setDisplayFormat(const QString &field, const QString &format)
{
    const QString key = field.toLower();
    if (auto it = displayFormats_.constFind(key); it != displayFormats_.constEnd() && *it == format)
        return;   // read once
    displayFormats_.insert(key, format);
    displayNumbers_.insert(key, NumberFormat::parse(format));
}

QString Dataset::displayFormat(int field) const
{
    return field >= 0 && field < fields_.size() ? displayFormats_.value(fields_[field].name.toLower()) : QString();
}

void Dataset::setEditFormat(const QString &field, const QString &format)
{
    editNumbers_.insert(field.toLower(), NumberFormat::parse(format));
}

QString Dataset::editText(const QString &field) const
{
    const int i = fieldIndex(field);
    const QVariant v = value(field);
    if (v.isNull())
        return QString();
    const NumberFormat fmt = editNumbers_.value(fields_[i].name.toLower());
    if (fmt.isValid() && fields_[i].isNumeric())
        return formatPlain(v.toDouble(), fmt.decimals());
    return asString(field);
}

QString Dataset::displayText(int row, int field) const
{
    QVariant v = valueAt(row, field);
    if (v.isNull() || !v.isValid())
        return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong) {
        const NumberFormat fmt = displayNumbers_.value(fields_[field].name.toLower());
        if (fmt.isValid())
            return fmt.format(v.toDouble());
    }
    return plainText(v, fields_[field].type);
}

void Dataset::setRecords(QVector<FieldDef> fields, DatasetRows rows, const QVariant &keepIdentity)
{
    // The same fields again (a scan over files of one layout): the index of
    // their names stays.
    bool sameNames = fields.size() == fields_.size() && !fieldByName_.isEmpty();
    for (int i = 0; sameNames && i < fields.size(); ++i)
        sameNames = fields[i].name == fields_[i].name;
    fields_ = std::move(fields);
    if (!sameNames) {
        fieldByName_.clear();
        for (int i = fields_.size() - 1; i >= 0; --i)
            fieldByName_.insert(fields_[i].name.toLower(), i);   // first spelling wins
    }
    rows_ = std::move(rows);
    rows_.finish();
    ++recordsVersion_;
    showRecords(keepIdentity);
}

void Dataset::showRecords(const QVariant &keepIdentity)
{
    ++version_;
    QVector<int> visible;
    if (filtered_ && !filterInSql() && !filterText_.trimmed().isEmpty()) {
        filterExpr_ = Filter::parse(filterText_);
        for (int r = 0; r < rows_.rowCount(); ++r) {
            const ValueOf valueOf = [this, r](int f) { return rows_.value(r, f); };
            bool ok = filterExpr_.matches([&](const QString &name) {
                int f = fieldIndex(name);
                if (f < 0)
                    throw EngineError(QStringLiteral("Nieznane pole „%1” w filtrze.").arg(name));
                return fields_[f].lookup ? lookupValue(f, valueOf) : valueOf(f);
            });
            if (ok)
                visible << r;
        }
    } else {
        visible.reserve(rows_.rowCount());
        for (int r = 0; r < rows_.rowCount(); ++r)
            visible << r;
    }
    visible_ = std::move(visible);
    state_ = State::Browse;
    cursor_ = visible_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = visible_.isEmpty();
    if (keepIdentity.isValid() && !visible_.isEmpty()) {
        int f = identityField();
        for (int i = 0; i < visible_.size(); ++i) {
            if (keyText(f >= 0 ? rows_.value(visible_[i], f) : QVariant(visible_[i])) == keyText(keepIdentity)) {
                cursor_ = i;
                bof_ = false;
                break;
            }
        }
    }
    emit stateChanged();
    emit rowsChanged();
    emit currentChanged();
}

void Dataset::clearRecords()
{
    rows_ = DatasetRows();
    ++recordsVersion_;
    visible_.clear();
    buffer_.clear();
    cursor_ = -1;
    bof_ = eof_ = true;
    ++version_;
    state_ = State::Inactive;
    emit stateChanged();
    emit rowsChanged();
    emit currentChanged();
}

void Dataset::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

QVariant Dataset::lookupValue(int, const ValueOf &) const { return QVariant(); }

int Dataset::identityField() const { return fieldIndex(QStringLiteral("Id")); }

void Dataset::first()
{
    beforeScroll();
    cursor_ = visible_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = visible_.isEmpty();
    emit currentChanged();
}

void Dataset::last()
{
    beforeScroll();
    cursor_ = int(visible_.size()) - 1;
    eof_ = true;
    bof_ = visible_.isEmpty();
    emit currentChanged();
}

void Dataset::next()
{
    beforeScroll();
    if (cursor_ + 1 < visible_.size()) {
        ++cursor_;
        bof_ = false;
        emit currentChanged();
    } else {
        eof_ = true;
    }
}

void Dataset::prior()
{
    beforeScroll();
    if (cursor_ > 0) {
        --cursor_;
        eof_ = false;
        emit currentChanged();
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row)
{
    if (row < 0 || row >= visible_.size() || row == cursor_)
        return;
    beforeScroll();
    cursor_ = row;
    bof_ = eof_ = false;
    emit currentChanged();
}

void Dataset::setFilter(const QString &text)
{
    if (text == filterText_)
        return;
    filterText_ = text;
    if (active() && filtered_)
        filterChanged();
}

void Dataset::setFiltered(bool on)
{
    if (on == filtered_)
        return;
    filtered_ = on;
    if (active())
        filterChanged();
}

void Dataset::filterChanged()
{
    // Filter the records already read; keep the cursor on the same record.
    showRecords(bookmark());
}

void Dataset::applyFilter() { filterChanged(); }

int Dataset::findRow(int field, const QVariant &value) const
{
    if (field < 0 || field >= fields_.size())
        return -1;
    if (findVersion_ != version_) {
        findIndex_.clear();
        findVersion_ = version_;
    }
    auto it = findIndex_.find(field);
    if (it == findIndex_.end()) {
        QHash<QString, int> index;
        index.reserve(visible_.size());
        for (int i = int(visible_.size()) - 1; i >= 0; --i)
            index.insert(keyText(valueAt(i, field)), i);
        it = findIndex_.insert(field, index);
    }
    return it->value(keyText(coerce(value, fields_[field].type)), -1);
}

bool Dataset::locate(const QStringList &fields, const QVariantList &values)
{
    if (fields.isEmpty() || fields.size() != values.size() || !active())
        return false;
    QVector<int> idx;
    for (const QString &f : fields) {
        int i = fieldIndex(f);
        if (i < 0)
            throw EngineError(QStringLiteral("%1: nie znaleziono pola „%2”.").arg(objectName(), f));
        idx << i;
    }
    QStringList keys;
    for (int k = 0; k < idx.size(); ++k)
        keys << keyText(coerce(values[k], fields_[idx[k]].type));
    for (int row = 0; row < visible_.size(); ++row) {
        bool match = true;
        for (int k = 0; k < idx.size() && match; ++k)
            match = keyText(valueAt(row, idx[k])) == keys[k];
        if (match) {
            settleOn(row);
            return true;
        }
    }
    return false;
}

void Dataset::settleOn(int row)
{
    if (row != cursor_) {
        beforeScroll();
        cursor_ = row;
        emit currentChanged();
    }
    bof_ = eof_ = false;
}

Dataset::Bookmark Dataset::bookmark() const
{
    if (cursor_ < 0 || cursor_ >= visible_.size())
        return QVariant();
    int f = identityField();
    if (f >= 0)
        return rows_.value(visible_[cursor_], f);
    return QVariant(visible_[cursor_]);
}

bool Dataset::gotoBookmark(const Bookmark &mark)
{
    if (!mark.isValid())
        return false;
    int f = identityField();
    for (int row = 0; row < visible_.size(); ++row) {
        if (keyText(f >= 0 ? rows_.value(visible_[row], f) : QVariant(visible_[row])) == keyText(mark)) {
            settleOn(row);
            return true;
        }
    }
    return false;
}

} // namespace fenwa::data
