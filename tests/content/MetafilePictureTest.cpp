#include "tests/TestSupport.h"
#include "content/MetafilePicture.h"

#include "tests/MetafileSamples.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSvgRenderer>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>

namespace {

using testsupport::near;

using MetafileSamples::Shape;
using Convert = std::function<MetafilePicture::Result(const QByteArray &)>;
using Build = std::function<QByteArray(QSize, const QList<Shape> &)>;

struct Format
{
    const char *name;
    Build build;
    Convert convert;
};

const Format kEmf{"Emf", MetafileSamples::emf, MetafilePicture::emfToSvg};
const Format kPlaceableWmf{"PlaceableWmf",
                           [](QSize size, const QList<Shape> &shapes) { return MetafileSamples::wmf(size, shapes, true); },
                           MetafilePicture::wmfToSvg};
const Format kPlainWmf{"PlainWmf",
                       [](QSize size, const QList<Shape> &shapes) { return MetafileSamples::wmf(size, shapes, false); },
                       MetafilePicture::wmfToSvg};

QImage render(const QByteArray &svg, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(), size));
    return image;
}

// A 200x100 picture: a red rectangle over the left half, a blue triangle on the right and
// a green line along the right half's top.
QList<Shape> threeShapes()
{
    return {
        Shape{Shape::Kind::Rectangle, Qt::red, {QPoint(0, 0), QPoint(100, 100)}, QString()},
        Shape{Shape::Kind::Polygon, Qt::blue, {QPoint(110, 90), QPoint(190, 90), QPoint(150, 30)}, QString()},
        Shape{Shape::Kind::Line, Qt::green, {QPoint(110, 10), QPoint(190, 10)}, QString()},
    };
}

void PrintTo(const Format &format, std::ostream *out)
{
    *out << format.name;
}

class MetafileDrawing : public ::testing::TestWithParam<Format>
{
};

TEST_P(MetafileDrawing, DrawsEachShapeInItsColourAtItsPlace)
{
    const MetafilePicture::Result result = GetParam().convert(GetParam().build(QSize(200, 100), threeShapes()));
    ASSERT_FALSE(result.svg.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());

    const QRectF box = QSvgRenderer(result.svg).viewBoxF();
    EXPECT_NEAR(box.width() / box.height(), 2.0, 0.1);

    // Drawn at twice the picture's size, as the band enlarges it.
    const QImage image = render(result.svg, QSize(400, 200));
    struct Probe
    {
        QPoint at;
        QColor colour;
    };
    const Probe probes[] = {
        {QPoint(20, 20), Qt::red},     {QPoint(180, 180), Qt::red},  {QPoint(300, 140), Qt::blue},
        {QPoint(300, 20), Qt::green},  {QPoint(390, 190), Qt::white}, {QPoint(230, 80), Qt::white},
        {QPoint(395, 60), Qt::white},
    };
    for (const Probe &probe : probes) {
        EXPECT_TRUE(near(image.pixel(probe.at), probe.colour))
            << "at " << probe.at.x() << "," << probe.at.y() << " found " << std::hex << image.pixel(probe.at) << "\n"
            << result.svg.toStdString();
    }
}

TEST_P(MetafileDrawing, KeepsTextAsText)
{
    const QList<Shape> shapes{Shape{Shape::Kind::Text, Qt::black, {QPoint(10, 30)}, QStringLiteral("EUR 1.0842")}};
    const MetafilePicture::Result result = GetParam().convert(GetParam().build(QSize(200, 100), shapes));
    ASSERT_FALSE(result.svg.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(result.svg.contains("EUR 1.0842")) << result.svg.toStdString();
}

TEST_P(MetafileDrawing, IgnoresBytesAfterTheEndRecord)
{
    const QByteArray file = GetParam().build(QSize(200, 100), threeShapes()) + QByteArray(37, '\xff');
    const MetafilePicture::Result result = GetParam().convert(file);
    ASSERT_FALSE(result.svg.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(near(render(result.svg, QSize(200, 100)).pixel(50, 50), Qt::red));
}

// The shapes fill the whole band and leave out text, since libwmf sizes the drawing by what
// it draws rather than by the picture's declared size, and overestimates how wide text is.
TEST_P(MetafileDrawing, DrawsEveryRectangleOfABusyPicture)
{
    QList<Shape> shapes = MetafileSamples::sampleShapes(960);
    shapes.removeIf([](const Shape &shape) { return shape.kind == Shape::Kind::Text; });
    const MetafilePicture::Result result = GetParam().convert(GetParam().build(QSize(2160, 384), shapes));
    ASSERT_FALSE(result.svg.isEmpty()) << result.error.toStdString();
    const QImage image = render(result.svg, QSize(2160, 384));
    int rectangles = 0;
    for (const Shape &shape : shapes) {
        if (shape.kind != Shape::Kind::Rectangle)
            continue;
        ++rectangles;
        const QPoint centre = (shape.points.at(0) + shape.points.at(1)) / 2;
        // libwmf writes the nearest of SVG's named colours, which can lie this far off.
        EXPECT_TRUE(near(image.pixel(centre), shape.colour, 90)) << "rectangle at " << centre.x() << "," << centre.y();
    }
    EXPECT_GE(rectangles, 15);
}

INSTANTIATE_TEST_SUITE_P(Metafile, MetafileDrawing, ::testing::Values(kEmf, kPlaceableWmf, kPlainWmf),
                         [](const auto &info) { return std::string(info.param.name); });

// --- Refused files ---------------------------------------------------------------------------

void putAt(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

QByteArray randomBytes(int size)
{
    QRandomGenerator generator(20240611);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

struct BadFile
{
    const char *name;
    std::function<QByteArray(const QByteArray &valid)> damage;
    const char *message; // words the message must contain
};

const QByteArray kPngStart = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");

const BadFile kBadEmfs[] = {
    {"Empty", [](const QByteArray &) { return QByteArray(); }, "Файл пуст"},
    {"Png", [](const QByteArray &) { return kPngStart + QByteArray(100, '\0'); }, "не является метафайлом EMF"},
    {"RandomBytes", [](const QByteArray &) { return randomBytes(4096); }, "не является метафайлом EMF"},
    {"TruncatedHeader", [](const QByteArray &valid) { return valid.left(60); }, "не является метафайлом EMF"},
    {"NoEndRecord", [](const QByteArray &valid) { return valid.left(valid.size() - 20); }, "кончается раньше последней записи"},
    {"RecordSizeZero",
     [](QByteArray bytes) {
         putAt(bytes, MetafileSamples::firstEmfRecord(bytes) + 4, 0);
         return bytes;
     },
     "невозможной длины 0"},
    {"RecordPastTheEnd",
     [](QByteArray bytes) {
         putAt(bytes, MetafileSamples::firstEmfRecord(bytes) + 4, 0x7ffffff0);
         return bytes;
     },
     "выходит за конец файла"},
    {"HugePicture",
     [](QByteArray bytes) {
         putAt(bytes, 16, 50'000'000); // the right edge of the bounds
         return bytes;
     },
     "слишком большой рисунок"},
    {"HeaderLongerThanTheFile",
     [](QByteArray bytes) {
         putAt(bytes, 4, 0x10000);
         return bytes;
     },
     "невозможной длины"},
};

const BadFile kBadWmfs[] = {
    {"Empty", [](const QByteArray &) { return QByteArray(); }, "Файл пуст"},
    {"Png", [](const QByteArray &) { return kPngStart + QByteArray(100, '\0'); }, "не является метафайлом WMF"},
    {"RandomBytes", [](const QByteArray &) { return randomBytes(4096); }, "не является метафайлом WMF"},
    {"TruncatedPlaceableHeader", [](const QByteArray &valid) { return valid.left(30); }, "кончается внутри заголовка"},
    {"NoEndRecord", [](const QByteArray &valid) { return valid.left(valid.size() - 6); }, "кончается раньше последней записи"},
    {"RecordSizeZero",
     [](QByteArray bytes) {
         putAt(bytes, MetafileSamples::firstWmfRecord(bytes), 0);
         return bytes;
     },
     "невозможной длины 0"},
    {"RecordPastTheEnd",
     [](QByteArray bytes) {
         putAt(bytes, MetafileSamples::firstWmfRecord(bytes), 0x7ffffff0);
         return bytes;
     },
     "выходит за конец файла"},
    {"HugePicture",
     [](QByteArray bytes) {
         // 32000 units at one unit per inch is far wider than any screen.
         qToLittleEndian<qint16>(32000, bytes.data() + 10);
         qToLittleEndian<quint16>(1, bytes.data() + 14);
         return bytes;
     },
     "слишком большой рисунок"},
    {"EmptyPlaceableBox",
     [](QByteArray bytes) {
         qToLittleEndian<qint16>(0, bytes.data() + 10);
         return bytes;
     },
     "задаёт пустой рисунок"},
};

void PrintTo(const BadFile &file, std::ostream *out)
{
    *out << file.name;
}

class BadEmf : public ::testing::TestWithParam<BadFile>
{
};

class BadWmf : public ::testing::TestWithParam<BadFile>
{
};

void expectRefused(const MetafilePicture::Result &result, const char *message)
{
    EXPECT_TRUE(result.svg.isEmpty());
    EXPECT_TRUE(result.error.contains(QString::fromUtf8(message))) << result.error.toStdString();
}

TEST_P(BadEmf, IsRefusedWithAMessage)
{
    const QByteArray valid = MetafileSamples::emf(QSize(200, 100), threeShapes());
    expectRefused(MetafilePicture::emfToSvg(GetParam().damage(valid)), GetParam().message);
}

TEST_P(BadWmf, IsRefusedWithAMessage)
{
    const QByteArray valid = MetafileSamples::wmf(QSize(200, 100), threeShapes(), true);
    expectRefused(MetafilePicture::wmfToSvg(GetParam().damage(valid)), GetParam().message);
}

const auto kBadName = [](const auto &info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Metafile, BadEmf, ::testing::ValuesIn(kBadEmfs), kBadName);
INSTANTIATE_TEST_SUITE_P(Metafile, BadWmf, ::testing::ValuesIn(kBadWmfs), kBadName);

// Each format is refused by the other's converter rather than misread.
TEST(MetafileFormats, AreNotMistakenForEachOther)
{
    const QByteArray emf = MetafileSamples::emf(QSize(200, 100), threeShapes());
    const QByteArray wmf = MetafileSamples::wmf(QSize(200, 100), threeShapes(), false);
    expectRefused(MetafilePicture::wmfToSvg(emf), "не является метафайлом WMF");
    expectRefused(MetafilePicture::emfToSvg(wmf), "не является метафайлом EMF");
}

} // namespace
