#include "common/ui/ColumnChooser.h"

#include "common/ui/DbGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenwa::ui {

ColumnChooser::ColumnChooser(DbGrid *grid) : QDialog(grid), grid_(grid)
{
    setWindowTitle(QStringLiteral("Widoczne kolumny"));
    list_ = new QListWidget(this);
    const QHeaderView *header = grid->horizontalHeader();
    // In display order; every column is listed, a hidden or untitled one too.
    for (int visual = 0; visual < header->count(); ++visual) {
        const int c = header->logicalIndex(visual);
        auto *item = new QListWidgetItem(grid->datasetModel()->column(c).title, list_);
        item->setData(Qt::UserRole, c);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(grid->isColumnHidden(c) ? Qt::Unchecked : Qt::Checked);
    }
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Anuluj"), this);
    apply_ = new QPushButton(QStringLiteral("&zastosuj"), this);
    help_ = new QPushButton(QStringLiteral("&Pomoc"), this);
    help_->setEnabled(false);   // the program has no help pages
    ok_->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {ok_, cancel_, apply_, help_})
        buttons->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(list_);
    lay->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] {
        applyChoice();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, &ColumnChooser::applyChoice);
}

void ColumnChooser::applyChoice()
{
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem *item = list_->item(i);
        grid_->setColumnHidden(item->data(Qt::UserRole).toInt(), item->checkState() != Qt::Checked);
    }
}

} // namespace fenwa::ui
