// The report dialogs and the reports as the menu runs them: the period
// dialog's rules, the one-year rule, the print and sheet of the
// single-criterion report, and the chart's bars.
#include "common/ui/OdDo.h"
#include "data/Demo.h"
#include "output/XlsxReader.h"
#include "Installation.h"
#include "reports/ui/Raporty.h"
#include "reports/ui/Wykres.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedBarSeries>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace fenwa;
using namespace fenwa::reports;
using fenwa::testing::Installation;

namespace {

// The installation with demo registers of 2016, January to March.
struct ReportsFixture {
    Installation inst;
    fenwa::ui::TF_OdDo odDo{QDate(2016, 3, 15)};
    std::unique_ptr<fenwa::reports::ui::ReportWindows> reports;
    int dialogResult = 0;

    explicit ReportsFixture(int p_w = 1) : inst({.p_w = p_w})
    {
        data::DemoOptions o;
        o.year = 2016;
        o.now = inst.clock.now();
        o.lastMonth = 3;
        data::createDemoRegisters(*inst.db, o);
        odDo.fillUnits(*inst.dane);
        reports = std::make_unique<fenwa::reports::ui::ReportWindows>(*inst.dane, odDo, inst.dir.path(), nullptr);
        reports->runDialog = [this](QDialog &) { return dialogResult; };
        reports->openFile = [](const QString &) { return true; };
        odDo.Panel->DateTimePicker1->setDate(QDate(2016, 2, 1));
        odDo.Panel->DateTimePicker2->setDate(QDate(2016, 3, 31));
        odDo.Panel->ComboBox1->setCurrentIndex(0);   // the voivodeship inspectorate
    }
    // Gross per chapter of the voivodeship inspectorate's expenditure, read directly.
    QMap<QString, double> grossPerChapter()
    {
        QMap<QString, double> out;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(inst.db->handle(),
                           "SELECT r.Rozdz, SUM(p.brutto) FROM p_2016_2000 p JOIN g_2016_2000 g ON g.Id=p.Dok "
                           "JOIN rozdz r ON r.Id=g.Rozdz WHERE p.Data BETWEEN '2016-02-01' AND '2016-03-31' "
                           "AND p.Wyd=1 GROUP BY r.Rozdz",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            out[QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))] =
                sqlite3_column_double(st, 1);
        sqlite3_finalize(st);
        return out;
    }
};

} // namespace

// The buttons need a unit; "Raport zbiorczy" takes the first unit and fixes
// the list; a caller without printing keeps the print button off; a
// county installation fixes its own unit and offers no consolidation.
TEST(OdDoDialog, ButtonsFollowTheUnitAndTheConsolidation)
{
    Installation inst;
    fenwa::ui::TF_OdDo d(QDate(2016, 3, 15));
    d.fillUnits(*inst.dane);
    EXPECT_EQ(d.od(), QDate(2016, 3, 15));
    EXPECT_FALSE(d.BitBtn1->isEnabled());
    EXPECT_FALSE(d.BitBtn2->isEnabled());
    d.Panel->ComboBox1->setCurrentIndex(2);
    EXPECT_TRUE(d.BitBtn1->isEnabled());
    EXPECT_TRUE(d.BitBtn2->isEnabled());
    d.Panel->CheckBox2->setChecked(true);
    EXPECT_EQ(d.Panel->ComboBox1->currentIndex(), 0);
    EXPECT_FALSE(d.Panel->ComboBox1->isEnabled());
    EXPECT_TRUE(d.zbiorczy());
    d.Panel->CheckBox1->setChecked(true);
    d.setPrintEnabled(false);
    d.setQuantitiesEnabled(false);
    EXPECT_FALSE(d.BitBtn1->isEnabled());
    EXPECT_TRUE(d.BitBtn2->isEnabled());
    EXPECT_FALSE(d.ilosci());
    EXPECT_FALSE(d.Panel->CheckBox1->isChecked());

    Installation county({.p_w = 2});
    fenwa::ui::TF_OdDo c(QDate(2016, 3, 15));
    c.fillUnits(*county.dane);
    EXPECT_EQ(c.Panel->ComboBox1->count(), 1);
    EXPECT_EQ(c.Panel->ComboBox1->currentIndex(), 0);
    EXPECT_FALSE(c.Panel->ComboBox1->isEnabled());
    EXPECT_FALSE(c.Panel->CheckBox2->isEnabled());
    EXPECT_TRUE(c.BitBtn1->isEnabled());
}

// Dates in two years: the message, and no report.
TEST(Raporty, PeriodOverTwoYearsIsRefused)
{
    ReportsFixture f;
    f.dialogResult = fenwa::ui::TF_OdDo::Arkusz;
    f.odDo.Panel->DateTimePicker1->setDate(QDate(2015, 12, 1));
    f.odDo.Panel->DateTimePicker2->setDate(QDate(2016, 1, 31));
    bool printed = false;
    f.reports->onPrint = [&](const QString &, const output::PrintParameters &, const output::ReportSource &) {
        printed = true;
    };
    f.reports->RaportProsty(false, Criterion::Rozdzialy);
    f.dialogResult = fenwa::ui::TF_OdDo::Drukuj;
    f.reports->RaportProsty(true, Criterion::Zrodla);
    EXPECT_EQ(f.inst.messages.texts(), QStringList({kOneYearText, kOneYearText}));
    EXPECT_FALSE(printed);
    EXPECT_TRUE(f.reports->lastSheet().path.isEmpty());
}

// With quantities the print uses Rep_Simple_Il with the criterion's heading,
// and the sheet has seven columns, the amounts in the last three.
TEST(Raporty, SingleCriterionPrintAndSheetWithQuantities)
{
    ReportsFixture f;
    f.odDo.Panel->CheckBox1->setChecked(true);
    f.dialogResult = fenwa::ui::TF_OdDo::Drukuj;
    QString layout, kryterium;
    int rows = 0;
    f.reports->onPrint = [&](const QString &l, const output::PrintParameters &p, const output::ReportSource &s) {
        layout = l;
        kryterium = p.get(QStringLiteral("Kryterium"));
        rows = s.rowCount();
    };
    f.reports->RaportProsty(false, Criterion::Rozdzialy);
    EXPECT_EQ(layout, QStringLiteral("Rep_Simple_Il"));
    EXPECT_EQ(kryterium, QStringLiteral("Rozdział"));
    EXPECT_GT(rows, 0);

    f.dialogResult = fenwa::ui::TF_OdDo::Arkusz;
    f.reports->RaportProsty(false, Criterion::Rozdzialy);
    ASSERT_TRUE(f.reports->lastSheet().ok) << f.inst.messages.texts().join('|').toStdString();
    const testing_xlsx::Workbook wb = testing_xlsx::read(f.reports->lastSheet().path);
    ASSERT_TRUE(wb.ok);
    EXPECT_EQ(wb.text("A1"), QStringLiteral("Wydatki według rozdziałów za okres od 01.02.2016 do 31.03.2016 - ")
                                 + f.odDo.unitName());
    EXPECT_EQ(wb.merges.value(0), QStringLiteral("A1:G1"));
    EXPECT_EQ(wb.text("C2"), QStringLiteral("Jednostka miary"));
    EXPECT_EQ(wb.text("G2"), QStringLiteral("Brutto"));
    EXPECT_NEAR(wb.colWidths.value(2), 60.71, 0.01);
    EXPECT_NEAR(wb.colWidths.value(5), 15.71, 0.01);
    QMap<QString, double> gross;
    for (int r = 3; !wb.text(QStringLiteral("B%1").arg(r)).isEmpty(); ++r)
        gross[wb.text(QStringLiteral("B%1").arg(r))] += wb.text(QStringLiteral("G%1").arg(r)).toDouble();
    const QMap<QString, double> expected = f.grossPerChapter();
    ASSERT_EQ(gross.keys(), expected.keys());
    for (const QString &k : expected.keys())
        EXPECT_NEAR(gross[k], expected[k], 0.005);
}

// The chart of the chapter report: one bar per chapter, its height the gross total.
TEST(Raporty, ChartBarsAreTheGrossTotals)
{
    ReportsFixture f;
    f.dialogResult = fenwa::ui::TF_OdDo::Wykres;
    QStringList categories;
    QVector<double> bars;
    f.reports->showChart = [&](fenwa::reports::ui::TF_Wykres &w) {
        w.show();
        const auto series = w.chart()->series();
        ASSERT_EQ(series.size(), 1);
        auto *bar = qobject_cast<QAbstractBarSeries *>(series.first());
        ASSERT_TRUE(bar);
        ASSERT_EQ(bar->barSets().size(), 1);
        for (int i = 0; i < bar->barSets().first()->count(); ++i)
            bars << bar->barSets().first()->at(i);
        for (QAbstractAxis *axis : w.chart()->axes(Qt::Horizontal))
            if (auto *c = qobject_cast<QBarCategoryAxis *>(axis))
                categories = c->categories();
        EXPECT_TRUE(w.saveAs(f.inst.dir.filePath(QStringLiteral("wykres.png"))));
    };
    f.reports->RaportProsty(false, Criterion::Rozdzialy);
    const QMap<QString, double> expected = f.grossPerChapter();
    ASSERT_EQ(categories, expected.keys());
    for (int i = 0; i < categories.size(); ++i)
        EXPECT_NEAR(bars[i], expected[categories[i]], 0.005);
    EXPECT_TRUE(QImage(f.inst.dir.filePath(QStringLiteral("wykres.png"))).width() > 0);
}

// ">>" appends to the included list and "<<" gives back; the sheet button
// needs a unit and a criterion; "pracownie" is offered in a voivodeship only.
TEST(KryteriaDialog, IncludedCriteriaAndTheSheetButton)
{
    Installation inst;
    fenwa::reports::ui::TF_Kryteria d(QDate(2016, 3, 15), true);
    d.Panel->fillUnits(*inst.dane);
    EXPECT_EQ(d.ListBox1->count(), 13);
    EXPECT_EQ(d.ListBox1->item(12)->text(), QStringLiteral("pracownie"));
    d.include(QStringLiteral("kontrahenci"));
    d.include(QStringLiteral("rozdziały"));
    EXPECT_EQ(d.included(), QStringList({QStringLiteral("kontrahenci"), QStringLiteral("rozdziały")}));
    EXPECT_FALSE(d.BitBtn2->isEnabled());
    d.Panel->ComboBox1->setCurrentIndex(1);
    EXPECT_TRUE(d.BitBtn2->isEnabled());
    d.exclude(QStringLiteral("kontrahenci"));
    d.exclude(QStringLiteral("rozdziały"));
    EXPECT_FALSE(d.BitBtn2->isEnabled());
    EXPECT_EQ(d.ListBox1->item(12)->text(), QStringLiteral("rozdziały"));

    fenwa::reports::ui::TF_Kryteria county(QDate(2016, 3, 15), false);
    EXPECT_TRUE(county.ListBox1->findItems(QStringLiteral("pracownie"), Qt::MatchExactly).isEmpty());
}
