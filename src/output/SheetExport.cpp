#include "output/SheetExport.h"

#include "output/FileName.h"

#include "common/Messages.h"
#include "common/Numbers.h"
#include "output/XlsxSpreadsheet.h"

#include <QDir>
#include <QFileInfo>

namespace fenwa::output {

namespace {

QString columnLetters(int col)
{
    QString s;
    while (col > 0) {
        const int rem = (col - 1) % 26;
        s.prepend(QChar(u'A' + rem));
        col = (col - 1) / 26;
    }
    return s;
}

QString cellName(int row, int col) { return columnLetters(col) + QString::number(row); }

RangeFormat bodyFormat(double size)
{
    RangeFormat f;
    f.fontName = QStringLiteral("Arial");
    f.fontSize = size;
    f.wrap = true;
    f.box = true;
    return f;
}

} // namespace

SheetExport::SheetExport(SheetEnvironment env, SheetDesign design)
    : env_(std::move(env)), design_(std::move(design))
{
    sheet_ = env_.makeSheet ? env_.makeSheet() : std::make_unique<XlsxSpreadsheet>();
    lastCol_ = std::max<int>(1, design_.columns.size());
    numbered_ = !design_.columns.isEmpty()
        && design_.columns.first().heading.compare(QLatin1String("Lp"), Qt::CaseInsensitive) == 0;
    groupSums_.fill(0, design_.subtotalColumns.size());
    grandSums_.fill(0, design_.subtotalColumns.size());

    Spreadsheet &s = *sheet_;
    if (design_.landscape)
        s.setLandscape();
    for (int c = 1; c <= design_.columns.size(); ++c) {
        const SheetColumn &col = design_.columns[c - 1];
        if (col.width > 0)
            s.setColumnWidth(c, col.width);
        if (col.amount)
            s.setColumnNumberFormat(c, kAmountFormat);
    }
    // Row 1: the title.
    s.setText(1, 1, design_.title);
    RangeFormat title;
    title.merge = lastCol_ > 1;
    title.centre = true;
    title.fontName = QStringLiteral("Arial");
    title.fontSize = 12;
    s.format({1, 1, 1, lastCol_}, title);
    s.setRowHeight(1, 16.5);
    // Row 2: the headings.
    for (int c = 1; c <= design_.columns.size(); ++c)
        s.setText(2, c, design_.columns[c - 1].heading);
    RangeFormat head = bodyFormat(10);
    head.centre = true;
    s.format({2, 1, 2, lastCol_}, head);
}

SheetExport::~SheetExport() = default;

void SheetExport::addRow(const QVector<QVariant> &values)
{
    if (finished_)
        throw SheetError("the export is finished");
    Spreadsheet &s = *sheet_;
    const int first = numbered_ ? 2 : 1;
    // The value of the grouping column decides whether a subtotal row comes first.
    if (design_.subtotalGroup > 0) {
        const int gi = design_.subtotalGroup - first;
        QString g;
        if (gi >= 0 && gi < values.size())
            g = values[gi].toString();
        if (inGroup_ && g != groupValue_)
            closeGroup();
        if (!inGroup_) {
            inGroup_ = true;
            groupValue_ = g;
            groupFirst_ = row_;
        }
    }
    ++count_;
    if (numbered_)
        s.setText(row_, 1, QString::number(count_));
    for (int i = 0; i < values.size(); ++i) {
        const int col = first + i;
        const QVariant &v = values[i];
        if (v.isNull() || !v.isValid())
            continue;
        switch (v.metaType().id()) {
        case QMetaType::Double:
        case QMetaType::Float:
            s.setNumber(row_, col, v.toDouble());
            if (design_.formatEveryNumber)
                s.setNumberFormat(CellRange::cell(row_, col), kAmountFormat);
            break;
        case QMetaType::Bool:
            s.setText(row_, col, v.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
            break;
        case QMetaType::QDate:
            s.setText(row_, col, shortDate(v.toDate()));
            break;
        case QMetaType::QDateTime:
            s.setText(row_, col, v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
            break;
        default:
            s.setText(row_, col, v.toString());
        }
        for (int k = 0; k < design_.subtotalColumns.size(); ++k)
            if (design_.subtotalColumns[k] == col && (v.metaType().id() == QMetaType::Double
                                                    || v.metaType().id() == QMetaType::Float)) {
                const double d = v.toDouble();
                groupSums_[k] += d;
                grandSums_[k] += d;
            }
    }
    s.setRowLevel(row_, design_.subtotalGroup > 0 ? 2 : 0);
    ++row_;
}

void SheetExport::closeGroup()
{
    if (!inGroup_)
        return;
    writeTotal(groupValue_ + QStringLiteral(" Suma"), groupFirst_, row_ - 1, false);
    groupSums_.fill(0);
    inGroup_ = false;
}

void SheetExport::writeTotal(const QString &label, int firstRow, int lastRow, bool grand)
{
    Spreadsheet &s = *sheet_;
    s.setText(row_, design_.subtotalGroup, label);
    for (int k = 0; k < design_.subtotalColumns.size(); ++k) {
        const int col = design_.subtotalColumns[k];
        const QString range = lastRow >= firstRow
            ? cellName(firstRow, col) + QLatin1Char(':') + cellName(lastRow, col)
            : cellName(row_, col) + QLatin1Char(':') + cellName(row_, col);
        // SUBTOTAL(9, …) sums and leaves out the subtotal rows inside its range.
        const double value = grand ? grandSums_[k] : groupSums_[k];
        if (lastRow >= firstRow)
            s.setFormula(row_, col, QStringLiteral("SUBTOTAL(9,%1)").arg(range), value);
        else
            s.setNumber(row_, col, 0);
    }
    RangeFormat bold;
    bold.bold = true;
    s.format({row_, 1, row_, lastCol_}, bold);
    s.setRowLevel(row_, grand ? 0 : 1);
    subtotalRows_.push_back(row_);
    ++row_;
}

void SheetExport::addLine(const QString &text) { lines_.push_back(text); }

QString SheetExport::footerLine(const SheetEnvironment &env)
{
    return QStringLiteral("Eksport z programu ") + env.appTitle + QStringLiteral(" - ") + env.version
        + QStringLiteral(", użytkownik: ") + env.login;
}

QString SheetExport::notOpenedText(const QString &failure, const QString &path)
{
    return failure + QStringLiteral("\n\nArkusz zapisano w pliku:\n") + QDir::toNativeSeparators(path)
        + QStringLiteral("\n\nOtworzyć folder z tym plikiem?");
}

QString SheetExport::dateLine(const SheetEnvironment &env)
{
    return QStringLiteral("Data eksportu: ") + shortDate(env.moment.date());
}

QString SheetExport::fileNameFor(const QString &folder, const QString &title, const QDateTime &moment)
{
    QString base = safeFileBase(title, QStringLiteral("Eksport"));
    base += QLatin1Char('_') + moment.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    const QDir dir(folder);
    QString name = base + QStringLiteral(".xlsx");
    for (int n = 2; dir.exists(name); ++n)
        name = base + QStringLiteral("_%1.xlsx").arg(n);
    return dir.filePath(name);
}

QString SheetExport::save()
{
    const QFileInfo dir(env_.folder);
    if (env_.folder.isEmpty() || !dir.isDir())
        throw SheetError("the export folder does not exist");
    const QString path = fileNameFor(env_.folder, design_.title, env_.moment);
    sheet_->save(path);
    return path;
}

SheetResult SheetExport::finish()
{
    if (finished_)
        throw SheetError("the export is finished");
    Spreadsheet &s = *sheet_;
    if (design_.subtotalGroup > 0) {
        closeGroup();
        writeTotal(QStringLiteral("Suma końcowa"), 3, row_ - 1, true);
    }
    // One boxed block: the data and the empty rows the design adds below it.
    // The footer lines follow outside it, so no border runs through them.
    const int lastBoxed = row_ - 1 + design_.boxedRowsAfterData;
    if (lastBoxed >= 3)   // an empty table leaves the headings as they are
        s.format({3, 1, lastBoxed, lastCol_}, bodyFormat(8));
    RangeFormat footer;
    footer.fontName = QStringLiteral("Arial");
    footer.fontSize = 8;
    int r = lastBoxed + 1;
    for (const QString &line : lines_ + QStringList{footerLine(env_), dateLine(env_)}) {
        s.format(CellRange::cell(r, 1), footer);
        s.setText(r++, 1, line);
    }
    finished_ = true;

    SheetResult result;
    result.lastRow = r - 1;
    result.path = save();
    result.ok = true;
    if (env_.open && !env_.open(result.path)) {
        // The sheet is written all the same: say where, and offer its folder.
        result.ok = false;
        if (env_.messages
            && env_.messages->question(notOpenedText(failureText_ ? failureText_() : kExcelError, result.path),
                                       QStringLiteral("Błąd")))
            env_.open(QFileInfo(result.path).absolutePath());
    }
    return result;
}

SheetResult SheetExport::fail()
{
    SheetResult result;
    const QString text = failureText_ ? failureText_() : kExcelError;
    if (!finished_) {
        finished_ = true;
        try {
            result.path = save();   // what was written so far
            result.lastRow = sheet_->lastRow();
            if (env_.open)
                env_.open(result.path);
        } catch (...) {
            result.path.clear();
        }
    }
    if (env_.messages)
        env_.messages->error(text);
    return result;
}

SheetResult SheetExport::run(SheetEnvironment env, SheetDesign design,
                             const std::function<void(SheetExport &)> &fill)
{
    std::unique_ptr<SheetExport> x;
    try {
        x = std::make_unique<SheetExport>(env, std::move(design));
        fill(*x);
        return x->finish();
    } catch (...) {
        if (x)
            return x->fail();
        if (env.messages)
            env.messages->error(kExcelError);
        return {};
    }
}

SheetResult SheetExport::run(SheetEnvironment env, SheetDesign design, const ReportSource &source)
{
    const bool numbered = !design.columns.isEmpty()
        && design.columns.first().heading.compare(QLatin1String("Lp"), Qt::CaseInsensitive) == 0;
    QVector<int> map;
    QVector<bool> asNumber;
    for (int c = numbered ? 1 : 0; c < design.columns.size(); ++c) {
        const QString &field = design.columns[c].field;
        const int f = field.isEmpty() ? -1 : source.columnIndex(field);
        if (!field.isEmpty() && f < 0) {
            if (env.messages)
                env.messages->error(kExcelError);
            return {};
        }
        map.push_back(f);
        asNumber.push_back(design.columns[c].number);
    }
    return run(std::move(env), std::move(design), [&](SheetExport &x) {
        QVector<QVariant> values(map.size());
        for (int r = 0; r < source.rowCount(); ++r) {
            for (int i = 0; i < map.size(); ++i) {
                const int f = map[i];
                if (f < 0) {
                    values[i] = QVariant();
                    continue;
                }
                const Column col = source.column(f);
                const QVariant v = source.value(r, f);
                if (asNumber[i] && col.type == ColumnType::Number && !v.isNull())
                    values[i] = v.toDouble();
                else
                    values[i] = source.text(r, f);
            }
            x.addRow(values);
        }
    });
}

} // namespace fenwa::output
