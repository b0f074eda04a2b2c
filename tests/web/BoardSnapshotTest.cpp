// The web board draws one frame for every browser size it is asked for; a picture for one
// size may not depend on the sizes drawn before it.

#include "tests/TestSupport.h"

#include "board/FrameCorvane.h"
#include "board/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "web/BoardSnapshot.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct SizeHistory
{
    const char *name;
    QSize before;
    QSize asked;
};

class BoardSnapshotSizes : public ::testing::TestWithParam<SizeHistory>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        followed.InitBoard();
        followed.setRowCaptions(
            1, {QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США")});
        followed.setRowCaptions(
            2, {QStringLiteral("EUR"), QStringLiteral("101,2"), QStringLiteral("103,75"), QStringLiteral("ЕВРО")});
        followed.ShownRowCount = 2;
        followed.LabelTop->setCaption(QStringLiteral("ОБМЕН ВАЛЮТ 24"));
        followed.resize(600, 480);
        followed.FrameResize();
    }

    testsupport::SettingsSandbox sandbox;
    TFrameCorvane followed;
};

TEST_P(BoardSnapshotSizes, APictureIsTheOneAFreshSnapshotDraws)
{
    const SizeHistory &history = GetParam();
    BoardSnapshot travelled(&followed);
    travelled.picture(history.before);
    const QByteArray drawn = travelled.picture(history.asked).png;

    BoardSnapshot fresh(&followed);
    const QImage expected = QImage::fromData(fresh.picture(history.asked).png);
    ASSERT_FALSE(expected.isNull());
    EXPECT_TRUE(testsupport::drawnAlike(QImage::fromData(drawn), expected));
}

const SizeHistory kSizeHistories[] = {
    {"PhoneAfterTv", QSize(1080, 1920), QSize(480, 800)},
    {"TvAfterPhone", QSize(480, 800), QSize(1080, 1920)},
    {"PortraitAfterLandscape", QSize(1920, 1080), QSize(600, 1000)},
    {"NarrowAfterSquare", QSize(1000, 1000), QSize(360, 1000)},
};

INSTANTIATE_TEST_SUITE_P(Browsers, BoardSnapshotSizes, ::testing::ValuesIn(kSizeHistories),
                         [](const ::testing::TestParamInfo<SizeHistory> &info) { return info.param.name; });

} // namespace
