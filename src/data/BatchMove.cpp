#include "data/BatchMove.h"

#include "data/Statement.h"

namespace fenwa::data {

namespace {
QString declaredType(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Float: return QStringLiteral("FLOAT");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Timestamp: return QStringLiteral("TIMESTAMP");
    case FieldType::String: return f.size > 0 ? QStringLiteral("CHAR(%1)").arg(f.size) : QStringLiteral("CHAR(255)");
    case FieldType::Unknown: break;
    }
    return QStringLiteral("CHAR(255)");
}

} // namespace

int BatchMove::execute(Query &source, const QString &destination)
{
    if (!source.active())
        source.open();
    // Through the dialect: the destination gets its backend's types and checks.
    const QString path = db_->path(SqlDialect::tableName(destination) + QStringLiteral(".db"));
    Database::Transaction tx(*db_);
    db_->deleteFile(path);
    QStringList cols, marks, used;
    for (const FieldDef &f : source.fieldDefs()) {
        QString name = f.name;
        // Result columns may repeat a name; the copy needs them distinct.
        QString unique = name;
        for (int n = 1; used.contains(unique, Qt::CaseInsensitive); ++n)
            unique = name + QStringLiteral("_%1").arg(n);
        used << unique;
        cols << unique + QLatin1Char(' ') + declaredType(f);
        marks << QStringLiteral("?");
    }
    db_->exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(path, cols.join(QStringLiteral(", "))));
    Statement st(*db_, db_->translate(QStringLiteral("INSERT INTO \"%1\" VALUES (%2)")
                                          .arg(path, marks.join(QStringLiteral(", "))))
                           .sql);
    const int n = source.fieldCount();
    for (int row = 0; row < source.recordCount(); ++row) {
        st.reset();
        for (int i = 0; i < n; ++i)
            st.bind(i + 1, toStored(source.valueAt(row, i), source.fieldDef(i).type));
        st.step();
    }
    tx.commit();
    return source.recordCount();
}

} // namespace fenwa::data
