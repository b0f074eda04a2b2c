// The nine font buttons over the preview: fonts and colours of the board's fields on both
// boards, kept in the font records across a restart.

#include "tests/ScriptedDialogs.h"
#include "tests/TestSupport.h"

#include "app/FontButtons.h"
#include "app/Form1.h"
#include "board/BoardFields.h"
#include "board/BoardFonts.h"
#include "board/FontButtonPlaces.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::readValues;

constexpr TColor kChosen = 0x00336699;

class FontButtons : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        path = SettingsStore::filePathFor(ProgramSettings::settingsRoot() + TForm1::programTitle());
        start();
    }
    void TearDown() override
    {
        EXPECT_EQ(dialogs.unusedAnswers(), 0);
        stop();
    }

    void start() { windows.start(); }
    void stop() { windows.stop(); }
    void restart() { windows.restart(); }

    QList<TLabel3D *> fieldOnBothBoards(int field) const
    {
        return BoardFields::labels(*form->FrameCorvane1, field) + BoardFields::labels(*tv->FrameCorvane1, field);
    }

    QToolButton *button(int field) const { return form->FontButtons->bFont[size_t(field - 1)]; }

    testsupport::SettingsSandbox sandbox;
    ScriptedDialogs dialogs;
    QString path;
    testsupport::ProgramWindows windows{&dialogs};
    std::unique_ptr<TForm1> &form = windows.form;
    std::unique_ptr<TFormMon2> &tv = windows.tv;
};

TEST_F(FontButtons, NineButtonsOverTheirFieldsOutOfTheTabOrder)
{
    form->show();
    const std::array<QPoint, 9> places = fontButtonPlaces(*form->FrameCorvane1);
    for (int field = 1; field <= 9; ++field) {
        SCOPED_TRACE(field);
        QToolButton *b = button(field);
        EXPECT_EQ(b->objectName(), QStringLiteral("bFont%1").arg(field));
        EXPECT_EQ(b->text(), QStringLiteral("A"));
        EXPECT_EQ(b->size(), QSize(28, 20));
        EXPECT_EQ(b->pos(), places[size_t(field - 1)]);
        EXPECT_EQ(b->toolTip(), QStringLiteral("Шрифт. пр.кл. Цвет шрифта"));
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(b->isVisible());
    }
    // They follow the layout when the proportions change.
    form->seProc[0]->setValue(35);
    EXPECT_EQ(button(3)->pos(), fontButtonPlaces(*form->FrameCorvane1)[2]);
}

// A colour chosen for the buy rates shows on every buy figure of both boards at once, no
// size changes, and it comes back after a restart.
TEST_F(FontButtons, RightPressChoosesTheColourOfAFieldOnBothBoards)
{
    const QList<TLabel3D *> buy = fieldOnBothBoards(6);
    ASSERT_EQ(buy.size(), 16);
    QList<int> sizes;
    for (TLabel3D *label : buy)
        sizes.append(label->font().pixelSize());

    const TColor before = BoardFields::dialogSource(*form->FrameCorvane1, 6)->fontColor();
    dialogs.answerColor(kChosen);
    QTest::mousePress(button(6), Qt::RightButton);
    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings().first().color, before);
    for (int i = 0; i < buy.size(); ++i) {
        EXPECT_EQ(buy[i]->fontColor(), kChosen) << i;
        EXPECT_EQ(buy[i]->font().pixelSize(), sizes[i]) << "no fitting for a colour";
    }

    restart();
    for (TLabel3D *label : fieldOnBothBoards(6))
        EXPECT_EQ(label->fontColor(), kChosen);
    EXPECT_EQ(readValues(path).value(QStringLiteral("F6c")), QString::number(kChosen));
}

TEST_F(FontButtons, OnlyTheRightButtonOpensTheColourDialog)
{
    QTest::mousePress(button(2), Qt::MiddleButton);
    QTest::mouseRelease(button(2), Qt::MiddleButton);
    QTest::mousePress(button(2), Qt::LeftButton);
    EXPECT_TRUE(dialogs.openings().isEmpty());
    // The left button's click opens the font dialog on release.
    dialogs.cancel();
    QTest::mouseRelease(button(2), Qt::LeftButton);
    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings().first().kind, ScriptedDialogs::Kind::Font);
}

// The font dialog opens with the TV board's size; the chosen face, style and colour go to
// every label of the field on both boards, each fitted to its own box.
TEST_F(FontButtons, ClickChoosesTheFontOfAFieldOnBothBoards)
{
    const BoardFont tvFont = boardFontOf(*BoardFields::dialogSource(*tv->FrameCorvane1, 4));
    BoardFont chosen = boardFontOf(*BoardFields::dialogSource(*form->FrameCorvane1, 4));
    chosen.font.setFamily(QStringLiteral("DejaVu Serif"));
    chosen.font.setItalic(true);
    chosen.font.setPointSize(200);
    chosen.color = kChosen;
    dialogs.answerFont(chosen);
    form->bFontClick(4);

    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings().first().font.font.pointSize(), tvFont.font.pointSize());
    for (TLabel3D *label : fieldOnBothBoards(4)) {
        EXPECT_EQ(label->font().family(), QStringLiteral("DejaVu Serif"));
        EXPECT_TRUE(label->font().italic());
        EXPECT_EQ(label->fontColor(), kChosen);
        EXPECT_LT(boardFontOf(*label).font.pointSize(), 200) << "fitted to the label, not the dialog's size";
    }
    restart();
    EXPECT_EQ(form->FrameCorvane1->LabelTitProd->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(tv->FrameCorvane1->LabelTitPok->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(readValues(path).value(QStringLiteral("F4n")), QStringLiteral("DejaVu Serif"));
}

TEST_F(FontButtons, CancelChangesNothing)
{
    const QList<TLabel3D *> names = fieldOnBothBoards(9);
    QList<BoardFont> before;
    for (TLabel3D *label : names)
        before.append(boardFontOf(*label));
    dialogs.cancel();
    form->bFontClick(9);
    dialogs.cancel();
    QTest::mousePress(button(9), Qt::RightButton);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(boardFontOf(*names[i]), before[i]) << i;
}

// Every record is written, strike-out never; a struck-out font comes back without it.
TEST_F(FontButtons, AllNineRecordsSurviveARestart)
{
    BoardFont chosen = boardFontOf(*BoardFields::dialogSource(*form->FrameCorvane1, 8));
    chosen.font.setStrikeOut(true);
    chosen.font.setBold(true);
    dialogs.answerFont(chosen);
    form->bFontClick(8);
    restart();
    const QMap<QString, QString> values = readValues(path);
    for (int field = 1; field <= 9; ++field) {
        for (const char letter : {'n', 's', 'c', 'b', 'i', 'u', 't'})
            EXPECT_TRUE(values.contains(QStringLiteral("F%1%2").arg(field).arg(QLatin1Char(letter))))
                << field << letter;
    }
    EXPECT_TRUE(form->FrameCorvane1->LabelBot->font().bold());
    EXPECT_FALSE(form->FrameCorvane1->LabelBot->font().strikeOut());
}

} // namespace
