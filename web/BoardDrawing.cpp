#include "BoardDrawing.h"

#include "board/TitleImage.h"
#include "controls/DockPanel.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

BoardDrawing BoardDrawing::of(QWidget *host)
{
    BoardDrawing drawing;
    drawing.m_size = host->size();
    drawing.take(host, QPoint(0, 0), host->rect());
    if (!drawing.m_complete) {
        // Drawn here and now by the widgets themselves, on their thread.
        QImage image(drawing.m_size, QImage::Format_RGB32);
        image.fill(Qt::black);
        host->render(&image);
        drawing.m_steps.clear();
        drawing.m_steps.emplace_back(Picture{QPoint(0, 0), host->rect(), image});
    }
    return drawing;
}

// A widget paints its background, then itself, then its children in stacking order, each
// clipped to its own rectangle and its parents'.
void BoardDrawing::take(const QWidget *widget, QPoint origin, QRect clip)
{
    clip &= QRect(origin, widget->size());
    if (clip.isEmpty())
        return;
    if (widget->autoFillBackground())
        fillAround(widget, origin, clip);
    if (const auto *label = qobject_cast<const TLabel3D *>(widget)) {
        m_steps.emplace_back(Label{origin, clip, label->painting()});
    } else if (const auto *title = qobject_cast<const TTitleImage *>(widget)) {
        if (const QImage scaled = title->scaledPicture(); !scaled.isNull())
            m_steps.emplace_back(Picture{origin + title->pictureRect().topLeft(), clip, scaled});
    } else if (widget->metaObject() != &QWidget::staticMetaObject && !qobject_cast<const TDockPanel *>(widget)) {
        m_complete = false; // paints in its own way
        return;
    }
    for (const QObject *child : widget->children()) {
        const auto *part = qobject_cast<const QWidget *>(child);
        if (part && !part->isHidden() && !part->isWindow())
            take(part, origin + part->pos(), clip);
    }
}

// A background is filled only where no filled child lies over it: on a board of nested
// panels, most of the area would be filled again and again otherwise.
void BoardDrawing::fillAround(const QWidget *widget, QPoint origin, QRect clip)
{
    QRegion shows(clip);
    for (const QObject *child : widget->children()) {
        const auto *part = qobject_cast<const QWidget *>(child);
        if (part && !part->isHidden() && !part->isWindow() && part->autoFillBackground())
            shows -= QRect(origin + part->pos(), part->size());
    }
    const QColor color = widget->palette().color(widget->backgroundRole());
    for (const QRect &rect : shows)
        m_steps.emplace_back(Fill{rect, color});
}

QImage BoardDrawing::draw() const
{
    QImage image(m_size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    for (const Step &step : m_steps) {
        if (const auto *fill = std::get_if<Fill>(&step)) {
            painter.fillRect(fill->rect, fill->color);
        } else if (const auto *label = std::get_if<Label>(&step)) {
            painter.save();
            painter.setClipRect(label->clip);
            painter.translate(label->origin);
            label->painting.paint(painter);
            painter.restore();
        } else if (const auto *picture = std::get_if<Picture>(&step)) {
            painter.save();
            painter.setClipRect(picture->clip);
            painter.drawImage(picture->origin, picture->image);
            painter.restore();
        }
    }
    return image;
}
