#include "tests/TestSupport.h"

#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "platform/StoredSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using testsupport::readValues;

const QList<QPair<QString, QString>> &kGroup = testsupport::storedGroup();

class StoredSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        key = ProgramSettings::settingsRoot() + QStringLiteral("stored-settings");
        path = SettingsStore::filePathFor(key);
    }

    void writeFile(const QByteArray &bytes)
    {
        testsupport::writeBytes(path, bytes);
    }

    // The group with the value at `broken` replaced (or left out when `replacement` is null).
    static QByteArray groupWith(int broken, const char *replacement)
    {
        QByteArray text = "[General]\n";
        for (int i = 0; i < kGroup.size(); ++i) {
            if (i != broken)
                text += kGroup[i].first.toUtf8() + '=' + kGroup[i].second.toUtf8() + '\n';
            else if (replacement)
                text += kGroup[i].first.toUtf8() + '=' + replacement + '\n';
        }
        return text + "CorvaneFile=USD\\t1\\t2\\tX\\r\\n\n";
    }

    StoredWindowPosition read(ProgramSettings &settings)
    {
        const auto store = SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
        EXPECT_NE(store, nullptr);
        return store ? readStoredSettings(settings, *store) : StoredWindowPosition{};
    }

    testsupport::SettingsSandbox sandbox;
    QString key;
    QString path;
};

TEST_F(StoredSettings, WhatIsWrittenReadsBack)
{
    ProgramSettings written;
    written.setWindowBounds({-1200, 35, 640, 520});
    written.setFileName(QStringLiteral("Курс, 2024 \"зима\".jpg"));
    written.setTitleMode(1);
    written.setTV(true);
    written.setProportions({0, 50, 11, 33, 40, 9});
    written.setRateTableText(QStringLiteral("USD\t93,10\t94,50\tДОЛЛАР США\r\n-EUR\t1\t2\t\r\n"));
    written.setWebBoardOn(true);
    written.setWebBoardPort(8123);
    {
        const auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        writeStoredSettings(written, *store);
        ASSERT_TRUE(store->commit()) << store->errorString().toStdString();
    }
    const QMap<QString, QString> values = readValues(path);
    EXPECT_EQ(values.value(QStringLiteral("Width")), QStringLiteral("640"));
    EXPECT_EQ(values.value(QStringLiteral("Height")), QStringLiteral("520"));
    EXPECT_EQ(values.value(QStringLiteral("WebBoard")), QStringLiteral("1"));
    EXPECT_EQ(values.value(QStringLiteral("WebPort")), QStringLiteral("8123"));

    ProgramSettings loaded;
    const StoredWindowPosition position = read(loaded);
    EXPECT_EQ(position.left, -1200);
    EXPECT_EQ(position.top, 35);
    EXPECT_EQ(loaded.fileName(), written.fileName());
    EXPECT_EQ(loaded.titleMode(), 1);
    EXPECT_TRUE(loaded.tv());
    EXPECT_EQ(loaded.proportions(), written.proportions());
    EXPECT_EQ(loaded.rateTableText(), written.rateTableText());
    EXPECT_FALSE(loaded.keepsStoredTable());
    EXPECT_TRUE(loaded.webBoardOn());
    EXPECT_EQ(loaded.webBoardPort(), 8123);
}

// Everything the guarded group and the table hold, as read from a file.
void expectWholeGroupRead(const ProgramSettings &settings, const StoredWindowPosition &position)
{
    EXPECT_EQ(position.left, 100);
    EXPECT_EQ(position.top, 50);
    EXPECT_EQ(settings.fileName(), QStringLiteral("pic.png"));
    EXPECT_EQ(settings.titleMode(), 1);
    EXPECT_TRUE(settings.tv());
    EXPECT_EQ(settings.proportions(), (Proportions{25, 12, 11, 33, 40, 9}));
    EXPECT_EQ(settings.rateTableText(), QStringLiteral("USD\t1\t2\tX\r\n"));
}

// A file written before the web board existed reads as it always did, the board switched off.
TEST_F(StoredSettings, AFileFromBeforeTheWebBoardReadsAsBefore)
{
    writeFile(groupWith(-1, nullptr));
    ProgramSettings settings;
    QSignalSpy switched(&settings, &ProgramSettings::webBoardOnChanged);
    QSignalSpy ports(&settings, &ProgramSettings::webBoardPortChanged);
    expectWholeGroupRead(settings, read(settings));
    EXPECT_FALSE(settings.webBoardOn());
    EXPECT_EQ(settings.webBoardPort(), 8080);
    EXPECT_EQ(switched.count(), 0);
    EXPECT_EQ(ports.count(), 0);
}

// The web board's values are read after the group and apart from it: a group that ends early
// does not lose them.
TEST_F(StoredSettings, TheWebBoardIsReadWhereverTheGroupEnds)
{
    writeFile(groupWith(0, nullptr) + "WebBoard=1\nWebPort=8181\nWebAllow=192.168.7.0/24\n");
    ProgramSettings settings;
    const StoredWindowPosition position = read(settings);
    EXPECT_FALSE(position.left.has_value());
    EXPECT_EQ(settings.proportions(), Proportions{});
    EXPECT_TRUE(settings.webBoardOn());
    EXPECT_EQ(settings.webBoardPort(), 8181);
    EXPECT_EQ(settings.webBoardAllowed(), QStringLiteral("192.168.7.0/24"));
}

// The chain's values stand on their own too; a bad role or version is passed over, the rest
// still read.
TEST_F(StoredSettings, TheChainIsReadWhereverTheGroupEndsAndEachValueOnItsOwn)
{
    writeFile(groupWith(0, nullptr)
              + "ChainRole=7\nChainUrl=mqtts://broker.example:8883\nChainId=north\nChainOffice=tver\n"
                "ChainUser=tver\nChainPassword=pw\nChainCaFile=/etc/ca.pem\nChainVersion=x12\n");
    ProgramSettings settings;
    read(settings);
    EXPECT_EQ(settings.chainRole(), ProgramSettings::kChainAlone);
    EXPECT_EQ(settings.chainUrl(), QStringLiteral("mqtts://broker.example:8883"));
    EXPECT_EQ(settings.chainId(), QStringLiteral("north"));
    EXPECT_EQ(settings.chainOffice(), QStringLiteral("tver"));
    EXPECT_EQ(settings.chainUser(), QStringLiteral("tver"));
    EXPECT_EQ(settings.chainPassword(), QStringLiteral("pw"));
    EXPECT_EQ(settings.chainCaFile(), QStringLiteral("/etc/ca.pem"));
    EXPECT_EQ(settings.chainVersion(), 0);

    writeFile(groupWith(-1, nullptr) + "ChainRole=2\nChainVersion=9007199254740991\n");
    read(settings);
    EXPECT_EQ(settings.chainRole(), ProgramSettings::kChainHeadOffice);
    EXPECT_EQ(settings.chainVersion(), 9007199254740991);
}

struct WebBoardCase
{
    const char *name;
    const char *webBoard; // null: not in the file
    const char *webPort;
    bool on;
    int port;
};

// The case's name instead of its bytes in the test list.
void PrintTo(const WebBoardCase &value, std::ostream *out)
{
    *out << value.name;
}

class StoredWebBoard : public StoredSettings, public ::testing::WithParamInterface<WebBoardCase>
{
};

// Each value on its own: one that is missing, of another type or no port keeps the first-run
// value, and nothing else of the file is lost for it.
TEST_P(StoredWebBoard, KeepsTheFirstRunValueForWhatItCannotUse)
{
    QByteArray text = groupWith(-1, nullptr);
    if (GetParam().webBoard)
        text += QByteArray("WebBoard=") + GetParam().webBoard + '\n';
    if (GetParam().webPort)
        text += QByteArray("WebPort=") + GetParam().webPort + '\n';
    writeFile(text);
    ProgramSettings settings;
    expectWholeGroupRead(settings, read(settings));
    EXPECT_EQ(settings.webBoardOn(), GetParam().on);
    EXPECT_EQ(settings.webBoardPort(), GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredWebBoard,
    ::testing::Values(WebBoardCase{"Both", "1", "8081", true, 8081}, WebBoardCase{"OffHighestPort", "0", "65535", false, 65535},
                      WebBoardCase{"Spaces", " 1 ", " 1 ", true, 1}, WebBoardCase{"OnlyThePort", nullptr, "9000", false, 9000},
                      WebBoardCase{"OnlyTheSwitch", "1", nullptr, true, 8080},
                      WebBoardCase{"WordsNotNumbers", "yes", "http", false, 8080},
                      WebBoardCase{"Lists", "a, b", "80, 81", false, 8080},
                      WebBoardCase{"PortZero", "1", "0", true, 8080}, WebBoardCase{"PortNegative", "1", "-80", true, 8080},
                      WebBoardCase{"PortTooHigh", "1", "65536", true, 8080},
                      WebBoardCase{"PortNotWhole", "1", "80.5", true, 8080},
                      WebBoardCase{"AnyNumberIsOn", "2", "8080", true, 8080}),
    [](const auto &info) { return std::string(info.param.name); });

// Each value of the group in turn missing, or of another type: the ones before it are
// applied, it and all after it keep their first-run values, and the table is read anyway.
class StoredGroupBreak : public StoredSettings, public ::testing::WithParamInterface<std::tuple<int, const char *>>
{
};

TEST_P(StoredGroupBreak, EndsTheGroupAtTheFirstFailedRead)
{
    const auto [broken, replacement] = GetParam();
    writeFile(groupWith(broken, replacement));
    ProgramSettings settings;
    const StoredWindowPosition position = read(settings);

    const ProgramSettings firstRun;
    const auto applied = [broken = broken](int index) { return index < broken; };
    EXPECT_EQ(position.left.has_value(), applied(0));
    EXPECT_EQ(position.top.has_value(), applied(1));
    // A missing title text is no failure: it reads as empty text.
    const bool fileNameMissing = broken == 2 && !replacement;
    EXPECT_EQ(settings.fileName(), applied(2) ? QStringLiteral("pic.png")
                                   : fileNameMissing ? QString()
                                                     : firstRun.fileName());
    const bool groupGoesOn = fileNameMissing;
    const auto reached = [&](int index) { return applied(index) || (groupGoesOn && index > 2); };
    EXPECT_EQ(settings.titleMode(), reached(3) ? 1 : 0);
    EXPECT_EQ(settings.tv(), reached(4));
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        EXPECT_EQ(settings.proportions().at(tag),
                  reached(5 + tag) ? kGroup[5 + tag].second.toInt() : firstRun.proportions().at(tag))
            << "tag " << tag;
    EXPECT_EQ(settings.rateTableText(), QStringLiteral("USD\t1\t2\tX\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Missing, StoredGroupBreak,
                         ::testing::Combine(::testing::Range(0, 11), ::testing::Values(nullptr)));
INSTANTIATE_TEST_SUITE_P(WrongType, StoredGroupBreak,
                         ::testing::Combine(::testing::Range(0, 11), ::testing::Values("a, b")));

TEST_F(StoredSettings, TableStoredAsAListIsKeptUntilAnEdit)
{
    writeFile(groupWith(-1, nullptr).replace("CorvaneFile=USD\\t1\\t2\\tX\\r\\n", "CorvaneFile=a, b"));
    ProgramSettings settings;
    read(settings);
    EXPECT_TRUE(settings.keepsStoredTable());
    EXPECT_TRUE(settings.rateTableText().isEmpty());

    const auto write = [&] {
        const auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        writeStoredSettings(settings, *store);
        ASSERT_TRUE(store->commit());
    };
    settings.setProportion(0, 30);
    write();
    EXPECT_EQ(readValues(path).value(QStringLiteral("CorvaneFile")), QStringLiteral("a, b"));
    EXPECT_EQ(readValues(path).value(QStringLiteral("ProTop")), QStringLiteral("30"));

    settings.setRateTableText(QStringLiteral("GBP\t1\t2\t\r\n"));
    write();
    EXPECT_EQ(readValues(path).value(QStringLiteral("CorvaneFile")), QStringLiteral("GBP\\t1\\t2\\t\\r\\n"));
}

} // namespace
