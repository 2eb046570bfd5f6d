#pragma once
// A grid bound to a dataset: the current row follows the dataset's cursor
// and back, optional multi-row selection, bold rows by a rule, check-box
// columns, and a footer line under the columns (counts, sums).
#include "common/Messages.h"
#include "common/ui/DatasetModel.h"

#include <QTableView>

namespace fenwa::ui {

class GridFooter;

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);
    ~DbGrid() override;

    // Binds the grid; the model is owned by the grid.
    void bind(data::Dataset *dataset, QVector<GridColumn> columns, Messages *messages);
    DatasetModel *datasetModel() const { return model_; }
    data::Dataset *dataset() const { return model_ ? model_->dataset() : nullptr; }

    void setMultiSelect(bool on);
    // Dataset rows of the selected grid rows, in order; the current row when
    // nothing is selected.
    QVector<int> selectedRows() const;

    // Footer: one text per column (empty = nothing), shown under the grid.
    void setFooterVisible(bool on);
    void setFooterText(int column, const QString &text);
    void clearFooter();
    QString footerText(int column) const;

    // The dataset field of the current column, -1 for none.
    int currentColumnField() const;
    // Commits and closes a cell editor that is open.
    void commitEditor();

signals:
    void currentFieldChanged(const QString &field);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void resizeEvent(QResizeEvent *event) override;
    // A click below the last row or beside the last column keeps the current
    // row selected (the record the window works on stays highlighted).
    void mousePressEvent(QMouseEvent *event) override;
    void updateGeometries() override;

private:
    void followDataset();
    void placeFooter();

    DatasetModel *model_ = nullptr;
    Messages *messages_ = nullptr;
    GridFooter *footer_ = nullptr;
    bool syncing_ = false;
};

} // namespace fenwa::ui
