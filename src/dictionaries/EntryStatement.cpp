#include "dictionaries/EntryStatement.h"

#include "data/SqlBuilder.h"

namespace fenwa::dictionaries {

namespace {

// The date as the statements write it: "MM/DD/YYYY" in double quotes.
QString dateLiteral(const QDate &d)
{
    return u'"' + d.toString(QStringLiteral("MM/dd/yyyy")) + u'"';
}

} // namespace

QString entryTitle(const data::Dataset &row, const QString &caption)
{
    QStringList values;
    for (int f = 1; f < row.fieldCount(); ++f) {
        const QVariant v = row.value(f);
        if (v.isNull())
            continue;
        if (row.fieldDef(f).type == data::FieldType::Boolean)
            values << QString::fromLatin1(v.toBool() ? "True" : "False");
        else
            values << row.asString(row.fieldDef(f).name);
    }
    return QStringLiteral("Zapisy: ") + caption + QStringLiteral(" = \"") + values.join(QStringLiteral(",\""));
}

QString entryHeading(const QString &title, const QDate &from, const QDate &to)
{
    const QString format = QStringLiteral("dd.MM.yyyy");
    return title + QStringLiteral(" za okres od ") + from.toString(format) + QStringLiteral(" do ")
        + to.toString(format);
}

QStringList entryStatement(const QString &fd, const QString &suffix, const QString &dictionary, qint64 id,
                           const QDate &from, const QDate &to)
{
    return {QStringLiteral("SELECT g.dok,p.data,p.opis,p.pks,p.fak,p.netto,p.podatki,p.brutto,p.ilosc,j.jm"),
            QStringLiteral("FROM \"%1\" AS p").arg(data::tablePath(fd, u'p' + suffix)),
            QStringLiteral("JOIN \"%1\" AS g on g.Id = p.Dok").arg(data::tablePath(fd, u'g' + suffix)),
            QStringLiteral("JOIN \"%1\" As j on j.Id=p.jm").arg(data::tablePath(fd, QStringLiteral("jm.db"))),
            QStringLiteral("WHERE p.Data BETWEEN %1 AND %2 AND %3=%4")
                .arg(dateLiteral(from), dateLiteral(to), dictionary)
                .arg(id),
            QStringLiteral("ORDER BY dok,opis")};
}

output::SheetDesign entrySheet(const QString &heading, bool quantities)
{
    // Text columns are written as text, amounts and quantities as numbers.
    auto col = [](const QString &text, double width, const QString &field, bool number = false) {
        return output::sheetColumn(text, width, field, number);
    };
    output::SheetDesign design;
    design.title = heading;
    design.landscape = true;
    design.columns = {col(QStringLiteral("Lp"), 0, QString()),
                      col(QStringLiteral("Symbol grupy dokumentów"), 0, QStringLiteral("Dok")),
                      col(QStringLiteral("Data"), 15, QStringLiteral("Data")),
                      col(QStringLiteral("Pozycja księgowa"), 0, QStringLiteral("pks")),
                      col(QStringLiteral("Numer dokumentu źródłowego"), 0, QStringLiteral("fak")),
                      col(QStringLiteral("Opis"), 45, QStringLiteral("Opis")),
                      col(QStringLiteral("Netto"), 15, QStringLiteral("netto"), true),
                      col(QStringLiteral("Zobowiązania publiczno- prawne"), 15, QStringLiteral("podatki"), true),
                      col(QStringLiteral("Brutto"), 15, QStringLiteral("brutto"), true)};
    if (quantities)
        design.columns << col(QStringLiteral("Ilosc"), 15, QStringLiteral("ilosc"), true)
                       << col(QStringLiteral("Jednostka miary"), 15, QStringLiteral("jm"));
    return design;
}

} // namespace fenwa::dictionaries
