#include "tests/TestSupport.h"

#include "content/AtomicFile.h"
#include "content/ListFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using testsupport::reason;

using testsupport::text;

using testsupport::readBytes;

const QByteArray Bom("\xEF\xBB\xBF");

QByteArray bytesOf(const char *data, qsizetype size)
{
    return QByteArray(data, size);
}

// Bytes of a file and the entries they hold.
struct Lines
{
    const char *name;
    QByteArray bytes;
    QStringList entries;
};

std::ostream &operator<<(std::ostream &out, const Lines &lines)
{
    return out << lines.name;
}

class ListFileDecodeTest : public ::testing::TestWithParam<Lines>
{
};

TEST_P(ListFileDecodeTest, Decodes)
{
    EXPECT_EQ(ListFile::decode(GetParam().bytes), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ListFileDecodeTest,
    ::testing::Values(
        Lines{"EveryLineEnd", "p\rq\nr", {"p", "q", "r"}},
        Lines{"CrLfIsOneEnd", "p\r\nq\r\n", {"p", "q"}},
        Lines{"LfCrIsTwoEnds", "p\n\rq", {"p", "", "q"}},
        Lines{"CrThenCrLf", "p\r\r\n", {"p", ""}},
        Lines{"EmptyLinesKept", "\r\n\r\na\r\n\r\n", {"", "", "a", ""}},
        Lines{"LoneLineEnd", "\n", {""}},
        Lines{"EmptyFile", "", {}},
        Lines{"ZeroEndsTheList", bytesOf("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        Lines{"ZeroFirst", bytesOf("\0a\r\n", 4), {}},
        Lines{"ZeroAfterLineEnd", bytesOf("a\r\n\0b", 5), {"a"}},
        Lines{"Cyrillic", "\xCA\xF3\xF0\xF1 \xA8\r\n\xB9 1", {text(u"Курс Ё"), text(u"№ 1")}},
        Lines{"Utf8WithMark", Bom + "\xD0\x9A\xC2\xA5\r\n\xE2\x82\xBA", {text(u"К¥"), text(u"₺")}},
        Lines{"MarkOnly", Bom, {}},
        Lines{"MarkAndLineEnd", Bom + "\r\n", {""}},
        Lines{"SecondMarkKept", Bom + Bom + "a\r\n" + Bom, {text(u"\uFEFFa"), text(u"\uFEFF")}},
        Lines{"BrokenUtf8", Bom + "a\xFF\r\n\x80\r\n\xC3", {text(u"a\uFFFD"), text(u"\uFFFD"), text(u"\uFFFD")}},
        Lines{"MarkWithoutUtf8IsWindows1251", "\xEF\xBB" "a", {text(u"п»a")}},
        Lines{"ZeroInUtf8", bytesOf("\xEF\xBB\xBF" "a\0b", 6), {"a"}}));

// Entries and the file they are written as; the file reads back as the entries.
struct Encoded
{
    const char *name;
    QStringList entries;
    QByteArray bytes;
};

std::ostream &operator<<(std::ostream &out, const Encoded &encoded)
{
    return out << encoded.name;
}

class ListFileEncodeTest : public ::testing::TestWithParam<Encoded>
{
};

TEST_P(ListFileEncodeTest, EncodesAndDecodesBack)
{
    EXPECT_EQ(ListFile::encode(GetParam().entries), GetParam().bytes);
    EXPECT_EQ(ListFile::decode(GetParam().bytes), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListFileEncodeTest,
    ::testing::Values(
        Encoded{"LastLineEnded", {"p", "q", "r"}, "p\r\nq\r\nr\r\n"},
        Encoded{"EmptyList", {}, ""},
        Encoded{"OneEmptyEntry", {""}, "\r\n"},
        Encoded{"EmptyEntries", {"", "a", ""}, "\r\na\r\n\r\n"},
        Encoded{"CyrillicStaysWindows1251", {text(u"Курс Ё"), text(u"№ €")}, "\xCA\xF3\xF0\xF1 \xA8\r\n\xB9 \x88\r\n"},
        Encoded{"YenMakesUtf8", {text(u"Курс"), text(u"¥")}, Bom + "\xD0\x9A\xD1\x83\xD1\x80\xD1\x81\r\n\xC2\xA5\r\n"},
        Encoded{"LiraMakesUtf8", {text(u"₺")}, Bom + "\xE2\x82\xBA\r\n"},
        Encoded{"EmojiMakesUtf8", {text(u"a\U0001F600")}, Bom + "a\xF0\x9F\x98\x80\r\n"},
        // These Windows-1251 bytes would begin like the mark and read as UTF-8.
        Encoded{"MarkLookalikeMakesUtf8", {text(u"п»ї!")}, Bom + "\xD0\xBF\xC2\xBB\xD1\x97!\r\n"},
        Encoded{"MarkCharacterFirst", {text(u"\uFEFFa")}, Bom + Bom + "a\r\n"}));

// A line cannot hold a line end or a zero byte, and UTF-8 cannot hold a lone surrogate.
struct Cleaned
{
    QString entry;
    QString stored;
};

class ListFileStorableTest : public ::testing::TestWithParam<Cleaned>
{
};

TEST_P(ListFileStorableTest, FileGivesBackTheStorableEntry)
{
    EXPECT_EQ(ListFile::storable(GetParam().entry), GetParam().stored);
    const QStringList entries{"before", GetParam().entry, "after"};
    EXPECT_EQ(ListFile::decode(ListFile::encode(entries)), (QStringList{"before", GetParam().stored, "after"}));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ListFileStorableTest,
    ::testing::Values(Cleaned{"a\rb\nc\r\n", "a b c  "}, Cleaned{QString(QChar(u'\0')) + "x", " x"},
                      Cleaned{text(u"я\n"), text(u"я ")}, Cleaned{text(u"\xD800z"), text(u"\uFFFDz")},
                      Cleaned{text(u"z\xDC00\xD800"), text(u"z\uFFFD\uFFFD")},
                      Cleaned{text(u"\U0001F600"), text(u"\U0001F600")}, Cleaned{"plain", "plain"}));

TEST(ListFileTest, EveryNonZeroByteSurvivesAsWindows1251)
{
    QByteArray bytes;
    for (int i = 1; i < 256; ++i) {
        if (i != '\r' && i != '\n')
            bytes += char(i);
    }
    bytes += "\r\n";
    const QStringList entries = ListFile::decode(bytes);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().size(), 253);
    EXPECT_EQ(ListFile::encode(entries), bytes);
}

class ListFileDiskTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString pathOf(const QString &name) const { return folder.filePath(name); }

    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir folder;
    const QStringList untouched{"keep", "me"};
};

// A disk that fills in the middle of a save leaves the list that was there whole, and no
// half-written copy beside it.
TEST_F(ListFileDiskTest, AFailedSaveLeavesTheOldListWhole)
{
    const QString path = pathOf("list.txt");
    QString error;
    ASSERT_TRUE(ListFile::save(path, untouched, error)) << error.toStdString();
    const QByteArray before = testsupport::readBytes(path);
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
    const bool saved = ListFile::save(path, {"a much longer list", "than the one before"}, error);
    AtomicFile::setFaultHook({});
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason(ENOSPC)));
    EXPECT_EQ(testsupport::readBytes(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
}

// The operator may pick a link to a list kept elsewhere: the list there is written and the
// link stays a link.
TEST_F(ListFileDiskTest, SavingThroughALinkWritesWhereItPoints)
{
    const QString target = pathOf("kept.txt");
    const QString link = pathOf("link.txt");
    writeFile(target, "old\r\n");
    ASSERT_TRUE(QFile::link(target, link));
    QString error;
    ASSERT_TRUE(ListFile::save(link, {"new"}, error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QStringList entries;
    ASSERT_TRUE(ListFile::load(target, entries, error));
    EXPECT_EQ(entries, QStringList{"new"});
}

TEST_F(ListFileDiskTest, SavesAndLoads)
{
    const QString path = pathOf("list.txt");
    writeFile(path, "old bytes that are longer than the new ones");
    QString error;
    ASSERT_TRUE(ListFile::save(path, {"p", "q", "r"}, error)) << error.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("p\r\nq\r\nr\r\n"));
    QStringList entries = untouched;
    ASSERT_TRUE(ListFile::load(path, entries, error)) << error.toStdString();
    EXPECT_EQ(entries, (QStringList{"p", "q", "r"}));
}

TEST_F(ListFileDiskTest, LoadsAnEmptyFile)
{
    const QString path = pathOf("empty.txt");
    writeFile(path, QByteArray());
    QStringList entries = untouched;
    QString error;
    ASSERT_TRUE(ListFile::load(path, entries, error));
    EXPECT_TRUE(entries.isEmpty());
}

TEST_F(ListFileDiskTest, LargeListRoundTrips)
{
    QStringList entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        entries.append(i % 7 == 0 ? QString() : i % 2 ? QStringLiteral("Курс доллара %1 руб.").arg(i)
                                                      : QStringLiteral("\"entry\", %1").arg(i));
    }
    const QString path = pathOf("large.txt");
    QString error;
    ASSERT_TRUE(ListFile::save(path, entries, error)) << error.toStdString();
    QStringList loaded;
    ASSERT_TRUE(ListFile::load(path, loaded, error)) << error.toStdString();
    EXPECT_EQ(loaded, entries);
    EXPECT_FALSE(readBytes(path).startsWith(Bom));
}

// A binary file is read up to its first zero byte, every other byte as a character.
TEST_F(ListFileDiskTest, LoadsABinaryFile)
{
    QByteArray bytes;
    for (int round = 0; round < 3; ++round) {
        for (int i = 255; i >= 1; --i)
            bytes += char(i);
    }
    bytes += '\0';
    bytes += "\x01\x02";
    const QString path = pathOf("binary.bin");
    writeFile(path, bytes);
    QStringList entries;
    QString error;
    ASSERT_TRUE(ListFile::load(path, entries, error)) << error.toStdString();
    // Each round holds LF (10) and CR (13) apart by two bytes: the lines are cut at both.
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries[0].size(), 255 - 13);
    EXPECT_EQ(entries[1], text(u"\x0C\x0B"));
    EXPECT_EQ(entries[6], text(u"\x09\x08\x07\x06\x05\x04\x03\x02\x01"));
    // Written back, only the line ends differ: each becomes CR LF, the last line gets one.
    QByteArray written = bytes.left(bytes.indexOf('\0'));
    written.replace('\n', '\r');
    written.replace("\r", "\r\n");
    EXPECT_EQ(ListFile::encode(entries), written + "\r\n");
}

struct Failure
{
    const char *name;
    int error;
};

std::ostream &operator<<(std::ostream &out, const Failure &failure)
{
    return out << failure.name;
}

// The paths each name a real failure made in the test's folder: a file that is not there,
// a folder, and a path that goes on below a regular file.
class ListFileFailureTest : public ListFileDiskTest, public ::testing::WithParamInterface<Failure>
{
protected:
    QString failingPath()
    {
        const QString name = GetParam().name;
        if (name == "Folder") {
            EXPECT_TRUE(QDir(folder.path()).mkdir("folder"));
            return pathOf("folder");
        }
        if (name == "BelowAFile") {
            writeFile(pathOf("plain"), "x");
            return pathOf("plain/list.txt");
        }
        return pathOf("missing/list.txt");
    }
};

TEST_P(ListFileFailureTest, LoadNamesTheFileAndTheReason)
{
    const QString path = failingPath();
    QStringList entries = untouched;
    QString error;
    EXPECT_FALSE(ListFile::load(path, entries, error));
    EXPECT_EQ(error, QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason(GetParam().error)));
    EXPECT_EQ(entries, untouched);
}

TEST_P(ListFileFailureTest, SaveNamesTheFileAndTheReason)
{
    const QString path = failingPath();
    QString error;
    EXPECT_FALSE(ListFile::save(path, {"a"}, error));
    EXPECT_EQ(error, QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason(GetParam().error)));
}

INSTANTIATE_TEST_SUITE_P(Paths, ListFileFailureTest,
                         ::testing::Values(Failure{"Missing", ENOENT}, Failure{"Folder", EISDIR},
                                           Failure{"BelowAFile", ENOTDIR}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ListFileDiskTest, MessageNamesTheAbsolutePath)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    QStringList entries;
    QString error;
    const bool loaded = ListFile::load("gone.txt", entries, error);
    ASSERT_TRUE(QDir::setCurrent(previous));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(error, QStringLiteral("Cannot open file \"%1\". %2").arg(pathOf("gone.txt"), reason(ENOENT)));
}

// /dev/full takes the file's creation and then fails every write, as a full disk does.
TEST(ListFileTest, SaveReportsAFailedWrite)
{
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    QString error;
    EXPECT_FALSE(ListFile::save("/dev/full", {"a"}, error));
    EXPECT_EQ(error, QStringLiteral("Cannot create file \"/dev/full\". %1").arg(reason(ENOSPC)));
}

} // namespace
