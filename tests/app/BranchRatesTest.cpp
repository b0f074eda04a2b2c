#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "app/RatesTab.h"
#include "chain/ChainController.h"
#include "content/BoardContent.h"
#include "platform/ProgramSettings.h"
#include "tests/SettingsSandbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A branch takes its rates from the head office: in the operator window its rate editors
// cannot be typed in and say why; back on its own, the office types its rates again. The
// broker named does not exist, so nothing arrives.
class BranchRates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        programSettings().reset();
        programSettings().setChainUrl(QStringLiteral("mqtt://127.0.0.1:1"));
        programSettings().setChainId(QStringLiteral("chain"));
        programSettings().setChainOffice(QStringLiteral("branch-1"));
    }
    void TearDown() override
    {
        form.reset();
        programSettings().reset();
    }

    QLabel *note() const { return form->lblRatesNote; }

    testsupport::SettingsSandbox sandbox;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(BranchRates, ABranchsRateEditorsAreReadOnlyAndSayWhy)
{
    programSettings().setChainRole(ProgramSettings::kChainBranch);
    form = std::make_unique<TForm1>();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const RateRow before = form->content().rateSlot(1);

    QLineEdit *buy = form->EditorRows[1]->Edit1;
    buy->setFocus();
    QTest::keyClick(buy, Qt::Key_End);
    QTest::keyClick(buy, '7');
    EXPECT_EQ(form->content().rateSlot(1), before);
    EXPECT_EQ(buy->text(), before.buy);
    ASSERT_NE(note(), nullptr);
    EXPECT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), QStringLiteral("Курсы задаёт центр"));

    programSettings().setChainRole(ProgramSettings::kChainAlone);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->TabKurs->isReadOnly(); }, 5000));
    EXPECT_FALSE(note()->isVisible());
    QTest::keyClick(buy, Qt::Key_End);
    QTest::keyClick(buy, '7');
    EXPECT_EQ(form->content().rateSlot(1).buy, before.buy + QLatin1Char('7'));
}
