#pragma once
// The splash window: the product picture, the version, credits and the
// progress of the start-up. The same window, without the progress, is the
// about box.
#include <QDialog>

class QLabel;
class QProgressBar;

namespace fenwa::app {

class TF_Winietka : public QDialog {
    Q_OBJECT
public:
    explicit TF_Winietka(const QString &wersja, QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label1;        // version, right-aligned
    QLabel *Label3;        // "Trwa uruchamianie"
    QProgressBar *ProgressBar1;
    QLabel *Label2;        // the current step caption

    // One step of the start-up: advances the bar, shows the caption, repaints at once.
    void step(const QString &caption);
    // Shows the window modally as the about box (without the progress);
    // a click on the picture closes it.
    int showAbout();
    bool modalRun() const { return modal_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool modal_ = false;
};

} // namespace fenwa::app
