#pragma once
// The print preview "Podgląd wydruku": opened maximised at 100 % on the top of
// page 1, with page navigation, zoom (its field shows every zoom reached), "&Drukuj" (the printer dialog: printer and its setup,
// copies, collation, duplex, page range) and "&Zapisz jako" (PDF). While pages
// are generated a small "Status" window tells which.
#include "output/PrintJob.h"
#include "output/ui/PrintRenderer.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QSpinBox;
class QComboBox;

namespace fenwa {
class Messages;
}

namespace fenwa::output::ui {

// The text of the status window for page `page`.
QString generatingPageText(int page);

// A small window titled "Status" showing "Generowanie strony N" while pages are made.
class StatusWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatusWindow(QWidget *parent = nullptr);
    void showPage(int page);
    QString text() const;

private:
    QLabel *label_;
};

class PrintPreview : public QDialog {
    Q_OBJECT
public:
    PrintPreview(const PrintJob &job, Messages &messages, QWidget *parent = nullptr);
    ~PrintPreview() override;

    int pageCount() const;
    int currentPage() const;
    void goToPage(int page);
    double zoom() const;
    void setZoom(double factor);
    // "&Zapisz jako" without its dialog: writes the PDF; false on failure.
    bool saveAs(const QString &path);
    QPrinter &printer() { return *printer_; }
    // The text of the zoom field.
    QString zoomText() const;
    // The file "Zapisz jako" proposes: the title as a safe name (also the
    // document name the printer dialog proposes for printing to a file) in the
    // export folder, or in the home folder when there is none.
    QString proposedPdfPath() const;

public slots:
    void printWithDialog();
    void saveWithDialog();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString documentName() const;
    void paintRequested(QPrinter *printer);
    void updateNavigation();

    const PrintJob &job_;
    Messages &messages_;
    PrintRenderer renderer_;
    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget *view_ = nullptr;
    QSpinBox *pageBox_ = nullptr;
    QLabel *pageOf_ = nullptr;
    QComboBox *zoomBox_ = nullptr;
    StatusWindow *status_ = nullptr;
    bool shown_ = false;
};

// A print run as the windows start it: the layout by name (without regard to
// case), its parameters and its source; shows the preview modally and returns
// when it is closed. An unknown layout is reported and nothing is shown.
bool runPrint(QWidget *parent, const QString &layoutName, const PrintParameters &params,
              const ReportSource &source, Messages &messages);

} // namespace fenwa::output::ui
