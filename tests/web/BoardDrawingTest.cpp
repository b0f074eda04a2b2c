// The board copied out of its widgets and drawn elsewhere: pixel for pixel what the widgets
// paint, on any thread, whatever the widgets do after the copy.

#include "web/BoardDrawing.h"

#include "board/TitleImage.h"
#include "controls/DockPanel.h"
#include "controls/Label3D.h"

#include <QFont>
#include <QPainter>
#include <QPushButton>
#include <functional>
#include <future>
#include <gtest/gtest.h>

namespace {

QImage rendered(QWidget &host)
{
    QImage image(host.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    host.render(&image);
    return image;
}

QImage logo()
{
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("ОБМЕН"));
    return image;
}

// A small board: a title picture, a white line, and 3-D labels in every way they paint,
// one of them reaching past its panel so that the panel must cut it.
struct SmallBoard
{
    SmallBoard()
    {
        host.resize(400, 300);
        host.setBackground(Qt::black);
        title = new TTitleImage(&host);
        title->setGeometry(0, 0, 400, 60);
        title->setPicture(TitlePicture::fromImage(logo()));
        line = new QWidget(&host);
        line->setGeometry(0, 60, 400, 1);
        QPalette white = line->palette();
        white.setColor(QPalette::Window, Qt::white);
        line->setPalette(white);
        line->setAutoFillBackground(true);
        panel = new TDockPanel(&host);
        panel->setGeometry(0, 61, 400, 239);
        panel->setBackground(Qt::darkGray);
    }

    TLabel3D *addLabel(QRect geometry, const QString &caption)
    {
        auto *label = new TLabel3D(panel);
        label->setGeometry(geometry);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(geometry.height() / 2);
        label->setFont(font);
        label->setCaption(caption);
        label->setFontColor(clYellow);
        label->setColor(clBlack);
        return label;
    }

    TDockPanel host;
    TTitleImage *title;
    QWidget *line;
    TDockPanel *panel;
};

TEST(BoardDrawing, DrawsWhatTheWidgetsPaintPixelForPixel)
{
    struct Case
    {
        const char *what;
        std::function<void(TLabel3D &)> look;
    };
    const Case cases[] = {
        {"plain, centred", [](TLabel3D &l) { l.setAlignment(TLabel3D::taCenter); l.setLayout(TLabel3D::tlCenter); l.setBevel(TLabel3D::blNone); }},
        {"raised in every direction", [](TLabel3D &l) { l.setBevel(TLabel3D::blRaised); l.setShadowSize(3); l.setShadowNapr(0xFF); }},
        {"lowered, bottom", [](TLabel3D &l) { l.setBevel(TLabel3D::blLowered); l.setLayout(TLabel3D::tlBottom); }},
        {"drop shadow, right", [](TLabel3D &l) { l.setBevel(TLabel3D::blShadow); l.setAlignment(TLabel3D::taRightJustify); l.setShadowSize(4); }},
        {"gradient and framed", [](TLabel3D &l) { l.setFillGradient(true); l.setGradientOrientation(TLabel3D::goVertical); l.setBorderStyle(TLabel3D::lbOut); l.setBorderWidth(3); }},
        {"transparent over the panel", [](TLabel3D &l) { l.setTransparent(true); l.setBorderStyle(TLabel3D::lbNormal); l.setBorderColor(clRed); }},
        {"disabled", [](TLabel3D &l) { l.setEnabled(false); l.setBevel(TLabel3D::blRaised); }},
        {"wrapped lines", [](TLabel3D &l) { l.setCaption(QStringLiteral("КУРСЫ ОБМЕНА ВАЛЮТ\r\nEXCHANGE RATES")); l.setWordWrap(true); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SmallBoard board;
        TLabel3D *inside = board.addLabel(QRect(10, 10, 180, 100), QStringLiteral("USD 92,50"));
        TLabel3D *overhanging = board.addLabel(QRect(250, 150, 200, 120), QStringLiteral("EUR 100,10"));
        c.look(*inside);
        c.look(*overhanging);

        const BoardDrawing drawing = BoardDrawing::of(&board.host);
        EXPECT_TRUE(drawing.isCopied());
        EXPECT_EQ(drawing.draw(), rendered(board.host));
    }
}

TEST(BoardDrawing, IsDrawnOnAnotherThreadAsTheWidgetsWereWhenCopied)
{
    SmallBoard board;
    TLabel3D *rate = board.addLabel(QRect(10, 10, 300, 100), QStringLiteral("93,10"));
    rate->setBevel(TLabel3D::blRaised);
    const QImage expected = rendered(board.host);
    const BoardDrawing drawing = BoardDrawing::of(&board.host);

    std::future<QImage> elsewhere = std::async(std::launch::async, [drawing] { return drawing.draw(); });
    rate->setCaption(QStringLiteral("93,20"));
    board.title->hide();
    EXPECT_EQ(elsewhere.get(), expected);
    EXPECT_NE(rendered(board.host), expected) << "the board did change after the copy";
}

// A part that paints in a way the copy does not know is drawn by the widgets themselves.
TEST(BoardDrawing, APartItCannotCopyIsDrawnByTheWidgets)
{
    SmallBoard board;
    board.addLabel(QRect(10, 10, 180, 100), QStringLiteral("USD"));
    auto *button = new QPushButton(QStringLiteral("Сброс"), board.panel);
    button->setGeometry(200, 20, 120, 40);
    const BoardDrawing drawing = BoardDrawing::of(&board.host);
    EXPECT_FALSE(drawing.isCopied());
    EXPECT_EQ(drawing.draw(), rendered(board.host));
}

} // namespace
