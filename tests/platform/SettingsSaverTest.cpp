#include "tests/TestSupport.h"

#include "content/AtomicFile.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsSaver.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::readBytes;
using testsupport::readValues;

class SettingsSaverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        settings.setSettingsKey(ProgramSettings::settingsRoot() + QStringLiteral("saver"));
        path = SettingsStore::filePathFor(settings.settingsKey());
        saver.setClock([this] { return now; });
    }
    void TearDown() override { AtomicFile::setFaultHook({}); }

    // Moves the saver's clock on and lets it look whether its write is due.
    void pass(qint64 ms)
    {
        now += ms;
        saver.saveIfDue();
    }
    bool waitForTheWrite()
    {
        pass(SettingsSaver::kPauseMs);
        return !saver.isSavePending();
    }

    testsupport::SettingsSandbox sandbox;
    ProgramSettings settings;
    SettingsSaver saver{settings};
    QString path;
    qint64 now = 0;
};

// Typing a rate is a burst of changes; the store is written once, with the last of them.
TEST_F(SettingsSaverTest, BurstOfChangesIsOneWrite)
{
    QString table;
    for (const QChar c : QStringLiteral("USD\t9310")) {
        table += c;
        settings.setRateTableText(table);
    }
    EXPECT_TRUE(saver.isSavePending());
    EXPECT_EQ(saver.saveCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(path)) << "written only once the burst pauses";
    pass(SettingsSaver::kPauseMs - 1);
    EXPECT_EQ(saver.saveCount(), 0) << "not before the pause is over";

    pass(1);
    EXPECT_FALSE(saver.isSavePending());
    EXPECT_EQ(saver.saveCount(), 1);
    EXPECT_EQ(readValues(path).value(QStringLiteral("CorvaneFile")), QStringLiteral("USD\\t9310"));
}

// Changes that never pause (a held-down key) still reach the store while they go on.
TEST_F(SettingsSaverTest, ChangesWithoutAPauseAreStillWritten)
{
    int value = 0;
    while (now < 3 * SettingsSaver::kMaxDelayMs && saver.saveCount() == 0) {
        settings.setProportion(2, ++value % 50);
        pass(SettingsSaver::kPauseMs / 3);
    }
    EXPECT_EQ(saver.saveCount(), 1) << "a write came while the changes went on";
    const qint64 step = SettingsSaver::kPauseMs / 3;
    EXPECT_EQ(now, (SettingsSaver::kMaxDelayMs + step - 1) / step * step)
        << "at the first look once the longest delay from the first change is over";
}

struct ValueCase
{
    const char *name;
    std::function<void(ProgramSettings &)> change;
    const char *valueName;
    const char *stored;
};

class SettingsSaverValue : public SettingsSaverTest, public ::testing::WithParamInterface<ValueCase>
{
};

TEST_P(SettingsSaverValue, EveryStoredValueIsSavedAsYouGo)
{
    GetParam().change(settings);
    ASSERT_TRUE(saver.isSavePending());
    ASSERT_TRUE(waitForTheWrite());
    EXPECT_EQ(readValues(path).value(QLatin1String(GetParam().valueName)), QLatin1String(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsSaverValue,
    ::testing::Values(
        ValueCase{"Left", [](ProgramSettings &s) { s.setWindowBounds({-40, 60, 600, 520}); }, "Left", "-40"},
        ValueCase{"Height", [](ProgramSettings &s) { s.setWindowBounds({40, 60, 600, 520}); }, "Height", "520"},
        ValueCase{"FileName", [](ProgramSettings &s) { s.setFileName(QStringLiteral("Logo.bmp")); }, "FileName",
                  "Logo.bmp"},
        ValueCase{"TitleMode", [](ProgramSettings &s) { s.setTitleMode(1); }, "TitleMode", "1"},
        ValueCase{"TV", [](ProgramSettings &s) { s.setTV(true); }, "TV", "1"},
        ValueCase{"ProName", [](ProgramSettings &s) { s.setProportion(4, 41); }, "ProName", "41"},
        ValueCase{"CorvaneFile", [](ProgramSettings &s) { s.setRateTableText(QStringLiteral("EUR")); },
                  "CorvaneFile", "EUR"},
        ValueCase{"WebBoard", [](ProgramSettings &s) { s.setWebBoardOn(true); }, "WebBoard", "1"},
        ValueCase{"WebPort", [](ProgramSettings &s) { s.setWebBoardPort(8443); }, "WebPort", "8443"},
        ValueCase{"WebAllow", [](ProgramSettings &s) { s.setWebBoardAllowed(QStringLiteral("10.1.0.0/16")); },
                  "WebAllow", "10.1.0.0/16"},
        ValueCase{"ChainRole", [](ProgramSettings &s) { s.setChainRole(1); }, "ChainRole", "1"},
        ValueCase{"ChainOffice", [](ProgramSettings &s) { s.setChainOffice(QStringLiteral(" tver ")); }, "ChainOffice",
                  "tver"},
        ValueCase{"ChainPassword", [](ProgramSettings &s) { s.setChainPassword(QStringLiteral("s3cret")); },
                  "ChainPassword", "s3cret"},
        ValueCase{"ChainVersion", [](ProgramSettings &s) { s.setChainVersion(5000000000); }, "ChainVersion",
                  "5000000000"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SettingsSaverTest, NoChangeNoWrite)
{
    settings.setTV(false);
    settings.setProportions(Proportions{});
    settings.setFileName(settings.fileName());
    EXPECT_FALSE(saver.isSavePending());
    QCoreApplication::processEvents();
    EXPECT_EQ(saver.saveCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(path));
}

// A full disk: the operator hears why, the old file stays, and the next change tries again.
TEST_F(SettingsSaverTest, FailedSaveIsToldAndTriedAgainWithTheNextChange)
{
    settings.setProportion(0, 30);
    ASSERT_TRUE(saver.saveNow());
    const QByteArray before = readBytes(path);

    QSignalSpy failed(&saver, &SettingsSaver::saveFailed);
    QSignalSpy recovered(&saver, &SettingsSaver::saveRecovered);
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
    settings.setProportion(0, 31);
    ASSERT_TRUE(waitForTheWrite());
    ASSERT_EQ(failed.count(), 1);
    const QString expected = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(ENOSPC));
    EXPECT_EQ(failed.first().first().toString(), expected);
    EXPECT_EQ(saver.lastError(), expected);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(saver.isSavePending()) << "no retry loop of its own on a full disk";

    AtomicFile::setFaultHook({});
    settings.setProportion(1, 11);
    ASSERT_TRUE(waitForTheWrite());
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(recovered.count(), 1);
    EXPECT_TRUE(saver.lastError().isEmpty());
    const QMap<QString, QString> values = readValues(path);
    EXPECT_EQ(values.value(QStringLiteral("ProTop")), QStringLiteral("31")) << "the failed change is not lost";
    EXPECT_EQ(values.value(QStringLiteral("ProBot")), QStringLiteral("11"));
}

TEST_F(SettingsSaverTest, SaveNowWritesEverythingAndEndsAWaitingSave)
{
    settings.setTitleMode(1);
    ASSERT_TRUE(saver.isSavePending());
    ASSERT_TRUE(saver.saveNow());
    EXPECT_FALSE(saver.isSavePending());
    const QMap<QString, QString> values = readValues(path);
    for (const char *name : {"Left", "Top", "Width", "Height", "FileName", "TitleMode", "TV", "ProTop", "ProBot",
                             "ProTit", "ProTitL", "ProName", "ProTit2", "CorvaneFile", "WebBoard", "WebPort", "WebAllow"})
        EXPECT_TRUE(values.contains(QLatin1String(name))) << name;
    EXPECT_EQ(values.value(QStringLiteral("TitleMode")), QStringLiteral("1"));
}

} // namespace
