// Draws the program's SVG icon into the PNG sizes desktop themes ask for, so that every
// size comes from the one drawing and no bitmap has to be kept in step by hand.
//
//     render-icon <icon.svg> <size> <output.png> [<size> <output.png> ...]

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool renderOne(QSvgRenderer &renderer, int size, const QString &output)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    QDir().mkpath(QFileInfo(output).absolutePath());
    return image.save(output, "PNG");
}

int fail(const char *message, const char *detail)
{
    std::fprintf(stderr, "render-icon: %s %s\n", message, detail);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4 || argc % 2 != 0)
        return fail("usage:", "render-icon <icon.svg> <size> <output.png> [<size> <output.png> ...]");
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid())
        return fail("cannot read", argv[1]);
    for (int i = 2; i < argc; i += 2) {
        bool isNumber = false;
        const int size = QByteArray(argv[i]).toInt(&isNumber);
        if (!isNumber || size <= 0)
            return fail("not a size:", argv[i]);
        if (!renderOne(renderer, size, QString::fromLocal8Bit(argv[i + 1])))
            return fail("cannot write", argv[i + 1]);
    }
    return 0;
}
