#include "ButtonGlyphs.h"

#include "controls/GreyedOut.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ButtonGlyphs {

namespace {

constexpr int kSize = 24;

void drawOpen(QPainter &p)
{
    p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1.5));
    p.setBrush(QColor(0xF0, 0xC8, 0x50));
    p.drawRect(QRectF(3, 7, 17, 13));
    p.drawRect(QRectF(3, 5, 7, 3));
    p.setBrush(QColor(0xFF, 0xE0, 0x80));
    QPainterPath flap;
    flap.moveTo(6, 11);
    flap.lineTo(22, 11);
    flap.lineTo(19, 20);
    flap.lineTo(3, 20);
    flap.closeSubpath();
    p.drawPath(flap);
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(QColor(0x20, 0x30, 0x70), 1.5));
    p.setBrush(QColor(0x40, 0x60, 0xC0));
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3.5, 10, 6));
    p.setBrush(QColor(0xD0, 0xD8, 0xF0));
    p.drawRect(QRectF(6, 13, 12, 8));
}

void drawPlay(QPainter &p)
{
    p.setPen(QPen(QColor(0x10, 0x60, 0x10), 1.5));
    p.setBrush(QColor(0x30, 0xB0, 0x30));
    p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(20, 12), QPointF(6, 21)}));
}

void drawStop(QPainter &p)
{
    p.setPen(QPen(QColor(0x70, 0x10, 0x10), 1.5));
    p.setBrush(QColor(0xD0, 0x30, 0x30));
    p.drawRect(QRectF(5, 5, 14, 14));
}

void drawDelete(QPainter &p)
{
    p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void drawReplace(QPainter &p)
{
    p.setPen(QPen(QColor(0x20, 0x50, 0xB0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 150 * 16);
    p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 150 * 16);
    p.setBrush(QColor(0x20, 0x50, 0xB0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(17, 2), QPointF(22, 9), QPointF(14, 9)}));
    p.drawPolygon(QPolygonF({QPointF(7, 22), QPointF(2, 15), QPointF(10, 15)}));
}

void drawAdd(QPainter &p)
{
    p.setPen(QPen(QColor(0x20, 0x90, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 4), QPointF(12, 20));
    p.drawLine(QPointF(4, 12), QPointF(20, 12));
}

// A television set with its screen lit in the colour of the switch's caption.
void drawTelevision(QPainter &p, const QColor &screen)
{
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawRoundedRect(QRectF(2, 4, 20, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(4.5, 6.5, 15, 9));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 18), QPointF(12, 20));
    p.drawLine(QPointF(7, 21), QPointF(17, 21));
}

QImage draw(Glyph glyph)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Open: drawOpen(p); break;
    case Glyph::Save: drawSave(p); break;
    case Glyph::Play: drawPlay(p); break;
    case Glyph::Stop: drawStop(p); break;
    case Glyph::Delete: drawDelete(p); break;
    case Glyph::Replace: drawReplace(p); break;
    case Glyph::Add: drawAdd(p); break;
    case Glyph::TvOn: drawTelevision(p, QColor(0x40, 0xC0, 0x40)); break;
    case Glyph::TvOff: drawTelevision(p, QColor(0xD0, 0x30, 0x30)); break;
    }
    return image;
}

} // namespace

QIcon icon(Glyph glyph)
{
    const QImage normal = draw(glyph);
    QIcon result;
    result.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
    // A disabled button must look disabled, the same way on every style.
    result.addPixmap(QPixmap::fromImage(greyedOut(normal)), QIcon::Disabled);
    return result;
}

} // namespace ButtonGlyphs
