#include "data/SqlBuilder.h"

#include <utility>

namespace fenwa::data {

QString quoteIdent(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString tablePath(const QString &folder, const QString &file) { return folder + u'\\' + file; }

SqlBuilder::SqlBuilder(QString folder) : folder_(std::move(folder)) {}

QString SqlBuilder::table(const QString &file) const { return u'"' + tablePath(folder_, file) + u'"'; }

SqlBuilder &SqlBuilder::select(const QString &list, const QString &keyword)
{
    select_ = keyword + u' ' + list;
    return *this;
}

SqlBuilder &SqlBuilder::from(const QString &file, const QString &alias)
{
    from_ = QStringLiteral("FROM ") + table(file) + (alias.isEmpty() ? QString() : u' ' + alias);
    return *this;
}

SqlBuilder &SqlBuilder::join(const QString &file, const QString &alias, const QString &condition,
                             const QString &kind)
{
    joins_ << kind + u' ' + table(file) + u' ' + alias + QStringLiteral(" on ") + condition;
    return *this;
}

SqlBuilder &SqlBuilder::where(const QString &condition)
{
    where_ += (where_.isEmpty() ? QStringLiteral("WHERE ") : QStringLiteral(" AND ")) + condition;
    return *this;
}

SqlBuilder &SqlBuilder::groupBy(const QString &terms)
{
    groupBy_ = QStringLiteral("GROUP BY ") + terms;
    return *this;
}

SqlBuilder &SqlBuilder::orderBy(const QString &terms)
{
    orderBy_ = QStringLiteral("ORDER BY ") + terms;
    return *this;
}

SqlBuilder &SqlBuilder::unite(const SqlBuilder &part)
{
    parts_ << part;
    return *this;
}

QStringList SqlBuilder::partLines() const
{
    QStringList out;
    for (const QString *line : {&select_, &from_})
        if (!line->isEmpty())
            out << *line;
    out << joins_;
    for (const QString *line : {&where_, &groupBy_})
        if (!line->isEmpty())
            out << *line;
    return out;
}

QStringList SqlBuilder::lines() const
{
    QStringList out = partLines();
    for (const SqlBuilder &part : parts_)
        out << QStringLiteral("UNION") << part.partLines();
    if (!orderBy_.isEmpty())
        out << orderBy_;
    return out;
}

} // namespace fenwa::data
