#include "app/BoardFontEditor.h"
#include "board/BoardFields.h"
#include "board/BoardFonts.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/BoardContent.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "tests/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

// The editor over a preview and a TV board, with no operator window around them.
class BoardFontEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        programSettings().reset();
        preview.InitBoard();
        tv = std::make_unique<TFormMon2>(&preview, content);
        editor.setTvBoard(tv->FrameCorvane1);
    }
    void TearDown() override
    {
        tv.reset();
        programSettings().reset();
    }

    TFrameCorvane preview;
    BoardContent content;
    std::unique_ptr<TFormMon2> tv;
    BoardFontEditor editor{&preview};
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(BoardFontEditorTest, AChosenColourReachesBothBoardsAndTheRecord)
{
    const int field = 1;
    dialogs.answerColor(clFuchsia);
    editor.chooseColor(field, dialogs, nullptr);
    for (TFrameCorvane *board : {&preview, tv->FrameCorvane1}) {
        for (const TLabel3D *label : BoardFields::labels(*board, field))
            EXPECT_EQ(label->fontColor(), clFuchsia) << label->objectName().toStdString();
    }
    EXPECT_EQ(programSettings().fontRecord(field).color, clFuchsia);
}

TEST_F(BoardFontEditorTest, ACancelledDialogChangesNothing)
{
    const int field = 2;
    editor.seedRecords();
    const BoardFont before = programSettings().fontRecord(field);
    dialogs.cancel();
    dialogs.cancel();
    editor.chooseColor(field, dialogs, nullptr);
    editor.chooseFont(field, dialogs, nullptr);
    EXPECT_EQ(programSettings().fontRecord(field), before);
}

// The preview is a scaled copy: the dialog opens with the size the customers see, and the
// chosen face reaches every label of the field on both boards.
TEST_F(BoardFontEditorTest, TheFontDialogShowsTheTvSizeAndTheChoiceReachesBothBoards)
{
    const int field = 1;
    tv->FrameCorvane1->resize(1080, 1920);
    tv->FrameCorvane1->FrameResize();
    const int tvPoints = boardFontOf(*BoardFields::dialogSource(*tv->FrameCorvane1, field)).font.pointSize();
    ASSERT_NE(tvPoints, boardFontOf(*BoardFields::dialogSource(preview, field)).font.pointSize());
    BoardFont chosen = boardFontOf(*BoardFields::dialogSource(preview, field));
    chosen.font.setFamily(QStringLiteral("DejaVu Serif"));
    chosen.font.setItalic(true);
    dialogs.answerFont(chosen);
    editor.chooseFont(field, dialogs, nullptr);

    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings()[0].font.font.pointSize(), tvPoints);
    for (TFrameCorvane *board : {&preview, tv->FrameCorvane1}) {
        for (const TLabel3D *label : BoardFields::labels(*board, field)) {
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_EQ(label->font().family(), QStringLiteral("DejaVu Serif"));
            EXPECT_TRUE(label->font().italic());
        }
    }
    EXPECT_TRUE(programSettings().fontRecord(field).font.italic());
}
