#pragma once
// The program's message boxes: fenwa::Messages shown with QMessageBox, over
// the active window (the given parent when none is active).
#include "common/Messages.h"

#include <QPointer>
#include <QWidget>

namespace fenwa::app {

class QtMessages : public Messages {
public:
    explicit QtMessages(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    void error(const QString &text, const QString &title = QStringLiteral("Błąd")) override;
    void warning(const QString &text, const QString &title = QStringLiteral("Ostrzeżenie")) override;
    void information(const QString &text, const QString &title = QStringLiteral("Informacja")) override;
    bool question(const QString &text, const QString &title = QStringLiteral("Pytanie")) override;
    void questionOk(const QString &text, const QString &title = QStringLiteral("Pytanie")) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace fenwa::app
