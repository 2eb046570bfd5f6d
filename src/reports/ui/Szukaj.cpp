#include "reports/ui/Szukaj.h"

#include "data/Guard.h"
#include "reports/Szukaj.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fenwa::reports::ui {

TF_Szukaj::TF_Szukaj(Messages &messages, QWidget *parent) : QDialog(parent), messages_(messages)
{
    setObjectName(QStringLiteral("F_Szukaj"));
    setWindowTitle(QStringLiteral("Szukaj"));
    setModal(false);
    auto *label = new QLabel(QStringLiteral("Znajdź:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setMinimumWidth(260);
    label->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(QStringLiteral("Uwzględnij wielość liter"), this);
    auto *box = new QGroupBox(QStringLiteral("Kierunek "), this);
    Gora = new QRadioButton(QStringLiteral("Góra"), box);
    Dol = new QRadioButton(QStringLiteral("Dół"), box);
    auto *dir = new QHBoxLayout(box);
    dir->addWidget(Gora);
    dir->addWidget(Dol);
    Button1 = new QPushButton(QStringLiteral("Znajdź następny"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);

    auto *left = new QVBoxLayout;
    auto *line = new QHBoxLayout;
    line->addWidget(label);
    line->addWidget(Edit1);
    left->addLayout(line);
    auto *lower = new QHBoxLayout;
    lower->addWidget(CheckBox1);
    lower->addWidget(box);
    left->addLayout(lower);
    auto *right = new QVBoxLayout;
    right->addWidget(Button1);
    right->addWidget(Button2);
    right->addStretch();
    auto *lay = new QHBoxLayout(this);
    lay->addLayout(left);
    lay->addLayout(right);

    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString &t) { Button1->setEnabled(!t.isEmpty()); });
    connect(Button1, &QPushButton::clicked, this, &TF_Szukaj::findNext);
    connect(Button2, &QPushButton::clicked, this, &QDialog::close);
}

void TF_Szukaj::showFor(QWidget *owner)
{
    // The owner is usually shown modally: only its own children take input
    // then, so the dialog moves under the window it searches.
    if (owner && parentWidget() != owner->window())
        setParent(owner->window(), windowFlags());
    if (owner)
        move(owner->window()->geometry().center() - QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
    show();
    raise();
    activateWindow();
}

void TF_Szukaj::showEvent(QShowEvent *event)
{
    Edit1->clear();
    Button1->setEnabled(false);
    CheckBox1->setChecked(false);
    Dol->setChecked(true);
    Edit1->setFocus();
    QDialog::showEvent(event);
}

void TF_Szukaj::findNext()
{
    data::Dataset *target = nullptr;
    for (const Target &t : targets_) {
        if ((target = t()))
            break;
    }
    if (!target) {
        messages_.information(QStringLiteral("W tym oknie funkcja wyszukiwania nie działa."));
        return;
    }
    // Leaving a pending record saves it; a refusal keeps it and the cursor.
    data::guarded(messages_, [&] {
        reports::findNext(*target, Edit1->text(), CheckBox1->isChecked(),
                          Gora->isChecked() ? SearchDirection::Up : SearchDirection::Down, messages_);
    });
    // After a "Nie znaleziono" box the next keys are meant for this dialog.
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

} // namespace fenwa::reports::ui
