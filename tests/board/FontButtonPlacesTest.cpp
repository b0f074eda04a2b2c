#include "board/FontButtonPlaces.h"
#include "board/FrameCorvane.h"
#include "board/TargetMonitor.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The preview at a height, with every currency row shown so that the figure columns have
// labels to lie over.
class PreviewBoard
{
public:
    PreviewBoard(const Proportions &proportions, int height)
    {
        programSettings().setProportions(proportions);
        frame.InitBoard();
        const RateRow row{QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"),
                          QStringLiteral("ДОЛЛАР США")};
        for (int i = 1; i <= 8; ++i)
            frame.setRowCaptions(i, row);
        frame.resize(600, height);
        frame.FrameResize();
    }
    ~PreviewBoard() { programSettings().setProportions(Proportions{}); }

    QRect rectOf(const QWidget *widget) const { return QRect(widget->mapTo(&frame, QPoint(0, 0)), widget->size()); }

    TFrameCorvane frame;
};

QRect buttonAt(QPoint place)
{
    return QRect(place, QSize(kFontButtonWidth, kFontButtonHeight));
}

struct DesignPlaces
{
    int boardWidth;
    std::array<QPoint, 9> places; // bFont1..bFont9
};

// The design board, 480 high: only its width changes with the shape of the target monitor.
const DesignPlaces kDesignPlaces[] = {
    {270, {{{243, 0}, {55, 97}, {243, 97}, {243, 145}, {66, 145}, {156, 193}, {243, 193}, {243, 432}, {66, 165}}}},
    {360, {{{333, 0}, {82, 97}, {333, 97}, {333, 145}, {98, 145}, {217, 193}, {333, 193}, {333, 432}, {98, 165}}}},
    {480, {{{453, 0}, {118, 97}, {453, 97}, {453, 145}, {140, 145}, {298, 193}, {453, 193}, {453, 432}, {140, 165}}}},
};

} // namespace

TEST(FontButtonPlaces, DesignBoardPlaces)
{
    const PreviewBoard preview(Proportions{}, 480);
    const auto row = std::find_if(std::begin(kDesignPlaces), std::end(kDesignPlaces),
                                  [&](const DesignPlaces &e) { return e.boardWidth == preview.frame.width(); });
    ASSERT_NE(row, std::end(kDesignPlaces)) << "board width " << preview.frame.width();
    const std::array<QPoint, 9> places = fontButtonPlaces(preview.frame);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(places[i], row->places[i]) << "bFont" << i + 1;
}

namespace {

struct BoardCase
{
    const char *name;
    Proportions proportions;
    int height; // 0: the target monitor's height
};

const BoardCase kBoards[] = {
    {"Design", Proportions{}, 480},
    {"DesignOnTheMonitor", Proportions{}, 0},
    {"Stored", {25, 12, 11, 33, 40, 9}, 480},
    {"NarrowHeaders", {10, 5, 15, 45, 30, 5}, 480},
    {"WideHeaders", {30, 15, 8, 25, 45, 12}, 0},
};

void PrintTo(const BoardCase &c, std::ostream *out)
{
    *out << c.name;
}

class FontButtonsOnBoard : public ::testing::TestWithParam<BoardCase>
{
protected:
    static int heightOf(const BoardCase &board)
    {
        return board.height > 0 ? board.height : targetMonitorGeometry().height();
    }

    PreviewBoard preview{GetParam().proportions, heightOf(GetParam())};
    TFrameCorvane &frame = preview.frame;
    const std::array<QPoint, 9> places = fontButtonPlaces(frame);
};

} // namespace

TEST_P(FontButtonsOnBoard, PlacesFollowTheLabels)
{
    const int right = frame.width() - 27;
    const int headerTop = preview.rectOf(frame.Panel2).top();
    const int headersTop = headerTop + frame.LabelTitle->height();
    const int figuresTop = headersTop + frame.LabelTitPok->height();
    const int nameLeft = frame.PanelName->width() - 28;
    const QPoint expected[9] = {
        {right, 0},
        {frame.LabelData->width() - 26, headerTop},
        {right, headerTop},
        {right, headersTop},
        {nameLeft, headersTop},
        {right - frame.LabelTitProd->width(), figuresTop},
        {right, figuresTop},
        {right, preview.rectOf(frame.LabelBot).top()},
        {nameLeft, headersTop + 20},
    };
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(places[i], expected[i]) << "bFont" << i + 1;
    // The header band starts right below the title line.
    EXPECT_EQ(headerTop, preview.rectOf(frame.SplitterT).bottom() + 1);
}

TEST_P(FontButtonsOnBoard, EveryButtonLiesOverItsField)
{
    // The name fonts' buttons sit over the name column (its empty top cell when the buy and
    // sell headers are high enough); the figure buttons over the first row's figures.
    const QWidget *fields[9] = {frame.LabelTop,     frame.LabelData,    frame.LabelTitle,
                                frame.LabelTitProd, frame.PanelName,    frame.row(1).Pok,
                                frame.row(1).Prod,  frame.LabelBot,     frame.PanelName};
    const QRect board(QPoint(0, 0), frame.size());
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i + 1);
        ASSERT_TRUE(fields[i]->isVisibleTo(&frame));
        EXPECT_TRUE(buttonAt(places[i]).intersects(preview.rectOf(fields[i])));
        // At most the one-pixel overhang on the right leaves the board.
        EXPECT_TRUE(buttonAt(places[i]).adjusted(0, 0, -1, 0).intersects(board));
        EXPECT_LE(buttonAt(places[i]).right(), board.right() + 1);
    }
    // The name buttons stack in the name column without overlapping.
    EXPECT_FALSE(buttonAt(places[4]).intersects(buttonAt(places[8])));
    EXPECT_EQ(buttonAt(places[4]).bottom() + 1, buttonAt(places[8]).top());
}

INSTANTIATE_TEST_SUITE_P(Boards, FontButtonsOnBoard, ::testing::ValuesIn(kBoards),
                         [](const auto &info) { return std::string(info.param.name); });
