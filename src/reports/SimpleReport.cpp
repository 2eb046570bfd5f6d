#include "reports/SimpleReport.h"

#include "data/SqlBuilder.h"

namespace fenwa::reports {

namespace {

struct CriterionSql {
    CriterionInfo info;
    QString field;          // the select item with quantities
    QString fieldPlain;     // without quantities
};

const QVector<CriterionSql> &criteria()
{
    static const QVector<CriterionSql> list{
        {{QStringLiteral("wg rozdziałów"), QStringLiteral("według rozdziałów"), QStringLiteral("Rozdział")},
         QStringLiteral("r.Rozdz"), QStringLiteral("r.Rozdz")},
        {{QStringLiteral("wg paragrafów"), QStringLiteral("według paragrafów"), QStringLiteral("Paragraf")},
         QStringLiteral("r.Par"), QStringLiteral("r.Par")},
        {{QStringLiteral("wg źródeł finansowania"), QStringLiteral("według źródeł finansowania"),
          QStringLiteral("Źródło finansowania")},
         QStringLiteral("r.zf"), QStringLiteral("r.zf")},
        {{QStringLiteral("wg chorób"), QStringLiteral("według chorób"), QStringLiteral("Choroba")},
         QStringLiteral("r.Ch"), QStringLiteral("r.ch")},
        {{QStringLiteral("wg gatunków zwierząt"), QStringLiteral("według gatunków zwierząt"),
          QStringLiteral("Gatunek zwierzęcia")},
         QStringLiteral("r.gat"), QStringLiteral("r.gat")},
    };
    return list;
}

// The statement of one register, without its ORDER BY line.
data::SqlBuilder part(const QString &folder, const ReportRequest &request, Criterion c, const QString &suffix)
{
    const CriterionSql &k = criteria()[int(c)];
    data::SqlBuilder q(folder);
    if (request.ilosci)
        q.select(k.field + QStringLiteral(" AS Kryt,jm.jm As Jm, SUM(ilosc) As ilosc, SUM(netto) AS Netto, "
                                          "SUM(podatki) AS podatki, SUM(brutto) AS Brutto"));
    else
        q.select(k.fieldPlain + QStringLiteral(" AS Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, "
                                               "SUM(brutto) AS Brutto"));
    q.from(QStringLiteral("p") + suffix, QStringLiteral("AS p"));
    switch (c) {
    case Criterion::Rozdzialy:
        q.join(QStringLiteral("g") + suffix, QStringLiteral("AS g"), QStringLiteral("g.Id = p.Dok"));
        q.join(QStringLiteral("rozdz.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = g.Rozdz"));
        break;
    case Criterion::Paragrafy:
        q.join(QStringLiteral("g") + suffix, QStringLiteral("AS g"), QStringLiteral("g.Id = p.Dok"));
        q.join(QStringLiteral("par.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = g.Par"));
        break;
    case Criterion::Zrodla:
        q.join(QStringLiteral("zf.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = p.zf"));
        break;
    case Criterion::Choroby:
        q.join(QStringLiteral("ch.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = p.ch"),
               QStringLiteral("LEFT OUTER JOIN"));
        break;
    case Criterion::Gatunki:
        q.join(QStringLiteral("gat.db"), QStringLiteral("AS r"), QStringLiteral("r.Id = p.gat"),
               QStringLiteral("LEFT OUTER JOIN"));
        break;
    }
    if (request.ilosci)
        q.join(QStringLiteral("jm.db"), QStringLiteral("AS jm"), QStringLiteral("jm.Id = p.jm"));
    q.where(request.condition());
    q.groupBy(request.ilosci ? QStringLiteral("Kryt,jm.Jm") : QStringLiteral("Kryt"));
    return q;
}

} // namespace

const CriterionInfo &criterionInfo(Criterion c) { return criteria()[int(c)].info; }

QStringList simpleStatement(const QString &folder, const ReportRequest &request, Criterion c,
                            const QStringList &others)
{
    const QString suffix = request.suffix();
    if (!request.zbiorczy) {
        data::SqlBuilder q = part(folder, request, c, suffix);
        q.orderBy(request.ilosci ? QStringLiteral("Kryt,Jm") : QStringLiteral("Kryt"));
        return q.lines();
    }
    QStringList lines;
    if (request.ilosci)
        lines << QStringLiteral("SELECT Kryt,Jm, SUM(ilosc) As ilosc, SUM(netto) AS Netto, SUM(podatki) AS podatki, "
                                "SUM(brutto) AS Brutto");
    else
        lines << QStringLiteral("SELECT Kryt, SUM(netto) AS Netto, SUM(podatki) AS podatki, SUM(brutto) AS Brutto");
    lines << QStringLiteral("FROM (");
    lines << part(folder, request, c, suffix).lines();
    for (const QString &other : others)
        lines << QStringLiteral("UNION ALL") << part(folder, request, c, other).lines();
    lines << QStringLiteral(")");
    lines << (request.ilosci ? QStringLiteral("GROUP BY Kryt,Jm ORDER BY Kryt,jm")
                             : QStringLiteral("GROUP BY Kryt ORDER BY Kryt"));
    return lines;
}

QString simpleTitle(const ReportRequest &request, Criterion c)
{
    return (request.koszty ? QStringLiteral("Koszty ") : QStringLiteral("Wydatki ")) + criterionInfo(c).titleWord
        + request.periodText() + QStringLiteral(" - ") + request.unitName;
}

void openSimple(data::Query &q, const ReportRequest &request, Criterion c)
{
    data::Database &db = *q.database();
    q.close();
    q.clearSql();
    q.setSql(simpleStatement(db.folder(), request, c, consolidatedSuffixes(db, request)));
    q.open();
}

output::SheetDesign simpleSheet(const ReportRequest &request, Criterion c)
{
    output::SheetDesign d;
    d.title = simpleTitle(request, c);
    d.landscape = true;
    auto col = [](const QString &heading, double width = 0, bool amount = false) {
        output::SheetColumn s;
        s.heading = heading;
        s.width = width;
        s.amount = amount;
        return s;
    };
    d.columns << col(QStringLiteral("Lp")) << col(criterionInfo(c).columnTitle, 60);
    if (request.ilosci)
        d.columns << col(QStringLiteral("Jednostka miary")) << col(QStringLiteral("Ilość"));
    d.columns << col(QStringLiteral("Netto"), 15, true)
              << col(QStringLiteral("Zobowiązania publiczno- prawne"), 15, true)
              << col(QStringLiteral("Brutto"), 15, true);
    return d;
}

QVector<QVariant> sheetValues(const data::Query &q, int row)
{
    QVector<QVariant> values;
    for (int f = 0; f < q.fieldCount(); ++f) {
        const QVariant v = q.valueAt(row, f);
        if (v.isNull())
            values << QVariant();
        else if (q.fieldDef(f).type == data::FieldType::Float)
            values << v.toDouble();
        else
            values << q.displayText(row, f);
    }
    return values;
}

} // namespace fenwa::reports
