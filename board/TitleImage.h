#pragma once

#include "content/TitlePicture.h"

#include <QImage>
#include <QWidget>

// The title band's picture: the picture scaled, proportions kept, to the largest size that
// fits the element, and centred in it. The scaled copy is made once per size, when the
// element is first painted at that size.
class TTitleImage : public QWidget
{
    Q_OBJECT
public:
    explicit TTitleImage(QWidget *parent = nullptr);

    const TitlePicture &picture() const { return m_picture; }
    void setPicture(const TitlePicture &picture);

    // What the element shows at its present size; null when it holds no picture.
    QImage scaledPicture() const;
    // Where in the element the scaled picture is drawn.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TitlePicture m_picture;
    mutable QImage m_scaled; // for m_scaledFor
    mutable QSize m_scaledFor;
};
