#include "reports/ui/Filtr.h"

#include "common/ui/DateField.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenwa::reports::ui {

FilterDialog::FilterDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Filtr"));
    setModal(true);
    setMinimumWidth(340);
    auto *outer = new QVBoxLayout(this);
    body = new QVBoxLayout;
    outer->addLayout(body);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
}

TF_FiltrTekstowy::TF_FiltrTekstowy(QWidget *parent)
    : FilterDialog(parent)
    , Label1(new QLabel(this))
    , Edit1(new QLineEdit(this))
{
    body->addWidget(Label1);
    body->addWidget(Edit1);
}

void TF_FiltrTekstowy::prefill(const QString &title, const QString &value)
{
    Label1->setText(title);
    Edit1->setText(value);
}

TF_FiltrReal::TF_FiltrReal(QWidget *parent)
    : FilterDialog(parent)
    , Label1(new QLabel(this))
    , Od(new QLineEdit(this))
    , Do(new QLineEdit(this))
{
    body->addWidget(Label1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("od"), Od);
    form->addRow(QStringLiteral("do"), Do);
    Od->setAlignment(Qt::AlignRight);
    Do->setAlignment(Qt::AlignRight);
    body->addLayout(form);
}

void TF_FiltrReal::prefill(const QString &title, const QString &value)
{
    Label1->setText(title);
    Od->setText(value);
    Do->setText(value);
}

TF_FiltrBool::TF_FiltrBool(QWidget *parent)
    : FilterDialog(parent)
    , CheckBox1(new QCheckBox(this))
{
    body->addWidget(CheckBox1);
}

void TF_FiltrBool::prefill(const QString &title, bool value)
{
    CheckBox1->setText(title);
    CheckBox1->setChecked(value);
}

TF_FiltrDat::TF_FiltrDat(QWidget *parent)
    : FilterDialog(parent)
    , Label1(new QLabel(this))
    , Od(new fenwa::ui::DateField(this))
    , Do(new fenwa::ui::DateField(this))
{
    body->addWidget(Label1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("od"), Od);
    form->addRow(QStringLiteral("do"), Do);
    body->addLayout(form);
}

void TF_FiltrDat::prefill(const QString &title, const QDate &value)
{
    Label1->setText(title);
    Od->setDate(value);
    Do->setDate(value);
}

} // namespace fenwa::reports::ui
