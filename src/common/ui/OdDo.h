#pragma once
// The period and unit dialog "Raport" (F_OdDo), and the period and unit
// controls it shares with the criteria dialog.
//
// Use by a report or statement: fill the unit list once (fillUnits, at
// start-up), then before every use choose which outputs it offers
// (setPrintEnabled, setQuantitiesEnabled, setChartEnabled), show it modally
// and read the result and the values:
//
//   F_OdDo->setPrintEnabled(true);
//   F_OdDo->setQuantitiesEnabled(true);
//   switch (F_OdDo->exec()) {
//   case TF_OdDo::Drukuj: ...   // the print button (default)
//   case TF_OdDo::Arkusz: ...   // "Pokaż raport w programie MS Excel"
//   case TF_OdDo::Wykres: ...   // "Wykres", when enabled
//   default: return;            // "Anuluj"
//   }
//   F_OdDo->od(), F_OdDo->doDnia(), F_OdDo->unitName(), F_OdDo->ilosci(), F_OdDo->zbiorczy()
//
// The dates, the unit and both check boxes keep their state between uses.
#include "data/Dane.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace fenwa::ui {

// "Od dnia:", "Do dnia:" (both today at creation), "Jednostka:", "Drukować
// ilości" and "Raport zbiorczy". A county installation fixes the unit (label
// and list disabled) and disables "Raport zbiorczy"; ticking it selects the
// first unit (the voivodeship inspectorate) and disables the list while ticked.
class PeriodUnitPanel : public QWidget {
    Q_OBJECT
public:
    PeriodUnitPanel(const QDate &today, QWidget *parent = nullptr);

    // The unit list as the installation gives it (see data::unitNames).
    void fillUnits(data::TF_Dane &dane);
    void setUnits(const QStringList &names, bool singleUnit);

    QDate od() const;
    QDate doDnia() const;
    QString unitName() const;
    bool unitChosen() const;
    bool ilosci() const;
    bool zbiorczy() const;

    // "Drukować ilości" enabled or disabled (unticked when disabled).
    void setQuantitiesEnabled(bool on);

    QLabel *Label1, *Label2, *Label3;
    QDateEdit *DateTimePicker1, *DateTimePicker2;
    QComboBox *ComboBox1;
    QCheckBox *CheckBox1, *CheckBox2;

signals:
    // The unit or "Raport zbiorczy" changed: the dialog's buttons follow.
    void unitChanged();

private:
    bool single_ = false;
};

class TF_OdDo : public QDialog {
    Q_OBJECT
public:
    // Results of exec(): the print button gives Accepted, the spreadsheet
    // button Arkusz, the chart button Wykres, "Anuluj" Rejected.
    enum Result { Drukuj = QDialog::Accepted, Arkusz = 6, Wykres = 20 };

    TF_OdDo(const QDate &today, QWidget *parent = nullptr);

    void fillUnits(data::TF_Dane &dane) { Panel->fillUnits(dane); }

    void setPrintEnabled(bool on);
    void setQuantitiesEnabled(bool on) { Panel->setQuantitiesEnabled(on); }
    // The "Wykres" button, shown only for the reports that draw a chart.
    void setChartEnabled(bool on);

    QDate od() const { return Panel->od(); }
    QDate doDnia() const { return Panel->doDnia(); }
    QString unitName() const { return Panel->unitName(); }
    bool ilosci() const { return Panel->ilosci(); }
    bool zbiorczy() const { return Panel->zbiorczy(); }

    PeriodUnitPanel *Panel;
    QPushButton *BitBtn1, *BitBtn2, *BitBtnWykres, *BitBtn3;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateButtons();
    bool printAllowed_ = true;
    bool chartAllowed_ = false;
};

} // namespace fenwa::ui
