#pragma once
// The dialog "Otwórz": year, month and unit of the register to open.
#include "data/Dane.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace fenwa::reg::ui {

class TF_Otworz : public QDialog {
    Q_OBJECT
public:
    explicit TF_Otworz(QWidget *parent = nullptr);

    // Fills the unit list (once, at creation in the start-up).
    void fillUnits(data::TF_Dane &dane);
    // Proposes the current year and month; the unit stays as chosen last time.
    void propose(const QDate &today);

    int year() const;
    int month() const;   // 1..12, 0 when none
    QString unitName() const;

    QLabel *Label4, *Label3, *Label2;
    QSpinBox *SpinEdit1;
    QComboBox *ComboBox3, *ComboBox2;
    QPushButton *BitBtn1, *BitBtn2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateOk();
};

} // namespace fenwa::reg::ui
