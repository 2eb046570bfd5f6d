#include "data/Query.h"

#include "data/Statement.h"

namespace fenwa::data {

Query::Query(Database *db, const QString &name, QObject *parent) : Dataset(name, parent), db_(db) {}

void Query::setParam(const QString &name, const QVariant &value)
{
    for (auto &p : params_) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    params_.push_back({name, value});
}

void Query::open()
{
    close();
    if (!db_)
        throw EngineError(QStringLiteral("%1: brak połączenia z bazą danych.").arg(objectName()));
    TranslatedSql t = db_->translate(text());
    // Kept prepared: a window opens the same statement again and again.
    Statement st(*db_, t.sql, true);
    st.bindNamed(params_);

    const int n = st.columnCount();
    QByteArray key;
    for (int i = 0; i < n; ++i)
        key.append(st.columnNameUtf8(i)).append('\0').append(st.declaredTypeUtf8(i)).append('\0');
    if (key != columnsKey_ || columnFields_.size() != n) {
        columnFields_.clear();
        columnFields_.reserve(n);
        for (int i = 0; i < n; ++i)
            columnFields_ << fieldFromDeclaredType(st.columnName(i), st.declaredType(i));
        columnsKey_ = key;
    }
    QVector<FieldDef> fields = columnFields_;

    DatasetRows rows(n);
    while (st.step()) {
        for (int i = 0; i < n; ++i) {
            if (fields[i].type == FieldType::Unknown) {
                // An expression column: its type comes from the first value seen.
                switch (st.columnType(i)) {
                case SQLITE_INTEGER: fields[i].type = FieldType::Integer; break;
                case SQLITE_FLOAT: fields[i].type = FieldType::Float; break;
                case SQLITE_TEXT: fields[i].type = FieldType::String; break;
                default: break;
                }
                // Earlier rows held only nulls for this column: nothing to convert.
            } else if (fields[i].type == FieldType::Integer && st.columnType(i) == SQLITE_FLOAT) {
                // SUM over integers and floats mixed: widen the column.
                fields[i].type = FieldType::Float;
                rows.widenToDouble(i);
            }
            rows.putStored(i, st, i, fields[i].type);
        }
        rows.endRow();
    }
    // An expression column typed as integer that later held floats.
    for (int i = 0; i < n; ++i)
        if (fields[i].type == FieldType::Float)
            rows.widenToDouble(i);
    setRecords(std::move(fields), std::move(rows));
    if (afterOpen)
        afterOpen(*this);
}

int Query::execSql()
{
    if (!db_)
        throw EngineError(QStringLiteral("%1: brak połączenia z bazą danych.").arg(objectName()));
    return db_->exec(text(), params_);
}

void Query::close()
{
    if (active())
        clearRecords();
}

} // namespace fenwa::data
