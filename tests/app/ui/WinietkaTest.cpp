#include "app/ui/Winietka.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

using fenwa::app::TF_Winietka;

namespace {
void click(QWidget *w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}
} // namespace

TEST(Splash, NineteenStepsOnABarOfTwenty)
{
    TF_Winietka w("[14.09.2016]");
    EXPECT_EQ(w.Label1->text(), "[14.09.2016]");
    EXPECT_EQ(w.Label3->text(), "Trwa uruchamianie");
    EXPECT_TRUE(w.Label3->font().bold());
    EXPECT_EQ(w.ProgressBar1->maximum(), 20);
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    w.show();
    for (int i = 0; i < 19; ++i)
        w.step(QString("krok %1").arg(i));
    EXPECT_EQ(w.ProgressBar1->value(), 19);
    EXPECT_LT(w.ProgressBar1->value(), w.ProgressBar1->maximum());
    EXPECT_EQ(w.Label2->text(), "krok 18");
    // During the start-up a click on the picture does nothing.
    click(w.Image1);
    EXPECT_TRUE(w.isVisible());
}

TEST(Splash, AboutBoxClosesOnAClickOnThePicture)
{
    TF_Winietka w("[14.09.2016]");
    bool progressHidden = false;
    QTimer::singleShot(0, &w, [&] {
        progressHidden = !w.ProgressBar1->isVisible() && !w.Label2->isVisible() && !w.Label3->isVisible();
        EXPECT_TRUE(w.modalRun());
        click(w.Image1);
    });
    EXPECT_EQ(w.showAbout(), QDialog::Accepted);
    EXPECT_TRUE(progressHidden);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.modalRun());
}
