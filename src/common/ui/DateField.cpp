#include "common/ui/DateField.h"

namespace fenwa::ui {

DateField::DateField(QWidget *parent) : DateField(QDate(), parent) {}

DateField::DateField(const QDate &date, QWidget *parent) : QDateEdit(date, parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
}

bool DateField::focusNextPrevChild(bool next)
{
    // Past the date edit's own section stepping, straight to the form's order.
    return QWidget::focusNextPrevChild(next);
}

} // namespace fenwa::ui
