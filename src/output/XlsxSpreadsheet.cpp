#include "output/XlsxSpreadsheet.h"

#include <xlsxwriter.h>

#include <QByteArray>
#include <algorithm>
#include <cmath>

namespace fenwa::output {

namespace {
constexpr int kMaxRows = 1048576;
constexpr int kMaxCols = 16384;
constexpr int kMaxText = 32767;   // the longest text a cell holds

QByteArray utf8(const QString &s) { return s.left(kMaxText).toUtf8(); }
} // namespace

bool XlsxSpreadsheet::Style::operator==(const Style &o) const
{
    return font == o.font && size == o.size && bold == o.bold && wrap == o.wrap
        && centre == o.centre && left == o.left && right == o.right && top == o.top
        && bottom == o.bottom && numFormat == o.numFormat;
}

XlsxSpreadsheet::XlsxSpreadsheet() { styles_.push_back(Style{}); }
XlsxSpreadsheet::~XlsxSpreadsheet() = default;

void XlsxSpreadsheet::check(int row, int col) const
{
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
        throw SheetError("cell outside the sheet");
}

XlsxSpreadsheet::Cell &XlsxSpreadsheet::at(int row, int col)
{
    check(row, col);
    if (cells_.size() < row)
        cells_.resize(row);
    auto &r = cells_[row - 1];
    if (r.size() < col)
        r.resize(col);
    return r[col - 1];
}

int XlsxSpreadsheet::styleIndex(const Style &s)
{
    for (int i = 0; i < styles_.size(); ++i)
        if (styles_[i] == s)
            return i;
    styles_.push_back(s);
    return styles_.size() - 1;
}

template <typename F> void XlsxSpreadsheet::restyle(const CellRange &range, F change)
{
    check(range.r1, range.c1);
    check(range.r2, range.c2);
    if (range.r2 < range.r1 || range.c2 < range.c1)
        throw SheetError("empty range");
    QHash<int, int> done;   // old style -> new style, for this range
    for (int r = range.r1; r <= range.r2; ++r)
        for (int c = range.c1; c <= range.c2; ++c) {
            Cell &cell = at(r, c);
            // The borders depend on where the cell lies in the range; the cache
            // key takes that into account.
            const int edge = (r == range.r1 ? 1 : 0) | (r == range.r2 ? 2 : 0);
            const int key = cell.style * 4 + edge;
            auto it = done.constFind(key);
            if (it != done.constEnd()) {
                cell.style = *it;
                continue;
            }
            Style s = styles_[cell.style];
            change(s, r, c);
            const int idx = styleIndex(s);
            done.insert(key, idx);
            cell.style = idx;
        }
}

void XlsxSpreadsheet::setColumnWidth(int col, double width)
{
    check(1, col);
    if (!(width >= 0 && width <= 255))
        throw SheetError("column width out of range");
    widths_[col] = width;
}

double XlsxSpreadsheet::columnWidth(int col) const
{
    auto it = widths_.find(col);
    return it == widths_.end() ? kDefaultWidth : it->second;
}

void XlsxSpreadsheet::setColumnNumberFormat(int col, const QString &format)
{
    check(1, col);
    columnFormats_[col] = format;
}

void XlsxSpreadsheet::setNumberFormat(const CellRange &range, const QString &format)
{
    restyle(range, [&](Style &s, int, int) { s.numFormat = format; });
}

void XlsxSpreadsheet::format(const CellRange &range, const RangeFormat &f)
{
    restyle(range, [&](Style &s, int r, int) {
        if (!f.fontName.isEmpty())
            s.font = f.fontName;
        if (f.fontSize > 0)
            s.size = f.fontSize;
        if (f.bold)
            s.bold = true;
        if (f.wrap)
            s.wrap = true;
        if (f.centre || f.merge)
            s.centre = f.centre || s.centre;
        if (f.box) {
            s.left = s.right = true;   // every cell: the outer edges and the inner verticals
            if (r == range.r1)
                s.top = true;
            if (r == range.r2)
                s.bottom = true;
        }
    });
    if (f.merge && (range.r1 != range.r2 || range.c1 != range.c2)) {
        for (const CellRange &m : merges_)
            if (!(range.r2 < m.r1 || range.r1 > m.r2 || range.c2 < m.c1 || range.c1 > m.c2))
                throw SheetError("overlapping merged ranges");
        merges_.push_back(range);
    }
}

void XlsxSpreadsheet::setRowHeight(int row, double points)
{
    check(row, 1);
    if (!(points >= 0 && points <= 409))
        throw SheetError("row height out of range");
    heights_[row] = points;
}

void XlsxSpreadsheet::setRowLevel(int row, int level)
{
    check(row, 1);
    levels_[row] = std::clamp(level, 0, 7);
}

void XlsxSpreadsheet::setText(int row, int col, const QString &text)
{
    Cell &c = at(row, col);
    c.kind = text.isEmpty() ? Cell::Empty : Cell::Text;
    c.text = text;
}

void XlsxSpreadsheet::setNumber(int row, int col, double value)
{
    if (!std::isfinite(value))
        throw SheetError("not a finite number");
    Cell &c = at(row, col);
    c.kind = Cell::Number;
    c.number = value;
    c.text.clear();
}

void XlsxSpreadsheet::setFormula(int row, int col, const QString &formula, double value)
{
    Cell &c = at(row, col);
    c.kind = Cell::Formula;
    c.text = formula;
    c.number = std::isfinite(value) ? value : 0;
}

namespace {

// Lines a wrapped text needs in a column `width` characters (of the default
// font) wide, at `points`: a cautious estimate, so that text is never cut off.
int estimateLines(const QString &text, double width, double points)
{
    const double columnPixels = width * 7 + 5;
    const double charPixels = points * 96.0 / 72.0 * 0.52;
    const int perLine = std::max(1, int(columnPixels / charPixels * 0.9));
    int lines = 0;
    for (const QString &para : text.split(QLatin1Char('\n'))) {
        int n = 1, used = 0;
        for (const QString &word : para.split(QLatin1Char(' '))) {
            int len = int(word.size());
            if (used > 0 && used + 1 + len > perLine) {
                ++n;
                used = 0;
            }
            while (len > perLine) {   // a word longer than the line breaks anywhere
                len -= perLine;
                ++n;
            }
            used += (used > 0 ? 1 : 0) + len;
        }
        lines += n;
    }
    return std::max(1, lines);
}

} // namespace

void XlsxSpreadsheet::save(const QString &path)
{
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *wb = workbook_new(file.constData());
    if (!wb)
        throw SheetError("cannot create the workbook");
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
    if (!ws) {
        workbook_close(wb);
        throw SheetError("cannot create the sheet");
    }
    if (landscape_)
        worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);            // A4
    worksheet_fit_to_pages(ws, 1, 0);      // printed one page wide, as many pages tall as needed

    // Column formats apply to every cell of the column without a format of its own.
    auto effective = [&](int styleIdx, int col) {
        Style s = styles_[styleIdx];
        auto it = columnFormats_.find(col);
        if (s.numFormat.isEmpty() && it != columnFormats_.end())
            s.numFormat = it->second;
        return s;
    };
    QVector<lxw_format *> made;
    QVector<Style> madeStyles;
    auto formatOf = [&](const Style &s) -> lxw_format * {
        if (s == Style{})
            return nullptr;
        for (int i = 0; i < madeStyles.size(); ++i)
            if (madeStyles[i] == s)
                return made[i];
        lxw_format *f = workbook_add_format(wb);
        if (!s.font.isEmpty())
            format_set_font_name(f, s.font.toUtf8().constData());
        if (s.size > 0)
            format_set_font_size(f, s.size);
        if (s.bold)
            format_set_bold(f);
        if (s.wrap)
            format_set_text_wrap(f);
        if (s.centre) {
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        }
        if (s.left)
            format_set_left(f, LXW_BORDER_THIN);
        if (s.right)
            format_set_right(f, LXW_BORDER_THIN);
        if (s.top)
            format_set_top(f, LXW_BORDER_THIN);
        if (s.bottom)
            format_set_bottom(f, LXW_BORDER_THIN);
        if (!s.numFormat.isEmpty())
            format_set_num_format(f, s.numFormat.toUtf8().constData());
        made.push_back(f);
        madeStyles.push_back(s);
        return f;
    };

    int lastCol = 0;
    for (const auto &r : cells_)
        lastCol = std::max(lastCol, int(r.size()));
    for (const auto &[col, w] : widths_)
        lastCol = std::max(lastCol, col);
    for (int c = 1; c <= lastCol; ++c) {
        auto w = widths_.find(c);
        auto nf = columnFormats_.find(c);
        if (w == widths_.end() && nf == columnFormats_.end())
            continue;
        Style s;
        if (nf != columnFormats_.end())
            s.numFormat = nf->second;
        worksheet_set_column(ws, c - 1, c - 1, w == widths_.end() ? LXW_DEF_COL_WIDTH : w->second,
                             formatOf(s));
    }

    auto mergeAt = [&](int r, int c) -> const CellRange * {
        for (const CellRange &m : merges_)
            if (r >= m.r1 && r <= m.r2 && c >= m.c1 && c <= m.c2)
                return &m;
        return nullptr;
    };

    lxw_error err = LXW_NO_ERROR;
    for (int r = 1; r <= cells_.size() && err == LXW_NO_ERROR; ++r) {
        const auto &row = cells_[r - 1];
        int lines = 1;
        double points = 0;
        for (int c = 1; c <= row.size(); ++c) {
            const Cell &cell = row[c - 1];
            const Style s = effective(cell.style, c);
            if (!merges_.isEmpty() && mergeAt(r, c))
                continue;   // written with its merged range below
            lxw_format *f = formatOf(s);
            const QByteArray text = utf8(cell.text);
            switch (cell.kind) {
            case Cell::Empty:
                if (f)
                    err = worksheet_write_blank(ws, r - 1, c - 1, f);
                break;
            case Cell::Text:
                err = worksheet_write_string(ws, r - 1, c - 1, text.constData(), f);
                if (s.wrap)
                    lines = std::max(lines, estimateLines(cell.text, columnWidth(c),
                                                          s.size > 0 ? s.size : 11));
                break;
            case Cell::Number:
                err = worksheet_write_number(ws, r - 1, c - 1, cell.number, f);
                break;
            case Cell::Formula:
                err = worksheet_write_formula_num(ws, r - 1, c - 1, text.constData(), f,
                                                  cell.number);
                break;
            }
            if (err != LXW_NO_ERROR)
                break;
            points = std::max(points, s.size > 0 ? s.size : 11.0);
        }
        auto h = heights_.find(r);
        auto lv = levels_.find(r);
        double height = LXW_DEF_ROW_HEIGHT;
        bool setHeight = false;
        if (h != heights_.end()) {
            height = h->second;
            setHeight = true;
        } else if (lines > 1) {
            height = std::min(409.0, std::ceil(lines * points * 1.25 + 3));
            setHeight = true;
        }
        if (setHeight || lv != levels_.end()) {
            lxw_row_col_options opt{};
            opt.level = lv == levels_.end() ? 0 : uint8_t(lv->second);
            err = worksheet_set_row_opt(ws, r - 1, height, nullptr, &opt);
        }
    }
    for (const CellRange &m : merges_) {
        if (err != LXW_NO_ERROR)
            break;
        Cell first;
        if (m.r1 <= cells_.size() && m.c1 <= cells_[m.r1 - 1].size())
            first = cells_[m.r1 - 1][m.c1 - 1];
        const Style s = effective(first.style, m.c1);
        const QByteArray text = utf8(first.kind == Cell::Text ? first.text
                                     : first.kind == Cell::Empty ? QString()
                                                                 : QString::number(first.number));
        err = worksheet_merge_range(ws, m.r1 - 1, m.c1 - 1, m.r2 - 1, m.c2 - 1, text.constData(),
                                    formatOf(s));
    }
    const lxw_error closed = workbook_close(wb);
    if (err != LXW_NO_ERROR)
        throw SheetError(lxw_strerror(err));
    if (closed != LXW_NO_ERROR)
        throw SheetError(lxw_strerror(closed));
}

} // namespace fenwa::output
