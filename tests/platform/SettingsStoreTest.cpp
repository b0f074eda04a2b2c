#include "tests/TestSupport.h"

#include "platform/ErrorBox.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <cstring>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;

// Every test works on a program title of its own, so that files, their .bad copies and
// the store's "told once per run" memory never leak from one test into the next.
QString uniqueTitle()
{
    return testsupport::uniqueTitle(QStringLiteral("store"));
}

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        key = QStringLiteral("\\Software\\Marrowgate\\") + uniqueTitle();
        path = SettingsStore::filePathFor(key);
        removeAll();
        previousHandler = ErrorBox::setHandler([this](const QString &text) { messages.append(text); });
    }

    void TearDown() override
    {
        ErrorBox::setHandler(previousHandler);
        removeAll();
    }

    void removeAll()
    {
        for (const QString &p : {path, path + QStringLiteral(".bad"), path + QStringLiteral(".bad.1"),
                                 path + QStringLiteral(".bad.2")}) {
            if (QFileInfo(p).isDir())
                QDir(p).removeRecursively();
            else
                QFile::remove(p);
        }
    }

    std::unique_ptr<SettingsStore> openExisting() const
    {
        return SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
    }

    QString key;
    QString path;
    QStringList messages;
    ErrorBox::Handler previousHandler;
};

} // namespace

TEST_F(SettingsStoreTest, KeyPathMapsToOneFilePerProgramTitle)
{
    const QString config = QFileInfo(SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\corvane")))
                               .absolutePath();
    EXPECT_EQ(QFileInfo(config).fileName(), QStringLiteral("Marrowgate"));
    EXPECT_EQ(SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\corvane")),
              config + QStringLiteral("/corvane.conf"));
    EXPECT_EQ(SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\kassa2")),
              config + QStringLiteral("/kassa2.conf"));
    // A sub key is a group inside its program's file, not a file of its own.
    EXPECT_EQ(SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\corvane\\Hi")),
              config + QStringLiteral("/corvane.conf"));
    // The config folder is the one the tests point the store at, never the operator's own.
    EXPECT_EQ(QFileInfo(config).absolutePath(), QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).absolutePath());
}

TEST_F(SettingsStoreTest, OpenExistingFindsNoFile)
{
    EXPECT_EQ(openExisting(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsStoreTest, CreateMakesTheKeyThatOpenExistingThenFinds)
{
    {
        auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        ASSERT_NE(store, nullptr);
        store->writeInteger(QStringLiteral("Left"), 17);
        ASSERT_TRUE(store->commit());
        EXPECT_EQ(store->filePath(), path);
    }
    EXPECT_TRUE(QFileInfo(path).isFile());
    auto reopened = openExisting();
    ASSERT_NE(reopened, nullptr);
    int left = 0;
    EXPECT_TRUE(reopened->readInteger(QStringLiteral("Left"), left));
    EXPECT_EQ(left, 17);
}

TEST_F(SettingsStoreTest, SubKeyOpensOnlyWhenItExists)
{
    const QString subKey = key + QStringLiteral("\\Hi");
    writeBytes(path, "[General]\nLeft=1\n");
    EXPECT_NE(openExisting(), nullptr);
    EXPECT_EQ(SettingsStore::open(subKey, SettingsStore::Mode::OpenExisting), nullptr);
    {
        auto sub = SettingsStore::open(subKey, SettingsStore::Mode::Create);
        ASSERT_NE(sub, nullptr);
        sub->writeString(QStringLiteral("H0"), QStringLiteral("Title.jpg"));
        ASSERT_TRUE(sub->commit());
    }
    auto sub = SettingsStore::open(subKey, SettingsStore::Mode::OpenExisting);
    ASSERT_NE(sub, nullptr);
    QString h0;
    EXPECT_TRUE(sub->readString(QStringLiteral("H0"), h0));
    EXPECT_EQ(h0, QStringLiteral("Title.jpg"));
    // The sub key's values stay apart from the key's own.
    EXPECT_FALSE(sub->hasValue(QStringLiteral("Left")));
    auto top = openExisting();
    ASSERT_NE(top, nullptr);
    EXPECT_FALSE(top->hasValue(QStringLiteral("H0")));
    int left = 0;
    EXPECT_TRUE(top->readInteger(QStringLiteral("Left"), left));
    EXPECT_EQ(left, 1);
}

struct IntegerCase
{
    const char *line;  // the value's line as a person might write it into the file
    bool ok;
    int value;
};

class StoreReadInteger : public SettingsStoreTest, public ::testing::WithParamInterface<IntegerCase>
{
};

TEST_P(StoreReadInteger, ReadsOnlyWholeNumbers)
{
    const IntegerCase &c = GetParam();
    writeBytes(path, QByteArray("[General]\nOther=1\n") + c.line + "\n");
    auto store = openExisting();
    ASSERT_NE(store, nullptr);
    int value = -777;
    EXPECT_EQ(store->readInteger(QStringLiteral("V"), value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -777) << "a failed read leaves the variable alone";
    bool flag = false;
    EXPECT_EQ(store->readBool(QStringLiteral("V"), flag), c.ok);
    if (c.ok) {
        EXPECT_EQ(flag, c.value != 0);
    }
    EXPECT_TRUE(messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreReadInteger,
                         ::testing::Values(IntegerCase{"V=42", true, 42}, IntegerCase{"V=0", true, 0},
                                           IntegerCase{"V=-15", true, -15}, IntegerCase{"V=1", true, 1},
                                           IntegerCase{"V=2", true, 2},
                                           IntegerCase{"V=2147483647", true, INT_MAX},
                                           IntegerCase{"V=-2147483648", true, INT_MIN},
                                           IntegerCase{"", false, 0},               // missing
                                           IntegerCase{"V=abc", false, 0},          // text
                                           IntegerCase{"V=", false, 0},             // empty
                                           IntegerCase{"V=3.5", false, 0},          // not whole
                                           IntegerCase{"V=2147483648", false, 0},   // out of 32 bits
                                           IntegerCase{"V=1, 2", false, 0},         // a list
                                           IntegerCase{"V=true", false, 0}));       // not 0/1

struct StringCase
{
    const char *line;
    bool ok;
    const char *value; // UTF-8
};

class StoreReadString : public SettingsStoreTest, public ::testing::WithParamInterface<StringCase>
{
};

TEST_P(StoreReadString, ReadsOneTextValue)
{
    const StringCase &c = GetParam();
    writeBytes(path, QByteArray("[General]\nOther=1\n") + c.line + "\n");
    auto store = openExisting();
    ASSERT_NE(store, nullptr);
    QString value = QStringLiteral("unchanged");
    EXPECT_EQ(store->readString(QStringLiteral("S"), value), c.ok);
    EXPECT_EQ(value, c.ok ? QString::fromUtf8(c.value) : QStringLiteral("unchanged"));
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreReadString,
                         ::testing::Values(StringCase{"S=Title.jpg", true, "Title.jpg"},
                                           StringCase{"S=", true, ""},
                                           StringCase{"S=12", true, "12"},
                                           StringCase{"S=\"a, b\"", true, "a, b"},
                                           StringCase{"S=\xd0\x9a\xd1\x83\xd1\x80\xd1\x81", true, "Курс"},
                                           StringCase{"", false, ""},          // missing
                                           StringCase{"S=a, b", false, ""}));  // a list, not one text

TEST_F(SettingsStoreTest, WrittenValuesComeBackExactly)
{
    const QStringList texts = {QStringLiteral("Title.jpg"),
                               QString(),
                               QStringLiteral("a, b"),
                               QStringLiteral(" leading and trailing "),
                               QStringLiteral("КУРСЫ ОБМЕНА ВАЛЮТ"),
                               QStringLiteral("USD\t93,10\t94,50\tДОЛЛАР США\r\nEUR\t100,20\t101,90\tЕВРО\r\n"),
                               QStringLiteral("\"quoted\" and \\back\\slash"),
                               QStringLiteral("@Variant(not really)"),
                               QStringLiteral("; not a comment"),
                               QStringLiteral("=x=y"),
                               QStringLiteral("#hash")};
    const QList<int> integers = {0, 1, -1, 324, INT_MAX, INT_MIN};
    {
        auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        ASSERT_NE(store, nullptr);
        for (int i = 0; i < texts.size(); ++i)
            store->writeString(QStringLiteral("S%1").arg(i), texts[i]);
        for (int i = 0; i < integers.size(); ++i)
            store->writeInteger(QStringLiteral("I%1").arg(i), integers[i]);
        store->writeBool(QStringLiteral("BTrue"), true);
        store->writeBool(QStringLiteral("BFalse"), false);
        ASSERT_TRUE(store->commit());
    }
    auto store = openExisting();
    ASSERT_NE(store, nullptr);
    for (int i = 0; i < texts.size(); ++i) {
        QString value = QStringLiteral("unread");
        EXPECT_TRUE(store->readString(QStringLiteral("S%1").arg(i), value)) << texts[i].toStdString();
        EXPECT_EQ(value, texts[i]);
    }
    for (int i = 0; i < integers.size(); ++i) {
        int value = 12345;
        EXPECT_TRUE(store->readInteger(QStringLiteral("I%1").arg(i), value));
        EXPECT_EQ(value, integers[i]);
    }
    bool yes = false;
    bool no = true;
    EXPECT_TRUE(store->readBool(QStringLiteral("BTrue"), yes));
    EXPECT_TRUE(store->readBool(QStringLiteral("BFalse"), no));
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    // Booleans are stored as the integers 0 and 1.
    int raw = -1;
    EXPECT_TRUE(store->readInteger(QStringLiteral("BTrue"), raw));
    EXPECT_EQ(raw, 1);
    EXPECT_TRUE(store->readInteger(QStringLiteral("BFalse"), raw));
    EXPECT_EQ(raw, 0);
}

TEST_F(SettingsStoreTest, ClearAndRemoveDropValuesAndSubKeys)
{
    {
        auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        store->writeInteger(QStringLiteral("A"), 1);
        store->writeInteger(QStringLiteral("B"), 2);
        ASSERT_TRUE(store->commit());
        auto sub = SettingsStore::open(key + QStringLiteral("\\Hi"), SettingsStore::Mode::Create);
        sub->writeString(QStringLiteral("H0"), QStringLiteral("x"));
        ASSERT_TRUE(sub->commit());
    }
    {
        auto store = openExisting();
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(store->valueNames(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        store->remove(QStringLiteral("A"));
        ASSERT_TRUE(store->commit());
        EXPECT_EQ(store->valueNames(), QStringList{QStringLiteral("B")});
    }
    {
        auto sub = SettingsStore::open(key + QStringLiteral("\\Hi"), SettingsStore::Mode::OpenExisting);
        ASSERT_NE(sub, nullptr);
        sub->clear();
        ASSERT_TRUE(sub->commit());
    }
    auto store = openExisting();
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->hasValue(QStringLiteral("A")));
    EXPECT_TRUE(store->hasValue(QStringLiteral("B")));
    EXPECT_FALSE(store->hasValue(QStringLiteral("Hi/H0")));
}

struct BadFileCase
{
    const char *name;
    QByteArray bytes;
};

class StoreBadFile : public SettingsStoreTest, public ::testing::WithParamInterface<BadFileCase>
{
};

TEST_P(StoreBadFile, IsSetAsideWithOneMessage)
{
    const QByteArray bytes = GetParam().bytes;
    writeBytes(path, bytes);

    EXPECT_EQ(openExisting(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad")), bytes);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(path)) << messages.first().toStdString();
    EXPECT_TRUE(messages.first().contains(path + QStringLiteral(".bad")));

    // Starting afresh writes a new file and leaves the set-aside copy as it was.
    {
        auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        ASSERT_NE(store, nullptr);
        EXPECT_TRUE(store->valueNames().isEmpty());
        store->writeInteger(QStringLiteral("Left"), 5);
        ASSERT_TRUE(store->commit());
    }
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad")), bytes);
    auto store = openExisting();
    ASSERT_NE(store, nullptr);
    int left = 0;
    EXPECT_TRUE(store->readInteger(QStringLiteral("Left"), left));
    EXPECT_EQ(left, 5);
    EXPECT_EQ(messages.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreBadFile,
    ::testing::Values(BadFileCase{"KeyWithoutEquals", QByteArray("[General]\nLeft\n=3\n")},
                      BadFileCase{"BrokenSection", QByteArray("[General\nLeft=3\n")},
                      BadFileCase{"RandomBytes", QByteArray::fromHex("8f3a00ff12c3e9a17b5d0a0d7f80fe01"
                                                                     "2e5c0a415b3d9910ffee000d0a")}),
    [](const auto &info) { return std::string(info.param.name); });

// Each unreadable file is kept under a number of its own; the operator hears of it once.
TEST_F(SettingsStoreTest, LaterBadFilesAreNumberedAndToldOnce)
{
    const QByteArray bad[] = {"[General]\nLeft\n", "[General]\nTop\n", "[General\n"};
    for (const QByteArray &bytes : bad) {
        writeBytes(path, bytes);
        EXPECT_EQ(openExisting(), nullptr);
    }
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad")), bad[0]);
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad.1")), bad[1]);
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad.2")), bad[2]);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(SettingsStoreTest, CommitFailsWhenTheFileIsAFolder)
{
    ASSERT_TRUE(QDir().mkpath(path));
    auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
    ASSERT_NE(store, nullptr);
    store->writeInteger(QStringLiteral("Left"), 1);
    store->writeInteger(QStringLiteral("Top"), 2);
    EXPECT_FALSE(store->commit());
    EXPECT_EQ(store->errorString(), path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EISDIR)));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(QDir(path).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".bad")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsStoreTest, CommitFailsWhenTheFolderIsAFile)
{
    // A program title of its own inside an organisation folder that is a plain file.
    const QString orgKey = QStringLiteral("\\Software\\MarrowgateBlocked\\") + uniqueTitle();
    const QString orgFolder = QFileInfo(SettingsStore::filePathFor(orgKey)).absolutePath();
    writeBytes(orgFolder, "not a folder");
    auto store = SettingsStore::open(orgKey, SettingsStore::Mode::Create);
    ASSERT_NE(store, nullptr);
    store->writeString(QStringLiteral("FileName"), QStringLiteral("Title.jpg"));
    EXPECT_FALSE(store->commit());
    EXPECT_EQ(store->errorString(), orgFolder + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    EXPECT_EQ(readBytes(orgFolder), QByteArray("not a folder"));
    QFile::remove(orgFolder);
}

// As root, permissions do not stop a write; a file-size limit does, for root too. The new
// content is larger than the limit, so writing it fails: the old file must survive whether
// the very first write fails (limit 0) or one fails part-way (the disk filling up).
class StoreFailedWrite : public SettingsStoreTest, public ::testing::WithParamInterface<rlim_t>
{
};

TEST_P(StoreFailedWrite, LeavesThePreviousFileIntact)
{
    const QByteArray previous = "[General]\nLeft=100\nTop=50\n";
    writeBytes(path, previous);
    auto store = SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
    ASSERT_NE(store, nullptr);
    store->writeString(QStringLiteral("CorvaneFile"), QString(4096, QLatin1Char('x')));
    store->writeInteger(QStringLiteral("Left"), 1);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = GetParam();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool committed = store->commit();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    EXPECT_FALSE(committed);
    EXPECT_FALSE(store->errorString().isEmpty());
    EXPECT_EQ(readBytes(path), previous) << "size now " << QFileInfo(path).size();
    // No half-written copy is left beside it, hidden ones included.
    const QStringList entries = QDir(QFileInfo(path).absolutePath())
                                    .entryList({QStringLiteral("*") + QFileInfo(path).fileName() + QStringLiteral("*")},
                                               QDir::Files | QDir::Hidden);
    EXPECT_EQ(entries, QStringList{QFileInfo(path).fileName()});
}

INSTANTIATE_TEST_SUITE_P(FirstWrite, StoreFailedWrite, ::testing::Values(rlim_t(0)));
// QSettings takes a short write for success; the store must notice it.
INSTANTIATE_TEST_SUITE_P(PartWay, StoreFailedWrite, ::testing::Values(rlim_t(1024)));
