#pragma once
// An item model over a dataset: the one way grids show tables and queries.
// Columns name dataset fields; a logical field can show as a check box; a
// rule may make rows bold. The model follows every change of the dataset:
// a record being inserted is a row inserted after the last (removed again when
// it is dropped), a value or state change of the current record changes its
// row only; reading the records again resets the model.
#include "data/Dataset.h"

#include <QAbstractTableModel>
#include <functional>

namespace fenwa::ui {

// Written with designated initialisers: {.field = ..., .title = ..., .width = ...}.
struct GridColumn {
    QString field{};          // dataset field ("" for a running number column)
    QString title{};
    int width = 0;            // pixels; 0 = let the grid choose
    bool check = false;       // a logical field shown as a check box
    bool readOnly = false;
    bool visible = true;
    Qt::Alignment alignment = {};   // default: numbers right, text left
    // A looked-up column edits its source field: the editor gives the Id.
    QString lookupKey{};
    Qt::Alignment titleAlignment{};   // default: the header's own
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetModel(data::Dataset *dataset, QVector<GridColumn> columns, QObject *parent = nullptr);

    // Header data of a column under this role: its field ("" for none).
    static constexpr int FieldNameRole = Qt::UserRole + 1;

    data::Dataset *dataset() const { return dataset_; }
    const QVector<GridColumn> &columns() const { return columns_; }
    void setColumns(QVector<GridColumn> columns);
    const GridColumn &column(int c) const { return columns_[c]; }
    int fieldOf(int column) const;   // dataset field index, -1 for none

    void setBoldRule(std::function<bool(int row)> rule) { boldRule_ = std::move(rule); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Typing into a cell changes the record only while the dataset is being
    // inserted or edited; the grid never starts editing by itself.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // setData refused a value (e.g. "abc" for a number); the record keeps the
    // old value. The grid shows the message.
    void valueRefused(const QString &message);

private:
    void reset();
    void readShape();   // columns' fields and the row count, between begin/endResetModel
    void stateChanged();
    void currentRecordChanged();
    int datasetRows() const;

    data::Dataset *dataset_;
    QVector<GridColumn> columns_;
    QVector<int> fieldIndex_;
    std::function<bool(int)> boldRule_;
    int rows_ = 0;
    bool wasActive_ = false;
    bool wasInserting_ = false;
};

} // namespace fenwa::ui
