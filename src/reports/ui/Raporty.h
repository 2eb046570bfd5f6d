#pragma once
// The reports of the "Raporty" menu: the single-criterion summaries through
// the period dialog (print, sheet or chart), the multi-criteria report
// through the criteria dialog (sheet or chart) and the plan realisation
// table (sheet or chart). The main window's items call these; the right to
// browse is checked there.
#include "common/ui/OdDo.h"
#include "data/Dane.h"
#include "output/PrintJob.h"
#include "output/SheetExport.h"
#include "reports/ChartData.h"
#include "reports/ReportRequest.h"
#include "reports/SimpleReport.h"
#include "reports/ui/Kryteria.h"

#include <QString>
#include <functional>
#include <optional>

namespace fenwa::reports::ui {

class TF_Wykres;

class ReportWindows {
public:
    // `odDo` is the program's one period dialog (shared with other users of
    // it); `dumpFolder` is the private folder the multi-criteria statement
    // is written to (tt.txt).
    ReportWindows(data::TF_Dane &dane, fenwa::ui::TF_OdDo &odDo, QString dumpFolder, QWidget *mainWindow);

    TF_Kryteria *F_Kryteria;

    // Replaceable for tests: showing a modal dialog (default exec()), opening
    // a written sheet (default the desktop's program), a print run (default
    // the preview) and showing a chart (default exec()).
    std::function<int(QDialog &)> runDialog;
    std::function<bool(const QString &path)> openFile;
    std::function<void(const QString &layout, const output::PrintParameters &, const output::ReportSource &)> onPrint;
    std::function<void(TF_Wykres &)> showChart;

    void RaportProsty(bool koszty, Criterion criterion);
    void RaportZlozony(bool koszty);
    void RealizacjaPlanow(bool koszty);

    // The last sheet written (tests).
    const output::SheetResult &lastSheet() const { return lastSheet_; }

private:
    // The request from the dialog's values; none (after the message) when the
    // dates lie in different years or the unit is unknown.
    std::optional<ReportRequest> request(const fenwa::ui::PeriodUnitPanel &panel, bool koszty);
    // The chart window; `split` is the net-and-charges view, if any.
    void chart(const ChartData &data, const ChartData &split = {});
    QWidget *parent() const { return mainWindow_; }

    data::TF_Dane &dane_;
    fenwa::ui::TF_OdDo &odDo_;
    QString dumpFolder_;
    QWidget *mainWindow_;
    output::SheetResult lastSheet_;
};

} // namespace fenwa::reports::ui
