#include "TestSupport.h"

#include <QRegularExpression>
#include <QWidget>

namespace testsupport {

QString screenSet()
{
    // The platform is given as offscreen:configfile=<folder>/screens-<set>.json.
    static const QRegularExpression pattern(QStringLiteral("screens-([a-z]+)\\.json"));
    const QRegularExpressionMatch match = pattern.match(qEnvironmentVariable("QT_QPA_PLATFORM"));
    return match.hasMatch() ? match.captured(1) : QStringLiteral("one");
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
