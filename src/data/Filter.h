#pragma once
// The filter language of tables and query results:
//   Mc = 3 and Zk = False
//   Kod = '22*'                 (a final * matches any text beginning with 22)
//   brutto>=100 AND brutto<=200
//   Data>=01.02.2016 AND Data<=28.02.2016   (short date format, unquoted)
// Comparisons =, <>, >=, <=, >, < of a field with a literal, joined by "and"
// (any letter case), also "or", "not" and parentheses. Text comparison is exact
// and case-sensitive. '' (empty text) stands for a blank field; a blank logical
// field counts as False; any other comparison with a blank field fails.
#include "data/FieldDef.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

namespace fenwa::data {

class Filter {
public:
    Filter();
    ~Filter();
    Filter(const Filter &);
    Filter &operator=(const Filter &);

    // Throws EngineError with a Polish message when the text cannot be read.
    static Filter parse(const QString &text);

    bool isEmpty() const;
    QStringList fields() const;
    // The text the filter was read from.
    QString text() const;

    // A text literal for building filter text: 'O''Brien' for O'Brien.
    static QString quoteText(const QString &text);

    // A WHERE condition with ? placeholders; the values are appended to binds.
    // fieldType tells the stored type of a field (Unknown when it does not exist,
    // which throws EngineError naming the field) and may replace the name as
    // typed with the table's own spelling of it, which the statement then uses.
    QString toSql(QVariantList &binds, const std::function<FieldType(QString &)> &fieldType) const;

    // Evaluates the filter on one record; valueOf gives the field's program
    // value (QDate, double, bool, QString... or null).
    bool matches(const std::function<QVariant(const QString &)> &valueOf) const;

private:
    struct Impl;
    std::shared_ptr<const Impl> impl_;
};

} // namespace fenwa::data
