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

QString quoted(const QString &s)
{
    QString n = s;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}
} // namespace

int BatchMove::execute(Query &source, const QString &destination)
{
    if (!source.active())
        source.open();
    const QString table = SqlDialect::tableName(destination);
    Database::Transaction tx(*db_);
    db_->execNative(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(table)));
    QStringList cols, marks, used;
    for (const FieldDef &f : source.fieldDefs()) {
        QString name = f.name;
        // Result columns may repeat a name; the copy needs them distinct.
        QString unique = name;
        for (int n = 1; used.contains(unique, Qt::CaseInsensitive); ++n)
            unique = name + QStringLiteral("_%1").arg(n);
        used << unique;
        cols << quoted(unique) + QLatin1Char(' ') + declaredType(f) + QLatin1Char(' ')
                + SqlDialect::typeConstraint(unique, f.type == FieldType::AutoInc ? FieldType::Integer : f.type);
        marks << QStringLiteral("?");
    }
    db_->execNative(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), cols.join(QStringLiteral(", "))));
    Statement st(*db_, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(table), marks.join(QStringLiteral(", "))));
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
