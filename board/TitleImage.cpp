#include "TitleImage.h"

#include <QPainter>

TTitleImage::TTitleImage(QWidget *parent)
    : QWidget(parent)
{
}

void TTitleImage::setPicture(const TitlePicture &picture)
{
    m_picture = picture;
    m_scaled = QImage();
    m_scaledFor = QSize();
    update();
}

QImage TTitleImage::scaledPicture() const
{
    if (m_scaledFor != size()) {
        m_scaled = m_picture.render(size());
        m_scaledFor = size();
    }
    return m_scaled;
}

QRect TTitleImage::pictureRect() const
{
    const QSize fitted = TitlePicture::fittedSize(m_picture.naturalSize(), size());
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void TTitleImage::paintEvent(QPaintEvent *)
{
    const QImage scaled = scaledPicture();
    if (scaled.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(pictureRect().topLeft(), scaled);
}

void TTitleImage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The next paint scales the picture for the new size; until then nothing is redone.
    update();
}
