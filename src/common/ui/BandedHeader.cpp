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

int BandedHeader::bandOf(int logicalIndex) const
{
    if (bands_.isEmpty() || !model())
        return -1;
    const QString field = model()->headerData(logicalIndex, orientation(), DatasetModel::FieldNameRole).toString();
    if (field.isEmpty())
        return -1;
    for (int b = 0; b < bands_.size(); ++b)
        if (bands_[b].fields.contains(field, Qt::CaseInsensitive))
            return b;
    return -1;
}

int BandedHeader::bandHeight() const { return height() / 2; }

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
            out << Piece{bands_[band].title, QRect(QPoint(left, 0), QPoint(right - 1, bandHeight() - 1)), logical,
                         logical};
        }
        runBand = band;
    }
    return out;
}

QSize BandedHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    if (!bands_.isEmpty())
        s.setHeight(2 * s.height());
    return s;
}

void BandedHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (bandOf(logicalIndex) < 0) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // The column's own title under the band.
    painter->save();
    QHeaderView::paintSection(painter, rect.adjusted(0, bandHeight(), 0, 0), logicalIndex);
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
