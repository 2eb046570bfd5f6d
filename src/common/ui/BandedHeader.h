#pragma once
// A grid's column header with bands: a band is a title drawn over a span of
// columns ("Wartość" over "netto", "zobowiązania publiczno- prawne" and
// "brutto"), the columns' own titles standing under it in the lower half of
// the header; columns outside every band keep the full height for their title.
//
// Bands name their columns by field, not by position: a section belongs to
// a band when the model's header data for FieldNameRole (DatasetModel gives
// each column's field) is one of the band's fields, compared without regard
// to case. So a band follows its columns wherever they stand: a hidden column
// leaves it, and a column moved away splits it into pieces, each drawn with
// the title over its own run of adjacent columns.
//
//   grid->setHeaderBands({{QStringLiteral("Wartość"), {"netto", "podatki", "brutto"}}});
//
// Without bands the header is a plain QHeaderView. A click on a band's title
// counts as a click on the column under it (ordering, as the grid does it).
//
// A header may also show a row of notes above everything else: one box per
// column holding a short text of that column (the browser writes each
// column's filter there), empty for a column without one. Notes are named by
// field like bands:
//
//   grid->bandedHeader()->setNotesShown(true);
//   grid->bandedHeader()->setNote(QStringLiteral("brutto"), QStringLiteral("500 - 1 000,00"));
#include <QHash>
#include <QHeaderView>

namespace fenwa::ui {

struct HeaderBand {
    QString title;
    QStringList fields;
};

class BandedHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit BandedHeader(QWidget *parent = nullptr);

    void setBands(QVector<HeaderBand> bands);
    const QVector<HeaderBand> &bands() const { return bands_; }

    // The row of notes above the titles and bands (off by default).
    void setNotesShown(bool shown);
    // The note of the column showing `field` (empty: none); setting every
    // note empty keeps the row, with empty boxes.
    void setNote(const QString &field, const QString &text);
    void clearNotes();
    // The note of a section, as shown.
    QString noteOf(int logicalIndex) const;

    // One run of adjacent visible columns of a band, in the header's
    // viewport coordinates (the upper half of the header).
    struct Piece {
        QString title;
        QRect rect;
        int firstLogical = -1, lastLogical = -1;
    };
    QVector<Piece> pieces() const;
    // The band of a section (an index into bands()), -1 for none.
    int bandOf(int logicalIndex) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    int rows() const;
    int rowHeight() const;
    int bandTop() const;
    QString fieldOf(int logicalIndex) const;

    QVector<HeaderBand> bands_;
    bool notesShown_ = false;
    QHash<QString, QString> notes_;   // by field, in lower case
};

} // namespace fenwa::ui
