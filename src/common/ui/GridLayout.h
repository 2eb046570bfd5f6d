#pragma once
// A grid's column layout as the settings file keeps it, one section per grid
// ("F_GrDok.XDBGrid1"): AutoLoadLayout, AutoSaveLayout, Columns, then
// Column1..ColumnN in display order ("field,width,visible,expanded") and
// OrderFields. The grid reaches the settings file through GridLayoutStore, so
// the grids know nothing of where the file is or how it is written.
#include <QPair>
#include <QString>
#include <QVector>
#include <functional>

namespace fenwa::ui {

using LayoutValues = QVector<QPair<QString, QString>>;   // key=value lines in file order

struct GridLayoutStore {
    std::function<LayoutValues(const QString &section)> read;
    // Erases the section and writes the values; a failure is the store's to report.
    std::function<void(const QString &section, const LayoutValues &values)> write;
};

struct LayoutColumn {
    QString field;   // "" for a running number column
    int width = 0;
    bool visible = true;
};

struct GridLayout {
    bool autoLoad = true;
    bool autoSave = true;
    QVector<LayoutColumn> columns;   // display order
    QString orderFields;

    LayoutValues toValues() const;
    // Lines that are missing or not numbers keep the defaults; a column line
    // without a width is skipped.
    static GridLayout fromValues(const LayoutValues &values);
};

} // namespace fenwa::ui
