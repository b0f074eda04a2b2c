#include "tests/TestSupport.h"

#include "platform/HistoryList.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QStringList split(const char *entries)
{
    return QString::fromLatin1(entries).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

struct AddCase
{
    const char *name;
    const char *before;
    int maxLength;
    const char *added;
    const char *after;
};

class HistoryListAdd : public ::testing::TestWithParam<AddCase>
{
};

TEST_P(HistoryListAdd, PutsTheTextOnTopOnceAndCutsTheList)
{
    const AddCase &c = GetParam();
    HistoryList list(split(c.before), c.maxLength);
    list.add(QString::fromLatin1(c.added));
    EXPECT_EQ(list.entries(), split(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryListAdd,
    ::testing::Values(AddCase{"KnownTextMovesUp", "p,q,r", 3, "q", "q,p,r"},
                      AddCase{"NewTextPushesTheOldestOut", "p,q,r", 3, "s", "s,p,q"},
                      AddCase{"TopTextStaysAlone", "p,q,r", 3, "p", "p,q,r"},
                      AddCase{"EmptyTextChangesNothing", "p,q,r", 2, "", "p,q,r"},
                      AddCase{"CaseMakesADifferentText", "p,q", 3, "P", "P,p,q"},
                      AddCase{"ZeroLengthKeepsOnlyTheNewText", "p,q", 0, "s", "s"},
                      AddCase{"NegativeLengthKeepsOnlyTheNewText", "p,q", -4, "q", "q"},
                      AddCase{"LongerListIsCutToTheLength", "p,q,r,t,u", 2, "s", "s,p"},
                      AddCase{"FirstTextOfAnEmptyList", "", 9, "p", "p"}),
    [](const auto &info) { return std::string(info.param.name); });

// The store's file written as a person or an older program would have left it.
class HistoryListStore : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid()); }

    void writeFile(const QByteArray &bytes)
    {
        const QString path = SettingsStore::filePathFor(key);
        testsupport::writeBytes(path, bytes);
    }

    std::unique_ptr<SettingsStore> openExisting() const
    {
        return SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
    }

    testsupport::SettingsSandbox sandbox;
    const QString key = QStringLiteral("\\Software\\Marrowgate\\history-list\\Hi");
};

struct LoadCase
{
    const char *name;
    const char *file;
    int maxLength;
    const char *entries;
    const char *error; // null when the load succeeds
};

class HistoryListLoad : public HistoryListStore, public ::testing::WithParamInterface<LoadCase>
{
};

TEST_P(HistoryListLoad, ReadsTheValuesInOrderUpToTheFirstGap)
{
    const LoadCase &c = GetParam();
    writeFile(c.file);
    const auto store = openExisting();
    ASSERT_NE(store, nullptr);
    HistoryList list({QStringLiteral("stale")}, c.maxLength);
    const std::optional<QString> error = list.load(*store);
    EXPECT_EQ(list.entries(), split(c.entries));
    if (c.error) {
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(*error, QString::fromLatin1(c.error));
    } else {
        EXPECT_EQ(error, std::nullopt) << error.value_or(QString()).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryListLoad,
    ::testing::Values(LoadCase{"MissingValueEndsTheList", "[Hi]\nH0=p\nH1=q\nH3=r\n", 9, "p,q", nullptr},
                      LoadCase{"EmptyValueEndsTheList", "[Hi]\nH0=p\nH1=\nH2=r\n", 9, "p", nullptr},
                      LoadCase{"NoValuesGiveAnEmptyList", "[Hi]\nOther=p\n", 9, "", nullptr},
                      LoadCase{"ListOfTextsIsNotText", "[Hi]\nH0=p\nH1=q\nH2=\"a\", \"b\"\nH3=r\n", 9, "p,q",
                               "Invalid data type for 'H2'"},
                      LoadCase{"BytesAreNotText", "[Hi]\nH0=@ByteArray(p)\n", 9, "",
                               "Invalid data type for 'H0'"},
                      LoadCase{"BadValueBeyondTheLengthIsNotRead", "[Hi]\nH0=p\nH1=q\nH2=\"a\", \"b\"\n", 2, "p,q",
                               nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryListStore, LoadStopsAtTheLength)
{
    QByteArray file = "[Hi]\n";
    for (int i = 0; i < 25; ++i)
        file += QStringLiteral("H%1=text%1\n").arg(i).toLatin1();
    writeFile(file);
    const auto store = openExisting();
    ASSERT_NE(store, nullptr);
    HistoryList list({}, 20);
    EXPECT_EQ(list.load(*store), std::nullopt);
    ASSERT_EQ(list.entries().size(), 20);
    EXPECT_EQ(list.entries().first(), QStringLiteral("text0"));
    EXPECT_EQ(list.entries().last(), QStringLiteral("text19"));
}

TEST_F(HistoryListStore, SavedEntriesLoadBackInOrder)
{
    const QStringList entries{QStringLiteral("Title.jpg"), QStringLiteral("a, b"), QStringLiteral("ünïcode \\ \"q\"")};
    {
        auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        ASSERT_NE(store, nullptr);
        HistoryList(entries).save(*store);
        ASSERT_TRUE(store->commit());
    }
    const auto store = openExisting();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->valueNames().size(), 3);
    HistoryList list;
    EXPECT_EQ(list.load(*store), std::nullopt);
    EXPECT_EQ(list.entries(), entries);
}

struct CompleteCase
{
    const char *name;
    const char *entries;
    const char *text;
    int selectionStart;
    int selectionLength;
    char typed;
    bool found;
    int index;
    const char *result;
    int resultSelectionStart;
};

class HistoryListComplete : public ::testing::TestWithParam<CompleteCase>
{
};

TEST_P(HistoryListComplete, FindsTheFirstEntryStartingWithTheTypedText)
{
    const CompleteCase &c = GetParam();
    const HistoryList list(split(c.entries));
    const HistoryList::Completion completion = list.complete(QString::fromLatin1(c.text), c.selectionStart,
                                                             c.selectionLength, QLatin1Char(c.typed));
    ASSERT_EQ(completion.found, c.found);
    if (!c.found)
        return;
    EXPECT_EQ(completion.index, c.index);
    EXPECT_EQ(completion.text, QString::fromLatin1(c.result));
    EXPECT_EQ(completion.selectionStart, c.resultSelectionStart);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryListComplete,
    ::testing::Values(
        CompleteCase{"TextPlusCharacterStartsAnEntry", "alpha,beta,bravo", "b", -1, 0, 'r', true, 2, "bravo", 2},
        CompleteCase{"LettersMatchWhateverTheirCase", "alpha,Title.jpg", "ti", -1, 0, 'T', true, 1, "tiTle.jpg", 3},
        CompleteCase{"TypedCharacterReplacesTheSelection", "bravo,beta", "bravo", 1, 4, 'e', true, 1, "beta", 2},
        CompleteCase{"FirstMatchInListOrderWins", "bank,bar,band", "ba", -1, 0, 'n', true, 0, "bank", 3},
        CompleteCase{"WholeEntryTypedCompletesToItself", "abc,abcd", "ab", -1, 0, 'c', true, 0, "abc", 3},
        CompleteCase{"NothingStartsWithTheText", "alpha,beta", "b", -1, 0, 'x', false, -1, "", 0},
        CompleteCase{"SelectedTextIsLeftOutOfTheCandidate", "beta", "bx", 1, 1, 'e', true, 0, "beta", 2},
        CompleteCase{"EmptyListFindsNothing", "", "", -1, 0, 'a', false, -1, "", 0}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
