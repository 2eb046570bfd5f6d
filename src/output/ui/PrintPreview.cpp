#include "output/ui/PrintPreview.h"

#include "common/Messages.h"
#include "output/FileName.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
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
    printer_->setDocName(documentName());

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
    // Editable only to show any zoom the buttons reach (80 %, 156 %...).
    zoomBox_->setEditable(true);
    zoomBox_->lineEdit()->setReadOnly(true);
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
        updateNavigation();
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

void PrintPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // A zoom set while the window was hidden keeps a point partway down the
    // page in view, and the view and its scroll bar disagree until the next
    // zoom. Once the window has its size: the zoom again, and the top of page 1.
    QTimer::singleShot(0, this, [this] {
        setZoom(zoom());
        if (auto *area = view_->findChild<QAbstractScrollArea *>()) {
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->minimum());
            area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->minimum());
            area->viewport()->update();
        }
        updateNavigation();
    });
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
    zoomBox_->setEditText(QStringLiteral("%1 %").arg(qRound(zoom() * 100)));
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
QString PrintPreview::zoomText() const { return zoomBox_->currentText(); }

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
    printer.setDocName(documentName());
    printer.setFromTo(1, pageCount());
    // Without a printer the dialog can only print to a file: it proposes the
    // one "Zapisz jako" would (a printer chosen later keeps its own output).
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(proposedPdfPath());
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

QString PrintPreview::documentName() const { return safeFileBase(job_.tytul); }

QString PrintPreview::proposedPdfPath() const
{
    QString folder = job_.saveFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(documentName() + QStringLiteral(".pdf"));
}

void PrintPreview::saveWithDialog()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz jako"), proposedPdfPath(),
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
