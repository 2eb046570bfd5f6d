#include "common/ui/OdDo.h"

#include "common/ui/DateField.h"
#include "data/Units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenwa::ui {

PeriodUnitPanel::PeriodUnitPanel(const QDate &today, QWidget *parent) : QWidget(parent)
{
    Label1 = new QLabel(QStringLiteral("Od dnia:"), this);
    DateTimePicker1 = new DateField(today, this);
    Label2 = new QLabel(QStringLiteral("Do dnia:"), this);
    DateTimePicker2 = new DateField(today, this);
    Label3 = new QLabel(QStringLiteral("Jednostka:"), this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setMinimumWidth(420);
    CheckBox1 = new QCheckBox(QStringLiteral("Drukować ilości"), this);
    CheckBox2 = new QCheckBox(QStringLiteral("Raport zbiorczy"), this);
    Label1->setBuddy(DateTimePicker1);
    Label2->setBuddy(DateTimePicker2);
    Label3->setBuddy(ComboBox1);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(DateTimePicker1, 0, 1, Qt::AlignLeft);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(DateTimePicker2, 1, 1, Qt::AlignLeft);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(ComboBox1, 2, 1);
    grid->addWidget(CheckBox1, 3, 1);
    grid->addWidget(CheckBox2, 4, 1);
    grid->setColumnStretch(1, 1);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &PeriodUnitPanel::unitChanged);
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        if (ComboBox1->count() > 0)
            ComboBox1->setCurrentIndex(0);
        ComboBox1->setEnabled(!on && !single_);
        emit unitChanged();
    });
}

void PeriodUnitPanel::fillUnits(data::TF_Dane &dane)
{
    bool single = false;
    const QStringList names = data::unitNames(dane, &single);
    setUnits(names, single);
}

void PeriodUnitPanel::setUnits(const QStringList &names, bool singleUnit)
{
    single_ = singleUnit;
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(singleUnit && !names.isEmpty() ? 0 : -1);
    Label3->setEnabled(!singleUnit);
    ComboBox1->setEnabled(!singleUnit);
    CheckBox2->setChecked(false);
    CheckBox2->setEnabled(!singleUnit);
    emit unitChanged();
}

QDate PeriodUnitPanel::od() const { return DateTimePicker1->date(); }
QDate PeriodUnitPanel::doDnia() const { return DateTimePicker2->date(); }
QString PeriodUnitPanel::unitName() const { return ComboBox1->currentText(); }
bool PeriodUnitPanel::unitChosen() const { return ComboBox1->currentIndex() >= 0; }
bool PeriodUnitPanel::ilosci() const { return CheckBox1->isEnabled() && CheckBox1->isChecked(); }
bool PeriodUnitPanel::zbiorczy() const { return CheckBox2->isEnabled() && CheckBox2->isChecked(); }

void PeriodUnitPanel::setQuantitiesEnabled(bool on)
{
    CheckBox1->setEnabled(on);
    if (!on)
        CheckBox1->setChecked(false);
}

TF_OdDo::TF_OdDo(const QDate &today, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_OdDo"));
    setWindowTitle(QStringLiteral("Raport"));
    Panel = new PeriodUnitPanel(today, this);
    auto button = [this](const QString &text, const QString &hint) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(hint);
        return b;
    };
    BitBtn1 = button(QStringLiteral("Drukuj"), QStringLiteral("Drukuj"));
    BitBtn1->setDefault(true);
    BitBtn2 = button(QStringLiteral("Excel"), QStringLiteral("Pokaż raport w programie MS Excel"));
    BitBtnWykres = button(QStringLiteral("Wykres"), QStringLiteral("Pokaż raport na wykresie"));
    BitBtnWykres->setVisible(false);
    BitBtn3 = button(QStringLiteral("Anuluj"), QString());

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtnWykres, BitBtn3})
        buttons->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(Panel);
    lay->addSpacing(8);
    lay->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(Drukuj); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(Arkusz); });
    connect(BitBtnWykres, &QPushButton::clicked, this, [this] { done(Wykres); });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Panel, &PeriodUnitPanel::unitChanged, this, &TF_OdDo::updateButtons);
    updateButtons();
}

void TF_OdDo::setPrintEnabled(bool on)
{
    printAllowed_ = on;
    updateButtons();
}

void TF_OdDo::setChartEnabled(bool on)
{
    chartAllowed_ = on;
    BitBtnWykres->setVisible(on);
    updateButtons();
}

void TF_OdDo::updateButtons()
{
    const bool unit = Panel->unitChosen();
    BitBtn1->setEnabled(unit && printAllowed_);
    BitBtn2->setEnabled(unit);
    BitBtnWykres->setEnabled(unit && chartAllowed_);
    // Without printing, the spreadsheet is what Enter asks for.
    BitBtn1->setDefault(printAllowed_);
    BitBtn2->setDefault(!printAllowed_);
}

void TF_OdDo::showEvent(QShowEvent *event)
{
    updateButtons();
    QDialog::showEvent(event);
}

} // namespace fenwa::ui
