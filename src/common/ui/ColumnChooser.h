#pragma once
// "Widoczne kolumny": the grid's columns by their titles, the visible ones
// ticked; "OK" and "&zastosuj" show and hide the columns as ticked.
#include <QDialog>

class QListWidget;
class QPushButton;

namespace fenwa::ui {

class DbGrid;

class ColumnChooser : public QDialog {
    Q_OBJECT
public:
    explicit ColumnChooser(DbGrid *grid);

    QListWidget *list() const { return list_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *applyButton() const { return apply_; }
    void applyChoice();

private:
    DbGrid *grid_;
    QListWidget *list_;
    QPushButton *ok_, *cancel_, *apply_, *help_;
};

} // namespace fenwa::ui
