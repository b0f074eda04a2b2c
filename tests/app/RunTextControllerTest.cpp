#include "app/RunTextController.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/BoardContent.h"
#include "content/Playlist.h"
#include "controls/Label3D.h"
#include "controls/RunLabel.h"
#include "platform/ProgramSettings.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// A preview and a TV board as the program makes them, without the operator window.
class RunTextControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        programSettings().reset();
        preview.InitBoard();
        tv = std::make_unique<TFormMon2>(&preview, content);
        playlist.loadStored({QStringLiteral("ПЕРВАЯ"), QStringLiteral("ВТОРАЯ")});
        playlist.select(0);
        controller.attach(tv.get());
    }
    void TearDown() override
    {
        tv.reset();
        programSettings().reset();
    }

    TFrameCorvane preview;
    BoardContent content;
    std::unique_ptr<TFormMon2> tv;
    Playlist playlist;
    int speed = 7;
    RunTextController controller{playlist, &preview, [this] { return speed; }};
};

} // namespace

TEST_F(RunTextControllerTest, PlayRunsTheEntryOnTheTvAndNamesItOnThePreviewAtItsSpeed)
{
    TRunLabel *ticker = tv->FrameCorvane1->RunLabel;
    controller.play();
    ASSERT_TRUE(ticker->isRunning());
    EXPECT_EQ(ticker->rText(), QStringLiteral("ПЕРВАЯ"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.LabelBot->caption() == QStringLiteral("ПЕРВАЯ"); }, 5000));
    EXPECT_EQ(ticker->oneStep(), 7);

    speed = 2;
    controller.speedChanged();
    EXPECT_EQ(ticker->oneStep(), 2);

    controller.stop();
    EXPECT_FALSE(ticker->isRunning());
    EXPECT_TRUE(ticker->isHidden());
    EXPECT_EQ(preview.LabelBot->caption(), RunTextController::restingCaption());
}

TEST_F(RunTextControllerTest, WithoutATvBoardPlayStartsOnlyTheList)
{
    RunTextController alone(playlist, &preview, [] { return 3; });
    alone.play();
    EXPECT_FALSE(tv->FrameCorvane1->RunLabel->isRunning());
    alone.stop();
    EXPECT_EQ(preview.LabelBot->caption(), RunTextController::restingCaption());
}
