#include "common/ui/DatasetModel.h"

#include <QFont>

namespace fenwa::ui {

using data::Dataset;
using data::FieldType;

DatasetModel::DatasetModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns))
{
    connect(dataset_, &Dataset::rowsChanged, this, &DatasetModel::reset);
    connect(dataset_, &Dataset::stateChanged, this, &DatasetModel::stateChanged);
    connect(dataset_, &Dataset::recordChanged, this, &DatasetModel::currentRecordChanged);
    reset();
}

int DatasetModel::datasetRows() const { return dataset_->active() ? dataset_->displayRowCount() : 0; }

void DatasetModel::stateChanged()
{
    const int rows = datasetRows();
    const bool activeNow = dataset_->active();
    if (activeNow != wasActive_) {
        reset();   // opened or closed: the fields may differ
        return;
    }
    if (rows == rows_ + 1 && dataset_->state() == Dataset::State::Insert) {
        // A new record is one more row after the last.
        beginInsertRows(QModelIndex(), rows_, rows_);
        rows_ = rows;
        endInsertRows();
    } else if (rows == rows_ - 1 && wasInserting_) {
        // The new record was dropped.
        beginRemoveRows(QModelIndex(), rows, rows);
        rows_ = rows;
        endRemoveRows();
    } else if (rows != rows_) {
        reset();
        return;
    } else {
        // Editing begun or ended: the current row's cells change their flags.
        currentRecordChanged();
    }
    wasInserting_ = dataset_->state() == Dataset::State::Insert;
}

void DatasetModel::setColumns(QVector<GridColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    readShape();
    endResetModel();
}

void DatasetModel::reset()
{
    beginResetModel();
    readShape();
    endResetModel();
}

void DatasetModel::readShape()
{
    fieldIndex_.clear();
    for (const GridColumn &c : columns_)
        fieldIndex_ << (c.field.isEmpty() || !dataset_->active() ? -1 : dataset_->fieldIndex(c.field));
    rows_ = datasetRows();
    wasActive_ = dataset_->active();
    wasInserting_ = dataset_->state() == Dataset::State::Insert;
}

void DatasetModel::currentRecordChanged()
{
    if (rows_ != datasetRows()) {
        reset();
        return;
    }
    const int row = dataset_->currentDisplayRow();
    if (row >= 0 && row < rows_ && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int DatasetModel::fieldOf(int column) const
{
    return column >= 0 && column < fieldIndex_.size() ? fieldIndex_[column] : -1;
}

int DatasetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows_; }

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return QVariant();
    const GridColumn &col = columns_[index.column()];
    const int field = fieldOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (col.field.isEmpty())
            return index.row() + 1;   // running number
        if (field < 0 || col.check)
            return QVariant();
        return dataset_->displayText(index.row(), field);
    case Qt::EditRole:
        if (field < 0)
            return QVariant();
        return dataset_->valueAt(index.row(), field);
    case Qt::CheckStateRole:
        if (!col.check || field < 0)
            return QVariant();
        return dataset_->valueAt(index.row(), field).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::FontRole:
        if (boldRule_ && index.row() < dataset_->recordCount() && boldRule_(index.row())) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return QVariant();
    case Qt::TextAlignmentRole: {
        if (col.alignment)
            return int(col.alignment | Qt::AlignVCenter);
        if (field >= 0 && dataset_->fieldDef(field).isNumeric())
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (col.field.isEmpty())
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return QVariant();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].title;
    case FieldNameRole:
        return columns_[section].field;
    case Qt::TextAlignmentRole:
        if (columns_[section].titleAlignment)
            return int(columns_[section].titleAlignment | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridColumn &col = columns_[index.column()];
    const int field = fieldOf(index.column());
    const bool editable = field >= 0 && !col.readOnly && dataset_->editing()
        && index.row() == dataset_->currentDisplayRow()
        && (!dataset_->fieldDef(field).lookup || !col.lookupKey.isEmpty());
    // A check box cell stays enabled (and so selectable and highlighted with
    // its row); only while its record is edited can it be ticked.
    if (col.check) {
        if (editable)
            f |= Qt::ItemIsUserCheckable;
    } else if (editable) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const int field = fieldOf(index.column());
    if (field < 0 || !dataset_->editing() || index.row() != dataset_->currentDisplayRow())
        return false;
    QVariant v = value;
    if (role == Qt::CheckStateRole)
        v = value.toInt() == Qt::Checked;
    else if (role != Qt::EditRole)
        return false;
    const GridColumn &col = columns_[index.column()];
    try {
        dataset_->setValue(col.lookupKey.isEmpty() ? dataset_->fieldDef(field).name : col.lookupKey, v);
    } catch (const data::EngineError &e) {
        emit valueRefused(e.message());
        return false;
    }
    return true;
}

} // namespace fenwa::ui
