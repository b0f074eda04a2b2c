#include "app/TvSwitch.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using State = TvSwitch::State;
using Window = TvSwitch::Window;

TvSwitch switchIn(State state)
{
    TvSwitch tv;
    if (state != State::Off)
        tv.shown();
    if (state == State::Waiting)
        tv.monitorsChanged(false);
    return tv;
}

struct Step
{
    const char *what;
    State from;
    std::function<Window(TvSwitch &)> event;
    Window window;
    State to;
};

} // namespace

TEST(TvSwitch, EachEventMovesTheSwitchAndTellsTheWindowWhatToDo)
{
    const auto off = [](TvSwitch &tv) { return tv.switchOff(); };
    const auto gone = [](TvSwitch &tv) { return tv.monitorsChanged(false); };
    const auto back = [](TvSwitch &tv) { return tv.monitorsChanged(true); };
    const Step steps[] = {
        {"off stays off when the TV monitor comes", State::Off, back, Window::Keep, State::Off},
        {"off stays off when the TV monitor goes", State::Off, gone, Window::Keep, State::Off},
        {"switching off what is off does nothing", State::Off, off, Window::Keep, State::Off},
        {"on hides and waits when its monitor goes", State::On, gone, Window::Hide, State::Waiting},
        {"on covers the monitor again when the monitors change", State::On, back, Window::Show, State::On},
        {"on switched off hides", State::On, off, Window::Hide, State::Off},
        {"waiting shows again when its monitor is back", State::Waiting, back, Window::Show, State::On},
        {"waiting stays hidden while the monitor is still gone", State::Waiting, gone, Window::Keep, State::Waiting},
        {"waiting switched off stays hidden and is off", State::Waiting, off, Window::Hide, State::Off},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        TvSwitch tv = switchIn(step.from);
        ASSERT_EQ(tv.state(), step.from);
        EXPECT_EQ(step.event(tv), step.window);
        EXPECT_EQ(tv.state(), step.to);
    }
}

// The window may be shown or hidden from elsewhere (the start-up, the window system): the
// switch follows, except that its own hiding while it waits for the monitor is no "off".
TEST(TvSwitch, FollowsTheWindowShownOrHiddenFromElsewhere)
{
    TvSwitch tv;
    tv.windowVisibilityChanged(true);
    EXPECT_EQ(tv.state(), State::On);
    EXPECT_EQ(tv.monitorsChanged(false), Window::Hide);
    tv.windowVisibilityChanged(false);
    EXPECT_EQ(tv.state(), State::Waiting);
    tv.monitorsChanged(true);
    tv.windowVisibilityChanged(false);
    EXPECT_EQ(tv.state(), State::Off);
}

// The settings keep the TV on while it waits, so the next start shows it again.
TEST(TvSwitch, SwitchingOnShowsTheBoardAndWaitingCountsAsOn)
{
    TvSwitch tv;
    EXPECT_FALSE(tv.isOn());
    EXPECT_EQ(tv.switchOn(), Window::Show);
    EXPECT_EQ(tv.state(), State::Off) << "on only once the board could show";
    tv.shown();
    EXPECT_TRUE(tv.isOn());
    EXPECT_EQ(tv.switchOn(), Window::Keep);
    tv.monitorsChanged(false);
    EXPECT_TRUE(tv.isOn());
}
