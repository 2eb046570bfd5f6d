#pragma once
// A date box as the program's date fields behave: "dd.MM.yyyy" with a calendar
// drop-down; Tab and Shift+Tab leave the field for the next or previous one, as
// in every other field of a form, while the arrow keys move between day, month
// and year (a plain date edit spends Tab on its sections, so a clerk tabbing
// through a form types the next field's text into the date).
#include <QDateEdit>

namespace fenwa::ui {

class DateField : public QDateEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);
    DateField(const QDate &date, QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};

} // namespace fenwa::ui
