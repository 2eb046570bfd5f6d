#include "output/PrintLayout.h"

#include "common/Numbers.h"

namespace fenwa::output {

double PrintLayout::columnLeft(int i) const
{
    double x = 0;
    for (int k = 0; k < i && k < columns.size(); ++k)
        x += columns[k].width;
    return x;
}

int PrintLayout::firstTotalColumn() const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].total)
            return i;
    return -1;
}

namespace {

PrintPart part(QStringList fields, Align align = Align::Left, double size = 10,
               QString format = {}, QString joiner = {}, double dy = 0)
{
    PrintPart p;
    p.fields = std::move(fields);
    p.align = align;
    p.fontSize = size;
    p.format = std::move(format);
    p.joiner = std::move(joiner);
    p.dy = dy;
    return p;
}

PrintColumn col(QStringList heading, double width, QVector<PrintPart> parts, bool memo = false)
{
    PrintColumn c;
    c.heading = std::move(heading);
    c.width = width;
    c.parts = std::move(parts);
    c.memo = memo;
    return c;
}

PrintColumn text(const QString &heading, const QString &field, double width, bool memo = false)
{
    return col({heading}, width, {part({field})}, memo);
}

PrintColumn amount(const QString &heading, const QString &field, double width)
{
    PrintColumn c = col({heading}, width,
                        {part({field}, Align::Right, 10, kAmountFormat)});
    c.total = true;
    return c;
}

PrintLayout dictionary(const QString &name, QVector<PrintColumn> columns, bool pageNumbers)
{
    PrintLayout l;
    l.name = name;
    l.columns = std::move(columns);
    l.pageNumbers = pageNumbers;
    return l;
}

PrintLayout landscape(const QString &name, double width)
{
    PrintLayout l;
    l.name = name;
    l.landscape = true;
    l.left = 0.5;
    l.top = 0.3;
    l.width = width;
    return l;
}

QVector<PrintLayout> build()
{
    QVector<PrintLayout> all;
    const QString S = QStringLiteral(" ");

    all << dictionary(QStringLiteral("Tab_Rozdz"),
                      {text(QStringLiteral("Rozdział"), QStringLiteral("Rozdz"), 1.9),
                       text(QStringLiteral("Opis"), QStringLiteral("Opis"), 5.5, true)},
                      true);
    all << dictionary(QStringLiteral("Tab_Par"),
                      {col({QStringLiteral("Paragraf")}, 1.9,
                           {part({QStringLiteral("Par"), QStringLiteral("Dod")}, Align::Left, 10, {},
                                 QStringLiteral(" / "))}),
                       text(QStringLiteral("Opis"), QStringLiteral("Opis"), 5.5, true)},
                      true);
    all << dictionary(QStringLiteral("Tab_zf"),
                      {text(QStringLiteral("Źródło finansowania"), QStringLiteral("zf"), 6.5),
                       text(QStringLiteral("Rok"), QStringLiteral("Rok"), 0.9)},
                      true);
    all << dictionary(QStringLiteral("Tab_chor"),
                      {text(QStringLiteral("Nazwa choroby"), QStringLiteral("Ch"), 7.4)}, true);
    all << dictionary(QStringLiteral("Tab_Gat"),
                      {text(QStringLiteral("Nazwa gatunku zwierzęcia"), QStringLiteral("Gat"), 7.4)},
                      true);
    all << dictionary(QStringLiteral("Tab_Jm"),
                      {text(QStringLiteral("Nazwa jednostki miary"), QStringLiteral("Jm"), 6.5),
                       text(QStringLiteral("Skrót"), QStringLiteral("Jms"), 0.9)},
                      true);
    all << dictionary(QStringLiteral("Tab_Cz"),
                      {text(QStringLiteral("Określenie czynności"), QStringLiteral("Cz"), 7.4)}, false);
    all << dictionary(QStringLiteral("Tab_Bd"),
                      {text(QStringLiteral("Nazwa badania"), QStringLiteral("Bd"), 7.4)}, false);
    all << dictionary(QStringLiteral("Tab_Bp"),
                      {text(QStringLiteral("Nazwa badania"), QStringLiteral("Bp"), 7.4)}, false);
    all << dictionary(QStringLiteral("Tab_Zak"),
                      {text(QStringLiteral("Nazwa towaru"), QStringLiteral("Zak"), 7.4)}, false);

    {
        PrintLayout l = dictionary(QStringLiteral("Tab_Kontr"), {}, false);
        l.headingHeight = 0.7;
        l.rowHeight = 0.6;
        PrintColumn c1 = col({QStringLiteral("Nazwa"), QStringLiteral("Imię i nazwisko")}, 2.8,
                             {part({QStringLiteral("Nazwa"), QStringLiteral("Im_naz")}, Align::Left,
                                   10, {}, S)},
                             true);
        c1.headingRule = true;
        PrintColumn c2 = col({QStringLiteral("Adres")}, 2.8,
                             {part({QStringLiteral("Ulica"), QStringLiteral("Miasto")}, Align::Left,
                                   10, {}, S)},
                             true);
        PrintColumn c3 = col({QStringLiteral("Identyfikator"), QStringLiteral("Konto")}, 1.8,
                             {part({QStringLiteral("Ident")}),
                              part({QStringLiteral("Konto")}, Align::Left, 10, {}, {}, 0.3)});
        c3.headingRule = true;
        l.columns = {c1, c2, c3};
        all << l;
    }

    all << dictionary(QStringLiteral("Tab_ob"),
                      {text(QStringLiteral("Obszar ASF"), QStringLiteral("Ob"), 7.4)}, false);
    all << dictionary(QStringLiteral("Tab_Jp"),
                      {text(QStringLiteral("Nazwa jednostki podległej"), QStringLiteral("Jp"), 6.5),
                       text(QStringLiteral("Kod"), QStringLiteral("Kod"), 0.9)},
                      false);
    all << dictionary(QStringLiteral("Tab_Prac"),
                      {text(QStringLiteral("Nazwa pracowni"), QStringLiteral("Prac"), 7.4)}, false);

    all << dictionary(QStringLiteral("Rep_GrDok"),
                      {text(QStringLiteral("Symbol"), QStringLiteral("Dok"), 1.1),
                       text(QStringLiteral("Rozdział"), QStringLiteral("Rozdzial"), 0.9),
                       text(QStringLiteral("Paragraf"), QStringLiteral("Paragraf"), 2.7, true),
                       text(QStringLiteral("Opis"), QStringLiteral("Opis"), 2.7, true)},
                      false);

    {
        PrintLayout l = landscape(QStringLiteral("Rep_Poz"), 10.8);
        l.headingHeight = l.rowHeight = 0.5;
        l.totals = true;
        l.razemWidth = 7.8;
        PrintColumn data = col({QStringLiteral("Data")}, 0.7,
                               {part({QStringLiteral("data")}, Align::Right, 8)});
        PrintColumn pks = col({QStringLiteral("Pozycja księgowa"),
                               QStringLiteral("Nr dokumentu źródłowego")},
                              1.3,
                              {part({QStringLiteral("pks")}, Align::Right, 8),
                               part({QStringLiteral("fak")}, Align::Left, 8, {}, {}, 0.2)});
        pks.headingRule = true;
        pks.headingFontSize = 8;
        PrintColumn kontr = col({QStringLiteral("Nazwa kontrahenta")}, 1.9,
                                {part({QStringLiteral("Kontrahent")}, Align::Left, 8)}, true);
        PrintColumn opis = col({QStringLiteral("Opis")}, 1.9,
                               {part({QStringLiteral("Opis")}, Align::Left, 8)}, true);
        PrintColumn jm = col({QStringLiteral("Jednostka"), QStringLiteral("miary")}, 1.0,
                             {part({QStringLiteral("jm2")}, Align::Centre, 8)}, true);
        PrintColumn ilosc = col({QStringLiteral("Ilość")}, 1.0,
                                {part({QStringLiteral("ilosc")}, Align::Right)});
        l.columns = {data, pks, kontr, opis, jm, ilosc,
                     amount(QStringLiteral("Netto"), QStringLiteral("netto"), 1.0),
                     amount(QStringLiteral("Podatki"), QStringLiteral("podatki"), 1.0),
                     amount(QStringLiteral("Brutto"), QStringLiteral("brutto"), 1.0)};
        all << l;
    }
    {
        PrintLayout l = landscape(QStringLiteral("Rep_Slownik"), 10.8);
        l.headingHeight = 0.5;
        l.totals = true;
        l.razemWidth = 7.8;
        l.columns = {
            col({QStringLiteral("Symbol grupy"), QStringLiteral("dokumentów")}, 1.2,
                {part({QStringLiteral("Dok")}, Align::Right)}),
            col({QStringLiteral("Data")}, 1.0,
                {part({QStringLiteral("Data")}, Align::Right, 10, QStringLiteral("dd.MM.yyyy"))}),
            col({QStringLiteral("Pozycja"), QStringLiteral("księgowa")}, 1.2,
                {part({QStringLiteral("pks")}, Align::Right)}),
            col({QStringLiteral("Nr dokumentu"), QStringLiteral("źródłowego")}, 1.2,
                {part({QStringLiteral("fak")}, Align::Right)}),
            text(QStringLiteral("Opis"), QStringLiteral("Opis"), 3.2, true),
            amount(QStringLiteral("Netto"), QStringLiteral("netto"), 1.0),
            amount(QStringLiteral("Podatki"), QStringLiteral("podatki"), 1.0),
            amount(QStringLiteral("Brutto"), QStringLiteral("brutto"), 1.0)};
        all << l;
    }
    {
        PrintLayout l = dictionary(QStringLiteral("Rep_Simple"), {}, false);
        l.headerWidth = 7.3;
        l.totals = true;
        l.razemWidth = 3.5;
        PrintColumn kryt = text(QString(), QStringLiteral("Kryt"), 3.5, true);
        kryt.headingFromKryterium = true;
        l.columns = {kryt, amount(QStringLiteral("Netto"), QStringLiteral("netto"), 1.3),
                     amount(QStringLiteral("Podatki"), QStringLiteral("podatki"), 1.3),
                     amount(QStringLiteral("Brutto"), QStringLiteral("brutto"), 1.3)};
        all << l;
    }
    {
        PrintLayout l = landscape(QStringLiteral("Rep_Simple_Il"), 10.9);
        l.totals = true;
        l.razemWidth = 7.0;
        PrintColumn kryt = text(QString(), QStringLiteral("Kryt"), 4.4, true);
        kryt.headingFromKryterium = true;
        l.columns = {kryt,
                     col({QStringLiteral("Jednostka miary")}, 1.3,
                         {part({QStringLiteral("jm")}, Align::Centre)}),
                     col({QStringLiteral("Ilość")}, 1.3,
                         {part({QStringLiteral("ilosc")}, Align::Right, 10,
                               kAmountFormat)}),
                     amount(QStringLiteral("Netto"), QStringLiteral("netto"), 1.3),
                     amount(QStringLiteral("Podatki"), QStringLiteral("podatki"), 1.3),
                     amount(QStringLiteral("Brutto"), QStringLiteral("brutto"), 1.3)};
        all << l;
    }
    return all;
}

} // namespace

const QVector<PrintLayout> &printLayouts()
{
    static const QVector<PrintLayout> all = build();
    return all;
}

const PrintLayout *findPrintLayout(const QString &name)
{
    for (const PrintLayout &l : printLayouts())
        if (l.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &l;
    return nullptr;
}

} // namespace fenwa::output
