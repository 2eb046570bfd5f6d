#pragma once
// What a report's chart shows: bars per category, one value per series;
// stacked series add up to the bar. Built from a report's result; the chart
// window (reports/ui) only draws it.
#include "data/Dataset.h"
#include "reports/PlanReport.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fenwa::reports {

struct ChartSeries {
    QString name;
    QVector<double> values;    // one per category
};

struct ChartData {
    QString title;
    QString axisTitle;         // what the categories are ("Rozdział")
    QStringList categories;
    QVector<ChartSeries> series;
    bool stacked = false;

    bool isEmpty() const { return categories.isEmpty(); }
};

// Totals per value of the result's first field (rows of equal values, e.g.
// per unit of measure, add up), in the order met: gross ("Brutto"), or with
// `split` net and charges stacked ("Netto", "Zobowiązania publiczno-prawne").
// The fields are found by name (netto, podatki, brutto); an empty value is
// shown as "(brak)".
ChartData totalsChart(const data::Dataset &result, const QString &title, const QString &axisTitle, bool split);

// Gross per paragraph ("§4210"), one stacked series per chapter.
ChartData planChart(const PlanTable &table, const QString &title);

} // namespace fenwa::reports
