#pragma once
// The chart of a report's result "Wykres": bars per category (stacked when
// the data says so), the amounts' axis and every bar's tooltip in
// "#,##0.00 zł"; saved as PNG or PDF. Given a second view of the same result
// (net and charges stacked), the check box "Netto i zobowiązania" switches
// between the two.
#include "reports/ChartData.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QChart;
class QChartView;

namespace fenwa {
class Messages;
}

namespace fenwa::reports::ui {

// "1 234,50 zł"
QString amountLabel(double value);

class TF_Wykres : public QDialog {
    Q_OBJECT
public:
    TF_Wykres(const ChartData &gross, Messages &messages, const QString &saveFolder, QWidget *parent = nullptr,
              const ChartData &split = {});

    QChart *chart() const { return chart_; }
    // Writes the chart to a PNG or PDF file (by the name's ending); false on failure.
    bool saveAs(const QString &path);
    // The file "Zapisz" proposes: the title as a safe name in the save folder.
    QString proposedPath(const QString &extension) const;

    QChartView *View;
    QCheckBox *CheckBoxSplit;
    QPushButton *BitBtnPng, *BitBtnPdf, *BitBtnZamknij;

private:
    void draw(const ChartData &view);
    void saveWithDialog(const QString &extension);

    QChart *chart_;
    Messages &messages_;
    QString saveFolder_;
    QString title_;
    ChartData data_, split_;
};

} // namespace fenwa::reports::ui
