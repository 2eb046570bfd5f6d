#include "common/ui/LookupDelegate.h"

#include "common/ui/DatasetModel.h"

#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

namespace fenwa::ui {

LookupDelegate::LookupDelegate(data::Dataset *dictionary, QVector<LookupColumn> columns, int textColumn,
                               const QString &sourceField, bool completion, QObject *parent)
    : QStyledItemDelegate(parent),
      dictionary_(dictionary),
      columns_(std::move(columns)),
      textColumn_(textColumn),
      sourceField_(sourceField),
      completion_(completion)
{
}

QWidget *LookupDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    // Styles that open a list over its box show every row of it, as high as
    // the screen, without a scroll bar; a plain drop-down keeps the fifteen.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    auto *items = new QStandardItemModel(combo);
    QStringList titles;
    for (const LookupColumn &c : columns_)
        titles << c.title;
    items->setHorizontalHeaderLabels(titles);
    const int idField = dictionary_->fieldIndex(QStringLiteral("Id"));
    for (int row = 0; row < dictionary_->recordCount(); ++row) {
        QList<QStandardItem *> line;
        for (const LookupColumn &c : columns_) {
            auto *item = new QStandardItem(dictionary_->displayText(row, dictionary_->fieldIndex(c.field)));
            item->setData(dictionary_->valueAt(row, idField), Qt::UserRole);
            line << item;
        }
        items->appendRow(line);
    }
    auto *view = new QTableView(combo);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(false);
    // One line a row, about kVisibleRows rows high with a scroll bar for the rest.
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    combo->setModel(items);
    combo->setView(view);
    combo->setModelColumn(textColumn_);
    combo->setMaxVisibleItems(kVisibleRows);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Columns as wide as their texts and headings, the given widths at least.
    view->resizeColumnsToContents();
    int total = 0;
    for (int c = 0; c < columns_.size(); ++c) {
        view->setColumnWidth(c, std::max(view->columnWidth(c), columns_[c].width));
        total += view->columnWidth(c);
    }
    const int screen = combo->screen() ? combo->screen()->availableGeometry().width() : 1200;
    view->setMinimumWidth(std::min(total + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth(),
                                   screen - 40));
    if (completion_) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
        combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        combo->completer()->setFilterMode(Qt::MatchContains);
        combo->completer()->setCompletionColumn(textColumn_);
    }
    return combo;
}

void LookupDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const auto *model = qobject_cast<const DatasetModel *>(index.model());
    QVariant id;
    if (model)
        id = model->dataset()->value(sourceField_);
    const auto *items = static_cast<QStandardItemModel *>(combo->model());
    for (int r = 0; r < items->rowCount(); ++r) {
        if (!id.isNull() && items->item(r, 0)->data(Qt::UserRole).toLongLong() == id.toLongLong()) {
            combo->setCurrentIndex(r);
            return;
        }
    }
    combo->setCurrentIndex(-1);
}

void LookupDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    int r = combo->currentIndex();
    if (combo->isEditable()) {
        // The typed text decides: the first row whose text matches it exactly.
        const QString typed = combo->currentText();
        const int found = combo->findText(typed, Qt::MatchFixedString);
        if (found >= 0)
            r = found;
        else if (!typed.isEmpty())
            return;   // not a row of the list: the record keeps its value
    }
    if (r < 0)
        return;
    const auto *items = static_cast<QStandardItemModel *>(combo->model());
    model->setData(index, items->item(r, 0)->data(Qt::UserRole), Qt::EditRole);
}

} // namespace fenwa::ui
