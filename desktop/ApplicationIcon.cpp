#include "ApplicationIcon.h"

#include <QString>

// The icon's resources live in the static core library; naming their registration here
// makes the linker keep them in every program that asks for the icon.
static void registerIconResources()
{
    Q_INIT_RESOURCE(corvane);
}

QList<int> applicationIconSizes()
{
    return {16, 22, 24, 32, 48, 64, 128, 256};
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
    return icon;
}
