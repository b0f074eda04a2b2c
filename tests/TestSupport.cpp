#include "TestSupport.h"

#include <QWidget>

namespace testsupport {

QString screenSet()
{
    const QString set = qEnvironmentVariable("CORVANE_SCREEN_SET");
    return set.isEmpty() ? QStringLiteral("one") : set;
}

QImage renderWidget(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

QString dataPath(const QString &name)
{
    return QStringLiteral(CORVANE_TEST_DATA "/") + name;
}

} // namespace testsupport
