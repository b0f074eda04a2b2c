#include "content/Playlist.h"

#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

using namespace Qt::StringLiterals;

// Readable texts in failure messages; internal, as other test files may print texts too.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The four buttons of the tab, in the order they appear: play, stop, delete, replace.
struct Buttons
{
    bool play;
    bool stop;
    bool remove;
    bool replace;

    friend bool operator==(const Buttons &, const Buttons &) = default;
};

void PrintTo(const Buttons &b, std::ostream *os)
{
    *os << "{play " << b.play << ", stop " << b.stop << ", delete " << b.remove << ", replace " << b.replace << '}';
}

// A failing case names itself instead of dumping its bytes.
template<typename Case>
    requires requires(const Case &c) { c.name; }
std::ostream &operator<<(std::ostream &os, const Case &c)
{
    return os << c.name;
}

Buttons buttonsOf(const Playlist &playlist)
{
    return {playlist.playEnabled(), playlist.stopEnabled(), playlist.deleteEnabled(), playlist.replaceEnabled()};
}

constexpr Buttons kAllOff{false, false, false, false};
constexpr Buttons kIdleSelected{true, false, true, true};
constexpr Buttons kIdleUnselected{true, false, false, false};
constexpr Buttons kPlayingSelected{false, true, true, true};
constexpr Buttons kPlayingUnselected{false, true, false, false};

const QStringList kPqr{u"p"_s, u"q"_s, u"r"_s};
const QStringList kAbcde{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};

// The texts the ticker runs after `steps` ends of a run.
QStringList advanceTimes(Playlist &playlist, int steps)
{
    QStringList texts;
    for (int i = 0; i < steps; ++i)
        texts.append(playlist.advance().value_or(u"<stopped>"_s));
    return texts;
}

} // namespace

TEST(Playlist, StartsEmptyWithEverythingDisabled)
{
    Playlist playlist;
    EXPECT_TRUE(playlist.entries().isEmpty());
    EXPECT_EQ(playlist.count(), 0);
    EXPECT_EQ(playlist.selectedIndex(), -1);
    EXPECT_TRUE(playlist.selectedEntry().isEmpty());
    EXPECT_EQ(playlist.pick(), std::nullopt);
    EXPECT_EQ(buttonsOf(playlist), kAllOff);
}

// ---- select ----

namespace {
struct SelectCase
{
    const char *name;
    int index;
    int selected;
};
} // namespace

class PlaylistSelect : public testing::TestWithParam<SelectCase>
{
};

TEST_P(PlaylistSelect, OutOfRangeSelectsNothingAndButtonsStay)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(1);
    playlist.select(GetParam().index);
    EXPECT_EQ(playlist.selectedIndex(), GetParam().selected);
    EXPECT_EQ(buttonsOf(playlist), kIdleSelected);
}

INSTANTIATE_TEST_SUITE_P(Playlist, PlaylistSelect,
                         testing::Values(SelectCase{"First", 0, 0}, SelectCase{"Last", 2, 2},
                                         SelectCase{"None", -1, -1}, SelectCase{"PastTheEnd", 3, -1},
                                         SelectCase{"FarPastTheEnd", 100000, -1},
                                         SelectCase{"BelowNone", -5, -1}),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- add ----

namespace {
struct AddCase
{
    const char *name;
    QStringList list;
    int selected; // before the add
    QString text;
    QStringList after;
    int selectedAfter;
    Buttons buttons;
};
} // namespace

class PlaylistAdd : public testing::TestWithParam<AddCase>
{
};

TEST_P(PlaylistAdd, InsertsBeforeTheSelectedEntryOrAppends)
{
    const AddCase &c = GetParam();
    Playlist playlist;
    playlist.open(c.list);
    playlist.select(c.selected);
    playlist.add(c.text);
    EXPECT_EQ(playlist.entries(), c.after);
    EXPECT_EQ(playlist.selectedIndex(), c.selectedAfter);
    EXPECT_EQ(buttonsOf(playlist), c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistAdd,
    testing::Values(
        AddCase{"IntoEmpty", {}, -1, u"x"_s, {u"x"_s}, -1, kIdleUnselected},
        AddCase{"BeforeMiddle", kPqr, 1, u"x"_s, {u"p"_s, u"x"_s, u"q"_s, u"r"_s}, 1, kIdleSelected},
        AddCase{"BeforeFirst", kPqr, 0, u"x"_s, {u"x"_s, u"p"_s, u"q"_s, u"r"_s}, 0, kIdleSelected},
        AddCase{"BeforeLast", kPqr, 2, u"x"_s, {u"p"_s, u"q"_s, u"x"_s, u"r"_s}, 2, kIdleSelected},
        // Delete and Replace were enabled by the open; the add follows the lost selection.
        AddCase{"AppendedWhenNothingSelected", kPqr, -1, u"x"_s, {u"p"_s, u"q"_s, u"r"_s, u"x"_s}, -1,
                kIdleUnselected},
        AddCase{"DuplicateKept", kPqr, 1, u"q"_s, {u"p"_s, u"q"_s, u"q"_s, u"r"_s}, 1, kIdleSelected},
        AddCase{"EmptyTextKept", kPqr, 2, QString(), {u"p"_s, u"q"_s, QString(), u"r"_s}, 2, kIdleSelected}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Playlist, TwoAddsToAnEmptyListAppendInOrderAndSelectNothing)
{
    Playlist playlist;
    playlist.add(u"first"_s);
    playlist.add(u"second"_s);
    EXPECT_EQ(playlist.entries(), (QStringList{u"first"_s, u"second"_s}));
    EXPECT_EQ(playlist.selectedIndex(), -1);
    EXPECT_EQ(buttonsOf(playlist), kIdleUnselected);

    // A click in the list box does not reach the buttons.
    playlist.select(0);
    EXPECT_EQ(playlist.selectedIndex(), 0);
    EXPECT_EQ(buttonsOf(playlist), kIdleUnselected);
}

TEST(Playlist, AddDuringPlayLeavesPlayDisabled)
{
    Playlist playlist;
    playlist.open(kPqr);
    ASSERT_TRUE(playlist.start().running);
    playlist.add(u"x"_s);
    EXPECT_EQ(buttonsOf(playlist), kPlayingSelected);
}

// ---- replace ----

TEST(Playlist, ReplaceChangesTheSelectedTextInPlace)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(1);
    playlist.replace(u"Q"_s);
    EXPECT_EQ(playlist.entries(), (QStringList{u"p"_s, u"Q"_s, u"r"_s}));
    EXPECT_EQ(playlist.selectedIndex(), 1);
    EXPECT_EQ(playlist.selectedEntry(), u"Q"_s);
}

TEST(Playlist, ReplaceAndDeleteWithNothingSelectedChangeNothing)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(-1);
    const Buttons before = buttonsOf(playlist);
    QSignalSpy spy(&playlist, &Playlist::changed);
    playlist.replace(u"x"_s);
    playlist.remove();
    EXPECT_EQ(playlist.entries(), kPqr);
    EXPECT_EQ(playlist.selectedIndex(), -1);
    EXPECT_EQ(buttonsOf(playlist), before);
    EXPECT_EQ(spy.count(), 0);
}

// ---- delete ----

namespace {
struct DeleteCase
{
    const char *name;
    QStringList list;
    int selected;
    QStringList after;
    int selectedAfter;
};
} // namespace

class PlaylistDelete : public testing::TestWithParam<DeleteCase>
{
};

TEST_P(PlaylistDelete, SelectsTheEntryThatMovesUp)
{
    const DeleteCase &c = GetParam();
    Playlist playlist;
    playlist.open(c.list);
    playlist.select(c.selected);
    playlist.remove();
    EXPECT_EQ(playlist.entries(), c.after);
    EXPECT_EQ(playlist.selectedIndex(), c.selectedAfter);
    const bool selected = c.selectedAfter >= 0;
    EXPECT_EQ(buttonsOf(playlist), (Buttons{!c.after.isEmpty(), false, selected, selected}));
}

TEST_P(PlaylistDelete, DuringPlayLeavesPlayAndStopAlone)
{
    const DeleteCase &c = GetParam();
    Playlist playlist;
    playlist.open(c.list);
    playlist.select(c.selected);
    ASSERT_TRUE(playlist.start().running);
    playlist.remove();
    EXPECT_EQ(playlist.entries(), c.after);
    EXPECT_EQ(buttonsOf(playlist), c.selectedAfter >= 0 ? kPlayingSelected : kPlayingUnselected);
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistDelete,
    testing::Values(DeleteCase{"Middle", kPqr, 1, {u"p"_s, u"r"_s}, 1},
                    DeleteCase{"First", kPqr, 0, {u"q"_s, u"r"_s}, 0},
                    DeleteCase{"Last", kPqr, 2, {u"p"_s, u"q"_s}, -1},
                    DeleteCase{"OnlyEntry", {u"p"_s}, 0, {}, -1},
                    DeleteCase{"OneOfTwinsKeepsTheOther", {u"p"_s, u"p"_s}, 0, {u"p"_s}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- pick ----

TEST(Playlist, PickGivesTheSelectedTextAndTouchesNoButton)
{
    Playlist playlist;
    playlist.add(u"p"_s);
    playlist.add(u"q"_s);
    playlist.select(1);
    QSignalSpy spy(&playlist, &Playlist::changed);
    EXPECT_EQ(playlist.pick(), u"q"_s);
    EXPECT_EQ(buttonsOf(playlist), kIdleUnselected);
    playlist.select(-1);
    spy.clear();
    EXPECT_EQ(playlist.pick(), std::nullopt);
    EXPECT_EQ(spy.count(), 0);
}

// ---- open and start-up ----

using Loader = void (Playlist::*)(const QStringList &);

namespace {
struct LoadCase
{
    const char *name;
    Loader load;
    QStringList list;
    int selected;
    Buttons buttons;
};
} // namespace

class PlaylistLoad : public testing::TestWithParam<LoadCase>
{
};

TEST_P(PlaylistLoad, ReplacesTheListAndSelectsTheFirst)
{
    const LoadCase &c = GetParam();
    Playlist playlist;
    playlist.add(u"old"_s);
    (playlist.*c.load)(c.list);
    EXPECT_EQ(playlist.entries(), c.list);
    EXPECT_EQ(playlist.selectedIndex(), c.selected);
    EXPECT_EQ(buttonsOf(playlist), c.buttons);
}

// A run still going when a list is loaded is the window's to end; the buttons go idle.
TEST_P(PlaylistLoad, DuringPlayGoesIdle)
{
    const LoadCase &c = GetParam();
    Playlist playlist;
    playlist.open(kAbcde);
    playlist.select(3);
    ASSERT_TRUE(playlist.start().running);
    (playlist.*c.load)(c.list);
    EXPECT_EQ(playlist.selectedIndex(), c.selected);
    EXPECT_EQ(buttonsOf(playlist), c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistLoad,
    testing::Values(LoadCase{"OpenThree", &Playlist::open, kPqr, 0, kIdleSelected},
                    LoadCase{"OpenEmpty", &Playlist::open, {}, -1, kAllOff},
                    LoadCase{"OpenEmptyLines", &Playlist::open, {QString(), QString()}, 0, kIdleSelected},
                    LoadCase{"StoredThree", &Playlist::loadStored, kPqr, 0, kIdleSelected},
                    LoadCase{"StoredEmpty", &Playlist::loadStored, {}, -1, kAllOff}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- start and stop ----

TEST(Playlist, StartRunsTheSelectedEntry)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(2);
    const Playlist::StartResult result = playlist.start();
    EXPECT_TRUE(result.running);
    EXPECT_EQ(result.text, u"r"_s);
    EXPECT_EQ(buttonsOf(playlist), kPlayingSelected);

    playlist.stop();
    EXPECT_EQ(buttonsOf(playlist), kIdleSelected);
}

// Nothing selected is not an error: the list plays from its first entry, which takes the
// selection so that the run goes on from there.
TEST(Playlist, StartWithNothingSelectedPlaysTheFirstEntry)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(-1);
    const Playlist::StartResult result = playlist.start();
    EXPECT_TRUE(result.running);
    EXPECT_EQ(result.text, u"p"_s);
    EXPECT_EQ(playlist.selectedIndex(), 0);
    // Delete and Replace were enabled by the open and stay so.
    EXPECT_EQ(buttonsOf(playlist), kPlayingSelected);
    EXPECT_EQ(advanceTimes(playlist, 2), (QStringList{u"q"_s, u"r"_s}));

    playlist.stop();
    EXPECT_EQ(buttonsOf(playlist), kIdleSelected);
}

// Ways to an empty list; Start on it changes nothing and Stop is never lit.
namespace {
struct EmptyCase
{
    const char *name;
    std::function<void(Playlist &)> reach;
};
} // namespace

class PlaylistEmpty : public testing::TestWithParam<EmptyCase>
{
};

TEST_P(PlaylistEmpty, OffersNoPlayAndStartDoesNothing)
{
    Playlist playlist;
    GetParam().reach(playlist);
    ASSERT_EQ(playlist.count(), 0);
    EXPECT_EQ(buttonsOf(playlist), kAllOff);

    QSignalSpy spy(&playlist, &Playlist::changed);
    const Playlist::StartResult result = playlist.start();
    EXPECT_FALSE(result.running);
    EXPECT_EQ(buttonsOf(playlist), kAllOff);
    EXPECT_EQ(playlist.selectedIndex(), -1);
    EXPECT_EQ(spy.count(), 0);

    playlist.add(u"x"_s);
    EXPECT_TRUE(playlist.playEnabled()) << "an entry to play brings Play back";
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistEmpty,
    testing::Values(EmptyCase{"New", [](Playlist &) {}},
                    EmptyCase{"StoredEmpty", [](Playlist &p) { p.loadStored({}); }},
                    EmptyCase{"OpenedEmpty", [](Playlist &p) { p.open({}); }},
                    EmptyCase{"EveryEntryDeleted",
                              [](Playlist &p) {
                                  p.open(kPqr);
                                  for (int i = 0; i < 3; ++i)
                                      p.remove();
                              }},
                    EmptyCase{"AddedThenDeleted",
                              [](Playlist &p) {
                                  p.add(u"x"_s);
                                  p.select(0);
                                  p.remove();
                              }},
                    // The ticker ran out at the end of its run; Stop was never pressed.
                    EmptyCase{"EmptiedDuringPlay",
                              [](Playlist &p) {
                                  p.open(kPqr);
                                  (void)p.start();
                                  for (int i = 0; i < 3; ++i)
                                      p.remove();
                                  (void)p.advance();
                              }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Playlist, StartDuringPlayRestartsFromTheSelection)
{
    Playlist playlist;
    playlist.open(kAbcde);
    ASSERT_EQ(playlist.start().text, u"a"_s);
    playlist.advance();
    playlist.select(3);
    const Playlist::StartResult result = playlist.start();
    EXPECT_TRUE(result.running);
    EXPECT_EQ(result.text, u"d"_s);
    EXPECT_EQ(buttonsOf(playlist), kPlayingSelected);
}

// ---- advance ----

namespace {
struct AdvanceCase
{
    const char *name;
    QStringList list;
    int startAt;
    int operatorSelects; // after the first run has begun; -2 when the operator does nothing
    QStringList runs;    // the texts of the next runs
};
} // namespace

class PlaylistAdvance : public testing::TestWithParam<AdvanceCase>
{
};

TEST_P(PlaylistAdvance, LoopsOnFromTheSelection)
{
    const AdvanceCase &c = GetParam();
    Playlist playlist;
    playlist.open(c.list);
    playlist.select(c.startAt);
    ASSERT_EQ(playlist.start().text, c.list.at(c.startAt));
    if (c.operatorSelects != -2)
        playlist.select(c.operatorSelects);
    EXPECT_EQ(advanceTimes(playlist, int(c.runs.size())), c.runs);
    EXPECT_EQ(playlist.selectedEntry(), c.runs.last());
    EXPECT_EQ(buttonsOf(playlist), kPlayingSelected);
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistAdvance,
    testing::Values(
        AdvanceCase{"FromTheLastWraps", kPqr, 2, -2, {u"p"_s, u"q"_s, u"r"_s, u"p"_s, u"q"_s}},
        AdvanceCase{"FromTheFirst", kPqr, 0, -2, {u"q"_s, u"r"_s, u"p"_s}},
        AdvanceCase{"OneEntryRepeats", {u"only"_s}, 0, -2, {u"only"_s, u"only"_s, u"only"_s}},
        AdvanceCase{"OperatorSelectsTheFourth", kAbcde, 1, 3, {u"e"_s, u"a"_s}},
        AdvanceCase{"OperatorSelectsTheLast", {u"a"_s, u"b"_s, u"c"_s, u"d"_s}, 1, 3, {u"a"_s, u"b"_s}},
        AdvanceCase{"OperatorSelectsNothing", kAbcde, 2, -1, {u"a"_s, u"b"_s}},
        AdvanceCase{"DuplicatesEachRun", {u"x"_s, u"x"_s, u"y"_s}, 0, -2, {u"x"_s, u"y"_s, u"x"_s}}),
    [](const auto &info) { return std::string(info.param.name); });

// Edits reach the ticker only through the position: each is run when the loop comes to it.
TEST(Playlist, EditsDuringPlayAreRunWhenReached)
{
    Playlist playlist;
    playlist.open(kAbcde);
    ASSERT_EQ(playlist.start().text, u"a"_s);

    playlist.select(2);
    playlist.replace(u"C"_s); // c -> C, still selected
    playlist.add(u"new"_s);   // a b new C d e, "new" selected
    EXPECT_EQ(advanceTimes(playlist, 2), (QStringList{u"C"_s, u"d"_s}));

    playlist.remove(); // a b new C e, "e" selected
    EXPECT_EQ(advanceTimes(playlist, 4), (QStringList{u"a"_s, u"b"_s, u"new"_s, u"C"_s}));
}

// The run under way finishes its text; its end finds nothing to play and the list stops.
TEST(Playlist, EmptiedDuringPlayStopsAtTheEndOfTheRun)
{
    Playlist playlist;
    playlist.open(kPqr);
    ASSERT_TRUE(playlist.start().running);
    for (int i = 0; i < 3; ++i)
        playlist.remove();
    ASSERT_EQ(playlist.count(), 0);
    EXPECT_EQ(buttonsOf(playlist), kPlayingUnselected) << "the current run still goes on";
    EXPECT_EQ(playlist.advance(), std::nullopt);
    EXPECT_EQ(playlist.selectedIndex(), -1);
    EXPECT_EQ(buttonsOf(playlist), kAllOff);
    EXPECT_EQ(playlist.advance(), std::nullopt);
    EXPECT_EQ(buttonsOf(playlist), kAllOff);
}

TEST(Playlist, AdvanceWithNothingSelectedTakesTheFirst)
{
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(-1);
    EXPECT_EQ(playlist.advance(), u"p"_s);
    EXPECT_EQ(playlist.selectedIndex(), 0);
}

// ---- changed() ----

namespace {
struct SignalCase
{
    const char *name;
    std::function<void(Playlist &)> act;
    bool emits;
};
} // namespace

class PlaylistSignal : public testing::TestWithParam<SignalCase>
{
};

// From p q r with q selected, idle.
TEST_P(PlaylistSignal, EmittedExactlyOnRealChanges)
{
    const SignalCase &c = GetParam();
    Playlist playlist;
    playlist.open(kPqr);
    playlist.select(1);
    const QStringList entries = playlist.entries();
    const int selected = playlist.selectedIndex();
    const Buttons buttons = buttonsOf(playlist);
    QSignalSpy spy(&playlist, &Playlist::changed);

    c.act(playlist);

    const bool changed = playlist.entries() != entries || playlist.selectedIndex() != selected
                         || buttonsOf(playlist) != buttons;
    EXPECT_EQ(changed, c.emits);
    EXPECT_EQ(spy.count(), c.emits ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Playlist, PlaylistSignal,
    testing::Values(SignalCase{"Add", [](Playlist &p) { p.add(u"x"_s); }, true},
                    SignalCase{"AddDuplicate", [](Playlist &p) { p.add(u"q"_s); }, true},
                    SignalCase{"Replace", [](Playlist &p) { p.replace(u"x"_s); }, true},
                    SignalCase{"ReplaceWithTheSameText", [](Playlist &p) { p.replace(u"q"_s); }, false},
                    SignalCase{"Delete", [](Playlist &p) { p.remove(); }, true},
                    SignalCase{"SelectAnother", [](Playlist &p) { p.select(2); }, true},
                    SignalCase{"SelectTheSame", [](Playlist &p) { p.select(1); }, false},
                    SignalCase{"Pick", [](Playlist &p) { (void)p.pick(); }, false},
                    SignalCase{"Start", [](Playlist &p) { (void)p.start(); }, true},
                    SignalCase{"StopWhenIdle", [](Playlist &p) { p.stop(); }, false},
                    SignalCase{"Advance", [](Playlist &p) { (void)p.advance(); }, true},
                    SignalCase{"OpenAnotherList", [](Playlist &p) { p.open({u"z"_s}); }, true},
                    // Only the selection moves back to the first entry.
                    SignalCase{"OpenTheSameList", [](Playlist &p) { p.open(kPqr); }, true},
                    SignalCase{"StoredAnotherList", [](Playlist &p) { p.loadStored({}); }, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Playlist, StopAfterStartEmitsAndRestoresIdle)
{
    Playlist playlist;
    playlist.open(kPqr);
    (void)playlist.start();
    QSignalSpy spy(&playlist, &Playlist::changed);
    playlist.stop();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(buttonsOf(playlist), kIdleSelected);
}

// ---- size ----

// Each step here is linear in the list only through QStringList's own insert and remove;
// a copy or comparison of the whole list per step would not finish.
TEST(Playlist, HundredThousandEntriesStayWorkable)
{
    constexpr int kCount = 100000;
    QStringList list;
    list.reserve(kCount);
    for (int i = 0; i < kCount; ++i)
        list.append(QString::number(i));

    Playlist playlist;
    playlist.open(list);
    QSignalSpy spy(&playlist, &Playlist::changed);

    playlist.select(kCount / 2);
    for (int i = 0; i < 1000; ++i)
        playlist.add(u"added"_s);
    EXPECT_EQ(playlist.count(), kCount + 1000);
    for (int i = 0; i < 1000; ++i)
        playlist.remove();
    EXPECT_EQ(playlist.count(), kCount);
    EXPECT_EQ(playlist.selectedEntry(), QString::number(kCount / 2));

    playlist.select(kCount - 2);
    ASSERT_EQ(playlist.start().text, QString::number(kCount - 2));
    QString last;
    for (int i = 0; i < kCount; ++i)
        last = playlist.advance().value_or(QString());
    // A full loop ends where it began.
    EXPECT_EQ(last, QString::number(kCount - 2));
    EXPECT_EQ(spy.count(), 1 + 1000 + 1000 + 1 + 1 + kCount);
}
