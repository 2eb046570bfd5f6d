#include "common/ui/LookupDelegate.h"

#include "common/ui/DatasetModel.h"

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
    return new LookupCombo(dictionary_, columns_, textColumn_, completion_, parent);
}

void LookupDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const DatasetModel *>(index.model());
    static_cast<LookupCombo *>(editor)->setCurrentId(model ? model->dataset()->value(sourceField_) : QVariant());
}

void LookupDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // Text that names no row of the list leaves the record's value; so does an empty box.
    const std::optional<QVariant> id = static_cast<LookupCombo *>(editor)->typedChoice();
    if (!id || id->isNull())
        return;
    model->setData(index, *id, Qt::EditRole);
}

} // namespace fenwa::ui
