#include "reports/ui/Wykres.h"

#include "common/Messages.h"
#include "common/Numbers.h"
#include "output/FileName.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBarSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

namespace fenwa::reports::ui {

namespace {

// A round step giving about five intervals up to `top`.
double niceStep(double top)
{
    if (top <= 0)
        return 1;
    const double raw = top / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

} // namespace

QString amountLabel(double value) { return formatAmount(value) + QStringLiteral(" zł"); }

TF_Wykres::TF_Wykres(const ChartData &gross, Messages &messages, const QString &saveFolder, QWidget *parent,
                     const ChartData &split)
    : QDialog(parent), messages_(messages), saveFolder_(saveFolder), title_(gross.title), data_(gross), split_(split)
{
    setObjectName(QStringLiteral("F_Wykres"));
    setWindowTitle(QStringLiteral("Wykres"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1100, 700);

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    View = new QChartView(chart_, this);
    View->setRenderHint(QPainter::Antialiasing);
    CheckBoxSplit = new QCheckBox(QStringLiteral("Netto i zobowiązania"), this);
    CheckBoxSplit->setVisible(!split.isEmpty());
    BitBtnPng = new QPushButton(QStringLiteral("Zapisz jako PNG"), this);
    BitBtnPdf = new QPushButton(QStringLiteral("Zapisz jako PDF"), this);
    BitBtnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CheckBoxSplit);
    buttons->addStretch();
    for (QPushButton *b : {BitBtnPng, BitBtnPdf, BitBtnZamknij})
        buttons->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(View, 1);
    lay->addLayout(buttons);
    connect(CheckBoxSplit, &QCheckBox::toggled, this, [this](bool on) { draw(on ? split_ : data_); });
    connect(BitBtnPng, &QPushButton::clicked, this, [this] { saveWithDialog(QStringLiteral("png")); });
    connect(BitBtnPdf, &QPushButton::clicked, this, [this] { saveWithDialog(QStringLiteral("pdf")); });
    connect(BitBtnZamknij, &QPushButton::clicked, this, &QDialog::accept);
    draw(data_);
}

void TF_Wykres::draw(const ChartData &view)
{
    chart_->removeAllSeries();
    for (QAbstractAxis *axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(view.title);
    QAbstractBarSeries *series = view.stacked ? static_cast<QAbstractBarSeries *>(new QStackedBarSeries)
                                              : static_cast<QAbstractBarSeries *>(new QBarSeries);
    double top = 0;
    QVector<double> stackTops(view.categories.size(), 0.0);
    for (const ChartSeries &s : view.series) {
        auto *set = new QBarSet(s.name);
        for (int i = 0; i < s.values.size(); ++i) {
            *set << s.values[i];
            stackTops[i] += s.values[i];
            top = std::max(top, view.stacked ? stackTops[i] : s.values[i]);
        }
        connect(set, &QBarSet::hovered, this, [set](bool on, int index) {
            if (on)
                QToolTip::showText(QCursor::pos(), set->label() + QStringLiteral(": ") + amountLabel(set->at(index)));
            else
                QToolTip::hideText();
        });
        series->append(set);
    }
    chart_->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    categories->append(view.categories);
    categories->setTitleText(view.axisTitle);
    chart_->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    // The amounts' axis labelled in złoty with the program's separators.
    auto *amounts = new QCategoryAxis;
    amounts->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const double step = niceStep(top);
    const double end = std::max(step, std::ceil(top / step) * step);
    amounts->setRange(0, end);
    amounts->setStartValue(0);
    amounts->append(amountLabel(0), 0);
    for (double v = step; v <= end + step / 2; v += step)
        amounts->append(amountLabel(v), v);
    chart_->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(amounts);
}

QString TF_Wykres::proposedPath(const QString &extension) const
{
    const QString folder = saveFolder_.isEmpty() || !QDir(saveFolder_).exists() ? QDir::homePath() : saveFolder_;
    return QDir(folder).filePath(output::safeFileBase(title_, QStringLiteral("Wykres")) + u'.' + extension);
}

bool TF_Wykres::saveAs(const QString &path)
{
    const QSize size = View->size().expandedTo(QSize(1000, 600));
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(path);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(title_);
        QPainter p;
        if (!p.begin(&pdf))
            return false;
        const QRect page = p.viewport();
        p.scale(double(page.width()) / size.width(), double(page.width()) / size.width());
        View->render(&p, QRectF(0, 0, size.width(), size.height()), View->rect());
        return p.end();
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        View->render(&p, QRectF(QPointF(0, 0), QSizeF(size)), View->rect());
    }
    return image.save(path, "PNG");
}

void TF_Wykres::saveWithDialog(const QString &extension)
{
    const QString filter = extension == QLatin1String("pdf") ? QStringLiteral("Dokument PDF (*.pdf)")
                                                             : QStringLiteral("Obraz PNG (*.png)");
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz wykres"), proposedPath(extension), filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u'.' + extension, Qt::CaseInsensitive))
        path += u'.' + extension;
    if (!saveAs(path))
        messages_.error(QStringLiteral("Nie udało się zapisać wykresu w pliku %1.").arg(QDir::toNativeSeparators(path)));
}

} // namespace fenwa::reports::ui
