#include "platform/BrowserImages.h"

#include "platform/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor ArrowGreen(60, 140, 50);
const QColor Ink(40, 40, 40);

// A broad arrow pointing left, or right when mirrored.
void broadArrow(QPainter& p, bool right)
{
    p.save();
    if (right) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(ArrowGreen.darker(150), 0.8));
    p.setBrush(ArrowGreen);
    p.drawPolygon(QPolygonF({QPointF(1.5, 8), QPointF(8, 2), QPointF(8, 5.5), QPointF(14.5, 5.5),
                             QPointF(14.5, 10.5), QPointF(8, 10.5), QPointF(8, 14)}));
    p.restore();
}

void back(QPainter& p)
{
    broadArrow(p, false);
}

void forward(QPainter& p)
{
    broadArrow(p, true);
}

void search(QPainter& p)
{
    p.setPen(QPen(Ink, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
}

void help(QPainter& p)
{
    p.setPen(QPen(QColor(30, 70, 140), 0.8));
    p.setBrush(QColor(52, 101, 164));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font;
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

ImageList BrowserImages()
{
    ImageList list(QSize(16, 16));
    for (const Glyph& glyph : {Glyph(back), Glyph(forward), Glyph(Glyphs::Stop), Glyph(Glyphs::Refresh),
                               Glyph(Glyphs::Home), Glyph(search), Glyph(help)})
        list.Add(GlyphIcon(glyph));
    return list;
}
