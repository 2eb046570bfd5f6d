#include "app/ui/Icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace fenwa::app::icons {

namespace {
QPixmap canvas(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

void folder(QPainter &p)
{
    // Back of the folder with its tab, a sheet, the open front.
    p.setPen(QPen(QColor(150, 110, 20), 1.2));
    p.setBrush(QColor(230, 180, 60));
    QPainterPath back;
    back.moveTo(3, 9);
    back.lineTo(14, 9);
    back.lineTo(17, 12);
    back.lineTo(33, 12);
    back.lineTo(33, 33);
    back.lineTo(3, 33);
    back.closeSubpath();
    p.drawPath(back);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 6, 20, 22));
    p.setPen(QPen(QColor(90, 120, 190), 1.4));
    for (int y = 11; y <= 23; y += 4)
        p.drawLine(QPointF(12, y), QPointF(26, y));
    QLinearGradient g(0, 16, 0, 36);
    g.setColorAt(0, QColor(255, 215, 100));
    g.setColorAt(1, QColor(235, 175, 45));
    p.setPen(QPen(QColor(150, 110, 20), 1.2));
    p.setBrush(g);
    QPainterPath front;
    front.moveTo(8, 17);
    front.lineTo(38, 17);
    front.lineTo(33, 34);
    front.lineTo(3, 34);
    front.closeSubpath();
    p.drawPath(front);
}

void exitDoor(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 30), 1.2));
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(6, 4, 18, 32));
    p.setBrush(QColor(240, 220, 120));
    p.drawEllipse(QPointF(20, 21), 1.6, 1.6);
    // Arrow pointing out.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    QPainterPath arrow;
    arrow.moveTo(20, 17);
    arrow.lineTo(29, 17);
    arrow.lineTo(29, 11);
    arrow.lineTo(38, 20.5);
    arrow.lineTo(29, 30);
    arrow.lineTo(29, 24);
    arrow.lineTo(20, 24);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void chart(QPainter &p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawLine(QPointF(5, 4), QPointF(5, 35));
    p.drawLine(QPointF(5, 35), QPointF(37, 35));
    const QColor colours[] = {QColor(60, 120, 200), QColor(220, 120, 40), QColor(70, 160, 80),
                              QColor(170, 60, 160)};
    const int heights[] = {14, 24, 18, 28};
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.drawRect(QRectF(8 + i * 7.3, 34 - heights[i], 5.5, heights[i]));
    }
}

void book(QPainter &p)
{
    p.setPen(QPen(QColor(30, 60, 110), 1.2));
    p.setBrush(QColor(50, 100, 170));
    p.drawRoundedRect(QRectF(7, 4, 26, 32), 2, 2);
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(11, 30, 22, 5));
    p.setPen(QPen(QColor(30, 60, 110), 2));
    p.drawLine(QPointF(11, 4.5), QPointF(11, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(15, 10, 14, 7));
    p.setPen(QPen(QColor(50, 100, 170), 1));
    p.drawLine(QPointF(17, 12.5), QPointF(27, 12.5));
    p.drawLine(QPointF(17, 14.5), QPointF(24, 14.5));
}

void gear(QPainter &p)
{
    const QPointF c(20, 20);
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i - 0.5) * M_PI / teeth;
        const double a1 = (i + 0.5) * M_PI / teeth;
        const double r = (i % 2 == 0) ? 17.0 : 13.0;
        const QPointF p0 = c + QPointF(r * qCos(a0), r * qSin(a0));
        const QPointF p1 = c + QPointF(r * qCos(a1), r * qSin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 5.5, 5.5);
    p.setPen(QPen(QColor(70, 70, 80), 1.2));
    QLinearGradient g(0, 3, 0, 37);
    g.setColorAt(0, QColor(200, 200, 210));
    g.setColorAt(1, QColor(120, 120, 135));
    p.setBrush(g);
    p.drawPath(path.subtracted(hole));
}

void info(QPainter &p)
{
    QLinearGradient g(0, 2, 0, 38);
    g.setColorAt(0, QColor(90, 150, 230));
    g.setColorAt(1, QColor(30, 80, 170));
    p.setPen(QPen(QColor(20, 50, 120), 1.2));
    p.setBrush(g);
    p.drawEllipse(QPointF(20, 20), 17, 17);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(20, 11.5), 2.6, 2.6);
    p.drawRoundedRect(QRectF(17.6, 16.5, 4.8, 14), 1.5, 1.5);
}
} // namespace

QPixmap tool(Tool which)
{
    QPixmap pm = canvas(40, 40);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Tool::Open: folder(p); break;
    case Tool::Exit: exitDoor(p); break;
    case Tool::Reports: chart(p); break;
    case Tool::Dictionaries: book(p); break;
    case Tool::Settings: gear(p); break;
    case Tool::About: info(p); break;
    }
    return pm;
}

QPixmap product(int width, int height)
{
    QPixmap pm = canvas(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, width - 2, height - 2);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(40, 130, 90));
    g.setColorAt(1, QColor(20, 80, 60));
    p.setPen(QPen(QColor(15, 60, 45), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, width / 8.0, width / 8.0);
    // A ledger sheet with a cross of the veterinary service.
    const double s = qMin(width, height);
    const QRectF sheet(width * 0.16, height * 0.14, s * 0.42, height * 0.72);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(120, 150, 200), qMax(1.0, s / 40)));
    for (double y = sheet.top() + sheet.height() * 0.45; y < sheet.bottom() - 3; y += sheet.height() * 0.12)
        p.drawLine(QPointF(sheet.left() + 4, y), QPointF(sheet.right() - 4, y));
    const QPointF cross(sheet.center().x(), sheet.top() + sheet.height() * 0.24);
    const double arm = s * 0.07;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 140, 90));
    p.drawRect(QRectF(cross.x() - arm / 2.5, cross.y() - arm, arm / 1.25, arm * 2));
    p.drawRect(QRectF(cross.x() - arm, cross.y() - arm / 2.5, arm * 2, arm / 1.25));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(int(s * 0.34));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(sheet.right(), 0, width - sheet.right() - width * 0.04, height), Qt::AlignCenter,
               QStringLiteral("5"));
    return pm;
}

} // namespace fenwa::app::icons
