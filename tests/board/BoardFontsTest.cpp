#include "board/BoardFonts.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"
#include "platform/FontUnits.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

QFont pixelFont(const QString &face, int pixels)
{
    QFont font(face);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TEST(BoardFonts, LabelFontReadsWithItsSizeInPoints)
{
    TLabel3D label;
    QFont font = pixelFont(QStringLiteral("Arial Narrow"), 32);
    font.setBold(true);
    font.setUnderline(true);
    label.setFont(font);
    label.setFontColor(clBtnShadow);
    label.setFontCharset(204);

    const BoardFont board = boardFontOf(label);
    EXPECT_EQ(board.font.family(), QStringLiteral("Arial Narrow"));
    EXPECT_EQ(board.font.pointSize(), 24);
    EXPECT_EQ(board.font.pixelSize(), -1);
    EXPECT_TRUE(board.font.bold());
    EXPECT_FALSE(board.font.italic());
    EXPECT_TRUE(board.font.underline());
    EXPECT_EQ(board.color, clBtnShadow);
    EXPECT_EQ(board.charset, 204);
}

TEST(BoardFonts, AppliedFontIsDrawnAtItsPointsInPixelsWithoutFitting)
{
    TLabel3D label;
    label.resize(40, 12);
    label.setCaption(QStringLiteral("A caption far wider than its box"));
    label.setFont(pixelFont(QStringLiteral("Arial"), 16));
    BoardFont board;
    board.font = QFont(QStringLiteral("Times New Roman"), 40);
    board.font.setItalic(true);
    board.font.setStrikeOut(true);
    board.color = cl3DDkShadow;
    board.charset = 0;

    applyBoardFont(label, board);
    EXPECT_EQ(label.font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(label.font().pixelSize(), pointsToPixels(40));
    EXPECT_EQ(label.fontSize(), 40);
    EXPECT_TRUE(label.font().italic());
    EXPECT_TRUE(label.font().strikeOut());
    EXPECT_EQ(label.fontColor(), cl3DDkShadow);
    EXPECT_EQ(label.fontCharset(), 0);
    // Fitting would have shrunk it to the box.
    TFrameCorvane::FitFontToLabel(&label);
    EXPECT_LT(label.fontSize(), 40);
}

// Every pixel size a label may have, including those that no point size gives (18 px reads
// as 14 pt, which is drawn at 19 px).
TEST(BoardFonts, LabelToBoardFontAndBackLeavesTheLabelAsItWas)
{
    for (int pixels = 1; pixels <= 120; ++pixels) {
        SCOPED_TRACE(pixels);
        TLabel3D label;
        QFont font = pixelFont(QStringLiteral("Arial"), pixels);
        font.setItalic(pixels % 2 == 0);
        label.setFont(font);
        label.setFontColor(clNavy);
        label.setFontCharset(186);
        const QFont before = label.font();

        applyBoardFont(label, boardFontOf(label));
        EXPECT_EQ(label.font(), before);
        EXPECT_EQ(label.font().pixelSize(), pixels);
        EXPECT_EQ(label.fontColor(), clNavy);
        EXPECT_EQ(label.fontCharset(), 186);
    }
}

TEST(BoardFonts, BoardFontThroughALabelComesBackUnchanged)
{
    TLabel3D label;
    label.setFont(pixelFont(QStringLiteral("Arial"), 18));
    for (int points = 1; points <= 120; ++points) {
        SCOPED_TRACE(points);
        BoardFont board;
        board.font = QFont(QStringLiteral("Courier New"), points);
        board.font.setBold(points % 3 == 0);
        board.color = points;
        board.charset = 204;
        applyBoardFont(label, board);
        EXPECT_EQ(label.fontSize(), points);
        EXPECT_EQ(boardFontOf(label), board);
    }
}

TEST(BoardFonts, EveryBoardLabelSurvivesTheRoundTrip)
{
    programSettings().setProportions(Proportions{});
    TFrameCorvane frame;
    frame.InitBoard();
    frame.resize(600, 480);
    frame.FrameResize();
    QList<TLabel3D *> labels = frame.findChildren<TLabel3D *>();
    ASSERT_GE(labels.size(), 11 + 4 * 8);
    for (TLabel3D *label : labels) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFont before = label->font();
        const TColor color = label->fontColor();
        const int charset = label->fontCharset();
        applyBoardFont(*label, boardFontOf(*label));
        EXPECT_EQ(label->font(), before);
        EXPECT_EQ(label->fontColor(), color);
        EXPECT_EQ(label->fontCharset(), charset);
    }
}

TEST(BoardFonts, LabelFontGoesThroughTheStoreIntoAnotherLabel)
{
    testsupport::SettingsSandbox sandbox;
    ASSERT_TRUE(sandbox.isValid());
    const QString key = ProgramSettings::settingsRoot() + QStringLiteral("board-fonts");
    TLabel3D source;
    QFont font = pixelFont(QStringLiteral("Arial Narrow"), 18);
    font.setBold(true);
    font.setItalic(true);
    font.setStrikeOut(true);
    source.setFont(font);
    source.setFontColor(clBtnFace);
    source.setFontCharset(204);
    {
        const auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        WriteFontRecord(*store, QStringLiteral("F4"), boardFontOf(source));
        ASSERT_TRUE(store->commit());
    }
    TLabel3D target;
    target.setFont(pixelFont(QStringLiteral("Arial"), 12));
    BoardFont read = boardFontOf(target);
    const auto store = SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
    ASSERT_NE(store, nullptr);
    ReadFontRecord(*store, QStringLiteral("F4"), read);
    applyBoardFont(target, read);

    EXPECT_EQ(target.font().family(), QStringLiteral("Arial Narrow"));
    // 18 px is 14 pt, which is drawn at 19 px: the store keeps points.
    EXPECT_EQ(target.fontSize(), 14);
    EXPECT_EQ(target.font().pixelSize(), 19);
    EXPECT_TRUE(target.font().bold());
    EXPECT_TRUE(target.font().italic());
    EXPECT_FALSE(target.font().underline());
    EXPECT_FALSE(target.font().strikeOut());
    EXPECT_EQ(target.fontColor(), clBtnFace);
    EXPECT_EQ(target.fontCharset(), 204);
}
