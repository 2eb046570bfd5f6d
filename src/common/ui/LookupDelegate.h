#pragma once
// Editing a looked-up column of a grid: a drop-down list of the rows of the
// dictionary (several columns: each as wide as its texts, one line a row, about
// fifteen rows shown with a scroll bar), optionally with completion while
// typing; the chosen row's Id goes into the record's source field.
#include "data/Dataset.h"

#include <QStyledItemDelegate>

namespace fenwa::ui {

struct LookupColumn {
    QString field;
    QString title;
    int width = 100;   // pixels at least; wider when the texts or the heading need it
};

class LookupDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kVisibleRows = 15;   // rows the open list shows at once

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
