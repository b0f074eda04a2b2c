#include "CommandGlyphs.h"

#include "controls/GreyedOut.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace {

constexpr int kImageSize = 32;

using SymbolPainter = std::function<void(QPainter &)>;

void paintDisc(QPainter &painter, const QColor &light, const QColor &dark)
{
    QRadialGradient shading(QPointF(12, 10), 22);
    shading.setColorAt(0, light);
    shading.setColorAt(1, dark);
    painter.setPen(QPen(dark.darker(140), 1.5));
    painter.setBrush(shading);
    painter.drawEllipse(QRectF(2, 2, 28, 28));
}

void paintQuestionMark(QPainter &painter)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    QPainterPath mark;
    mark.addText(0, 0, font, QStringLiteral("?"));
    const QRectF bounds = mark.boundingRect();
    mark.translate(16 - bounds.center().x(), 16 - bounds.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(mark);
}

// Drawn from shapes rather than a font, so it looks the same whatever fonts are installed.
void paintInformationMark(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(13.5, 6, 5, 5));
    painter.drawRoundedRect(QRectF(13.5, 13, 5, 13), 1.5, 1.5);
}

QImage paintNormalImage(const QColor &light, const QColor &dark, const SymbolPainter &paintSymbol)
{
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintDisc(painter, light, dark);
    paintSymbol(painter);
    return image;
}

QPixmap glyphStrip(const QColor &light, const QColor &dark, const SymbolPainter &paintSymbol)
{
    const QImage normal = paintNormalImage(light, dark, paintSymbol);
    QImage strip(2 * kImageSize, kImageSize, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.drawImage(0, 0, normal);
    painter.drawImage(kImageSize, 0, greyedOut(normal));
    painter.end();
    return QPixmap::fromImage(strip);
}

} // namespace

QPixmap helpButtonGlyph()
{
    return glyphStrip(QColor(120, 170, 255), QColor(20, 60, 170), paintQuestionMark);
}

QPixmap infoButtonGlyph()
{
    return glyphStrip(QColor(120, 220, 140), QColor(20, 120, 50), paintInformationMark);
}
