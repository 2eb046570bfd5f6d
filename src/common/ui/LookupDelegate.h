#pragma once
// Editing a looked-up column of a grid: the dictionary's choice list
// (LookupCombo), optionally with completion while typing; the chosen row's Id
// goes into the record's source field.
#include "common/ui/LookupCombo.h"

#include <QStyledItemDelegate>

namespace fenwa::ui {

class LookupDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // sourceField: the record's field holding the Id; textColumn: the list
    // column whose text the edit box shows (and completes).
    LookupDelegate(data::Dataset *dictionary, QVector<LookupColumn> columns, int textColumn,
                   const QString &sourceField, bool completion, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    data::Dataset *dictionary_;
    QVector<LookupColumn> columns_;
    int textColumn_;
    QString sourceField_;
    bool completion_;
};

} // namespace fenwa::ui
