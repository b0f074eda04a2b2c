#include "tests/ScriptedDialogs.h"

#include <QWidget>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

BoardFont boardFont(const QString &face, int points, TColor color, int charset)
{
    BoardFont font;
    font.font.setFamily(face);
    font.font.setPointSize(points);
    font.color = color;
    font.charset = charset;
    return font;
}

} // namespace

TEST(ScriptedDialogs, AnswersInOrderAndKeepsWhatEachDialogOpenedWith)
{
    ScriptedDialogs dialogs;
    QWidget window;
    const BoardFont chosen = boardFont(QStringLiteral("Chosen"), 30, clRed, 204);
    dialogs.answerFont(chosen);
    dialogs.cancel();
    dialogs.answerColor(clBtnFace);
    dialogs.cancel();

    const BoardFont first = boardFont(QStringLiteral("First"), 12, clLime, 0);
    const BoardFont second = boardFont(QStringLiteral("Second"), 14, clBlue, 1);
    EXPECT_EQ(dialogs.chooseFont(first, &window), chosen);
    EXPECT_EQ(dialogs.chooseColor(clYellow, nullptr), std::nullopt);
    EXPECT_EQ(dialogs.chooseColor(clAqua, &window), std::optional<TColor>(clBtnFace));
    EXPECT_EQ(dialogs.chooseFont(second, nullptr), std::nullopt);
    EXPECT_EQ(dialogs.unusedAnswers(), 0);

    using Kind = ScriptedDialogs::Kind;
    const QList<ScriptedDialogs::Opening> &opened = dialogs.openings();
    ASSERT_EQ(opened.size(), 4);
    EXPECT_EQ(opened[0].kind, Kind::Font);
    EXPECT_EQ(opened[0].font, first);
    EXPECT_EQ(opened[0].parent, &window);
    EXPECT_EQ(opened[1].kind, Kind::Color);
    EXPECT_EQ(opened[1].color, clYellow);
    EXPECT_EQ(opened[1].parent, nullptr);
    EXPECT_EQ(opened[2].kind, Kind::Color);
    EXPECT_EQ(opened[2].color, clAqua);
    EXPECT_EQ(opened[2].parent, &window);
    EXPECT_EQ(opened[3].kind, Kind::Font);
    EXPECT_EQ(opened[3].font, second);
}

TEST(ScriptedDialogs, ADialogTheScriptDoesNotExpectFailsTheTest)
{
    ScriptedDialogs dialogs;
    std::optional<TColor> colour;
    std::optional<BoardFont> font;
    dialogs.answerFont(boardFont(QStringLiteral("Any"), 10, clBlack, 0));
    EXPECT_NONFATAL_FAILURE(colour = dialogs.chooseColor(clRed, nullptr), "where the script expected the font dialog");
    EXPECT_EQ(colour, std::nullopt);
    EXPECT_NONFATAL_FAILURE(font = dialogs.chooseFont(BoardFont{}, nullptr), "no answer left");
    EXPECT_EQ(font, std::nullopt);
    EXPECT_EQ(dialogs.openings().size(), 2);
}
