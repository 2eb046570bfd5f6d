#pragma once
// Lays a print job out on A4 pages and draws them with QPainter: the header
// block on the first page, column headings on every page, ruled rows whose memo
// cells wrap and grow the row (other cells set a text too wide for them
// smaller rather than cut it), the footer with totals and `Stopka_raportu`
// once below the last row, and "Strona:N" where the layout asks for it.
#include "output/PrintJob.h"

#include <QFont>
#include <QStringList>
#include <QVector>
#include <functional>

class QPainter;
class QPaintDevice;
class QPagedPaintDevice;

namespace fenwa::output::ui {

class PrintRenderer {
public:
    explicit PrintRenderer(const PrintJob &job);

    // Page size and orientation of the layout.
    void setupDevice(QPagedPaintDevice &device) const;
    // Lays out the pages for the device's resolution; returns the page count.
    int paginate(const QPaintDevice &device);
    int pageCount() const { return pages_.size(); }
    // Heights (inches) of the data rows in order, as laid out.
    QVector<double> rowHeights() const;

    // Draws one page (from 0) with a painter open on a device set up as above.
    void paintPage(QPainter &painter, int page);
    // Draws pages first..last (from 1; 0 = to the end) on the device, calling
    // `progress` with each page number before it is drawn. False when the
    // painter cannot be opened.
    bool render(QPagedPaintDevice &device, const std::function<void(int)> &progress = {},
                int first = 1, int last = 0);
    bool writePdf(const QString &path, const std::function<void(int)> &progress = {});

    static QString pageNumberText(int page) { return QStringLiteral("Strona:") + QString::number(page); }

private:
    struct Row {
        int index;      // into job rows; -1 for none
        double y, h;    // inches from the top of the page
        QVector<QStringList> lines;   // memo columns: their wrapped lines
    };
    struct Page {
        bool header = false;
        double headingsY = 0;
        QVector<Row> rows;
        bool footer = false;
        double footerY = 0;
    };

    double px(double inches) const { return inches * dpi_; }
    QFont font(double points) const;
    QStringList wrap(const QString &text, const QFont &f, double widthInches) const;
    double lineHeight(double points) const;
    void drawHeader(QPainter &p);
    void drawHeadings(QPainter &p, double y);
    void drawRow(QPainter &p, const Row &row);
    void drawFooter(QPainter &p, double y);
    // Draws a text in its cell. With `fit`, a text wider than the cell is set
    // smaller (down to 6 pt), then wrapped onto the lines the cell holds; only
    // what the cell cannot hold even so is elided. Without it, as it comes.
    void drawText(QPainter &p, double x, double y, double w, double h, const QString &text,
                  const QFont &f, int flags, bool fit = true);

    const PrintJob &job_;
    const PrintLayout &l_;
    const QPaintDevice *device_ = nullptr;
    double dpi_ = 300;
    double headerBand_ = page::kHeaderBand;
    QStringList titleLines_;
    QVector<Page> pages_;
};

} // namespace fenwa::output::ui
