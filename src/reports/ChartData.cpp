#include "reports/ChartData.h"

#include <algorithm>

namespace fenwa::reports {

ChartData totalsChart(const data::Dataset &result, const QString &title, const QString &axisTitle, bool split)
{
    ChartData c;
    c.title = title;
    c.axisTitle = axisTitle;
    c.stacked = split;
    const QStringList names = split ? QStringList{QStringLiteral("netto"), QStringLiteral("podatki")}
                                    : QStringList{QStringLiteral("brutto")};
    const QStringList captions = split
        ? QStringList{QStringLiteral("Netto"), QStringLiteral("Zobowiązania publiczno-prawne")}
        : QStringList{QStringLiteral("Brutto")};
    QVector<int> fields;
    for (int i = 0; i < names.size(); ++i) {
        fields << result.fieldIndex(names[i]);
        c.series.push_back({captions[i], {}});
    }
    for (int r = 0; r < result.recordCount(); ++r) {
        QString key = result.valueAt(r, 0).toString();
        if (key.isEmpty())
            key = QStringLiteral("(brak)");
        int at = c.categories.indexOf(key);
        if (at < 0) {
            c.categories << key;
            for (ChartSeries &s : c.series)
                s.values << 0.0;
            at = c.categories.size() - 1;
        }
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i] >= 0)
                c.series[i].values[at] += result.valueAt(r, fields[i]).toDouble();
    }
    return c;
}

ChartData planChart(const PlanTable &table, const QString &title)
{
    ChartData c;
    c.title = title;
    c.axisTitle = QStringLiteral("Paragraf");
    c.stacked = true;
    for (const QString &par : table.pars)
        c.categories << QStringLiteral("§") + par;
    for (const PlanTable::Row &row : table.rows) {
        auto s = std::find_if(c.series.begin(), c.series.end(), [&](const ChartSeries &x) {
            return x.name == QStringLiteral("Rozdział ") + row.rozdz;
        });
        if (s == c.series.end()) {
            c.series.push_back({QStringLiteral("Rozdział ") + row.rozdz, QVector<double>(table.pars.size(), 0.0)});
            s = c.series.end() - 1;
        }
        for (int i = 0; i < row.values.size(); ++i)
            s->values[i] += row.values[i];
    }
    return c;
}

} // namespace fenwa::reports
