#include "app/ui/QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace fenwa::app {

namespace {
int show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def)
{
    // The box belongs to the window the user works in (a search dialog over a
    // list, say): when it closes, that window is active again.
    if (QWidget *active = QApplication::activeWindow())
        parent = active;
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(def);
    // Shown above every window of the program, as a system-modal box is.
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}
} // namespace

void QtMessages::error(const QString &text, const QString &title)
{
    show(parent_, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::warning(const QString &text, const QString &title)
{
    show(parent_, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::information(const QString &text, const QString &title)
{
    show(parent_, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessages::question(const QString &text, const QString &title)
{
    return show(parent_, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessages::questionOk(const QString &text, const QString &title)
{
    show(parent_, QMessageBox::Question, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace fenwa::app
