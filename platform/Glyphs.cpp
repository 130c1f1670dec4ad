#include "platform/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Ink(40, 40, 40);
const QColor UserBlue(52, 101, 164);
const QColor GroupGreen(78, 154, 6);
const QColor PaperWhite(250, 250, 245);
const QColor FolderYellow(237, 190, 70);

void figure(QPainter& p, QPointF at, qreal scale, const QColor& color)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(QPen(color.darker(150), 0.8));
    p.setBrush(color);
    p.drawEllipse(QPointF(8, 4.5), 3, 3);
    QPainterPath body;
    body.moveTo(2.5, 15.5);
    body.cubicTo(2.5, 9, 13.5, 9, 13.5, 15.5);
    body.closeSubpath();
    p.drawPath(body);
    p.restore();
}

void page(QPainter& p, const QColor& lines)
{
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(PaperWhite);
    QPainterPath sheet;
    sheet.moveTo(3, 1);
    sheet.lineTo(10, 1);
    sheet.lineTo(13, 4);
    sheet.lineTo(13, 15);
    sheet.lineTo(3, 15);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.setPen(QPen(lines, 1));
    for (qreal y = 6; y < 14; y += 2)
        p.drawLine(QPointF(5, y), QPointF(11, y));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const qreal dir = to.x() > from.x() ? -1 : 1;
    p.drawLine(to, to + QPointF(3 * dir, -2.5));
    p.drawLine(to, to + QPointF(3 * dir, 2.5));
}

} // namespace

QIcon GlyphIcon(const Glyph& glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        glyph(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

Glyph WithBadge(Glyph base, Glyph badge)
{
    return [base = std::move(base), badge = std::move(badge)](QPainter& p) {
        base(p);
        p.save();
        p.translate(8, 8);
        p.scale(0.5, 0.5);
        badge(p);
        p.restore();
    };
}

namespace Glyphs {

void Person(QPainter& p)
{
    figure(p, {0, 0}, 1.0, UserBlue);
}

void People(QPainter& p)
{
    figure(p, {5, 0}, 0.7, GroupGreen.lighter(120));
    figure(p, {0, 4}, 0.75, GroupGreen);
}

void UsersAndGroups(QPainter& p)
{
    figure(p, {6, 0}, 0.65, GroupGreen);
    figure(p, {0, 4}, 0.75, UserBlue);
}

void Host(QPainter& p)
{
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(1.5, 2, 13, 9), 1, 1);
    p.setBrush(QColor(90, 140, 200));
    p.drawRect(QRectF(3, 3.5, 10, 6));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(6.5, 11, 3, 2));
    p.drawRect(QRectF(4, 13, 8, 1.5));
}

void Server(QPainter& p)
{
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(4, 1, 8, 14), 1, 1);
    p.setBrush(QColor(90, 95, 105));
    p.drawRect(QRectF(5.5, 3, 5, 1.5));
    p.drawRect(QRectF(5.5, 6, 5, 1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 220, 80));
    p.drawEllipse(QPointF(8, 12), 1.2, 1.2);
}

void Connections(QPainter& p)
{
    arrow(p, {2, 5}, {14, 5}, UserBlue);
    arrow(p, {14, 11}, {2, 11}, GroupGreen);
}

void LogPage(QPainter& p)
{
    page(p, QColor(120, 120, 120));
}

void ServerLog(QPainter& p)
{
    page(p, QColor(200, 60, 50));
}

void Settings(QPainter& p)
{
    p.setPen(QPen(Ink, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {4.0, 8.0, 12.0})
        p.drawLine(QPointF(2, y), QPointF(14, y));
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(QColor(240, 160, 40));
    p.drawRect(QRectF(9, 2.5, 2.5, 3));
    p.drawRect(QRectF(4, 6.5, 2.5, 3));
    p.drawRect(QRectF(7, 10.5, 2.5, 3));
}

void Folder(QPainter& p)
{
    p.setPen(QPen(FolderYellow.darker(160), 0.8));
    p.setBrush(FolderYellow.darker(110));
    p.drawRect(QRectF(1.5, 3, 6, 3));
    p.setBrush(FolderYellow);
    p.drawRoundedRect(QRectF(1.5, 5, 13, 9), 1, 1);
}

void VirtualFolder(QPainter& p)
{
    Folder(p);
    arrow(p, {4, 10}, {12, 10}, UserBlue);
}

void Start(QPainter& p)
{
    p.setPen(QPen(GroupGreen.darker(140), 0.8));
    p.setBrush(GroupGreen.lighter(130));
    p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
}

void Stop(QPainter& p)
{
    p.setPen(QPen(QColor(150, 30, 30), 0.8));
    p.setBrush(QColor(210, 50, 50));
    p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
}

void Home(QPainter& p)
{
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(QColor(200, 80, 60));
    p.drawPolygon(QPolygonF({QPointF(1, 8), QPointF(8, 1.5), QPointF(15, 8)}));
    p.setBrush(PaperWhite);
    p.drawRect(QRectF(3.5, 8, 9, 6.5));
    p.setBrush(QColor(140, 90, 50));
    p.drawRect(QRectF(7, 10, 2.5, 4.5));
}

void Properties(QPainter& p)
{
    page(p, QColor(120, 120, 120));
    p.setPen(QPen(GroupGreen, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(5, 9), QPointF(7.5, 12), QPointF(14, 4)}));
}

void Refresh(QPainter& p)
{
    p.setPen(QPen(UserBlue, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(UserBlue);
    p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(14, 3.5), QPointF(9, 6.5)}));
}

void Plus(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(GroupGreen);
    p.drawEllipse(QRectF(0, 0, 16, 16));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 4), QPointF(8, 12));
    p.drawLine(QPointF(4, 8), QPointF(12, 8));
}

void Pencil(QPainter& p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(240, 190, 60));
    p.drawPolygon(QPolygonF({QPointF(2, 14), QPointF(3, 10), QPointF(12, 1), QPointF(15, 4), QPointF(6, 13)}));
    p.setBrush(Ink);
    p.drawPolygon(QPolygonF({QPointF(2, 14), QPointF(2.6, 11.6), QPointF(4.4, 13.4)}));
}

void Tray(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(UserBlue);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4, 3.5, 8, 8));
    p.drawLine(QPointF(9.5, 10), QPointF(12, 13));
}

} // namespace Glyphs
