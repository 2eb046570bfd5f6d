#include "common/ui/BandedHeader.h"

#include "common/ui/DatasetModel.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace fenwa::ui {

BandedHeader::BandedHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    // What a table view's own header starts with.
    setSectionsClickable(true);
    setHighlightSections(true);
}

void BandedHeader::setBands(QVector<HeaderBand> bands)
{
    bands_ = std::move(bands);
    updateGeometry();
    viewport()->update();
}

void BandedHeader::setNotesShown(bool shown)
{
    notesShown_ = shown;
    updateGeometry();
    viewport()->update();
}

void BandedHeader::setNote(const QString &field, const QString &text)
{
    if (text.isEmpty())
        notes_.remove(field.toLower());
    else
        notes_.insert(field.toLower(), text);
    viewport()->update();
}

void BandedHeader::clearNotes()
{
    notes_.clear();
    viewport()->update();
}

QString BandedHeader::fieldOf(int logicalIndex) const
{
    return model() ? model()->headerData(logicalIndex, orientation(), DatasetModel::FieldNameRole).toString()
                   : QString();
}

QString BandedHeader::noteOf(int logicalIndex) const
{
    const QString field = fieldOf(logicalIndex);
    return field.isEmpty() ? QString() : notes_.value(field.toLower());
}

int BandedHeader::bandOf(int logicalIndex) const
{
    if (bands_.isEmpty() || !model())
        return -1;
    const QString field = fieldOf(logicalIndex);
    if (field.isEmpty())
        return -1;
    for (int b = 0; b < bands_.size(); ++b)
        if (bands_[b].fields.contains(field, Qt::CaseInsensitive))
            return b;
    return -1;
}

int BandedHeader::rows() const { return 1 + (bands_.isEmpty() ? 0 : 1) + (notesShown_ ? 1 : 0); }

int BandedHeader::rowHeight() const { return height() / rows(); }

int BandedHeader::bandTop() const { return notesShown_ ? rowHeight() : 0; }

QVector<BandedHeader::Piece> BandedHeader::pieces() const
{
    QVector<Piece> out;
    int runBand = -1;
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;   // a hidden column neither belongs to a run nor breaks one
        const int band = bandOf(logical);
        const int left = sectionViewportPosition(logical);
        const int right = left + sectionSize(logical);
        if (band >= 0 && band == runBand) {
            out.last().rect.setRight(right - 1);
            out.last().lastLogical = logical;
        } else if (band >= 0) {
            out << Piece{bands_[band].title, QRect(QPoint(left, bandTop()), QPoint(right - 1, bandTop() + rowHeight() - 1)), logical,
                         logical};
        }
        runBand = band;
    }
    return out;
}

QSize BandedHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(rows() * s.height());
    return s;
}

void BandedHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QRect below = rect;
    if (notesShown_) {
        // The column's note in a box of its own, over the band and the title.
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = QRect(rect.left(), rect.top(), rect.width(), rowHeight());
        opt.text = fontMetrics().elidedText(noteOf(logicalIndex), Qt::ElideRight, rect.width() - 6);
        opt.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        opt.section = logicalIndex;
        opt.sortIndicator = QStyleOptionHeader::None;
        painter->save();
        painter->setClipRect(opt.rect, Qt::IntersectClip);
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        painter->restore();
        below.setTop(rect.top() + rowHeight());
    }
    if (bandOf(logicalIndex) < 0) {
        painter->save();
        QHeaderView::paintSection(painter, below, logicalIndex);
        painter->restore();
        return;
    }
    // The column's own title under the band.
    painter->save();
    QHeaderView::paintSection(painter, below.adjusted(0, rowHeight(), 0, 0), logicalIndex);
    painter->restore();
    // The band's title over its whole run; every column of the run draws it
    // the same, so a partial repaint keeps it whole.
    for (const Piece &piece : pieces()) {
        if (visualIndex(logicalIndex) < visualIndex(piece.firstLogical)
            || visualIndex(logicalIndex) > visualIndex(piece.lastLogical))
            continue;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = piece.rect;
        opt.text = piece.title;
        opt.textAlignment = Qt::AlignCenter;
        opt.section = logicalIndex;
        opt.position = QStyleOptionHeader::Middle;
        opt.sortIndicator = QStyleOptionHeader::None;
        painter->save();
        painter->setClipRect(piece.rect, Qt::IntersectClip);
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        painter->restore();
    }
}

} // namespace fenwa::ui
