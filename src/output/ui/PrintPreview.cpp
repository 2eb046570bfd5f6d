#include "output/ui/PrintPreview.h"

#include "common/Messages.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace fenwa::output::ui {

QString generatingPageText(int page)
{
    return QStringLiteral("Generowanie strony %1").arg(page);
}

StatusWindow::StatusWindow(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Status"));
    setWindowModality(Qt::ApplicationModal);
    auto *lay = new QVBoxLayout(this);
    label_ = new QLabel(this);
    label_->setMinimumWidth(240);
    label_->setAlignment(Qt::AlignCenter);
    lay->addWidget(label_);
}

void StatusWindow::showPage(int page)
{
    label_->setText(generatingPageText(page));
    if (!isVisible())
        show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString StatusWindow::text() const { return label_->text(); }

PrintPreview::PrintPreview(const PrintJob &job, Messages &messages, QWidget *parent)
    : QDialog(parent), job_(job), messages_(messages), renderer_(job),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setWindowTitle(QStringLiteral("Podgląd wydruku"));
    setModal(true);
    renderer_.setupDevice(*printer_);
    printer_->setFullPage(true);
    printer_->setDocName(job.tytul);

    status_ = new StatusWindow(this);
    view_ = new QPrintPreviewWidget(printer_.get(), this);
    connect(view_, &QPrintPreviewWidget::paintRequested, this, &PrintPreview::paintRequested);
    connect(view_, &QPrintPreviewWidget::previewChanged, this, &PrintPreview::updateNavigation);

    auto *bar = new QToolBar(this);
    auto *first = bar->addAction(QStringLiteral("|<"), this, [this] { goToPage(1); });
    first->setToolTip(QStringLiteral("Pierwsza strona"));
    auto *prev = bar->addAction(QStringLiteral("<"), this, [this] { goToPage(currentPage() - 1); });
    prev->setToolTip(QStringLiteral("Poprzednia strona"));
    pageBox_ = new QSpinBox(this);
    pageBox_->setMinimum(1);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int p) {
        if (p != currentPage())
            goToPage(p);
    });
    bar->addWidget(pageBox_);
    pageOf_ = new QLabel(this);
    bar->addWidget(pageOf_);
    auto *next = bar->addAction(QStringLiteral(">"), this, [this] { goToPage(currentPage() + 1); });
    next->setToolTip(QStringLiteral("Następna strona"));
    auto *last = bar->addAction(QStringLiteral(">|"), this, [this] { goToPage(pageCount()); });
    last->setToolTip(QStringLiteral("Ostatnia strona"));
    bar->addSeparator();
    auto *out = bar->addAction(QStringLiteral("−"), this, [this] { setZoom(zoom() / 1.25); });
    out->setToolTip(QStringLiteral("Pomniejsz"));
    zoomBox_ = new QComboBox(this);
    zoomBox_->setEditable(false);
    for (int z : {25, 50, 75, 100, 125, 150, 200, 300, 400})
        zoomBox_->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
    zoomBox_->addItem(QStringLiteral("Cała strona"), 0.0);
    zoomBox_->addItem(QStringLiteral("Szerokość strony"), -1.0);
    connect(zoomBox_, &QComboBox::activated, this, [this](int i) {
        const double z = zoomBox_->itemData(i).toDouble();
        if (z > 0)
            setZoom(z);
        else if (z == 0)
            view_->fitInView();
        else
            view_->fitToWidth();
    });
    bar->addWidget(zoomBox_);
    auto *in = bar->addAction(QStringLiteral("+"), this, [this] { setZoom(zoom() * 1.25); });
    in->setToolTip(QStringLiteral("Powiększ"));
    bar->addSeparator();
    auto *print = new QToolButton(this);
    print->setText(QStringLiteral("&Drukuj"));
    connect(print, &QToolButton::clicked, this, &PrintPreview::printWithDialog);
    bar->addWidget(print);
    auto *save = new QToolButton(this);
    save->setText(QStringLiteral("&Zapisz jako"));
    connect(save, &QToolButton::clicked, this, &PrintPreview::saveWithDialog);
    bar->addWidget(save);
    auto *close = new QToolButton(this);
    close->setText(QStringLiteral("Za&mknij"));
    connect(close, &QToolButton::clicked, this, &QDialog::accept);
    bar->addWidget(close);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(bar);
    lay->addWidget(view_, 1);

    view_->updatePreview();
    status_->hide();
    setZoom(1.0);
    setWindowState(windowState() | Qt::WindowMaximized);
}

PrintPreview::~PrintPreview() = default;

void PrintPreview::paintRequested(QPrinter *printer)
{
    renderer_.render(*printer, [this](int p) { status_->showPage(p); });
    status_->hide();
}

void PrintPreview::updateNavigation()
{
    const int n = pageCount();
    pageBox_->blockSignals(true);
    pageBox_->setMaximum(std::max(1, n));
    pageBox_->setValue(std::max(1, currentPage()));
    pageBox_->blockSignals(false);
    pageOf_->setText(QStringLiteral(" / %1 ").arg(n));
    const int z = qRound(zoom() * 100);
    const int i = zoomBox_->findData(z / 100.0);
    if (i >= 0)
        zoomBox_->setCurrentIndex(i);
}

int PrintPreview::pageCount() const { return view_->pageCount(); }
int PrintPreview::currentPage() const { return view_->currentPage(); }

void PrintPreview::goToPage(int page)
{
    page = std::clamp(page, 1, std::max(1, pageCount()));
    view_->setCurrentPage(page);
    updateNavigation();
}

double PrintPreview::zoom() const { return view_->zoomFactor(); }

void PrintPreview::setZoom(double factor)
{
    view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    view_->setZoomFactor(std::clamp(factor, 0.1, 8.0));
    updateNavigation();
}

void PrintPreview::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    renderer_.setupDevice(printer);
    printer.setFullPage(true);
    printer.setDocName(job_.tytul);
    printer.setFromTo(1, pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage
                      | QAbstractPrintDialog::PrintCollateCopies
                      | QAbstractPrintDialog::PrintShowPageSize
                      | QAbstractPrintDialog::PrintToFile);
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 1, last = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage();
        last = printer.toPage();
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = currentPage();
    }
    // The page-range print is done here, so the printer itself prints all it is given.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    if (!renderer_.render(printer, [this](int p) { status_->showPage(p); }, first, last))
        messages_.error(QStringLiteral("Nie można wydrukować: drukarka jest niedostępna."));
    status_->hide();
    view_->updatePreview();
}

bool PrintPreview::saveAs(const QString &path)
{
    const bool ok = renderer_.writePdf(path, [this](int p) { status_->showPage(p); });
    status_->hide();
    view_->updatePreview();   // the preview lays out for its own printer again
    return ok;
}

void PrintPreview::saveWithDialog()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz jako"), dir,
                                                QStringLiteral("Dokument PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!saveAs(path))
        messages_.error(QStringLiteral("Nie można zapisać pliku ") + path);
}

bool runPrint(QWidget *parent, const QString &layoutName, const PrintParameters &params,
              const ReportSource &source, Messages &messages)
{
    const PrintLayout *layout = findPrintLayout(layoutName);
    if (!layout) {
        messages.error(QStringLiteral("Nie znaleziono układu wydruku ") + layoutName);
        return false;
    }
    const PrintJob job = preparePrint(*layout, params, source);
    if (!job.missingFields.isEmpty()) {
        messages.error(QStringLiteral("Brak pól wydruku %1: %2")
                           .arg(layout->name, job.missingFields.join(QStringLiteral(", "))));
        return false;
    }
    PrintPreview preview(job, messages, parent);
    preview.exec();
    return true;
}

} // namespace fenwa::output::ui
