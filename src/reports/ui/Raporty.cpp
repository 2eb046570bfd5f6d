#include "reports/ui/Raporty.h"

#include "data/Guard.h"
#include "data/Units.h"
#include "output/DatasetSource.h"
#include "output/Standard.h"
#include "output/ui/DesktopOpener.h"
#include "output/ui/PrintPreview.h"
#include "reports/CriteriaReport.h"
#include "reports/PlanReport.h"
#include "reports/ui/Wykres.h"

#include <QDir>

namespace fenwa::reports::ui {

ReportWindows::ReportWindows(data::TF_Dane &dane, fenwa::ui::TF_OdDo &odDo, QString dumpFolder, QWidget *mainWindow)
    : dane_(dane), odDo_(odDo), dumpFolder_(std::move(dumpFolder)), mainWindow_(mainWindow)
{
    F_Kryteria = new TF_Kryteria(dane.clock().today(), dane.settings().voivodeship(), mainWindow);
    F_Kryteria->Panel->fillUnits(dane);
    runDialog = [](QDialog &d) { return d.exec(); };
    showChart = [](TF_Wykres &w) { w.exec(); };
}

std::optional<ReportRequest> ReportWindows::request(const fenwa::ui::PeriodUnitPanel &panel, bool koszty)
{
    ReportRequest r;
    r.od = panel.od();
    r.doDnia = panel.doDnia();
    if (!r.oneYear()) {
        dane_.messages().error(kOneYearText);
        return std::nullopt;
    }
    r.unitName = panel.unitName();
    r.koszty = koszty;
    r.ilosci = panel.ilosci();
    r.zbiorczy = panel.zbiorczy();
    r.code = data::unitCode(dane_, r.unitName);
    if (r.code.isEmpty()) {
        dane_.messages().error(QStringLiteral("Nie znaleziono jednostki „%1” w słownikach inspektoratów i jednostek.")
                                   .arg(r.unitName));
        return std::nullopt;
    }
    if (r.zbiorczy)
        r.subordinates = data::subordinateCodes(dane_);
    return r;
}

void ReportWindows::chart(const ChartData &data, const ChartData &split)
{
    TF_Wykres w(data, dane_.messages(), dane_.settings().fe, parent(), split);
    showChart(w);
}

void ReportWindows::RaportProsty(bool koszty, Criterion criterion)
{
    odDo_.setPrintEnabled(true);
    odDo_.setQuantitiesEnabled(true);
    odDo_.setChartEnabled(true);
    const int result = runDialog(odDo_);
    odDo_.setChartEnabled(false);
    if (result == QDialog::Rejected)
        return;
    const std::optional<ReportRequest> r = request(*odDo_.Panel, koszty);
    if (!r)
        return;
    data::Query &q = *dane_.Q_Simple;
    data::safely(dane_.messages(), [&] {
        openSimple(q, *r, criterion);
        const CriterionInfo &info = criterionInfo(criterion);
        const QString title = simpleTitle(*r, criterion);
        if (result == fenwa::ui::TF_OdDo::Drukuj) {
            const QString layout = r->ilosci ? QStringLiteral("Rep_Simple_Il") : QStringLiteral("Rep_Simple");
            output::PrintParameters params = output::standardParameters(dane_, title);
            params.set(QStringLiteral("Kryterium"), info.columnTitle);
            const output::DatasetSource source(q);
            if (onPrint)
                onPrint(layout, params, source);
            else
                output::ui::runPrint(parent(), layout, params, source, dane_.messages());
        } else if (result == fenwa::ui::TF_OdDo::Arkusz) {
            lastSheet_ = output::SheetExport::run(
                output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop),
                simpleSheet(*r, criterion), [&](output::SheetExport &x) {
                    for (int row = 0; row < q.recordCount(); ++row)
                        x.addRow(sheetValues(q, row));
                });
        } else {
            chart(totalsChart(q, title, info.columnTitle, false), totalsChart(q, title, info.columnTitle, true));
        }
    });
    q.close();
}

void ReportWindows::RaportZlozony(bool koszty)
{
    const int result = runDialog(*F_Kryteria);
    if (result == QDialog::Rejected)
        return;
    const std::optional<ReportRequest> r = request(*F_Kryteria->Panel, koszty);
    if (!r)
        return;
    const QStringList included = F_Kryteria->included();
    data::Query &q = *dane_.Q_Kryt;
    data::safely(dane_.messages(), [&] {
        openCriteria(q, *r, included, QDir(dumpFolder_).filePath(QStringLiteral("tt.txt")));
        if (result == TF_Kryteria::Arkusz) {
            lastSheet_ = output::SheetExport::run(
                output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop),
                criteriaSheet(*r, included, q.fieldCount()), [&](output::SheetExport &x) {
                    for (int row = 0; row < q.recordCount(); ++row)
                        x.addRow(sheetValues(q, row));
                });
        } else {
            const MultiCriterion *first = findMultiCriterion(included.value(0));
            const QString heading = first ? first->heading : QString();
            chart(totalsChart(q, criteriaTitle(*r), heading, false), totalsChart(q, criteriaTitle(*r), heading, true));
        }
    });
    q.close();
}

void ReportWindows::RealizacjaPlanow(bool koszty)
{
    odDo_.setPrintEnabled(false);
    odDo_.setQuantitiesEnabled(false);
    odDo_.setChartEnabled(true);
    const int result = runDialog(odDo_);
    odDo_.setChartEnabled(false);
    odDo_.setPrintEnabled(true);
    if (result == QDialog::Rejected)
        return;
    const std::optional<ReportRequest> r = request(*odDo_.Panel, koszty);
    if (!r)
        return;
    data::safely(dane_.messages(), [&] {
        const PlanTable table = planRealisation(*dane_.database(), *r);
        if (table.isEmpty())
            return;   // nothing in the period: the report ends silently
        if (result == fenwa::ui::TF_OdDo::Wykres) {
            chart(planChart(table, planTitle(*r)));
            return;
        }
        lastSheet_ = output::SheetExport::run(
            output::sheetEnvironment(dane_, openFile ? openFile : output::ui::openWithDesktop), planSheet(*r, table),
            [&](output::SheetExport &x) {
                for (const PlanTable::Row &row : table.rows)
                    x.addRow(planValues(row));
            });
    });
}

} // namespace fenwa::reports::ui
