#include "MakerLogo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Maroon(0x80, 0x00, 0x00);
const QColor Gold(0xE8, 0xB0, 0x20);

// A gate: two pillars under an arch, with a board of three rate lines in its opening.
void paintGate(QPainter &painter)
{
    QPainterPath gate;
    gate.addRoundedRect(QRectF(2, 2, 44, 46), 4, 4);
    QPainterPath opening;
    opening.moveTo(11, 48);
    opening.lineTo(11, 24);
    opening.arcTo(QRectF(11, 11, 26, 26), 180, -180);
    opening.lineTo(37, 48);
    opening.closeSubpath();
    painter.fillPath(gate.subtracted(opening), Maroon);
    for (const int y : {27, 33, 39})
        painter.fillRect(QRectF(16, y, 16, 3), Gold);
}

void paintName(QPainter &painter)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(31);
    font.setBold(true);
    font.setItalic(true);
    painter.setFont(font);
    const QRectF area(52, 0, 178, 40);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawText(area.translated(1, 1), Qt::AlignCenter, QStringLiteral("Marrowgate"));
    painter.setPen(Maroon);
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("Marrowgate"));
}

void paintMotto(QPainter &painter)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.fillRect(QRectF(56, 41, 170, 2), Gold);
    painter.drawText(QRectF(52, 45, 178, 16), Qt::AlignCenter, QStringLiteral("EXCHANGE-OFFICE BOARDS"));
}

} // namespace

QPixmap makerLogo()
{
    QPixmap logo(230, 62);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintGate(painter);
    paintName(painter);
    paintMotto(painter);
    return logo;
}
