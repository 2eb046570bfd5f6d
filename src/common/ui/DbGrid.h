#pragma once
// A grid bound to a dataset: the current row follows the dataset's cursor
// and back, optional multi-row selection, bold rows by a rule, check-box
// columns, a footer line under the columns (counts, sums), ordering by a
// click on a column title, the column layout kept in the settings file and
// the column chooser opened by a click right of the last title, and bands of
// titles over spans of columns (BandedHeader).
#include "common/Messages.h"
#include "common/ui/BandedHeader.h"
#include "common/ui/DatasetModel.h"
#include "common/ui/GridLayout.h"

#include <QTableView>

namespace fenwa::ui {

class GridFooter;

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);
    ~DbGrid() override;

    // Binds the grid; the model is owned by the grid. Binding again leaves
    // the previous dataset alone.
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
    // Titles over spans of columns, named by their fields (see BandedHeader).
    void setHeaderBands(QVector<HeaderBand> bands);
    BandedHeader *bandedHeader() const { return header_; }

    // Commits and closes a cell editor that is open.
    void commitEditor();

    // Ordering by a click on a column title, for a table: the table follows
    // the index named after the column's field; a column whose field has no
    // such index (a looked-up name) leaves the order; a column without a
    // field returns to the key order. The ordered title shows the ascending
    // sort marker. Returns whether the order changed; a table being edited
    // keeps its order.
    void setTitleOrdering(bool on);
    bool orderByColumn(int column);
    // The field the table is ordered by ("" for the key order).
    QString orderField() const;

    // The column layout, kept in `section` of the store: loadLayout applies
    // it (when its AutoLoadLayout is not 0), saveLayout writes it again (when
    // its AutoSaveLayout is not 0).
    void setLayoutStore(const QString &section, GridLayoutStore store);
    GridLayout layout() const;
    void applyLayout(const GridLayout &layout);
    void loadLayout();
    void saveLayout();
    // "Widoczne kolumny", modal.
    void chooseColumns();

signals:
    void currentFieldChanged(const QString &field);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void resizeEvent(QResizeEvent *event) override;
    // A click below the last row or beside the last column keeps the current
    // row selected (the record the window works on stays highlighted).
    void mousePressEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followDataset();
    void placeFooter();

    DatasetModel *model_ = nullptr;
    BandedHeader *header_ = nullptr;
    Messages *messages_ = nullptr;
    GridFooter *footer_ = nullptr;
    bool syncing_ = false;
    QVector<QMetaObject::Connection> datasetConnections_;
    bool titleOrdering_ = false;
    int orderedColumn_ = -1;   // whose title shows the sort marker
    QHash<int, int> shownWidths_;   // column -> last width it was shown with
    QString layoutSection_;
    GridLayoutStore layoutStore_;
    GridLayout storedLayout_;   // as last read: its switches are written back
};

} // namespace fenwa::ui
