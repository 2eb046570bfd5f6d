#include "reports/PlanReport.h"

#include "common/Numbers.h"
#include "data/Query.h"
#include "data/SqlBuilder.h"

#include <algorithm>

namespace fenwa::reports {

namespace {

// The register's sums added to the table.
void addSums(data::Database &db, const ReportRequest &request, const QString &suffix, PlanTable &table)
{
    data::Query q(&db, QStringLiteral("Q_Plan"));
    q.setSql(planSumsStatement(db.folder(), request, suffix));
    q.open();
    const int rozdz = q.fieldIndex(QStringLiteral("Rozdz")), zf = q.fieldIndex(QStringLiteral("zf")),
              par = q.fieldIndex(QStringLiteral("par")), brutto = q.fieldIndex(QStringLiteral("Brutto"));
    for (int r = 0; r < q.recordCount(); ++r)
        table.add(q.valueAt(r, rozdz).toString(), q.valueAt(r, zf).toString(), q.valueAt(r, par).toString(),
                  q.valueAt(r, brutto).toDouble());
}

} // namespace

void PlanTable::add(const QString &rozdz, const QString &zf, const QString &par, double brutto)
{
    int col = pars.indexOf(par);
    if (col < 0) {
        pars << par;
        col = pars.size() - 1;
        for (Row &r : rows)
            r.values << 0.0;
    }
    auto row = std::find_if(rows.begin(), rows.end(), [&](const Row &r) { return r.rozdz == rozdz && r.zf == zf; });
    if (row == rows.end()) {
        rows.push_back({rozdz, zf, QVector<double>(pars.size(), 0.0)});
        row = rows.end() - 1;
    }
    row->values[col] += brutto;
}

QStringList planParagraphStatement(const QString &folder, const ReportRequest &request, const QString &suffix)
{
    QStringList lines = data::SqlBuilder(folder)
        .select(QStringLiteral("DISTINCT par.par"))
        .from(QStringLiteral("p") + suffix, QStringLiteral("AS p"))
        .join(QStringLiteral("g") + suffix, QStringLiteral("AS g"), QStringLiteral("g.Id = p.Dok"))
        .join(QStringLiteral("par.db"), QStringLiteral("AS par"), QStringLiteral("par.Id = g.par"))
        .where(request.condition())
        .lines();
    lines << QStringLiteral("ORDER by par");
    return lines;
}

QStringList planSumsStatement(const QString &folder, const ReportRequest &request, const QString &suffix)
{
    return data::SqlBuilder(folder)
        .select(QStringLiteral("r.Rozdz,zf.zf,par.par,SUM(brutto) AS Brutto"))
        .from(QStringLiteral("p") + suffix, QStringLiteral("AS p"))
        .join(QStringLiteral("g") + suffix, QStringLiteral("AS g"), QStringLiteral("g.Id = p.Dok"))
        .join(QStringLiteral("rozdz.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = g.Rozdz"))
        .join(QStringLiteral("par.db"), QStringLiteral("AS par"), QStringLiteral("par.Id = g.par"))
        .join(QStringLiteral("zf.db"), QStringLiteral("AS zf"), QStringLiteral("zf.Id = p.zf"))
        .where(request.condition())
        .groupBy(QStringLiteral("r.Rozdz,zf.zf,par.par"))
        .orderBy(QStringLiteral("Rozdz,zf"))
        .lines();
}

PlanTable planRealisation(data::Database &db, const ReportRequest &request)
{
    PlanTable table;
    {
        data::Query q(&db, QStringLiteral("Q_Plan"));
        q.setSql(planParagraphStatement(db.folder(), request, request.suffix()));
        q.open();
        if (q.isEmpty())
            return table;
        for (int r = 0; r < q.recordCount(); ++r)
            table.pars << q.valueAt(r, 0).toString();
    }
    addSums(db, request, request.suffix(), table);
    for (const QString &other : consolidatedSuffixes(db, request)) {
        try {
            addSums(db, request, other, table);
        } catch (const data::EngineError &) {
            // This unit's register cannot be read: the others are summed.
        }
    }
    return table;
}

QString planTitle(const ReportRequest &request)
{
    return QStringLiteral("Realizacja planu ") + request.ofWhat() + QStringLiteral(" w okresie od ")
        + shortDate(request.od) + QStringLiteral(" do ") + shortDate(request.doDnia);
}

output::SheetDesign planSheet(const ReportRequest &request, const PlanTable &table)
{
    output::SheetDesign d;
    d.title = planTitle(request);
    d.landscape = true;
    output::SheetColumn rozdz, zf;
    rozdz.heading = QStringLiteral("Rozdział");
    zf.heading = QStringLiteral("Źródło finansowania");
    zf.width = 60;
    d.columns << rozdz << zf;
    for (const QString &par : table.pars) {
        output::SheetColumn c;
        c.heading = QStringLiteral("§") + par;
        c.width = 15;
        c.amount = true;
        d.columns << c;
    }
    return d;
}

QVector<QVariant> planValues(const PlanTable::Row &row)
{
    QVector<QVariant> values{row.rozdz, row.zf};
    for (double v : row.values)
        values << v;
    return values;
}

} // namespace fenwa::reports
