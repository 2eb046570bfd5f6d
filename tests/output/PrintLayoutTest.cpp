// The print layouts as data and the prepared print job.
#include "output/PrintJob.h"
#include "output/PrintLayout.h"
#include "output/QtPrinters.h"

#include <QSet>
#include <gtest/gtest.h>
#include <cmath>

using namespace fenwa::output;

TEST(PrintLayouts, NineteenLayoutsFoundByNameWithoutRegardToCase)
{
    EXPECT_EQ(printLayouts().size(), 19);
    QSet<QString> names;
    for (const auto &l : printLayouts())
        names.insert(l.name.toLower());
    EXPECT_EQ(names.size(), 19);
    for (const char *n : {"Tab_gat", "Tab_kontr", "Tab_jp", "TAB_ROZDZ", "tab_zf", "Tab_jm",
                          "Tab_cz", "Tab_bd", "Tab_bp", "Tab_zak", "Tab_ob", "Tab_prac",
                          "rep_poz", "Rep_Simple_il", "rep_grdok", "REP_SLOWNIK"}) {
        const PrintLayout *l = findPrintLayout(QString::fromLatin1(n));
        ASSERT_NE(l, nullptr) << n;
        EXPECT_EQ(l->name.toLower(), QString::fromLatin1(n).toLower());
    }
    EXPECT_EQ(findPrintLayout(QStringLiteral("Rep_Simple"))->name, QStringLiteral("Rep_Simple"));
    EXPECT_EQ(findPrintLayout(QStringLiteral("Tab_Nic")), nullptr);
    EXPECT_EQ(findPrintLayout(QString()), nullptr);
}

TEST(PrintLayouts, ColumnsFillTheBodyAndRazemCoversTheColumnsBeforeNetto)
{
    for (const auto &l : printLayouts()) {
        double sum = 0;
        for (const auto &c : l.columns)
            sum += c.width;
        EXPECT_NEAR(sum, l.width, 1e-9) << l.name.toStdString();
        EXPECT_EQ(l.landscape, l.width > 8) << l.name.toStdString();
        if (l.totals) {
            const int first = l.firstTotalColumn();
            ASSERT_GE(first, 0);
            EXPECT_EQ(l.columns[first].heading.value(0), QStringLiteral("Netto"));
            EXPECT_NEAR(l.razemWidth, l.columnLeft(first), 1e-9) << l.name.toStdString();
            int totals = 0;
            for (const auto &c : l.columns)
                totals += c.total ? 1 : 0;
            EXPECT_EQ(totals, 3);
        } else {
            EXPECT_EQ(l.firstTotalColumn(), -1);
        }
    }
    EXPECT_DOUBLE_EQ(findPrintLayout("Rep_Simple_Il")->width, 10.9);
    EXPECT_DOUBLE_EQ(findPrintLayout("Rep_Simple")->headerWidth, 7.3);
    EXPECT_DOUBLE_EQ(findPrintLayout("Rep_Poz")->rowHeight, 0.5);
    EXPECT_DOUBLE_EQ(findPrintLayout("Tab_Kontr")->headingHeight, 0.7);
    EXPECT_DOUBLE_EQ(findPrintLayout("Tab_Kontr")->rowHeight, 0.6);
}

TEST(PrintLayouts, PageNumbersOnlyWhereMarked)
{
    QStringList numbered;
    for (const auto &l : printLayouts())
        if (l.pageNumbers)
            numbered << l.name;
    EXPECT_EQ(numbered, (QStringList{"Tab_Rozdz", "Tab_Par", "Tab_zf", "Tab_chor", "Tab_Gat", "Tab_Jm"}));
}

TEST(PrintParameters, NamesWithoutCaseAndTheFooterText)
{
    PrintParameters p;
    p.set(QStringLiteral("tytul"), QStringLiteral("A"));
    p.set(QStringLiteral("TYTUL"), QStringLiteral("B"));
    EXPECT_EQ(p.get(QStringLiteral("Tytul")), QStringLiteral("B"));
    EXPECT_TRUE(p.get(QStringLiteral("IW")).isEmpty());
    EXPECT_EQ(PrintParameters::stopkaRaportu(QStringLiteral("Fenwa5"), QStringLiteral("[14.09.2016]"),
                                             QStringLiteral("anna"), QDate(2016, 9, 14)),
              QStringLiteral("Wydruk z programu Fenwa5 - [14.09.2016], użytkownik: anna\n"
                             "Data Wydruku: 14.09.2016"));
    EXPECT_EQ(PrintParameters::iw("WIW", "ul. Długa 1", "00-001 Warszawa"),
              QStringLiteral("WIW\nul. Długa 1\n00-001 Warszawa"));
}

TEST(PrintJob, CellsJoinFieldsAndApplyFormats)
{
    MemorySource par({{QStringLiteral("PAR")}, {QStringLiteral("dod")}, {QStringLiteral("Opis")}});
    par.addRow({QStringLiteral("4210"), QStringLiteral("01"), QStringLiteral("Zakup materiałów")});
    PrintParameters p;
    p.set(QStringLiteral("Tytul"), QStringLiteral("Słownik: Klasyfikacja paragrafów"));
    PrintJob job = preparePrint(*findPrintLayout("tab_par"), p, par);
    ASSERT_EQ(job.rowCount(), 1);
    EXPECT_EQ(job.rows[0][0], QStringList{QStringLiteral("4210 / 01")});
    EXPECT_EQ(job.headings, (QStringList{"Paragraf", "Opis"}));
    EXPECT_EQ(job.tytul, QStringLiteral("Słownik: Klasyfikacja paragrafów"));
    EXPECT_TRUE(job.missingFields.isEmpty());

    MemorySource sl({{QStringLiteral("Dok")}, {QStringLiteral("Data"), {}, ColumnType::Date},
                     {QStringLiteral("pks")}, {QStringLiteral("fak")}, {QStringLiteral("Opis")},
                     {QStringLiteral("netto"), {}, ColumnType::Number},
                     {QStringLiteral("podatki"), {}, ColumnType::Number},
                     {QStringLiteral("brutto"), {}, ColumnType::Number}});
    sl.addRow({"FV", QDate(2016, 3, 7), "12", "F/1", "x", 1000.125, 230.0, 1230.0});
    sl.addRow({"FV", QDate(2016, 3, 8), "13", "F/2", "y", 0.1, 0.2, 0.3});
    sl.addRow({"FV", QVariant(), "14", "F/3", "z", QVariant(), QVariant(), QVariant()});
    job = preparePrint(*findPrintLayout("Rep_Slownik"), p, sl);
    EXPECT_EQ(job.rows[0][1], QStringList{QStringLiteral("07.03.2016")});
    EXPECT_EQ(job.rows[0][5], QStringList{QString::fromUtf8("1\u00a0000,13")});
    EXPECT_EQ(job.rows[2][5], QStringList{QString()});
    EXPECT_DOUBLE_EQ(job.totals[5], 1000.23);   // 1000.225 rounded away from zero
    EXPECT_DOUBLE_EQ(job.totals[7], 1230.3);
    EXPECT_EQ(job.headings[0], QStringLiteral("Symbol grupy\ndokumentów"));
}

TEST(PrintJob, CriterionHeadingAndMissingFields)
{
    MemorySource q({{QStringLiteral("Kryt")}, {QStringLiteral("netto"), {}, ColumnType::Number}});
    q.addRow({QStringLiteral("01030"), 5.0});
    PrintParameters p;
    p.set(QStringLiteral("kryterium"), QStringLiteral("Rozdział"));
    const PrintJob job = preparePrint(*findPrintLayout("Rep_Simple"), p, q);
    EXPECT_EQ(job.headings[0], QStringLiteral("Rozdział"));
    EXPECT_EQ(job.missingFields, (QStringList{"podatki", "brutto"}));
    EXPECT_DOUBLE_EQ(job.totals[1], 5.0);
    EXPECT_EQ(job.rows[0][2], QStringList{QString()});
}

TEST(PrintJob, EmptySourceHasNoRowsAndZeroTotals)
{
    MemorySource q({{QStringLiteral("Kryt")}, {QStringLiteral("netto")}, {QStringLiteral("podatki")},
                    {QStringLiteral("brutto")}});
    const PrintJob job = preparePrint(*findPrintLayout("Rep_Simple"), PrintParameters{}, q);
    EXPECT_EQ(job.rowCount(), 0);
    EXPECT_EQ(job.totals, QVector<double>({0, 0, 0, 0}));
}

TEST(FormatValue, AmountsDatesAndFlags)
{
    EXPECT_EQ(formatValue(1234567.891, ColumnType::Number, "#,##0.00"),
              QString::fromUtf8("1\u00a0234\u00a0567,89"));
    EXPECT_EQ(formatValue(2.5, ColumnType::Number, "#,##0.0000"), QStringLiteral("2,5000"));
    EXPECT_EQ(formatValue(-1234.125, ColumnType::Number, "#,##0.00"), QString::fromUtf8("-1\u00a0234,13"));
    EXPECT_EQ(formatValue(-0.001, ColumnType::Number, "#,##0.00"), QStringLiteral("0,00"));
    EXPECT_EQ(formatValue(999.999, ColumnType::Number, "#,##0.00"), QString::fromUtf8("1\u00a0000,00"));
    EXPECT_EQ(formatGrouped(100000), QString::fromUtf8("100\u00a0000,00"));
    EXPECT_EQ(formatValue(QStringLiteral("2016-01-31"), ColumnType::Date, {}), QStringLiteral("31.01.2016"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2016, 1, 31), QTime(1, 2)), ColumnType::Date, "dd.MM.yyyy"),
              QStringLiteral("31.01.2016"));
    EXPECT_EQ(formatValue(true, ColumnType::Bool, {}), QStringLiteral("True"));
    EXPECT_EQ(formatValue(QVariant(), ColumnType::Number, "#,##0.00"), QString());
    EXPECT_EQ(formatValue(42, ColumnType::Integer, {}), QStringLiteral("42"));
}
