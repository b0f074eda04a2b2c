#include "ApplicationIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>

// The icon's resources live in the static core library; naming their registration here
// makes the linker keep them in every program that asks for the icon.
static void registerIconResources()
{
    Q_INIT_RESOURCE(corvane);
}

// Launchers and docks ask for up to this size.
static constexpr int kLargestDrawnSize = 512;

QList<int> applicationIconSizes()
{
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

// The drawing at a size above the largest bitmap. Qt 6.8's icon engine hands out the
// largest bitmap instead of drawing a larger size, so that size is given to it drawn.
static QPixmap drawnAt(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(QStringLiteral(":/corvane/corvane.svg")).render(&painter);
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon applicationIcon()
{
    static const bool registered = (registerIconResources(), true);
    Q_UNUSED(registered);
    // The SVG comes first: the first file decides the icon engine, and only the SVG
    // engine can draw sizes that have no bitmap.
    QIcon icon(QStringLiteral(":/corvane/corvane.svg"));
    for (const int size : applicationIconSizes())
        icon.addFile(QStringLiteral(":/corvane/%1x%1/corvane.png").arg(size), QSize(size, size));
    icon.addPixmap(drawnAt(kLargestDrawnSize));
    return icon;
}
