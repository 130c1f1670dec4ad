#include "dialogs/GroupHomePicture.h"

#include <QPainter>
#include <QPen>

namespace {

void drawFolder(QPainter& p, QRectF r)
{
    const QColor body(0xE8, 0xC0, 0x50);
    p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
    p.setBrush(body);
    p.drawRect(QRectF(r.left(), r.top(), r.width() * 0.45, r.height() * 0.3));
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.2, r.width(), r.height() * 0.8));
}

} // namespace

QPixmap GroupHomePicture(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal icon = qMin(w, h) / 7;
    // A root folder with a few folders below it, joined by tree lines.
    const qreal x0 = w * 0.12;
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.drawLine(QPointF(x0 + icon / 2, h * 0.12 + icon), QPointF(x0 + icon / 2, h * 0.12 + 4 * icon * 1.6));
    drawFolder(p, QRectF(x0, h * 0.12, icon * 1.2, icon));
    for (int i = 1; i <= 4; ++i) {
        const qreal y = h * 0.12 + i * icon * 1.6;
        p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        p.drawLine(QPointF(x0 + icon / 2, y + icon / 2), QPointF(x0 + icon * 1.5, y + icon / 2));
        drawFolder(p, QRectF(x0 + icon * 1.5, y, icon * 1.2, icon));
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.drawLine(QPointF(x0 + icon * 3, y + icon / 2), QPointF(x0 + icon * 3 + w * 0.3, y + icon / 2));
    }
    // The cross.
    p.setPen(QPen(QColor(0xD0, 0x10, 0x10), qMax(3.0, w / 18), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(w * 0.1, h * 0.1), QPointF(w * 0.9, h * 0.9));
    p.drawLine(QPointF(w * 0.9, h * 0.1), QPointF(w * 0.1, h * 0.9));
    return pixmap;
}
