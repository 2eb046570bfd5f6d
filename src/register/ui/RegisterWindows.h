#pragma once
// The register's windows and the flow that leads through them, from the main
// window's "Otwórz" to the groups of a month and on to a group's positions.
#include "data/Dane.h"
#include "register/Register.h"
#include "register/ui/GrDok.h"
#include "register/ui/ListaPoz.h"
#include "register/ui/Otworz.h"

#include <functional>

namespace fenwa::reg::ui {

class RegisterWindows {
public:
    RegisterWindows(data::TF_Dane &dane, QWidget *mainWindow);
    ~RegisterWindows();

    TF_Otworz *F_Otworz;
    TF_GrDok *F_GrDok;
    TF_ListaPoz *F_ListaPoz;

    // Shows a modal dialog; replaceable for tests (default: exec()).
    std::function<int(QDialog &)> runDialog;
    // The positions of the chosen group: run after the groups window closed
    // with "Pozycje". The default opens the positions (file, choice-list
    // filters, read-only rule), shows the positions list modally under its
    // caption and, when it closes, switches the filters off again; an engine
    // error on the way is shown and ends the flow.
    std::function<void(RegisterFlow &flow)> showPositions;

    // The main window's "Otwórz" (Ctrl+O, first tool button).
    void Otwrz1Click();

private:
    data::TF_Dane &dane_;
    RegisterFlow flow_;
};

} // namespace fenwa::reg::ui
