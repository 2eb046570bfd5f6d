#include "common/ui/DbGrid.h"

#include "common/ui/ColumnChooser.h"
#include "data/Guard.h"
#include "data/Table.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace fenwa::ui {

// Cell editors of text fields take no more characters than the field holds.
class FieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        const auto *model = qobject_cast<const DatasetModel *>(index.model());
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (model && line) {
            const int field = model->fieldOf(index.column());
            if (field >= 0 && model->dataset()->fieldDef(field).isText() && model->dataset()->fieldDef(field).size > 0)
                line->setMaxLength(model->dataset()->fieldDef(field).size);
        }
        return editor;
    }
};

class GridFooter : public QWidget {
public:
    explicit GridFooter(DbGrid *grid) : QWidget(grid), grid_(grid) {}
    QStringList texts;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        p.setPen(palette().color(QPalette::ButtonText));
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        const QHeaderView *h = grid_->horizontalHeader();
        const int offset = grid_->verticalHeader()->isVisible() ? grid_->verticalHeader()->width() : 0;
        for (int c = 0; c < texts.size() && c < h->count(); ++c) {
            if (texts[c].isEmpty() || h->isSectionHidden(c))
                continue;
            QRect r(offset + h->sectionViewportPosition(c) + grid_->frameWidth(), 0, h->sectionSize(c), height());
            p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter, texts[c]);
        }
    }

private:
    DbGrid *grid_;
};

DbGrid::DbGrid(QWidget *parent) : QTableView(parent)
{
    header_ = new BandedHeader(this);
    setHorizontalHeader(header_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    setAlternatingRowColors(false);
    setWordWrap(false);
    // The current row stays visible while another window (the search) has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
    setItemDelegate(new FieldDelegate(this));
    footer_ = new GridFooter(this);
    footer_->hide();
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (size > 0)
            shownWidths_[column] = size;
        footer_->update();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { footer_->update(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        // The header has moved its marker to the clicked title already: an
        // order that did not change puts it back.
        if (titleOrdering_ && !orderByColumn(column))
            horizontalHeader()->setSortIndicator(orderedColumn_, Qt::AscendingOrder);
    });
    horizontalHeader()->viewport()->installEventFilter(this);
}

DbGrid::~DbGrid() = default;

void DbGrid::bind(data::Dataset *dataset, QVector<GridColumn> columns, Messages *messages)
{
    messages_ = messages;
    for (const QMetaObject::Connection &c : std::as_const(datasetConnections_))
        disconnect(c);
    datasetConnections_.clear();
    DatasetModel *previous = model_;
    QItemSelectionModel *previousSelection = selectionModel();
    model_ = new DatasetModel(dataset, std::move(columns), this);
    setModel(model_);
    delete previousSelection;
    delete previous;
    // A heading is shown bold while its column holds the selection: no column
    // is narrower than its bold heading.
    QFont bold = horizontalHeader()->font();
    bold.setBold(true);
    const QFontMetrics headingMetrics(bold);
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 4;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const GridColumn &col = model_->column(c);
        if (col.width > 0)
            setColumnWidth(c, std::max(col.width, headingMetrics.horizontalAdvance(col.title) + margin));
        setColumnHidden(c, !col.visible);
    }
    datasetConnections_ = {connect(dataset, &data::Dataset::currentChanged, this, &DbGrid::followDataset),
                           connect(dataset, &data::Dataset::rowsChanged, this, &DbGrid::followDataset),
                           connect(dataset, &data::Dataset::stateChanged, this, &DbGrid::followDataset),
                           connect(dataset, &data::Dataset::aboutToPost, this, &DbGrid::commitEditor)};
    connect(model_, &QAbstractItemModel::modelReset, this, &DbGrid::followDataset);
    // Shown once the editor has closed: a message box while the cell commits
    // would take its focus and commit it again.
    connect(model_, &DatasetModel::valueRefused, this, [this](const QString &message) {
        if (messages_)
            messages_->error(message);
    }, Qt::QueuedConnection);
    footer_->texts = QStringList(model_->columnCount(), QString());
    followDataset();
}

void DbGrid::setMultiSelect(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QVector<int> DbGrid::selectedRows() const
{
    QVector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        if (i.row() < (dataset() ? dataset()->recordCount() : 0))
            rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && dataset() && dataset()->recNo() >= 0)
        rows << dataset()->recNo();
    return rows;
}

void DbGrid::followDataset()
{
    if (!model_ || syncing_)
        return;
    data::Dataset *ds = model_->dataset();
    const int row = ds->active() ? ds->currentDisplayRow() : -1;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        int col = currentIndex().isValid() ? currentIndex().column() : 0;
        while (col < model_->columnCount() && isColumnHidden(col))
            ++col;
        if (col >= model_->columnCount())
            col = 0;
        const QModelIndex idx = model_->index(row, col);
        // The dataset moved (a search, a save, a locate): its row becomes the
        // selection. A selection the user is making stays as it is.
        if (currentIndex().row() != row || !selectionModel()->isRowSelected(row, QModelIndex()))
            selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    }
    syncing_ = false;
}

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.column() != previous.column() || !previous.isValid()) {
        const int field = model_ ? model_->fieldOf(current.column()) : -1;
        emit currentFieldChanged(field >= 0 ? dataset()->fieldDef(field).name : QString());
    }
    if (syncing_ || !model_ || !current.isValid())
        return;
    data::Dataset *ds = model_->dataset();
    if (current.row() == ds->currentDisplayRow())
        return;
    syncing_ = true;
    Messages *m = messages_;
    auto move = [&] {
        if (current.row() < ds->recordCount())
            ds->moveTo(current.row());
    };
    bool ok = m ? data::guarded(*m, move) : data::quiet(move);
    syncing_ = false;
    if (!ok)
        followDataset();   // the move was refused (a pending edit did not save)
}

void DbGrid::commitEditor()
{
    // A cell still being typed into when the record is saved goes in first.
    if (state() != QAbstractItemView::EditingState)
        return;
    // The editor is a child of the viewport (it has the focus when the window is active).
    QWidget *editor = QApplication::focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor)) {
        editor = nullptr;
        for (QWidget *w : viewport()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (w->isVisible())
                editor = w;
    }
    if (editor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DbGrid::setHeaderBands(QVector<HeaderBand> bands)
{
    header_->setBands(std::move(bands));
    updateGeometries();
}

int DbGrid::currentColumnField() const
{
    return model_ ? model_->fieldOf(currentIndex().column()) : -1;
}

void DbGrid::setFooterVisible(bool on)
{
    footer_->setVisible(on);
    updateGeometries();
    placeFooter();
}

void DbGrid::setFooterText(int column, const QString &text)
{
    if (column < 0)
        return;
    while (footer_->texts.size() <= column)
        footer_->texts << QString();
    footer_->texts[column] = text;
    footer_->update();
}

void DbGrid::clearFooter()
{
    for (QString &t : footer_->texts)
        t.clear();
    footer_->update();
}

QString DbGrid::footerText(int column) const { return footer_->texts.value(column); }

void DbGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (footer_ && footer_->isVisible()) {
        const int h = verticalHeader()->defaultSectionSize();
        setViewportMargins(0, horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0, 0, h);
        placeFooter();
    }
}

void DbGrid::mousePressEvent(QMouseEvent *event)
{
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

bool DbGrid::eventFilter(QObject *watched, QEvent *event)
{
    // A click right of the last title opens the column chooser.
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress && model_) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && horizontalHeader()->logicalIndexAt(mouse->position().toPoint()) < 0) {
            chooseColumns();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void DbGrid::chooseColumns()
{
    ColumnChooser chooser(this);
    chooser.exec();
}

void DbGrid::setTitleOrdering(bool on)
{
    titleOrdering_ = on;
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(on);
    orderedColumn_ = -1;
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

bool DbGrid::orderByColumn(int column)
{
    auto *table = qobject_cast<data::Table *>(dataset());
    if (!table || column < 0 || column >= model_->columnCount() || table->editing())
        return false;
    const QString field = model_->column(column).field;
    if (!field.isEmpty() && (model_->fieldOf(column) < 0 || !table->hasIndex(field)))
        return false;   // a looked-up name: no index of its own
    // Whatever fails leaves the order as it was, silently.
    if (!data::quiet([&] { table->setIndexName(field); }))
        return false;
    orderedColumn_ = column;
    horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
    return true;
}

QString DbGrid::orderField() const
{
    const auto *table = qobject_cast<const data::Table *>(dataset());
    return table ? table->indexName() : QString();
}

void DbGrid::setLayoutStore(const QString &section, GridLayoutStore store)
{
    layoutSection_ = section;
    layoutStore_ = std::move(store);
}

GridLayout DbGrid::layout() const
{
    GridLayout g = storedLayout_;
    g.columns.clear();
    const QHeaderView *header = horizontalHeader();
    for (int visual = 0; model_ && visual < header->count(); ++visual) {
        const int c = header->logicalIndex(visual);
        // A hidden column keeps the width it had when shown.
        const int width = isColumnHidden(c) ? shownWidths_.value(c, header->defaultSectionSize()) : columnWidth(c);
        g.columns << LayoutColumn{model_->column(c).field, width, !isColumnHidden(c)};
    }
    g.orderFields = orderField();
    return g;
}

void DbGrid::applyLayout(const GridLayout &layout)
{
    if (!model_)
        return;
    QHeaderView *header = horizontalHeader();
    QVector<bool> placed(model_->columnCount(), false);
    int visual = 0;
    for (const LayoutColumn &lc : layout.columns) {
        int c = 0;
        while (c < placed.size() && (placed[c] || model_->column(c).field.compare(lc.field, Qt::CaseInsensitive) != 0))
            ++c;
        if (c == placed.size())
            continue;   // a column the grid no longer has
        placed[c] = true;
        header->moveSection(header->visualIndex(c), visual++);
        if (lc.width > 0)
            setColumnWidth(c, lc.width);
        setColumnHidden(c, !lc.visible);
    }
    // The stored order where the table still has it; otherwise the key order stays.
    for (int c = 0; titleOrdering_ && c < model_->columnCount(); ++c)
        if (model_->column(c).field.compare(layout.orderFields, Qt::CaseInsensitive) == 0) {
            orderByColumn(c);
            break;
        }
}

void DbGrid::loadLayout()
{
    if (!layoutStore_.read)
        return;
    const LayoutValues values = layoutStore_.read(layoutSection_);
    storedLayout_ = GridLayout::fromValues(values);
    if (!values.isEmpty() && storedLayout_.autoLoad)
        applyLayout(storedLayout_);
}

void DbGrid::saveLayout()
{
    if (layoutStore_.write && storedLayout_.autoSave)
        layoutStore_.write(layoutSection_, layout().toValues());
}

void DbGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    placeFooter();
}

void DbGrid::placeFooter()
{
    if (!footer_->isVisible())
        return;
    const int h = verticalHeader()->defaultSectionSize();
    const QRect vp = viewport()->geometry();
    footer_->setGeometry(vp.left() - frameWidth() + frameWidth(), vp.bottom() + 1, vp.width(), h);
    footer_->raise();
    footer_->update();
}

} // namespace fenwa::ui
