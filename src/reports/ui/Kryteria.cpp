#include "reports/ui/Kryteria.h"

#include "reports/CriteriaReport.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenwa::reports::ui {

TF_Kryteria::TF_Kryteria(const QDate &today, bool voivodeship, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_Kryteria"));
    setWindowTitle(QStringLiteral("Raport"));
    Panel = new fenwa::ui::PeriodUnitPanel(today, this);

    GroupBox1 = new QGroupBox(QStringLiteral("Kryteria"), this);
    Label4 = new QLabel(QStringLiteral("Dostępne:"), GroupBox1);
    Label5 = new QLabel(QStringLiteral("Uwzględnione:"), GroupBox1);
    auto list = [this] {
        auto *l = new QListWidget(GroupBox1);
        l->setDragDropMode(QAbstractItemView::DragDrop);
        l->setDefaultDropAction(Qt::MoveAction);
        l->setMinimumSize(220, 240);
        return l;
    };
    ListBox1 = list();
    ListBox2 = list();
    ListBox1->addItems(availableCriteria(voivodeship));
    Button1 = new QPushButton(QStringLiteral(">>"), GroupBox1);
    Button2 = new QPushButton(QStringLiteral("<<"), GroupBox1);
    auto *middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(Button1);
    middle->addWidget(Button2);
    middle->addStretch();
    auto *g = new QGridLayout(GroupBox1);
    g->addWidget(Label4, 0, 0);
    g->addWidget(Label5, 0, 2);
    g->addWidget(ListBox1, 1, 0);
    g->addLayout(middle, 1, 1);
    g->addWidget(ListBox2, 1, 2);

    auto button = [this](const QString &text, const QString &hint) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(hint);
        return b;
    };
    BitBtn2 = button(QStringLiteral("Excel"), QStringLiteral("Pokaż raport w programie MS Excel"));
    BitBtn2->setDefault(true);
    BitBtnWykres = button(QStringLiteral("Wykres"), QStringLiteral("Pokaż raport na wykresie"));
    BitBtn3 = button(QStringLiteral("Anuluj"), QString());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {BitBtn2, BitBtnWykres, BitBtn3})
        buttons->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(Panel);
    lay->addWidget(GroupBox1, 1);
    lay->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { move(ListBox1, ListBox2); });
    connect(Button2, &QPushButton::clicked, this, [this] { move(ListBox2, ListBox1); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(Arkusz); });
    connect(BitBtnWykres, &QPushButton::clicked, this, [this] { done(Wykres); });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Panel, &fenwa::ui::PeriodUnitPanel::unitChanged, this, &TF_Kryteria::updateButtons);
    // A drag between the lists or within the included one.
    for (QListWidget *l : {ListBox1, ListBox2}) {
        connect(l->model(), &QAbstractItemModel::rowsInserted, this, &TF_Kryteria::updateButtons);
        connect(l->model(), &QAbstractItemModel::rowsRemoved, this, &TF_Kryteria::updateButtons);
    }
    updateButtons();
}

QStringList TF_Kryteria::included() const
{
    QStringList out;
    for (int i = 0; i < ListBox2->count(); ++i)
        out << ListBox2->item(i)->text();
    return out;
}

void TF_Kryteria::include(const QString &label)
{
    const auto found = ListBox1->findItems(label, Qt::MatchExactly);
    if (!found.isEmpty()) {
        ListBox1->setCurrentItem(found.first());
        move(ListBox1, ListBox2);
    }
}

void TF_Kryteria::exclude(const QString &label)
{
    const auto found = ListBox2->findItems(label, Qt::MatchExactly);
    if (!found.isEmpty()) {
        ListBox2->setCurrentItem(found.first());
        move(ListBox2, ListBox1);
    }
}

void TF_Kryteria::move(QListWidget *from, QListWidget *to)
{
    QListWidgetItem *item = from->currentItem();
    if (!item || !item->isSelected())
        return;
    to->addItem(from->takeItem(from->row(item)));
    updateButtons();
}

void TF_Kryteria::updateButtons()
{
    const bool on = Panel->unitChosen() && ListBox2->count() > 0;
    BitBtn2->setEnabled(on);
    BitBtnWykres->setEnabled(on);
}

void TF_Kryteria::showEvent(QShowEvent *event)
{
    updateButtons();
    QDialog::showEvent(event);
}

} // namespace fenwa::reports::ui
