#pragma once
// The position editor: the modal form in which one position of the current
// document group is entered or corrected. Its controls are bound to the
// current record of the positions table, so every change lands in the record
// being inserted or edited; the record rules open it when a position enters
// insert or edit state and save the record on OK, cancel it otherwise.
#include "common/ui/LookupCombo.h"
#include "data/Dane.h"
#include "register/PositionAmounts.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QDateEdit;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace fenwa::reg::ui {

class TF_EdPoz : public QDialog {
    Q_OBJECT
public:
    TF_EdPoz(data::TF_Dane &dane, QWidget *parent = nullptr);

    // Tabs of the dictionaries window, in its order, that the "..." buttons open.
    enum DictionaryPage {
        PageZf = 2, PageCh = 3, PageGat = 4, PageJm = 5, PageCz = 6, PageBd = 7, PageBp = 8, PageZak = 9,
        PageKontr = 10, PageOb = 11, PagePrac = 13
    };

    // Shows the current record of T_Poz under the caption and returns true for
    // OK (the record rules then save it). Ends a copy pending in the positions list.
    bool execute(const QString &caption);

    // The dictionaries window opened at a page as a picker: the Id of the row
    // chosen with OK, nothing otherwise. Not set: the "..." buttons do nothing.
    std::function<std::optional<qlonglong>(int page)> pickFromDictionary;
    // Shows the editor modally; replaceable for tests (default: exec()).
    std::function<int(TF_EdPoz &)> runModal;

    // The laboratory row is shown only for the voivodeship installation (p_w = 1).
    void setInstallationKind(int p_w);
    // OK is enabled exactly when every required field is filled; the controls
    // of the empty ones are yellow.
    void checkComplete();
    // Whether the control is painted as an empty required field.
    static bool markedEmpty(const QWidget *control);

    // OK closes only when the required fields are filled and every amount's
    // text is a number (or empty).
    void done(int result) override;

    QDateEdit *DateTimePicker1;
    QLineEdit *E_Pks, *E_Fak, *E_Opis;
    fenwa::ui::LookupCombo *C_Kontr, *C_Ch, *C_Gat, *C_Cz, *C_Jm, *C_Zf, *C_Bd, *C_Bp, *C_Zak, *C_Ob, *C_Prac;
    QLineEdit *E_Ilosc, *E_Cena, *E_Brutto, *E_Netto, *E_Podatki;
    QCheckBox *CB_Wyd, *CB_Kosz, *CB_Dot, *CB_Dodatkowe;
    QLabel *L_Cena;
    QGroupBox *GB_Wartosc, *GB_Dodatkowe;
    QPushButton *BitBtn1, *BitBtn2;   // "OK", "Anuluj"
    // The "..." button beside a choice list.
    QToolButton *dictionaryButton(const fenwa::ui::LookupCombo *combo) const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Lookup {
        QString field;
        fenwa::ui::LookupCombo *combo;
        QToolButton *button;
        int page;
    };
    struct Amount {
        QString field;
        QString label;
        QLineEdit *edit;
        QLabel *labelWidget;
    };

    void build();
    fenwa::ui::LookupCombo *addLookup(QGridLayout *grid, int row, const QString &label, const QString &field,
                                      data::Dataset *dictionary, QVector<fenwa::ui::LookupColumn> columns, int page);
    QLineEdit *addAmount(QGridLayout *grid, int row, const QString &label, const QString &field);
    void loadControls();
    void write(const QString &field, const QVariant &value);
    // Takes an amount's text into its field; text that is no number is refused
    // with a message and the control shows the field's value again.
    bool commitAmount(const Amount &a);
    void leaveAmount(const Amount &a);
    // Applies one of the amount rules to the record's amounts.
    void derive(void (PositionAmounts::*rule)());
    void recomputePrice();
    void pick(const Lookup &l);
    void showExtra(bool on);
    const Amount *amountOf(const QObject *edit) const;

    data::TF_Dane &dane_;
    data::Table &poz_;
    QVector<Lookup> lookups_;
    QVector<Amount> amounts_;
    QVector<QWidget *> pracRow_;
    bool loading_ = false;
};

} // namespace fenwa::reg::ui
