#pragma once

#include "controls/Label3D.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <variant>
#include <vector>

class QWidget;

// A board's widgets as they paint, copied out of them in painting order: the plain
// backgrounds, the 3-D labels and the title picture, each with where it stands and what
// clips it. Taking it is quick and needs the widgets' thread; drawing it into pixels is
// most of the work and can be done on any thread, pixel for pixel as the widgets paint.
class BoardDrawing
{
public:
    // The widget and everything in it. Where a part paints in a way not copied here, the
    // widgets are drawn at once instead, and `isCopied` is false.
    static BoardDrawing of(QWidget *host);

    bool isCopied() const { return m_complete; }
    QSize size() const { return m_size; }
    QImage draw() const;

private:
    struct Fill
    {
        QRect rect;
        QColor color;
    };
    struct Label
    {
        QPoint origin;
        QRect clip;
        TLabel3D::Painting painting;
    };
    struct Picture
    {
        QPoint origin;
        QRect clip;
        QImage image;
    };
    using Step = std::variant<Fill, Label, Picture>;

    void take(const QWidget *widget, QPoint origin, QRect clip);
    void fillAround(const QWidget *widget, QPoint origin, QRect clip);

    QSize m_size;
    std::vector<Step> m_steps;
    bool m_complete = true;
};
