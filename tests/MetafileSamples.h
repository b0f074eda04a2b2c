#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// Enhanced and Windows metafiles written byte by byte, so that the tests and the benchmark
// need no files made by other programs. Coordinates are logical units, one per pixel at
// 96 dots per inch, with the picture's origin at the top left.
namespace MetafileSamples {

struct Shape
{
    enum class Kind { Rectangle, Polygon, Line, Text };
    Kind kind = Kind::Rectangle;
    QColor colour;
    // Rectangle: top left and bottom right corners; Polygon: its corners; Line: its two
    // ends; Text: where the text's top left corner goes.
    QList<QPoint> points;
    QString text;
};

// A whole file drawing the shapes in order, each filled (or drawn) in its colour without
// an outline.
QByteArray emf(QSize size, const QList<Shape> &shapes);
QByteArray wmf(QSize size, const QList<Shape> &shapes, bool placeable);

// Shapes for about `records` records, laid out in a grid across a 2160x384 band.
QList<Shape> sampleShapes(int records);

// Files of about `records` records drawing rectangles, polygons and text across a
// 2160x384 band, as a busy title picture would.
QByteArray sampleEmf(int records);
QByteArray sampleWmf(int records, bool placeable);

// Where the first record after the headers starts, for tests that damage it.
qsizetype firstEmfRecord(const QByteArray &emf);
qsizetype firstWmfRecord(const QByteArray &wmf);

} // namespace MetafileSamples
