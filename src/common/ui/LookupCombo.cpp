#include "common/ui/LookupCombo.h"

#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QTableView>

namespace fenwa::ui {

LookupCombo::LookupCombo(data::Dataset *dictionary, QVector<LookupColumn> columns, int textColumn,
                         bool completion, QWidget *parent)
    : QComboBox(parent), dictionary_(dictionary), columns_(std::move(columns)), textColumn_(textColumn)
{
    // Styles that open a list over its box show every row of it, as high as
    // the screen, without a scroll bar; a plain drop-down keeps the fifteen.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    items_ = new QStandardItemModel(this);
    QStringList titles;
    for (const LookupColumn &c : columns_)
        titles << c.title;
    items_->setHorizontalHeaderLabels(titles);
    auto *view = new QTableView(this);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(false);
    // One line a row, about kVisibleRows rows high with a scroll bar for the rest.
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setModel(items_);
    setView(view);
    setModelColumn(textColumn_);
    setMaxVisibleItems(kVisibleRows);
    if (completion) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        completer()->setCompletionMode(QCompleter::PopupCompletion);
        completer()->setCaseSensitivity(Qt::CaseInsensitive);
        completer()->setFilterMode(Qt::MatchContains);
        completer()->setCompletionColumn(textColumn_);
    }
    connect(dictionary_, &data::Dataset::rowsChanged, this, [this] { stale_ = true; });
    connect(this, &QComboBox::activated, this, [this] { emit chosen(currentId()); });
    connect(this, &LookupCombo::chosen, this, [this] { unlisted_ = QVariant(); });
    rebuild();
}

void LookupCombo::rebuild()
{
    stale_ = false;
    const QVariant kept = currentId();
    const bool quiet = blockSignals(true);
    items_->removeRows(0, items_->rowCount());
    const int idField = dictionary_->fieldIndex(QStringLiteral("Id"));
    QVector<int> fields;
    for (const LookupColumn &c : columns_)
        fields << dictionary_->fieldIndex(c.field);
    for (int row = 0; row < dictionary_->recordCount(); ++row) {
        const QVariant id = dictionary_->valueAt(row, idField);
        QList<QStandardItem *> line;
        for (int f : fields) {
            auto *item = new QStandardItem(f >= 0 ? dictionary_->displayText(row, f) : QString());
            item->setData(id, Qt::UserRole);
            item->setEditable(false);
            line << item;
        }
        items_->appendRow(line);
    }
    auto *list = static_cast<QTableView *>(view());
    // Columns as wide as their texts and headings, the given widths at least.
    list->resizeColumnsToContents();
    int total = 0;
    for (int c = 0; c < columns_.size(); ++c) {
        list->setColumnWidth(c, std::max(list->columnWidth(c), columns_[c].width));
        total += list->columnWidth(c);
    }
    const int screenWidth = screen() ? screen()->availableGeometry().width() : 1200;
    list->setMinimumWidth(
        std::min(total + list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth(), screenWidth - 40));
    setCurrentIndex(rowOfId(kept));
    blockSignals(quiet);
}

void LookupCombo::sync()
{
    if (stale_)
        rebuild();
}

int LookupCombo::rowOfId(const QVariant &id) const
{
    if (id.isNull() || !id.isValid())
        return -1;
    const qlonglong wanted = id.toLongLong();
    for (int r = 0; r < items_->rowCount(); ++r)
        if (items_->item(r, 0)->data(Qt::UserRole).toLongLong() == wanted)
            return r;
    return -1;
}

QVariant LookupCombo::currentId() const
{
    const int r = currentIndex();
    if (r < 0 || r >= items_->rowCount())
        return QVariant();
    return items_->item(r, 0)->data(Qt::UserRole);
}

void LookupCombo::setCurrentId(const QVariant &id)
{
    sync();
    const int r = rowOfId(id);
    unlisted_ = r < 0 && unlistedName_ ? id : QVariant();
    if (r != currentIndex())
        setCurrentIndex(r);
    if (r < 0 && isEditable())
        setEditText(QString());
}

std::optional<QVariant> LookupCombo::typedChoice() const
{
    if (!isEditable())
        return currentId();
    // The typed text decides: the first row whose text matches it exactly.
    const QString typed = currentText();
    if (typed.isEmpty())
        return QVariant();
    const int found = findText(typed, Qt::MatchFixedString);
    if (found < 0)
        return std::nullopt;
    return items_->item(found, 0)->data(Qt::UserRole);
}

QString LookupCombo::shownText() const
{
    const int r = currentIndex();
    if (r < 0 || r >= items_->rowCount())
        return unlisted_.isNull() ? QString() : unlistedName_(unlisted_);
    QString text = items_->item(r, textColumn_)->text();
    for (int c = 0; c < items_->columnCount() && text.trimmed().isEmpty(); ++c)
        text = items_->item(r, c)->text();
    return text;
}

void LookupCombo::paintEvent(QPaintEvent *event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = shownText();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void LookupCombo::showPopup()
{
    sync();
    QComboBox::showPopup();
}

void LookupCombo::focusInEvent(QFocusEvent *event)
{
    sync();
    QComboBox::focusInEvent(event);
}

void LookupCombo::keyPressEvent(QKeyEvent *event)
{
    sync();
    // Backspace empties a list box; a box that takes text edits its text.
    if (!isEditable() && event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        if (currentIndex() >= 0 || !unlisted_.isNull()) {
            setCurrentIndex(-1);
            emit chosen(QVariant());
        }
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace fenwa::ui
