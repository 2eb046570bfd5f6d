#pragma once
// The criteria dialog "Raport" (F_Kryteria) of the multi-criteria report: the
// period and unit controls of the period dialog, the available and included
// criteria (">>" appends the selected available one to the included list,
// "<<" gives the selected included one back; items can also be dragged
// between the lists and reordered in the included one), "Drukować ilości",
// "Raport zbiorczy", the spreadsheet button, "Wykres" and "Anuluj". Created
// once; everything keeps its state between uses.
#include "common/ui/OdDo.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace fenwa::reports::ui {

class TF_Kryteria : public QDialog {
    Q_OBJECT
public:
    // Results of exec(): the spreadsheet button gives Arkusz, "Wykres" Wykres.
    enum Result { Arkusz = fenwa::ui::TF_OdDo::Arkusz, Wykres = fenwa::ui::TF_OdDo::Wykres };

    // "pracownie" is offered in a voivodeship installation only.
    TF_Kryteria(const QDate &today, bool voivodeship, QWidget *parent = nullptr);

    // The included criteria's labels, in order.
    QStringList included() const;
    // Moves a criterion between the lists as ">>" or "<<" does.
    void include(const QString &label);
    void exclude(const QString &label);

    fenwa::ui::PeriodUnitPanel *Panel;
    QGroupBox *GroupBox1;
    QLabel *Label4, *Label5;
    QListWidget *ListBox1, *ListBox2;
    QPushButton *Button1, *Button2, *BitBtn2, *BitBtnWykres, *BitBtn3;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void move(QListWidget *from, QListWidget *to);
    void updateButtons();
};

} // namespace fenwa::reports::ui
