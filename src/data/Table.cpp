#include "data/Table.h"

#include "data/SqlBuilder.h"
#include "data/Statement.h"

#include <QFileInfo>

namespace fenwa::data {

Table::Table(Database *db, const QString &name, QObject *parent) : Dataset(name, parent), db_(db) {}

void Table::setTableName(const QString &fileOrPath)
{
    if (active())
        close();
    QString f = fileOrPath;
    f.replace(QLatin1Char('\\'), QLatin1Char('/'));
    int slash = f.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0 && db_) {
        const QString folder = f.left(slash);
        if (SqlDialect::normalizeFolder(folder) != SqlDialect::normalizeFolder(db_->folder()))
            throw EngineError(QStringLiteral("Tabela „%1” leży poza folderem danych „%2”.")
                                  .arg(fileOrPath, db_->folder()));
    }
    fileName_ = slash >= 0 ? f.mid(slash + 1) : f;
}

QString Table::sqlName() const { return SqlDialect::tableName(fileName_); }

void Table::setIndexName(const QString &index)
{
    indexName_ = index;
    indexFields_.clear();
    if (active())
        refresh();
}

bool Table::hasIndex(const QString &field) const
{
    if (!db_ || field.isEmpty())
        return false;
    // Indexes are stored as "<table>.<field>".
    const QString suffix = QLatin1Char('.') + field;
    for (const QString &index : db_->indexNames(fileName_))
        if (index.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    return false;
}

void Table::setIndexFieldNames(const QString &fields)
{
    indexFields_ = fields;
    indexName_.clear();
    if (active())
        refresh();
}

void Table::addLookupField(const QString &name, int size, const QString &sourceField, Dataset *lookup,
                           const QString &keyField, const QString &resultField)
{
    FieldDef f;
    f.name = name;
    f.type = FieldType::String;
    f.size = size;
    f.lookup = true;
    pendingLookups_.push_back({f, Lookup{-1, lookup, keyField, resultField}});
    pendingLookups_.back().second.resultField = resultField;
    // The source field's index is resolved when the table opens.
    pendingLookups_.back().second.keyField = keyField;
    pendingLookups_.back().first.name = name;
    lookupSources_.insert(name.toLower(), sourceField);
}

QString Table::orderClause() const
{
    QStringList terms;
    auto addField = [&](const QString &name) {
        int i = fieldIndex(name.trimmed());
        if (i < 0 || fields_[i].lookup)
            throw EngineError(QStringLiteral("%1: nie znaleziono pola „%2” porządku.").arg(objectName(), name));
        QString t = quoteIdent(fields_[i].name);
        if (fields_[i].isText())
            t += db_->isServer() ? QStringLiteral(" COLLATE \"%1\"").arg(kServerCollation)
                                 : QStringLiteral(" COLLATE ") + kCollation;
        terms << t;
    };
    if (!indexFields_.isEmpty()) {
        for (const QString &f : indexFields_.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            addField(f);
    } else if (!indexName_.isEmpty()) {
        addField(indexName_);   // secondary indexes are named after their field
    }
    if (hasField(QStringLiteral("Id")))
        terms << QStringLiteral("\"Id\"");
    else
        terms << db_->rowIdentity(fields_);
    return terms.join(QStringLiteral(", "));
}

void Table::open()
{
    if (active())
        return;
    if (!db_)
        throw EngineError(QStringLiteral("%1: nie wskazano folderu danych.").arg(objectName()));
    if (fileName_.isEmpty())
        throw EngineError(QStringLiteral("%1: nie wskazano tabeli.").arg(objectName()));
    QVector<FieldDef> fields = db_->fields(fileName_);
    // Exclusive use (maintenance): nobody else may be working on the data.
    if (exclusive_ && db_->otherRunningCopies() > 0)
        throw EngineError(QStringLiteral("Tabela „%1” jest używana na innym stanowisku; nie można jej otworzyć "
                                         "na wyłączność.")
                              .arg(fileName_));
    for (const FieldDef &d : declared_) {
        bool found = false;
        for (FieldDef &f : fields) {
            if (f.name.compare(d.name, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        }
        if (!found)
            throw EngineError(QStringLiteral("Tabela „%1” nie zawiera pola „%2”.").arg(fileName_, d.name));
    }
    physicalCount_ = fields.size();
    lookups_.clear();
    for (const auto &[def, lk] : pendingLookups_) {
        fields << def;
        Lookup l = lk;
        const QString source = lookupSources_.value(def.name.toLower());
        l.sourceField = -1;
        for (int i = 0; i < physicalCount_; ++i)
            if (fields[i].name.compare(source, Qt::CaseInsensitive) == 0)
                l.sourceField = i;
        lookups_.insert(int(fields.size()) - 1, l);
    }
    fields_ = fields;   // for orderClause before the first read
    fieldByName_.clear();
    for (int i = fields_.size() - 1; i >= 0; --i)
        fieldByName_.insert(fields_[i].name.toLower(), i);
    load(QVariant(), fields);
}

void Table::load(const QVariant &keepIdentity, QVector<FieldDef> fields)
{
    // The statement is made once per filter and order, then reused.
    const QString filterText = filtered_ ? filterText_.trimmed() : QString();
    const QString key = filterText + QChar(0) + indexName_ + QChar(0) + indexFields_ + QChar(0)
        + QString::number(physicalCount_) + QChar(0) + sqlName();
    if (key != selectKey_) {
        QString sql = QStringLiteral("SELECT %1 FROM %2").arg(storedColumns(fields), quoteIdent(sqlName()));
        QVariantList binds;
        if (!filterText.isEmpty()) {
            Filter f = Filter::parse(filterText);
            QString where = f.toSql(binds, [&](QString &name) {
                for (int i = 0; i < physicalCount_; ++i)
                    if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                        name = fields[i].name;
                        return fields[i].type;
                    }
                return FieldType::Unknown;
            });
            if (!where.isEmpty())
                sql += QStringLiteral(" WHERE ") + where;
        }
        sql += QStringLiteral(" ORDER BY ") + orderClause();
        selectSql_ = sql;
        selectBinds_ = binds;
        selectKey_ = key;
    }
    const QString &sql = selectSql_;
    const QVariantList &binds = selectBinds_;

    const int total = fields.size();
    DatasetRows rows(total + 1);
    {
        // The stamp and the records come from one state of the file.
        ReadSnapshot snapshot(*db_);
        readStamp_ = db_->dataStamp(fileName_);
        wholeTable_ = filterText.isEmpty();
        Statement st(*db_, sql, true);
        for (int i = 0; i < binds.size(); ++i)
            st.bind(i + 1, binds[i]);
        while (st.step()) {
            for (int i = 0; i < physicalCount_; ++i)
                rows.putStored(i, st, i, fields[i].type);
            for (int i = physicalCount_; i < total; ++i)
                rows.putNull(i);   // looked up when shown
            rows.putInt(total, st.integer(physicalCount_));
            rows.endRow();
        }
    }
    setRecords(std::move(fields), std::move(rows), keepIdentity);
}

QString Table::storedColumns(const QVector<FieldDef> &fields) const
{
    QStringList cols;
    for (int i = 0; i < physicalCount_; ++i)
        cols << quoteIdent(fields[i].name);
    cols << db_->rowIdentity(fields);
    return cols.join(QStringLiteral(", "));
}

void Table::checkUnchanged(const Record &read, bool deleting) const
{
    Statement st(*db_,
                 QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                     .arg(storedColumns(fields_), quoteIdent(sqlName()), db_->rowIdentity(fields_)),
                 true);
    st.bind(1, read.value(fields_.size()));
    if (!st.step()) {
        throw RecordConflict(RecordConflict::Kind::Deleted,
                             deleting ? QStringLiteral("Rekord został już usunięty na innym stanowisku.")
                                      : QStringLiteral("Rekord został usunięty na innym stanowisku, odkąd go "
                                                       "odczytano; zmian nie zapisano. Wpisane wartości "
                                                       "pozostały. Zrezygnuj z edycji, aby odczytać aktualne "
                                                       "dane."));
    }
    for (int i = 0; i < physicalCount_; ++i) {
        if (!sameValue(st.value(i, fields_[i].type), read.value(i))) {
            throw RecordConflict(RecordConflict::Kind::Changed,
                                 deleting ? QStringLiteral("Rekord został zmieniony na innym stanowisku, odkąd go "
                                                           "odczytano; nie usunięto go. Dane odczytano ponownie.")
                                          : QStringLiteral("Rekord został zmieniony na innym stanowisku, odkąd go "
                                                           "odczytano; zmian nie zapisano. Wpisane wartości "
                                                           "pozostały. Zrezygnuj z edycji, aby odczytać aktualne "
                                                           "dane, i wprowadź zmiany jeszcze raz."));
        }
    }
}

void Table::close()
{
    if (!active())
        return;
    clearRecords();
}

void Table::refresh()
{
    if (!active())
        return;
    if (editing())
        cancel();
    load(bookmark(), fields_);
}

void Table::filterChanged()
{
    if (!active())
        return;
    if (editing())
        cancel();
    if (wholeTable_ && db_->dataStamp(fileName_) == readStamp_) {
        // A filter that could not be read or names an unknown field is
        // refused before anything changes, as it is when the table is read.
        if (filtered_ && !filterText_.trimmed().isEmpty()) {
            QVariantList binds;
            Filter::parse(filterText_).toSql(binds, [&](QString &name) {
                const int i = fieldIndex(name);
                return i >= 0 && i < physicalCount_ ? fields_[i].type : FieldType::Unknown;
            });
        }
        Dataset::filterChanged();
    } else {
        load(bookmark(), fields_);
    }
}

void Table::beforeScroll()
{
    if (editing())
        post();
}

void Table::checkWritable(const char *what) const
{
    if (!active())
        throw EngineError(QStringLiteral("%1: tabela nie jest otwarta.").arg(objectName()));
    if (readOnly_)
        throw EngineError(QStringLiteral("Tabela „%1” jest otwarta tylko do odczytu (%2).")
                              .arg(fileName_, QString::fromUtf8(what)));
}

void Table::append()
{
    checkWritable("dopisywanie");
    if (editing())
        post();
    if (beforeInsert)
        beforeInsert(*this);
    buffer_ = Record(fields_.size() + 1);
    setState(State::Insert);
    emit currentChanged();
    emit recordChanged();
    if (afterInsert)
        afterInsert(*this);
}

void Table::edit()
{
    if (editing())
        return;
    checkWritable("zmiana");
    if (isEmpty()) {
        append();
        return;
    }
    if (beforeEdit)
        beforeEdit(*this);
    buffer_ = currentRecord();
    setState(State::Edit);
    emit recordChanged();
    if (afterEdit)
        afterEdit(*this);
}

void Table::checkSizes() const
{
    for (int i = 0; i < physicalCount_; ++i) {
        const FieldDef &f = fields_[i];
        if (f.type == FieldType::String && f.size > 0 && buffer_[i].toString().size() > f.size)
            throw EngineError(QStringLiteral("Tekst w polu „%1” jest za długi (najwyżej %2 znaków).")
                                  .arg(f.name)
                                  .arg(f.size));
    }
}

qint64 Table::insertedId() const
{
    // A key given by the record is the inserted row's own; otherwise the
    // database gave one (SQLite gives every row one).
    for (int i = 0; i < physicalCount_; ++i)
        if (fields_[i].type == FieldType::AutoInc)
            return buffer_[i].isNull() ? db_->lastInsertId() : buffer_[i].toLongLong();
    return db_->isServer() ? 0 : db_->lastInsertId();
}

void Table::writeRecord()
{
    // An edit writes the fields that changed: the stored record was found to
    // be the one read, under this write lock, so the others hold their values
    // already (and the indexes on them are left alone).
    const Record read = state_ == State::Edit ? currentRecord() : Record();
    QStringList cols, marks;
    QVariantList values;
    for (int i = 0; i < physicalCount_; ++i) {
        const FieldDef &f = fields_[i];
        if (f.type == FieldType::AutoInc && (state_ == State::Edit || buffer_[i].isNull()))
            continue;
        if (state_ == State::Edit && sameValue(buffer_[i], read.value(i)))
            continue;
        cols << quoteIdent(f.name);
        marks << QStringLiteral("?");
        values << toStored(buffer_[i], f.type);
    }
    const int rowidAt = fields_.size();
    if (state_ == State::Insert) {
        QString sql = cols.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(sqlName()))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteIdent(sqlName()), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        Statement st(*db_, sql, true);
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        st.step();
        lastInsertId_ = insertedId();
    } else {
        if (cols.isEmpty())
            return;   // nothing changed: the stored record is the one read
        QStringList sets;
        for (const QString &c : cols)
            sets << c + QStringLiteral(" = ?");
        Statement st(*db_,
                     QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                         .arg(quoteIdent(sqlName()), sets.join(QStringLiteral(", ")), db_->rowIdentity(fields_)),
                     true);
        int n = 0;
        for (; n < values.size(); ++n)
            st.bind(n + 1, values[n]);
        st.bind(n + 1, buffer_[rowidAt]);
        st.step();
    }
    // An update that reached no row is never a success (the record was found
    // under the same write lock, so this is the last guard, not the check).
    if (db_->changes() != 1)
        throw RecordConflict(RecordConflict::Kind::Deleted,
                             QStringLiteral("Rekord nie został zapisany: nie ma go już w tabeli „%1”.").arg(fileName_));
}

void Table::post()
{
    if (!editing())
        return;
    emit aboutToPost();
    if (confirmPost)
        confirmPost(*this);
    try {
        // The before-post rules and the write share one immediate transaction.
        Database::Transaction tx(*db_);
        if (state_ == State::Edit)
            checkUnchanged(currentRecord(), false);
        if (beforePost)
            beforePost(*this);
        checkSizes();
        writeRecord();
        tx.commit();
    } catch (const RecordConflict &) {
        stale_ = true;   // cancelling reads the records again
        throw;
    }
    // Only a committed insert gives the record its Id: after a failed commit
    // the record stays as typed and can be saved again.
    const int id = identityField();
    if (state_ == State::Insert) {
        if (id >= 0 && buffer_[id].isNull())
            buffer_[id] = lastInsertId_;
        buffer_[fields_.size()] = lastInsertId_;
    }
    QVariant keep = id >= 0 ? buffer_[id] : QVariant();
    buffer_.clear();
    state_ = State::Browse;
    load(keep, fields_);
    if (!keep.isValid() || !gotoBookmark(keep)) {
        // The saved record is outside the filter: stay where the list is.
    }
    if (afterPost)
        afterPost(*this);
}

void Table::cancel()
{
    if (!editing())
        return;
    buffer_.clear();
    setState(State::Browse);
    if (stale_) {
        stale_ = false;
        load(bookmark(), fields_);
    }
    emit currentChanged();
    emit recordChanged();
}

void Table::remove()
{
    checkWritable("usuwanie");
    if (editing()) {
        if (state_ == State::Insert) {
            cancel();
            return;
        }
        cancel();
    }
    if (isEmpty())
        throw EngineError(QStringLiteral("%1: brak rekordu do usunięcia.").arg(objectName()));
    const int position = cursor_;
    if (confirmDelete)
        confirmDelete(*this);
    try {
        Database::Transaction tx(*db_);
        checkUnchanged(currentRecord(), true);
        if (beforeDelete)
            beforeDelete(*this);
        Statement st(*db_, QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                               .arg(quoteIdent(sqlName()), db_->rowIdentity(fields_)));
        st.bind(1, currentRecord().value(fields_.size()));
        st.step();
        if (db_->changes() != 1)
            throw RecordConflict(RecordConflict::Kind::Deleted,
                                 QStringLiteral("Rekord został już usunięty na innym stanowisku."));
        tx.commit();
    } catch (const RecordConflict &) {
        load(bookmark(), fields_);   // show what is stored now
        throw;
    }
    load(QVariant(), fields_);
    if (!visible_.isEmpty())
        moveTo(qMin(position, int(visible_.size()) - 1));
    if (afterDelete)
        afterDelete(*this);
}

void Table::findNearest(const QVariantList &values)
{
    if (values.isEmpty() || isEmpty())
        return;
    QStringList order;
    if (!indexFields_.isEmpty())
        order = indexFields_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    else if (!indexName_.isEmpty())
        order << indexName_;
    else
        order << QStringLiteral("Id");
    QVector<int> idx;
    for (const QString &f : order) {
        int i = fieldIndex(f.trimmed());
        if (i >= 0)
            idx << i;
    }
    auto less = [&](const QVariant &a, const QVariant &b, FieldType t) {
        if (a.isNull())
            return !b.isNull();
        if (b.isNull())
            return false;
        if (t == FieldType::String)
            return polishCompare(a.toString(), b.toString()) < 0;
        if (t == FieldType::Date || t == FieldType::Timestamp)
            return a.toDateTime() < b.toDateTime();
        return a.toDouble() < b.toDouble();
    };
    int found = int(visible_.size()) - 1;
    for (int row = 0; row < visible_.size(); ++row) {
        bool rowLess = false;
        for (int k = 0; k < idx.size() && k < values.size(); ++k) {
            const FieldType t = fields_[idx[k]].type;
            QVariant v = valueAt(row, idx[k]);
            QVariant want = fromStored(toStored(values[k], t), t);
            if (less(v, want, t)) {
                rowLess = true;
                break;
            }
            if (less(want, v, t))
                break;
        }
        if (!rowLess) {
            found = row;
            break;
        }
    }
    moveTo(found);
}

QVariant Table::lookupValue(int field, const ValueOf &valueOf) const
{
    auto it = lookups_.find(field);
    if (it == lookups_.end() || !it->table || it->sourceField < 0)
        return QVariant();
    const QVariant key = valueOf(it->sourceField);
    if (key.isNull() || !it->table->active())
        return QVariant();
    if (it->fieldsAt != it->table->recordsVersion()) {
        it->keyIndex = it->table->fieldIndex(it->keyField);
        it->resultIndex = it->table->fieldIndex(it->resultField);
        it->fieldsAt = it->table->recordsVersion();
    }
    if (it->keyIndex < 0 || it->resultIndex < 0)
        return QVariant();
    int r = it->table->findRow(it->keyIndex, key);
    return r < 0 ? QVariant() : it->table->valueAt(r, it->resultIndex);
}

} // namespace fenwa::data
