#include "app/ui/Winietka.h"

#include "app/ui/Icons.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace fenwa::app {

namespace {
QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

TF_Winietka::TF_Winietka(const QString &wersja, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("F_Winietka"));
    setWindowTitle(QStringLiteral("Fenwa5"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(icons::product(96, 96));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    auto *title = new QLabel(QStringLiteral("Fenwa5"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto *subtitle = new QLabel(QStringLiteral("Rejestr wydatków i kosztów budżetowych\n"
                                               "Inspekcji Weterynaryjnej"),
                                this);

    Label1 = new QLabel(wersja, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *credits = new QLabel(QStringLiteral("Projekt i wykonanie: zespół programistów Zovra\n"
                                              "Program udostępniany na licencji GPL w wersji 3 lub późniejszej"),
                               this);
    credits->setAlignment(Qt::AlignCenter);
    QFont small = credits->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    credits->setFont(small);

    Label3 = new QLabel(QStringLiteral("Trwa uruchamianie"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 20);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(small);

    auto *head = new QHBoxLayout;
    head->addWidget(Image1);
    auto *names = new QVBoxLayout;
    names->addStretch(1);
    names->addWidget(title);
    names->addWidget(subtitle);
    names->addStretch(1);
    head->addSpacing(10);
    head->addLayout(names, 1);

    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(16, 14, 16, 14);
    all->addLayout(head);
    all->addWidget(Label1);
    all->addWidget(separator(this));
    all->addWidget(credits);
    all->addWidget(separator(this));
    all->addWidget(Label3);
    all->addWidget(ProgressBar1);
    all->addWidget(Label2);
    setFixedWidth(440);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TF_Winietka::step(const QString &caption)
{
    ProgressBar1->setValue(qMin(ProgressBar1->value() + 1, ProgressBar1->maximum()));
    Label2->setText(caption);
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int TF_Winietka::showAbout()
{
    ProgressBar1->hide();
    Label2->hide();
    Label3->hide();
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    modal_ = true;
    const int result = exec();
    modal_ = false;
    return result;
}

bool TF_Winietka::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease && modal_) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Winietka::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(QPen(QColor(40, 110, 80), 2));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
}

} // namespace fenwa::app
