#include "reports/Szukaj.h"

#include "common/Numbers.h"

#include <QLocale>

namespace fenwa::reports {

QString searchText(const data::Dataset &dataset, int row, int field)
{
    // The field's plain text: numbers without grouping, dates in the short format.
    const QVariant v = dataset.valueAt(row, field);
    if (v.isNull())
        return QString();
    if (dataset.fieldDef(field).type == data::FieldType::Float)
        return numberText(v.toDouble());
    if (dataset.fieldDef(field).type == data::FieldType::String)
        return v.toString();
    QVariant keep = v;
    return dataset.displayFormat(field).isEmpty() ? dataset.displayText(row, field) : keep.toString();
}

bool findNext(data::Dataset &dataset, const QString &text, bool matchCase, SearchDirection direction,
              Messages &messages)
{
    if (!dataset.active() || text.isEmpty())
        return false;
    const QLocale pl(QLocale::Polish, QLocale::Poland);
    const QString needle = matchCase ? text : pl.toUpper(text);
    const int count = dataset.recordCount();
    const int step = direction == SearchDirection::Down ? 1 : -1;
    for (int row = dataset.recNo() + step; row >= 0 && row < count; row += step) {
        for (int f = 0; f < dataset.fieldCount(); ++f) {
            QString hay = searchText(dataset, row, f);
            if (!matchCase)
                hay = pl.toUpper(hay);
            if (hay.contains(needle)) {
                dataset.moveTo(row);
                return true;
            }
        }
    }
    if (count > 0)
        dataset.moveTo(direction == SearchDirection::Down ? count - 1 : 0);
    messages.information(QStringLiteral("Nie znaleziono \"%1\".").arg(text));
    return false;
}

} // namespace fenwa::reports
