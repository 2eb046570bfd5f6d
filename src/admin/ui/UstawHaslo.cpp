#include "admin/ui/UstawHaslo.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace fenwa::admin {

TF_UstawHaslo::TF_UstawHaslo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_UstawHaslo"));
    setModal(true);
    auto edit = [this] {
        auto *e = new QLineEdit(this);
        e->setEchoMode(QLineEdit::Password);
        e->setMinimumWidth(200);
        return e;
    };
    Edit1 = edit();
    Edit2 = edit();
    Edit3 = edit();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Stare hasło:"), Edit1);
    form->addRow(QStringLiteral("Nowe hasło:"), Edit2);
    form->addRow(QStringLiteral("Potwierdź nowe hasło:"), Edit3);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Anuluj"), this);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(Abort); });

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto *buttons = new QHBoxLayout(panel);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(panel);
    lay->setSizeConstraint(QLayout::SetFixedSize);

    run = [](TF_UstawHaslo &dialog) { return dialog.exec(); };
}

std::optional<PasswordEntry> TF_UstawHaslo::ask(const QString &caption)
{
    setWindowTitle(caption);
    clearEdits();
    adjustSize();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Edit1->setFocus();
    const int result = run(*this);
    PasswordEntry entry{Edit1->text(), Edit2->text(), Edit3->text()};
    clearEdits();
    if (result != QDialog::Accepted)
        return std::nullopt;
    return entry;
}

void TF_UstawHaslo::clearEdits()
{
    for (QLineEdit *e : {Edit1, Edit2, Edit3})
        e->clear();
}

} // namespace fenwa::admin
