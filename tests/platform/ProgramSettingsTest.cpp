#include "platform/ProgramSettings.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct ChangeCase
{
    const char *name;
    std::function<void(ProgramSettings &)> change;
    const char *ownSignal; // the signal of the value itself, beside changed()
};

class ProgramSettingsChange : public ::testing::TestWithParam<ChangeCase>
{
};

// Each stored value tells its own observers and the store's once per real change, and not at
// all when it is set to what it already holds.
TEST_P(ProgramSettingsChange, TellsOncePerRealChange)
{
    ProgramSettings settings;
    QSignalSpy changed(&settings, &ProgramSettings::changed);
    const QByteArray signature = QByteArray("2") + GetParam().ownSignal;
    QSignalSpy own(&settings, signature.constData());
    ASSERT_TRUE(own.isValid()) << GetParam().ownSignal;

    GetParam().change(settings);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(own.count(), 1);
    GetParam().change(settings);
    EXPECT_EQ(changed.count(), 1) << "the same value again is no change";
    EXPECT_EQ(own.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProgramSettingsChange,
    ::testing::Values(
        ChangeCase{"FileName", [](ProgramSettings &s) { s.setFileName(QStringLiteral("Logo.bmp")); }, "fileNameChanged()"},
        ChangeCase{"TitleMode", [](ProgramSettings &s) { s.setTitleMode(1); }, "titleModeChanged()"},
        ChangeCase{"TV", [](ProgramSettings &s) { s.setTV(true); }, "tvChanged(bool)"},
        ChangeCase{"OneProportion", [](ProgramSettings &s) { s.setProportion(4, 42); }, "proportionsChanged()"},
        ChangeCase{"AllProportions", [](ProgramSettings &s) { s.setProportions({1, 2, 3, 4, 5, 6}); },
                   "proportionsChanged()"},
        ChangeCase{"RateTable", [](ProgramSettings &s) { s.setRateTableText(QStringLiteral("USD\t1\t2\tX\r\n")); },
                   "rateTableTextChanged()"},
        ChangeCase{"WindowBounds", [](ProgramSettings &s) { s.setWindowBounds({10, 20, 600, 520}); },
                   "windowBoundsChanged()"},
        ChangeCase{"WebBoard", [](ProgramSettings &s) { s.setWebBoardOn(true); }, "webBoardOnChanged(bool)"},
        ChangeCase{"WebPort", [](ProgramSettings &s) { s.setWebBoardPort(8443); }, "webBoardPortChanged(int)"},
        ChangeCase{"WebAllow", [](ProgramSettings &s) { s.setWebBoardAllowed(QStringLiteral("10.0.0.0/8")); },
                   "webBoardAllowedChanged(QString)"},
        ChangeCase{"FontRecord",
                   [](ProgramSettings &s) { s.setFontRecord(3, BoardFont{QFont(QStringLiteral("Arial")), clRed, 204}); },
                   "fontRecordsChanged()"},
        ChangeCase{"RunningTexts", [](ProgramSettings &s) { s.setRunningTexts({QStringLiteral("Курс дня")}); },
                   "runningTextsChanged()"},
        ChangeCase{"RunSpeed", [](ProgramSettings &s) { s.setRunSpeed(7); }, "runSpeedChanged()"},
        ChangeCase{"TitleHistory", [](ProgramSettings &s) { s.setTitleHistory({QStringLiteral("Logo.bmp")}); },
                   "titleHistoryChanged()"},
        ChangeCase{"ChainRole", [](ProgramSettings &s) { s.setChainRole(2); }, "chainRoleChanged(int)"},
        ChangeCase{"ChainUrl", [](ProgramSettings &s) { s.setChainUrl(QStringLiteral("mqtts://broker")); },
                   "chainConnectionChanged()"},
        ChangeCase{"ChainPassword", [](ProgramSettings &s) { s.setChainPassword(QStringLiteral("x")); },
                   "chainConnectionChanged()"},
        ChangeCase{"ChainVersion", [](ProgramSettings &s) { s.setChainVersion(7); }, "chainVersionChanged(qint64)"}),
    [](const auto &info) { return std::string(info.param.name); });

// A number outside 1..65535 is no TCP port: the web board keeps the port it had.
TEST(ProgramSettings, WebPortTakesOnlyTcpPorts)
{
    ProgramSettings settings;
    EXPECT_EQ(settings.webBoardPort(), 8080);
    QSignalSpy ports(&settings, &ProgramSettings::webBoardPortChanged);
    QSignalSpy changed(&settings, &ProgramSettings::changed);
    const struct
    {
        int given;
        int kept;
    } cases[] = {{0, 8080}, {-8080, 8080}, {65536, 8080}, {1, 1}, {std::numeric_limits<int>::min(), 1},
                 {65535, 65535}, {std::numeric_limits<int>::max(), 65535}, {8081, 8081}};
    QList<int> told;
    for (const auto &c : cases) {
        const int before = settings.webBoardPort();
        settings.setWebBoardPort(c.given);
        EXPECT_EQ(settings.webBoardPort(), c.kept) << c.given;
        if (c.kept != before)
            told << c.kept;
    }
    QList<int> signalled;
    for (const QList<QVariant> &arguments : ports)
        signalled << arguments.first().toInt();
    EXPECT_EQ(signalled, told);
    EXPECT_EQ(changed.count(), told.size());
}

TEST(ProgramSettings, WebBoardSwitchTellsItsValue)
{
    ProgramSettings settings;
    EXPECT_FALSE(settings.webBoardOn());
    QSignalSpy switched(&settings, &ProgramSettings::webBoardOnChanged);
    settings.setWebBoardOn(true);
    settings.setWebBoardOn(false);
    ASSERT_EQ(switched.count(), 2);
    EXPECT_TRUE(switched.at(0).first().toBool());
    EXPECT_FALSE(switched.at(1).first().toBool());
}

TEST(ProgramSettings, ProportionTagsFollowTheFieldsOfTheTab)
{
    ProgramSettings settings;
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        settings.setProportion(tag, 40 + tag);
    EXPECT_EQ(settings.proportions(), (Proportions{40, 41, 42, 43, 44, 45}));
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        EXPECT_EQ(settings.proportions().at(tag), 40 + tag);

    QSignalSpy changed(&settings, &ProgramSettings::changed);
    settings.setProportion(6, 1);
    settings.setProportion(-1, 1);
    EXPECT_EQ(changed.count(), 0) << "no field has such a tag";
    EXPECT_EQ(settings.proportions(), (Proportions{40, 41, 42, 43, 44, 45}));
}

// An edited table replaces one kept from the store, even when the texts are the same (both
// empty): the store must hear of it.
TEST(ProgramSettings, EditedTableEndsKeepingTheStoredOne)
{
    ProgramSettings settings;
    settings.keepStoredTable();
    QSignalSpy changed(&settings, &ProgramSettings::changed);
    settings.setRateTableText(QString());
    EXPECT_FALSE(settings.keepsStoredTable());
    EXPECT_EQ(changed.count(), 1);
}

TEST(ProgramSettings, ResetGoesBackToAFirstRunSilently)
{
    ProgramSettings settings;
    settings.setFileName(QStringLiteral("x"));
    settings.setTV(true);
    settings.setProportion(0, 1);
    settings.setRateTableText(QStringLiteral("x"));
    settings.setWebBoardOn(true);
    settings.setWebBoardPort(9000);
    settings.setSettingsLoaded();
    QSignalSpy changed(&settings, &ProgramSettings::changed);
    settings.reset();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(settings.fileName(), QStringLiteral("Title.jpg"));
    EXPECT_FALSE(settings.tv());
    EXPECT_EQ(settings.proportions(), Proportions{});
    EXPECT_TRUE(settings.rateTableText().isEmpty());
    EXPECT_FALSE(settings.webBoardOn());
    EXPECT_EQ(settings.webBoardPort(), 8080);
    EXPECT_FALSE(settings.settingsLoaded());
    EXPECT_EQ(settings.settingsKey(), ProgramSettings::settingsRoot());
}

} // namespace
