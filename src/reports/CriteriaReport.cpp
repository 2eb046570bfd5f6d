#include "reports/CriteriaReport.h"

#include "data/SqlBuilder.h"

#include <QFile>
#include <QTextStream>

namespace fenwa::reports {

namespace {

// The quantity total's name in both stages. Named "ilosc" it would share its
// name with the quantity criterion, and the consolidated run's outer SUM(ilosc)
// would add up the criterion's values, once per register, instead of the
// registers' quantity totals.
constexpr QLatin1String kQuantityTotal{"suma_ilosci"};

QVector<const MultiCriterion *> chosen(const QStringList &included)
{
    QVector<const MultiCriterion *> out;
    for (const QString &label : included)
        if (const MultiCriterion *c = findMultiCriterion(label))
            out << c;
    return out;
}

// The statement of one register, without the ORDER BY line.
QStringList part(const QString &folder, const ReportRequest &request, const QVector<const MultiCriterion *> &chosenOnes,
                 const QString &suffix)
{
    QString sel, grp;
    for (const MultiCriterion *c : chosenOnes) {
        sel += c->select + u',';
        grp += c->group + u',';
    }
    grp.chop(1);
    if (request.ilosci)
        grp += QStringLiteral(",jm.jm");
    data::SqlBuilder q(folder);
    if (request.ilosci)
        sel += QStringLiteral("jm.jm As Jm, SUM(ilosc) ") + kQuantityTotal + u',';
    q.select(sel + QStringLiteral("SUM(p.netto) netto,SUM(p.podatki) podatki,SUM(p.brutto) brutto"));
    q.from(QStringLiteral("p") + suffix, QStringLiteral("as p"));
    q.join(QStringLiteral("g") + suffix, QStringLiteral("as g"), QStringLiteral("p.dok=g.id"));
    QStringList lines = q.lines();
    // The criteria's joins in their fixed order, not in the chosen one.
    for (const MultiCriterion &c : multiCriteria())
        if (!c.join.isEmpty() && chosenOnes.contains(&c))
            lines << QString(c.join).replace(QStringLiteral("{D}"), folder);
    if (request.ilosci)
        lines << QStringLiteral("JOIN ") + data::SqlBuilder(folder).table(QStringLiteral("jm.db"))
                + QStringLiteral(" as jm on jm.id=p.jm");
    lines << QStringLiteral("WHERE ") + request.condition();
    lines << QStringLiteral("GROUP BY ") + grp;
    return lines;
}

} // namespace

const QVector<MultiCriterion> &multiCriteria()
{
    auto j = [](const char *kind, const char *table) {
        const QString t = QString::fromLatin1(table);
        return QString::fromLatin1(kind) + QStringLiteral(" \"{D}\\") + t + QStringLiteral(".db\" as ") + t
            + QStringLiteral(" on ") + t + QStringLiteral(".id=");
    };
    static const QVector<MultiCriterion> list{
        {QStringLiteral("rozdziały"), QStringLiteral("rozdz.rozdz"), QStringLiteral("rozdz.rozdz"),
         QStringLiteral("rozdz"), j("JOIN", "rozdz") + QStringLiteral("g.rozdz"), QStringLiteral("Rozdział")},
        {QStringLiteral("paragrafy"), QStringLiteral("par.par par"), QStringLiteral("par.par"), QStringLiteral("par"),
         j("JOIN", "par") + QStringLiteral("g.par"), QStringLiteral("Paragraf")},
        {QStringLiteral("żródła finansowania"), QStringLiteral("zf.zf"), QStringLiteral("zf.zf"), QStringLiteral("zf"),
         j("JOIN", "zf") + QStringLiteral("p.zf"), QStringLiteral("Źródło finansowania")},
        {QStringLiteral("choroby"), QStringLiteral("ch.ch"), QStringLiteral("ch.ch"), QStringLiteral("ch"),
         j("FULL OUTER JOIN", "ch") + QStringLiteral("p.ch"), QStringLiteral("Choroba")},
        {QStringLiteral("gatunki"), QStringLiteral("gat.gat"), QStringLiteral("gat.gat"), QStringLiteral("gat"),
         j("FULL OUTER JOIN", "gat") + QStringLiteral("p.gat"), QStringLiteral("Gatunek zwierzęcia")},
        {QStringLiteral("czynności"), QStringLiteral("cz.cz"), QStringLiteral("cz.cz"), QStringLiteral("cz"),
         j("JOIN", "cz") + QStringLiteral("p.cz"), QStringLiteral("Okreslenie czynności")},
        {QStringLiteral("badania diagnostyczne ..."), QStringLiteral("bd.bd"), QStringLiteral("bd.bd"),
         QStringLiteral("bd"), j("FULL OUTER JOIN", "bd") + QStringLiteral("p.bd"),
         QStringLiteral("Badanie diagnostyczne")},
        {QStringLiteral("badania pozostałości ..."), QStringLiteral("bp.bp"), QStringLiteral("bp.bp"),
         QStringLiteral("bp"), j("FULL OUTER JOIN", "bp") + QStringLiteral("p.bp"),
         QStringLiteral("Badanie pozostałości")},
        {QStringLiteral("zakupy"), QStringLiteral("zak.zak"), QStringLiteral("zak.zak"), QStringLiteral("zak"),
         j("FULL OUTER JOIN", "zak") + QStringLiteral("p.zak"), QStringLiteral("Zakup")},
        {QStringLiteral("kontrahenci"), QStringLiteral("kontr.Nazwa kontr"), QStringLiteral("kontr.nazwa"),
         QStringLiteral("kontr"), j("JOIN", "kontr") + QStringLiteral("p.kontr"), QStringLiteral("Nazwa kontrahenta")},
        {QStringLiteral("pracownie"), QStringLiteral("prac.prac"), QStringLiteral("prac.prac"), QStringLiteral("prac"),
         j("FULL OUTER JOIN", "prac") + QStringLiteral("p.prac"), QStringLiteral("Pracownia"), true},
        {QStringLiteral("ilości"), QStringLiteral("ilosc"), QStringLiteral("ilosc"), QStringLiteral("ilosc"),
         QString(), QStringLiteral("Ilości")},
        {QStringLiteral("obszar ASF"), QStringLiteral("ob.ob"), QStringLiteral("ob.ob"), QStringLiteral("ob"),
         j("FULL OUTER JOIN", "ob") + QStringLiteral("p.ob"), QStringLiteral("Obszar ASF")},
    };
    return list;
}

QStringList availableCriteria(bool voivodeship)
{
    QStringList labels;
    for (const MultiCriterion &c : multiCriteria())
        if (!c.voivodeshipOnly)
            labels << c.label;
    if (voivodeship)
        labels << QStringLiteral("pracownie");
    return labels;
}

const MultiCriterion *findMultiCriterion(const QString &label)
{
    for (const MultiCriterion &c : multiCriteria())
        if (c.label == label)
            return &c;
    return nullptr;
}

QStringList criteriaStatement(const QString &folder, const ReportRequest &request, const QStringList &included,
                              const QStringList &others)
{
    const QVector<const MultiCriterion *> chosenOnes = chosen(included);
    QString ord, sel2;
    for (const MultiCriterion *c : chosenOnes) {
        ord += c->name + u',';
        sel2 += (c->name == QLatin1String("par") ? QStringLiteral("par par") : c->name) + u',';
    }
    ord.chop(1);
    QString grp2 = ord;
    if (request.ilosci) {
        ord += QStringLiteral(",jm");
        grp2 += QStringLiteral(",jm");
    }
    if (!request.zbiorczy)
        return part(folder, request, chosenOnes, request.suffix()) << QStringLiteral("ORDER BY ") + ord;
    QStringList lines;
    if (request.ilosci)
        sel2 += QStringLiteral("jm, SUM(") + kQuantityTotal + QStringLiteral(") ") + kQuantityTotal + u',';
    lines << QStringLiteral("SELECT ") + sel2
                 + QStringLiteral("SUM(netto) netto,SUM(podatki) podatki,SUM(brutto) brutto");
    lines << QStringLiteral("FROM (");
    lines << part(folder, request, chosenOnes, request.suffix());
    for (const QString &other : others)
        lines << QStringLiteral("UNION ALL") << part(folder, request, chosenOnes, other);
    lines << QStringLiteral(")") << QStringLiteral("GROUP BY ") + grp2 << QStringLiteral("ORDER BY ") + ord;
    return lines;
}

QString criteriaTitle(const ReportRequest &request)
{
    return QStringLiteral("Zestawienie ") + request.ofWhat() + QStringLiteral(" wg wybranych kryteriów")
        + request.periodText() + QStringLiteral(" - ") + request.unitName;
}

void openCriteria(data::Query &q, const ReportRequest &request, const QStringList &included, const QString &dumpFile)
{
    data::Database &db = *q.database();
    q.close();
    q.clearSql();
    q.setSql(criteriaStatement(db.folder(), request, included, consolidatedSuffixes(db, request)));
    if (!dumpFile.isEmpty()) {
        // The text as run; a dump that cannot be written does not stop the report.
        QFile f(dumpFile);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            QTextStream out(&f);
            out << q.text() << '\n';
        }
    }
    q.open();
}

output::SheetDesign criteriaSheet(const ReportRequest &request, const QStringList &included, int fieldCount)
{
    output::SheetDesign d;
    d.title = criteriaTitle(request);
    d.landscape = true;
    const int n = fieldCount + 1;
    QStringList headings{QStringLiteral("Lp")};
    for (const MultiCriterion *c : chosen(included))
        headings << c->heading;
    if (request.ilosci)
        headings << QStringLiteral("Jednostka miary") << QStringLiteral("Ilość");
    headings << QStringLiteral("Netto") << QStringLiteral("Zobowiązania publiczno- prawne") << QStringLiteral("Brutto");
    for (int c = 1; c <= n; ++c) {
        output::SheetColumn col;
        col.heading = c <= headings.size() ? headings[c - 1] : QString();
        if (c >= 2 && c <= n - 3)
            col.width = 30;
        if (c >= n - 2) {
            col.width = 15;
            col.amount = true;
        }
        d.columns << col;
    }
    d.subtotalGroup = 2;
    d.subtotalColumns = {n - 2, n - 1, n};
    return d;
}

} // namespace fenwa::reports
