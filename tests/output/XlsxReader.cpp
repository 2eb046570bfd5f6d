#include "output/XlsxReader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace testing_xlsx {

QString unzipPart(const QString &path, const QString &part)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString Workbook::numFmt(const QString &ref) const
{
    const int id = xf(ref).numFmt;
    if (numFmts.contains(id))
        return numFmts.value(id);
    if (id == 4)
        return QStringLiteral("#,##0.00");
    return id == 0 ? QStringLiteral("General") : QString::number(id);
}

int Workbook::lastRow() const
{
    int last = 0;
    static const QRegularExpression digits(QStringLiteral("\\d+$"));
    for (auto it = cells.begin(); it != cells.end(); ++it)
        last = std::max(last, digits.match(it.key()).captured(0).toInt());
    return last;
}

Workbook read(const QString &path)
{
    Workbook wb;
    const QString sheet = unzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString strings = unzipPart(path, QStringLiteral("xl/sharedStrings.xml"));
    const QString styles = unzipPart(path, QStringLiteral("xl/styles.xml"));
    if (sheet.isEmpty() || styles.isEmpty())
        return wb;

    QStringList shared;
    {
        QXmlStreamReader x(strings);
        QString cur;
        bool inSi = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") {
                inSi = true;
                cur.clear();
            } else if (x.isStartElement() && x.name() == u"t" && inSi) {
                cur += x.readElementText();
            } else if (x.isEndElement() && x.name() == u"si") {
                shared << cur;
                inSi = false;
            }
        }
    }
    {
        QXmlStreamReader x(styles);
        QString section;
        Border *b = nullptr;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                const auto n = x.name();
                const auto a = x.attributes();
                if (n == u"fonts" || n == u"borders" || n == u"cellXfs" || n == u"cellStyleXfs"
                    || n == u"numFmts")
                    section = n.toString();
                else if (n == u"numFmt")
                    wb.numFmts.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
                else if (section == u"fonts" && n == u"font")
                    wb.fonts.push_back({});
                else if (section == u"fonts" && n == u"name")
                    wb.fonts.back().name = a.value(QLatin1String("val")).toString();
                else if (section == u"fonts" && n == u"sz")
                    wb.fonts.back().size = a.value(QLatin1String("val")).toDouble();
                else if (section == u"fonts" && n == u"b")
                    wb.fonts.back().bold = true;
                else if (section == u"borders" && n == u"border") {
                    wb.borders.push_back({});
                    b = &wb.borders.back();
                } else if (section == u"borders" && b
                           && (n == u"left" || n == u"right" || n == u"top" || n == u"bottom"
                               || n == u"diagonal")) {
                    const QString style = a.value(QLatin1String("style")).toString();
                    if (n == u"left") b->left = style;
                    if (n == u"right") b->right = style;
                    if (n == u"top") b->top = style;
                    if (n == u"bottom") b->bottom = style;
                    if (n == u"diagonal") b->diagonal = style;
                } else if (section == u"cellXfs" && n == u"xf") {
                    Xf xf;
                    xf.font = a.value(QLatin1String("fontId")).toInt();
                    xf.border = a.value(QLatin1String("borderId")).toInt();
                    xf.numFmt = a.value(QLatin1String("numFmtId")).toInt();
                    wb.xfs.push_back(xf);
                } else if (section == u"cellXfs" && n == u"alignment") {
                    wb.xfs.back().horizontal = a.value(QLatin1String("horizontal")).toString();
                    wb.xfs.back().vertical = a.value(QLatin1String("vertical")).toString();
                    wb.xfs.back().wrap = a.value(QLatin1String("wrapText")) == u"1";
                }
            }
        }
    }
    {
        QXmlStreamReader x(sheet);
        QString ref;
        Cell cell;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement()) {
                if (x.isEndElement() && x.name() == u"c")
                    wb.cells.insert(ref, cell);
                continue;
            }
            const auto n = x.name();
            const auto a = x.attributes();
            if (n == u"col") {
                for (int c = a.value(QLatin1String("min")).toInt(); c <= a.value(QLatin1String("max")).toInt(); ++c)
                    wb.colWidths.insert(c, a.value(QLatin1String("width")).toDouble());
            } else if (n == u"row") {
                const int r = a.value(QLatin1String("r")).toInt();
                if (a.value(QLatin1String("customHeight")) == u"1")
                    wb.rowHeights.insert(r, a.value(QLatin1String("ht")).toDouble());
                if (a.hasAttribute(QLatin1String("outlineLevel")))
                    wb.rowLevels.insert(r, a.value(QLatin1String("outlineLevel")).toInt());
            } else if (n == u"c") {
                ref = a.value(QLatin1String("r")).toString();
                cell = Cell{};
                cell.type = a.value(QLatin1String("t")).toString();
                cell.style = a.value(QLatin1String("s")).toInt();
            } else if (n == u"v") {
                const QString v = x.readElementText();
                cell.value = cell.type == u"s" ? shared.value(v.toInt()) : v;
            } else if (n == u"f") {
                cell.formula = x.readElementText();
            } else if (n == u"mergeCell") {
                wb.merges << a.value(QLatin1String("ref")).toString();
            } else if (n == u"pageSetup") {
                wb.orientation = a.value(QLatin1String("orientation")).toString();
                wb.fitToWidth = a.value(QLatin1String("fitToWidth")).toString();
                wb.paperSize = a.value(QLatin1String("paperSize")).toString();
            }
        }
    }
    wb.ok = true;
    return wb;
}

} // namespace testing_xlsx
