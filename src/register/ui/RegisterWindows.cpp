#include "register/ui/RegisterWindows.h"

#include "common/Calendar.h"
#include "data/Guard.h"

namespace fenwa::reg::ui {

RegisterWindows::RegisterWindows(data::TF_Dane &dane, QWidget *mainWindow)
    : dane_(dane), flow_(dane)
{
    F_Otworz = new TF_Otworz(mainWindow);
    F_Otworz->fillUnits(dane);
    F_GrDok = new TF_GrDok(dane, mainWindow);
    F_ListaPoz = new TF_ListaPoz(dane, mainWindow);
    runDialog = [](QDialog &d) { return d.exec(); };
    showPositions = [this](RegisterFlow &flow) {
        QString caption;
        const bool opened = data::guarded(dane_.messages(), [&] { caption = flow.openPositions(); });
        if (opened) {
            F_ListaPoz->setWindowTitle(caption);
            runDialog(*F_ListaPoz);
        }
        flow.closePositions();
    };
}

RegisterWindows::~RegisterWindows() = default;

void RegisterWindows::Otwrz1Click()
{
    if (!flow_.allowed())
        return;
    F_Otworz->propose(dane_.clock().today());
    dane_.openRegister().rok = F_Otworz->year();
    dane_.openRegister().mc = F_Otworz->month();
    if (runDialog(*F_Otworz) != QDialog::Accepted)
        return;
    QString caption;
    if (!data::guarded(dane_.messages(), [&] {
            caption = flow_.openGroups(F_Otworz->year(), F_Otworz->month(), F_Otworz->unitName());
        }))
        return;
    F_GrDok->setWindowTitle(caption);
    if (runDialog(*F_GrDok) != QDialog::Accepted)
        return;
    if (showPositions)
        showPositions(flow_);
}

} // namespace fenwa::reg::ui
