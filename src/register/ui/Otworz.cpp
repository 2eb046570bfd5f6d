#include "register/ui/Otworz.h"

#include "common/Calendar.h"
#include "register/Register.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fenwa::reg::ui {

TF_Otworz::TF_Otworz(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_Otworz"));
    setWindowTitle(QStringLiteral("Otwórz"));
    Label4 = new QLabel(QStringLiteral("Rok:"), this);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(2011, 2030);
    Label3 = new QLabel(QStringLiteral("Miesiąc"), this);
    ComboBox3 = new QComboBox(this);
    ComboBox3->addItems(monthNames());
    Label2 = new QLabel(QStringLiteral("Jednostka:"), this);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setMinimumWidth(420);
    Label4->setBuddy(SpinEdit1);
    Label3->setBuddy(ComboBox3);
    Label2->setBuddy(ComboBox2);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Anuluj"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(SpinEdit1, 0, 1, Qt::AlignLeft);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(ComboBox3, 1, 1, Qt::AlignLeft);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(ComboBox2, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addSpacing(8);
    lay->addLayout(buttons);
    setFixedSize(sizeHint());
    setTabOrder(SpinEdit1, ComboBox3);
    setTabOrder(ComboBox3, ComboBox2);
    setTabOrder(ComboBox2, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TF_Otworz::updateOk);
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TF_Otworz::updateOk);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TF_Otworz::updateOk);
    updateOk();
}

void TF_Otworz::fillUnits(data::TF_Dane &dane)
{
    bool single = false;
    const QStringList names = unitNames(dane, &single);
    ComboBox2->clear();
    ComboBox2->addItems(names);
    ComboBox2->setCurrentIndex(single && !names.isEmpty() ? 0 : -1);
    Label2->setEnabled(!single);
    ComboBox2->setEnabled(!single);
    updateOk();
}

void TF_Otworz::propose(const QDate &today)
{
    SpinEdit1->setValue(today.year());
    ComboBox3->setCurrentIndex(today.month() - 1);
    ComboBox3->setEnabled(true);
    Label3->setEnabled(true);
    updateOk();
}

int TF_Otworz::year() const { return SpinEdit1->value(); }
int TF_Otworz::month() const { return ComboBox3->currentIndex() + 1; }
QString TF_Otworz::unitName() const { return ComboBox2->currentText(); }

void TF_Otworz::updateOk()
{
    BitBtn1->setEnabled(ComboBox2->currentIndex() >= 0 && ComboBox3->currentIndex() >= 0);
}

void TF_Otworz::showEvent(QShowEvent *event)
{
    updateOk();
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace fenwa::reg::ui
