#pragma once
// The search dialog: finds the next or previous record containing a text in
// the grid of whichever list window is open. Shown without blocking.
#include "common/Messages.h"
#include "data/Dataset.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fenwa::reports::ui {

class TF_Szukaj : public QDialog {
    Q_OBJECT
public:
    TF_Szukaj(Messages &messages, QWidget *parent = nullptr);

    // Windows that can be searched register themselves in the order of
    // precedence; a target gives its dataset while its window is visible,
    // else nullptr.
    using Target = std::function<data::Dataset *()>;
    void addTarget(Target target) { targets_.push_back(std::move(target)); }

    // Shows the dialog (not modally), centred on `owner`.
    void showFor(QWidget *owner);
    void findNext();

    QLineEdit *Edit1;
    QCheckBox *CheckBox1;
    QRadioButton *Gora, *Dol;
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Messages &messages_;
    QVector<Target> targets_;
};

} // namespace fenwa::reports::ui
