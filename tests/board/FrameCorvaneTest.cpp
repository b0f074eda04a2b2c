#include "board/FrameCorvane.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "tests/TestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <climits>
#include <utility>
#include <vector>
#include <gtest/gtest.h>

namespace {

// Board width for a 480-pixel-high board on each screen list the tests run with.
int expectedWidthFor480()
{
    const QString set = testsupport::screenSet();
    if (set == QLatin1String("fourthree"))
        return 360; // 1024 x 768: trunc(480 * 0.75)
    if (set == QLatin1String("square"))
        return 480; // 1200 x 1200
    return 270;     // 1920 x 1080 alone, or with a 1080 x 1920 TV last
}

class FrameLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        programSettings().setProportions(Proportions{});
        frame.InitBoard();
        frame.resize(600, 480);
    }

    // The rows' captions only: the next layout counts the rows it shows.
    void showRows(int count, const QStringList &hiddenCodes = {})
    {
        for (int i = 1; i <= 8; ++i) {
            const auto &row = frame.row(i);
            const bool hidden = hiddenCodes.contains(QString::number(i));
            const bool filled = i <= count + hiddenCodes.size();
            row.Name->setCaption(!filled ? QString() : hidden ? QStringLiteral("-") : QStringLiteral("USD"));
            row.NameRus->setCaption(filled ? QStringLiteral("ДОЛЛАР США") : QString());
            row.Pok->setCaption(filled ? QStringLiteral("93,10") : QString());
            row.Prod->setCaption(filled ? QStringLiteral("94,50") : QString());
        }
    }

    TFrameCorvane frame;
};

} // namespace

TEST_F(FrameLayout, BoardTakesTheShapeOfTheLastMonitor)
{
    frame.FrameResize();
    const int w = expectedWidthFor480();
    EXPECT_EQ(frame.PanelTablo->width(), w);
    EXPECT_EQ(frame.PanelTablo->height(), 480);
    EXPECT_EQ(frame.width(), w);
}

TEST_F(FrameLayout, BandsFollowTheProportions)
{
    frame.FrameResize();
    const int w = expectedWidthFor480();
    EXPECT_EQ(frame.LabelTop->height(), 96);
    EXPECT_EQ(frame.LabelBot->height(), 48);
    EXPECT_EQ(frame.PanelTitle->height(), 48);
    EXPECT_EQ(frame.PanelTit2->height(), 48);
    EXPECT_EQ(frame.LabelPusto->height(), 48);
    EXPECT_EQ(frame.LabelData->width(), w * 30 / 100);
    EXPECT_EQ(frame.PanelName->width(), w * 35 / 100);
    EXPECT_EQ(frame.Panel2->height(), 334);
    // Title, line, middle band, line, bottom line, top to bottom.
    EXPECT_EQ(frame.SplitterT->geometry(), QRect(0, 96, w, 1));
    EXPECT_EQ(frame.Panel2->y(), 97);
    EXPECT_EQ(frame.SplitterB->geometry(), QRect(0, 431, w, 1));
    EXPECT_EQ(frame.LabelBot->y(), 432);
    // The buy header takes half the header width, the line and the sell header the rest.
    const int ratesWidth = w - w * 35 / 100 - 1;
    EXPECT_EQ(frame.PanelKursy->width(), ratesWidth);
    EXPECT_EQ(frame.LabelTitPok->width(), ratesWidth / 2);
    EXPECT_EQ(frame.LabelTitProd->width(), ratesWidth - ratesWidth / 2 - 1);
    EXPECT_EQ(frame.PanelName->height(), 285);
    if (w == 270) {
        EXPECT_EQ(frame.LabelData->width(), 81);
        EXPECT_EQ(frame.PanelName->width(), 94);
    }
}

TEST_F(FrameLayout, SixRowsSpreadOverTheTable)
{
    showRows(6);
    frame.FrameResize();
    const int tops[] = {49, 89, 128, 167, 207, 247};
    for (int i = 1; i <= 6; ++i) {
        const auto &row = frame.row(i);
        SCOPED_TRACE(i);
        EXPECT_TRUE(row.Name->isVisibleTo(&frame));
        EXPECT_EQ(row.Name->y(), tops[i - 1]);
        EXPECT_EQ(row.Name->height(), 19);
        EXPECT_EQ(row.NameRus->y(), tops[i - 1] + 20);
        EXPECT_EQ(row.NameRus->height(), 19);
        EXPECT_EQ(row.Pok->y(), tops[i - 1]);
        EXPECT_EQ(row.Pok->height(), 40);
        EXPECT_EQ(row.Prod->y(), tops[i - 1]);
        EXPECT_EQ(row.Prod->x(), frame.PanelKursy->width() / 2);
        EXPECT_EQ(row.Name->width(), qRound(frame.PanelName->width() * 0.96));
    }
    for (int i = 7; i <= 8; ++i)
        EXPECT_TRUE(frame.row(i).Name->isHidden());
}

TEST_F(FrameLayout, HiddenRowsCloseUp)
{
    // Rows 2 and 5 hold "-": the six others take the first six places.
    showRows(6, {QStringLiteral("2"), QStringLiteral("5")});
    frame.FrameResize();
    const int tops[] = {49, 89, 128, 167, 207, 247};
    const int shownRows[] = {1, 3, 4, 6, 7, 8};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(frame.row(shownRows[k]).Name->y(), tops[k]) << "row " << shownRows[k];
    for (int hidden : {2, 5}) {
        const auto &row = frame.row(hidden);
        EXPECT_TRUE(row.Name->isHidden() && row.NameRus->isHidden() && row.Pok->isHidden() && row.Prod->isHidden());
    }
}

TEST_F(FrameLayout, AllBuyFiguresShareOneSizeAndAllSellFiguresAnother)
{
    showRows(4);
    frame.row(2).Pok->setCaption(QStringLiteral("1"));
    frame.row(3).Prod->setCaption(QStringLiteral("123456,7890"));
    frame.FrameResize();
    for (int i = 2; i <= 8; ++i) {
        EXPECT_EQ(frame.row(i).Pok->fontSize(), frame.row(1).Pok->fontSize());
        EXPECT_EQ(frame.row(i).Prod->fontSize(), frame.row(1).Prod->fontSize());
    }
    // The shared sizes are the smallest of the sizes each figure gets on its own.
    int smallestBuy = INT_MAX;
    int smallestSell = INT_MAX;
    for (int i = 1; i <= 4; ++i) {
        for (TLabel3D *figure : {frame.row(i).Pok, frame.row(i).Prod}) {
            TLabel3D alone;
            TFrameCorvane::CloneLabel(figure, &alone);
            alone.setCaption(figure->caption());
            TFrameCorvane::FitFontToLabel(&alone);
            int &smallest = figure == frame.row(i).Pok ? smallestBuy : smallestSell;
            smallest = qMin(smallest, alone.fontSize());
        }
    }
    EXPECT_EQ(frame.row(1).Pok->fontSize(), smallestBuy);
    EXPECT_EQ(frame.row(1).Prod->fontSize(), smallestSell);
    EXPECT_LT(frame.row(1).Prod->fontSize(), frame.row(1).Pok->fontSize());
}

TEST_F(FrameLayout, FittedCaptionsStayInsideTheirBoxes)
{
    showRows(8);
    frame.FrameResize();
    const QList<TLabel3D *> labels = {frame.LabelData, frame.LabelTitle, frame.LabelTop, frame.LabelTitPok,
                                      frame.LabelTitProd, frame.row(1).Name, frame.row(1).NameRus,
                                      frame.row(1).Pok, frame.row(1).Prod};
    for (TLabel3D *label : labels) {
        const QFontMetrics metrics(label->font());
        for (const QString &line : label->caption().split(QStringLiteral("\r\n")))
            EXPECT_LT(metrics.horizontalAdvance(line), label->width()) << label->objectName().toStdString();
    }
    // Two-line captions keep their fitted size; one-line ones end a point below.
    EXPECT_LT(QFontMetrics(frame.LabelTitPok->font()).height(), frame.LabelTitPok->height() / 2);
}

TEST_F(FrameLayout, NoRowsLeavesTheTableEmpty)
{
    frame.FrameResize();
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(frame.row(i).Name->isHidden());
}

TEST_F(FrameLayout, ExtremeProportionsStillLayOut)
{
    showRows(8);
    for (int value : {0, 50}) {
        programSettings().setProportions({value, value, value, value, value, value});
        frame.FrameResize();
        EXPECT_EQ(frame.LabelTop->height(), 480 * value / 100);
        EXPECT_EQ(frame.SplitterT->height(), 1);
        EXPECT_GE(frame.Panel2->height(), 0);
    }
    programSettings().setProportions(Proportions{});
}

// A board that went through other proportions, or whose captions changed after its
// layout, against a board built and laid out once in the state it ends in.
struct BoardHistory
{
    const char *name;
    std::vector<Proportions> before;
    Proportions last;
    // Captions set after the last layout; a fresh board has them before its layout.
    std::vector<std::pair<const char *, const char *>> lateCaptions;
};

class BoardHistoryTest : public ::testing::TestWithParam<BoardHistory>
{
protected:
    void TearDown() override { programSettings().setProportions(Proportions{}); }

    static void fill(TFrameCorvane &board)
    {
        board.InitBoard();
        const RateRow rows[] = {{QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"),
                                 QStringLiteral("ДОЛЛАР США")},
                                {QStringLiteral("EUR"), QStringLiteral("101,2"), QStringLiteral("103,75"),
                                 QStringLiteral("ЕВРО")},
                                {QStringLiteral("CNY"), QStringLiteral("12"), QStringLiteral("13,1"),
                                 QStringLiteral("КИТАЙСКИЙ ЮАНЬ")}};
        for (int slot = 1; slot <= 3; ++slot)
            board.setRowCaptions(slot, rows[slot - 1]);
        board.LabelTop->setCaption(QStringLiteral("Курсы"));
    }

    static void setCaptions(TFrameCorvane &board, const std::vector<std::pair<const char *, const char *>> &captions)
    {
        for (const auto &[label, caption] : captions)
            board.findChild<TLabel3D *>(QLatin1String(label))->setCaption(QString::fromUtf8(caption));
    }
};

TEST_P(BoardHistoryTest, DrawsEveryCaptionAsAFreshBoard)
{
    const BoardHistory &history = GetParam();
    TFrameCorvane travelled;
    fill(travelled);
    travelled.resize(600, 480);
    for (const Proportions &p : history.before) {
        programSettings().setProportions(p);
        travelled.FrameResize();
    }
    programSettings().setProportions(history.last);
    travelled.FrameResize();
    setCaptions(travelled, history.lateCaptions);

    TFrameCorvane fresh;
    fill(fresh);
    setCaptions(fresh, history.lateCaptions);
    fresh.resize(600, 480);
    fresh.FrameResize();

    const auto drawn = testsupport::drawnCaptions(&travelled);
    const auto expected = testsupport::drawnCaptions(&fresh);
    EXPECT_TRUE(drawn == expected) << testsupport::captionDifferences(drawn, expected);
    EXPECT_TRUE(testsupport::renderWidget(&travelled) == testsupport::renderWidget(&fresh));
}

const BoardHistory kBoardHistories[] = {
    {"NamesWideThenDefaults", {{20, 10, 10, 30, 50, 10}}, Proportions{}, {}},
    {"NamesWideThenNarrower", {{20, 10, 10, 30, 50, 10}}, {20, 10, 10, 30, 35, 10}, {}},
    {"NamesNarrowThenWide", {{20, 10, 10, 30, 5, 10}}, {20, 10, 10, 30, 50, 10}, {}},
    {"AllZeroThenDefaults", {{0, 0, 0, 0, 0, 0}}, Proportions{}, {}},
    {"TitleTyped", {}, Proportions{}, {{"LabelTop", "EXCHANGE OFFICE 24"}}},
    {"TitleShortAfterLong", {}, Proportions{}, {{"LabelTop", "EXCHANGE OFFICE 24"}, {"LabelTop", "КАССА"}}},
    {"HeadingAndClock",
     {{20, 10, 10, 50, 35, 10}},
     {20, 10, 25, 10, 35, 10},
     {{"LabelTitle", "КУРСЫ\r\nRATES"}, {"LabelData", "10.12\r\n09:41"}}},
    {"HeadersRenamed", {}, Proportions{}, {{"LabelTitPok", "МЫ ПОКУПАЕМ\r\nBUY"}, {"LabelTitProd", "SELL"}}},
};

INSTANTIATE_TEST_SUITE_P(Layouts, BoardHistoryTest, ::testing::ValuesIn(kBoardHistories),
                         [](const ::testing::TestParamInfo<BoardHistory> &info) { return info.param.name; });

// The text title is hidden while the picture shows, and a hidden label keeps its box when
// the board takes another width; shown again, it draws as on a board that never hid it.
TEST(TitleBand, TextBackFromThePictureDrawsAsAFreshBoard)
{
    programSettings().setProportions(Proportions{});
    const QString title = QStringLiteral("ОБМЕН ВАЛЮТ 24");
    TFrameCorvane travelled;
    travelled.InitBoard();
    travelled.LabelTop->setCaption(title);
    travelled.resize(600, 480);
    travelled.FrameResize();
    travelled.showTitlePicture(true);
    travelled.resize(1200, 960);
    travelled.FrameResize();
    travelled.showTitlePicture(false);

    TFrameCorvane fresh;
    fresh.InitBoard();
    fresh.LabelTop->setCaption(title);
    fresh.resize(1200, 960);
    fresh.FrameResize();

    const auto drawn = testsupport::drawnCaptions(&travelled);
    const auto expected = testsupport::drawnCaptions(&fresh);
    EXPECT_TRUE(drawn == expected) << testsupport::captionDifferences(drawn, expected);
}

TEST(CloneLabel, CopiesLookAndSizeButNotPlaceCaptionOrVisibility)
{
    TLabel3D source;
    source.setGeometry(5, 6, 70, 30);
    source.setCaption(QStringLiteral("source"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    font.setBold(true);
    source.setFont(font);
    source.setFontColor(clRed);
    source.setFontCharset(0);
    source.setFirstColor(clBlue);
    source.setLastColor(clLime);
    source.setFillGradient(true);
    source.setGradientOrientation(TLabel3D::goVertical);
    source.setHighLightColor(clYellow);
    source.setShadowColor(clMaroon);
    source.setBevel(TLabel3D::blShadow);
    source.setShadowSize(3);
    source.setBorderColor(clGreen);
    source.setBorderWidth(2);
    source.setBorderStyle(TLabel3D::lbInn);
    source.setAlignment(TLabel3D::taRightJustify);
    source.setColor(clTeal);
    source.setTransparent(true);
    source.setLayout(TLabel3D::tlBottom);
    source.setWordWrap(true);
    source.setShadowNapr(255);
    source.hide();

    QWidget parent;
    TLabel3D target(&parent);
    target.move(11, 12);
    target.setCaption(QStringLiteral("target"));
    TFrameCorvane::CloneLabel(&source, &target);

    EXPECT_EQ(target.size(), source.size());
    EXPECT_EQ(target.pos(), QPoint(11, 12));
    EXPECT_EQ(target.caption(), QStringLiteral("target"));
    EXPECT_FALSE(target.isHidden());
    EXPECT_EQ(target.shadowNapr(), 1);
    EXPECT_EQ(target.font(), source.font());
    for (const char *property : {"FontColor", "FontCharset", "FirstColor", "LastColor", "FillGradient",
                                 "GradientOrientation", "HighLightColor", "ShadowColor", "Bevel", "ShadowSize",
                                 "BorderColor", "BorderWidth", "BorderStyle", "Alignment", "Color", "Transparent",
                                 "Layout", "WordWrap"})
        EXPECT_EQ(target.property(property), source.property(property)) << property;

    // The copy's font is its own.
    font.setPixelSize(40);
    source.setFont(font);
    EXPECT_EQ(target.font().pixelSize(), 21);
}
