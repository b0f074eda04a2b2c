#include "MetafileSamples.h"

#include <QtEndian>

namespace MetafileSamples {

namespace {

void put16(QByteArray &out, int value)
{
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, qint64 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(quint32(value), bytes);
    out.append(bytes, 4);
}

// COLORREF: red in the lowest byte.
quint32 colorRef(QColor colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

constexpr int kDotsPerInch = 96;

// --- Enhanced Metafile ---------------------------------------------------------------------

enum EmfType : quint32 {
    EmrHeader = 1,
    EmrPolygon16 = 86,
    EmrEof = 14,
    EmrSetBkMode = 18,
    EmrSetTextColor = 24,
    EmrMoveToEx = 27,
    EmrSelectObject = 37,
    EmrCreatePen = 38,
    EmrCreateBrushIndirect = 39,
    EmrDeleteObject = 40,
    EmrRectangle = 43,
    EmrLineTo = 54,
    EmrExtCreateFontIndirectW = 82,
    EmrExtTextOutW = 84,
};
constexpr quint32 kNullPen = 0x80000008;
constexpr quint32 kNullBrush = 0x80000005;

class EmfRecords
{
public:
    void add(quint32 type, const QByteArray &payload)
    {
        put32(m_bytes, type);
        put32(m_bytes, 8 + payload.size());
        m_bytes += payload;
        ++m_count;
    }
    void add32(quint32 type, const QList<qint64> &values)
    {
        QByteArray payload;
        for (qint64 value : values)
            put32(payload, value);
        add(type, payload);
    }
    const QByteArray &bytes() const { return m_bytes; }
    int count() const { return m_count; }

private:
    QByteArray m_bytes;
    int m_count = 0;
};

void emfFont(EmfRecords &records)
{
    QByteArray payload;
    put32(payload, 1);
    for (qint64 value : {-24, 0, 0, 0, 400})
        put32(payload, value);
    payload += QByteArray(8, '\0');
    QByteArray face(64, '\0');
    const QString name = QStringLiteral("Arial");
    for (int i = 0; i < name.size(); ++i)
        face[2 * i] = char(name.at(i).unicode());
    records.add(EmrExtCreateFontIndirectW, payload + face);
}

void emfText(EmfRecords &records, const Shape &shape)
{
    emfFont(records);
    records.add32(EmrSelectObject, {1});
    records.add32(EmrSetTextColor, {colorRef(shape.colour)});
    records.add32(EmrSetBkMode, {1});
    const QPoint at = shape.points.value(0);
    const qint64 chars = shape.text.size();
    const qint64 textAt = 76; // right after the record's fixed fields
    const qint64 advancesAt = textAt + (chars * 2 + 3) / 4 * 4;
    QByteArray payload;
    for (qint64 value : {0, 0, -1, -1, 1})
        put32(payload, value);
    payload += QByteArray::fromHex("0000803f0000803f"); // x and y scale 1.0
    for (qint64 value : {qint64(at.x()), qint64(at.y()), chars, textAt, qint64(0), qint64(0), qint64(0), qint64(-1),
                         qint64(-1), advancesAt})
        put32(payload, value);
    for (QChar c : shape.text)
        put16(payload, c.unicode());
    if (payload.size() % 4 != 0)
        put16(payload, 0);
    for (qint64 i = 0; i < chars; ++i)
        put32(payload, 14);
    records.add(EmrExtTextOutW, payload);
    records.add32(EmrSelectObject, {0x8000000D}); // the system font
    records.add32(EmrDeleteObject, {1});
}

void emfFilled(EmfRecords &records, const Shape &shape)
{
    records.add32(EmrCreateBrushIndirect, {1, 0, colorRef(shape.colour), 0});
    records.add32(EmrSelectObject, {1});
    if (shape.kind == Shape::Kind::Rectangle) {
        const QPoint a = shape.points.value(0);
        const QPoint b = shape.points.value(1);
        records.add32(EmrRectangle, {a.x(), a.y(), b.x(), b.y()});
    } else {
        QByteArray payload;
        for (int i = 0; i < 4; ++i)
            put32(payload, 0);
        put32(payload, shape.points.size());
        for (QPoint p : shape.points) {
            put16(payload, p.x());
            put16(payload, p.y());
        }
        records.add(EmrPolygon16, payload);
    }
    records.add32(EmrSelectObject, {kNullBrush});
    records.add32(EmrDeleteObject, {1});
}

void emfLine(EmfRecords &records, const Shape &shape)
{
    records.add32(EmrCreatePen, {1, 0, 4, 0, colorRef(shape.colour)});
    records.add32(EmrSelectObject, {1});
    records.add32(EmrMoveToEx, {shape.points.value(0).x(), shape.points.value(0).y()});
    records.add32(EmrLineTo, {shape.points.value(1).x(), shape.points.value(1).y()});
    records.add32(EmrSelectObject, {kNullPen});
    records.add32(EmrDeleteObject, {1});
}

QByteArray emfHeader(QSize size, const EmfRecords &body)
{
    constexpr int headerBytes = 88;
    QByteArray header;
    put32(header, EmrHeader);
    put32(header, headerBytes);
    for (qint64 value : {0, 0, size.width() - 1, size.height() - 1})
        put32(header, value);
    // The frame is in hundredths of a millimetre.
    for (qint64 value : {0, 0, size.width() * 2540 / kDotsPerInch, size.height() * 2540 / kDotsPerInch})
        put32(header, value);
    put32(header, 0x464D4520);
    put32(header, 0x10000);
    put32(header, headerBytes + body.bytes().size());
    put32(header, body.count() + 1);
    put16(header, 2);
    put16(header, 0);
    for (qint64 value : {0, 0, 0, 1920, 1080, 508, 286})
        put32(header, value);
    return header;
}

// --- Windows Metafile ----------------------------------------------------------------------

enum WmfFunction : quint16 {
    MetaEof = 0x0000,
    MetaSetBkMode = 0x0102,
    MetaSetMapMode = 0x0103,
    MetaSetTextColor = 0x0209,
    MetaSetWindowOrg = 0x020B,
    MetaSetWindowExt = 0x020C,
    MetaLineTo = 0x0213,
    MetaMoveTo = 0x0214,
    MetaSelectObject = 0x012D,
    MetaDeleteObject = 0x01F0,
    MetaCreatePenIndirect = 0x02FA,
    MetaCreateFontIndirect = 0x02FB,
    MetaCreateBrushIndirect = 0x02FC,
    MetaPolygon = 0x0324,
    MetaRectangle = 0x041B,
    MetaTextOut = 0x0521,
};
// Slots 0 and 1 of the object table hold an invisible pen and brush for the whole file;
// each shape makes its own object in slot 2 and deletes it afterwards.
constexpr int kInvisiblePen = 0;
constexpr int kInvisibleBrush = 1;
constexpr int kShapeObject = 2;

class WmfRecords
{
public:
    void add(quint16 function, const QByteArray &payload)
    {
        put32(m_bytes, 3 + payload.size() / 2);
        put16(m_bytes, function);
        m_bytes += payload;
        m_largest = std::max<int>(m_largest, 3 + payload.size() / 2);
    }
    void add16(quint16 function, const QList<int> &values)
    {
        QByteArray payload;
        for (int value : values)
            put16(payload, value);
        add(function, payload);
    }
    const QByteArray &bytes() const { return m_bytes; }
    int largest() const { return m_largest; }

private:
    QByteArray m_bytes;
    int m_largest = 3;
};

QList<int> colourWords(QColor colour)
{
    const quint32 ref = colorRef(colour);
    return {int(ref & 0xFFFF), int(ref >> 16)};
}

void wmfFilled(WmfRecords &records, const Shape &shape)
{
    records.add16(MetaCreateBrushIndirect, QList<int>{0} + colourWords(shape.colour) + QList<int>{0});
    records.add16(MetaSelectObject, {kShapeObject});
    if (shape.kind == Shape::Kind::Rectangle) {
        const QPoint a = shape.points.value(0);
        const QPoint b = shape.points.value(1);
        records.add16(MetaRectangle, {b.y(), b.x(), a.y(), a.x()});
    } else {
        QList<int> values{int(shape.points.size())};
        for (QPoint p : shape.points)
            values << p.x() << p.y();
        records.add16(MetaPolygon, values);
    }
    records.add16(MetaSelectObject, {kInvisibleBrush});
    records.add16(MetaDeleteObject, {kShapeObject});
}

void wmfLine(WmfRecords &records, const Shape &shape)
{
    records.add16(MetaCreatePenIndirect, QList<int>{0, 4, 0} + colourWords(shape.colour));
    records.add16(MetaSelectObject, {kShapeObject});
    records.add16(MetaMoveTo, {shape.points.value(0).y(), shape.points.value(0).x()});
    records.add16(MetaLineTo, {shape.points.value(1).y(), shape.points.value(1).x()});
    records.add16(MetaSelectObject, {kInvisiblePen});
    records.add16(MetaDeleteObject, {kShapeObject});
}

void wmfText(WmfRecords &records, const Shape &shape)
{
    QByteArray font;
    for (int value : {-24, 0, 0, 0, 400})
        put16(font, value);
    font += QByteArray(8, '\0');
    font += QByteArray("Arial").leftJustified(32, '\0');
    records.add(MetaCreateFontIndirect, font);
    records.add16(MetaSelectObject, {kShapeObject});
    records.add16(MetaSetTextColor, colourWords(shape.colour));
    records.add16(MetaSetBkMode, {1});
    QByteArray text = shape.text.toLatin1();
    QByteArray payload;
    put16(payload, text.size());
    if (text.size() % 2 != 0)
        text.append('\0');
    payload += text;
    put16(payload, shape.points.value(0).y());
    put16(payload, shape.points.value(0).x());
    records.add(MetaTextOut, payload);
    // libwmf draws every later filled shape half transparent while the background mode is
    // transparent.
    records.add16(MetaSetBkMode, {2});
    records.add16(MetaDeleteObject, {kShapeObject});
}

QByteArray placeableHeader(QSize size)
{
    QByteArray header;
    put32(header, 0x9AC6CDD7);
    for (int value : {0, 0, 0, size.width(), size.height(), kDotsPerInch, 0, 0})
        put16(header, value);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(header.constData() + i);
    put16(header, checksum);
    return header;
}

QByteArray wmfHeader(const WmfRecords &body)
{
    constexpr int headerWords = 9;
    QByteArray header;
    for (int value : {1, headerWords, 0x0300})
        put16(header, value);
    put32(header, headerWords + body.bytes().size() / 2);
    put16(header, 3);
    put32(header, body.largest());
    put16(header, 0);
    return header;
}

Shape sampleShape(int index)
{
    const int column = index % 40;
    const int row = (index / 40) % 4;
    const QPoint corner(column * 54, row * 96);
    const QColor colour = QColor::fromHsv((index * 37) % 360, 220, 220);
    switch (index % 3) {
    case 0: return Shape{Shape::Kind::Rectangle, colour, {corner, corner + QPoint(50, 90)}, QString()};
    case 1:
        return Shape{Shape::Kind::Polygon, colour,
                     {corner + QPoint(25, 0), corner + QPoint(50, 90), corner + QPoint(0, 90)}, QString()};
    default: return Shape{Shape::Kind::Text, colour, {corner + QPoint(2, 30)}, QStringLiteral("USD")};
    }
}

} // namespace

// Every shape takes five or eight records (text needs its font), so this many shapes give
// about `records` records.
QList<Shape> sampleShapes(int records)
{
    QList<Shape> shapes;
    for (int i = 0; i < std::max(1, records * 3 / 18); ++i)
        shapes << sampleShape(i);
    return shapes;
}

QByteArray emf(QSize size, const QList<Shape> &shapes)
{
    EmfRecords body;
    body.add32(EmrSelectObject, {kNullPen});
    for (const Shape &shape : shapes) {
        switch (shape.kind) {
        case Shape::Kind::Line: emfLine(body, shape); break;
        case Shape::Kind::Text: emfText(body, shape); break;
        default: emfFilled(body, shape); break;
        }
    }
    body.add32(EmrEof, {0, 16, 20});
    return emfHeader(size, body) + body.bytes();
}

QByteArray wmf(QSize size, const QList<Shape> &shapes, bool placeable)
{
    WmfRecords body;
    body.add16(MetaSetMapMode, {8}); // anisotropic: the window below maps onto the picture
    body.add16(MetaSetWindowOrg, {0, 0});
    body.add16(MetaSetWindowExt, {size.height(), size.width()});
    body.add16(MetaCreatePenIndirect, {5, 0, 0, 0, 0});
    body.add16(MetaCreateBrushIndirect, {1, 0, 0, 0});
    body.add16(MetaSelectObject, {kInvisiblePen});
    body.add16(MetaSelectObject, {kInvisibleBrush});
    for (const Shape &shape : shapes) {
        switch (shape.kind) {
        case Shape::Kind::Line: wmfLine(body, shape); break;
        case Shape::Kind::Text: wmfText(body, shape); break;
        default: wmfFilled(body, shape); break;
        }
    }
    body.add16(MetaEof, {});
    return (placeable ? placeableHeader(size) : QByteArray()) + wmfHeader(body) + body.bytes();
}

QByteArray sampleEmf(int records)
{
    return emf(QSize(2160, 384), sampleShapes(records));
}

QByteArray sampleWmf(int records, bool placeable)
{
    return wmf(QSize(2160, 384), sampleShapes(records), placeable);
}

qsizetype firstEmfRecord(const QByteArray &emf)
{
    return qFromLittleEndian<quint32>(emf.constData() + 4);
}

qsizetype firstWmfRecord(const QByteArray &wmf)
{
    return qFromLittleEndian<quint32>(wmf.constData()) == 0x9AC6CDD7 ? 22 + 18 : 18;
}

} // namespace MetafileSamples
