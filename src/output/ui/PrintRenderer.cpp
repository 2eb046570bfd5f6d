#include "output/ui/PrintRenderer.h"

#include "output/ReportSource.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>

namespace fenwa::output::ui {

namespace {
constexpr double kPadX = 0.04;      // text inside a ruled cell
constexpr double kPadRow = 0.04;    // first line below the top rule of a tall row
constexpr double kBottomMargin = 0.3;
constexpr double kPageNumberHeight = 0.25;
constexpr double kMinFontSize = 6;   // points: the smallest size a too-wide text is set in

int alignFlag(Align a)
{
    switch (a) {
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}
} // namespace

PrintRenderer::PrintRenderer(const PrintJob &job) : job_(job), l_(*job.layout) {}

void PrintRenderer::setupDevice(QPagedPaintDevice &device) const
{
    QPageLayout layout(QPageSize(QPageSize::A4),
                       l_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
    layout.setMode(QPageLayout::FullPageMode);
    device.setPageLayout(layout);
}

QFont PrintRenderer::font(double points) const
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    return f;
}

double PrintRenderer::lineHeight(double points) const
{
    return QFontMetricsF(font(points), device_).lineSpacing() / dpi_;
}

QStringList PrintRenderer::wrap(const QString &text, const QFont &f, double widthInches) const
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // A single line that fits needs no layout.
    if (!t.contains(QChar::LineSeparator)
        && QFontMetricsF(f, device_).horizontalAdvance(t) <= px(widthInches)) {
        lines << t;
        return lines;
    }
    QTextLayout layout(t, f, const_cast<QPaintDevice *>(device_));
    QTextOption opt;
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opt);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(px(widthInches));
        QString s = t.mid(line.textStart(), line.textLength());
        s.remove(QChar::LineSeparator);
        lines << s.trimmed();
    }
    layout.endLayout();
    return lines;
}

int PrintRenderer::paginate(const QPaintDevice &device)
{
    device_ = &device;
    dpi_ = device.logicalDpiY();
    pages_.clear();
    const double pageHeight = l_.landscape ? page::kA4Width : page::kA4Height;
    const double bottom = pageHeight - kBottomMargin
        - (l_.pageNumbers ? pageHeight - page::kPageNumberTop : 0);

    // The header block grows when the title needs more than its lines.
    const double lh10 = lineHeight(10), lh8 = lineHeight(8);
    const double titleWidth = std::min(page::kTitleWidth, l_.headerWidth - page::kTitleLeft - kPadX);
    titleLines_ = wrap(job_.tytul, font(10), titleWidth);
    const int iwLines = job_.iw.isEmpty() ? 0 : int(job_.iw.split(QLatin1Char('\n')).size());
    const double need = std::max(titleLines_.size() * lh10, iwLines * lh8) + 2 * kPadX;
    headerBand_ = std::max(page::kHeaderBand, need + page::kHeaderBand - page::kHeaderHeight);

    Page current;
    current.header = true;
    current.headingsY = l_.top + headerBand_;
    double y = current.headingsY + l_.headingHeight;
    auto newPage = [&] {
        pages_.push_back(current);
        current = Page{};
        current.headingsY = l_.top;
        y = l_.top + l_.headingHeight;
    };

    for (int r = 0; r < job_.rowCount(); ++r) {
        Row row{r, 0, l_.rowHeight, {}};
        row.lines.resize(l_.columns.size());
        for (int c = 0; c < l_.columns.size(); ++c) {
            const PrintColumn &col = l_.columns[c];
            if (!col.memo || col.parts.isEmpty())
                continue;
            const PrintPart &part = col.parts.first();
            row.lines[c] = wrap(job_.rows[r][c].value(0), font(part.fontSize), col.width - 2 * kPadX);
            const double pad = l_.rowHeight <= 0.3 ? (0.3 - lineHeight(part.fontSize)) / 2 : kPadRow;
            row.h = std::max(row.h, row.lines[c].size() * lineHeight(part.fontSize) + 2 * pad);
        }
        // A row taller than a page is cut at the page's end rather than lost.
        row.h = std::min(row.h, bottom - l_.top - l_.headingHeight);
        if (y + row.h > bottom && !current.rows.isEmpty())
            newPage();
        else if (y + row.h > bottom && current.header)
            newPage();   // the first page has no room even for one row
        row.y = y;
        y += row.h;
        current.rows.push_back(std::move(row));
    }
    const double footerHeight = (l_.totals ? page::kStopkaBelowTotals : page::kStopkaBelowRows)
        + 2 * lh10 + 0.05;
    if (y + footerHeight > bottom)
        newPage();
    current.footer = true;
    current.footerY = y;
    pages_.push_back(current);
    return pages_.size();
}

QVector<double> PrintRenderer::rowHeights() const
{
    QVector<double> h;
    for (const Page &p : pages_)
        for (const Row &r : p.rows)
            h << r.h;
    return h;
}

void PrintRenderer::drawText(QPainter &p, double x, double y, double w, double h,
                             const QString &text, const QFont &f, int flags, bool fit)
{
    if (text.isEmpty())
        return;
    const QRectF rect(px(x), px(y), px(w), px(h));
    if (!fit) {
        p.setFont(f);
        p.drawText(rect, flags, text);
        return;
    }
    // A text wider than its cell is set smaller, down to a readable size.
    QFont small = f;
    QFontMetricsF fm(small, device_);
    while (fm.horizontalAdvance(text) > rect.width() && small.pointSizeF() > kMinFontSize) {
        small.setPointSizeF(std::max(kMinFontSize, small.pointSizeF() - 0.5));
        fm = QFontMetricsF(small, device_);
    }
    p.setFont(small);
    if (fm.horizontalAdvance(text) <= rect.width()) {
        p.drawText(rect, flags, text);
        return;
    }
    // Still too wide: it wraps onto as many lines as the cell holds, and only
    // what runs past the last of them is elided.
    QStringList lines = wrap(text, small, w);
    const double lh = fm.lineSpacing();
    const int room = std::max(1, int(rect.height() / lh));
    if (lines.size() > room) {
        const QString rest = lines.mid(room - 1).join(QLatin1Char(' '));
        lines = lines.mid(0, room - 1);
        lines << fm.elidedText(rest, Qt::ElideRight, rect.width());
    }
    double top = rect.top();
    if (flags & Qt::AlignVCenter)
        top += (rect.height() - lines.size() * lh) / 2;
    p.save();
    p.setClipRect(rect);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRectF(rect.left(), top + i * lh, rect.width(), lh),
                   (flags & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, lines[i]);
    p.restore();
}

void PrintRenderer::drawHeader(QPainter &p)
{
    const double h = headerBand_ - (page::kHeaderBand - page::kHeaderHeight);
    p.drawRect(QRectF(px(l_.left), px(l_.top), px(l_.headerWidth), px(h)));
    const QStringList iw = job_.iw.split(QLatin1Char('\n'));
    const double lh8 = lineHeight(8);
    for (int i = 0; i < iw.size() && i < 3; ++i)
        drawText(p, l_.left + kPadX, l_.top + kPadX + i * lh8, page::kIwWidth - 2 * kPadX, lh8,
                 iw[i], font(8), Qt::AlignLeft | Qt::AlignVCenter);
    const double lh10 = lineHeight(10);
    const double titleWidth = std::min(page::kTitleWidth, l_.headerWidth - page::kTitleLeft - kPadX);
    for (int i = 0; i < titleLines_.size(); ++i)
        drawText(p, l_.left + page::kTitleLeft, l_.top + kPadX + i * lh10, titleWidth, lh10,
                 titleLines_[i], font(10), Qt::AlignLeft | Qt::AlignVCenter);
}

void PrintRenderer::drawHeadings(QPainter &p, double y)
{
    const double h = l_.headingHeight;
    const double x0 = l_.left;
    p.drawLine(QPointF(px(x0), px(y)), QPointF(px(x0 + l_.width), px(y)));
    p.drawLine(QPointF(px(x0), px(y + h)), QPointF(px(x0 + l_.width), px(y + h)));
    double x = x0;
    for (int c = 0; c < l_.columns.size(); ++c) {
        const PrintColumn &col = l_.columns[c];
        p.drawLine(QPointF(px(x), px(y)), QPointF(px(x), px(y + h)));
        const QStringList caption = job_.headings.value(c).split(QLatin1Char('\n'));
        if (col.headingRule && caption.size() == 2) {
            p.drawLine(QPointF(px(x), px(y + h / 2)), QPointF(px(x + col.width), px(y + h / 2)));
            // Each half holds one line: a caption wider than its column is set smaller.
            for (int i = 0; i < 2; ++i) {
                double size = col.headingFontSize;
                while (size > 6 && QFontMetricsF(font(size), device_).horizontalAdvance(caption[i])
                                       > px(col.width - kPadX))
                    size -= 0.5;
                drawText(p, x, y + i * h / 2, col.width, h / 2, caption[i], font(size),
                         Qt::AlignCenter, false);
            }
        } else {
            drawText(p, x + kPadX, y, col.width - 2 * kPadX, h, caption.join(QLatin1Char('\n')),
                     font(col.headingFontSize), Qt::AlignCenter | Qt::TextWordWrap, false);
        }
        x += col.width;
    }
    p.drawLine(QPointF(px(x0 + l_.width), px(y)), QPointF(px(x0 + l_.width), px(y + h)));
}

void PrintRenderer::drawRow(QPainter &p, const Row &row)
{
    const double x0 = l_.left, y = row.y, h = row.h;
    p.drawLine(QPointF(px(x0), px(y + h)), QPointF(px(x0 + l_.width), px(y + h)));
    double x = x0;
    const QVector<QStringList> &cells = job_.rows[row.index];
    for (int c = 0; c < l_.columns.size(); ++c) {
        const PrintColumn &col = l_.columns[c];
        p.drawLine(QPointF(px(x), px(y)), QPointF(px(x), px(y + h)));
        for (int k = 0; k < col.parts.size(); ++k) {
            const PrintPart &part = col.parts[k];
            const double lh = lineHeight(part.fontSize);
            const double pad = l_.rowHeight <= 0.3 ? (0.3 - lh) / 2 : kPadRow;
            const int flags = alignFlag(part.align) | Qt::AlignVCenter;
            if (col.memo && k == 0) {
                const QStringList &lines = row.lines[c];
                for (int i = 0; i < lines.size(); ++i) {
                    if (y + pad + (i + 1) * lh > y + h + 0.001)
                        break;   // cut at the page's end
                    drawText(p, x + kPadX, y + pad + part.dy + i * lh, col.width - 2 * kPadX, lh,
                             lines[i], font(part.fontSize), flags);
                }
            } else {
                drawText(p, x + kPadX, y + pad + part.dy, col.width - 2 * kPadX, lh,
                         cells[c].value(k), font(part.fontSize), flags);
            }
        }
        x += col.width;
    }
    p.drawLine(QPointF(px(x0 + l_.width), px(y)), QPointF(px(x0 + l_.width), px(y + h)));
}

void PrintRenderer::drawFooter(QPainter &p, double y)
{
    const double lh10 = lineHeight(10);
    double stopkaY = y + page::kStopkaBelowRows;
    if (l_.totals) {
        const double h = page::kTotalsHeight;
        p.drawRect(QRectF(px(l_.left), px(y), px(l_.razemWidth), px(h)));
        drawText(p, l_.left + kPadX, y, l_.razemWidth - 2 * kPadX, h, QStringLiteral("Razem"),
                 font(10), Qt::AlignLeft | Qt::AlignVCenter);
        for (int c = 0; c < l_.columns.size(); ++c) {
            const PrintColumn &col = l_.columns[c];
            if (!col.total)
                continue;
            const double x = l_.left + l_.columnLeft(c);
            p.drawRect(QRectF(px(x), px(y), px(col.width), px(h)));
            drawText(p, x + kPadX, y, col.width - 2 * kPadX, h, formatGrouped(job_.totals.value(c)),
                     font(10), Qt::AlignRight | Qt::AlignVCenter);
        }
        stopkaY = y + page::kStopkaBelowTotals;
    }
    const QStringList lines = job_.stopka.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i)
        drawText(p, l_.left, stopkaY + i * lh10, l_.width, lh10, lines[i], font(10),
                 Qt::AlignLeft | Qt::AlignVCenter);
}

void PrintRenderer::paintPage(QPainter &p, int index)
{
    if (index < 0 || index >= pages_.size())
        return;
    const Page &pg = pages_[index];
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, dpi_ / 96.0));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (pg.header)
        drawHeader(p);
    drawHeadings(p, pg.headingsY);
    for (const Row &row : pg.rows)
        drawRow(p, row);
    if (pg.footer)
        drawFooter(p, pg.footerY);
    if (l_.pageNumbers)
        drawText(p, page::kPageNumberRight - page::kPageNumberWidth, page::kPageNumberTop,
                 page::kPageNumberWidth, kPageNumberHeight, pageNumberText(index + 1), font(10),
                 Qt::AlignRight | Qt::AlignVCenter, false);
}

bool PrintRenderer::render(QPagedPaintDevice &device, const std::function<void(int)> &progress,
                           int first, int last)
{
    setupDevice(device);
    paginate(device);
    const int n = pageCount();
    first = std::clamp(first, 1, n);
    last = last <= 0 ? n : std::clamp(last, first, n);
    QPainter p;
    if (!p.begin(&device))
        return false;
    for (int i = first; i <= last; ++i) {
        if (progress)
            progress(i);
        if (i > first)
            device.newPage();
        paintPage(p, i - 1);
    }
    return p.end();
}

bool PrintRenderer::writePdf(const QString &path, const std::function<void(int)> &progress)
{
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    pdf.setCreator(QStringLiteral("Fenwa5"));
    pdf.setTitle(job_.tytul);
    return render(pdf, progress);
}

} // namespace fenwa::output::ui
