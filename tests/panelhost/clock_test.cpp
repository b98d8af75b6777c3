// The bench's clock and message loop always return: events that keep falling due at one instant
// and a window that keeps posting to itself are cut off with a warning naming them.
#include "panelhost/clock.h"
#include "panelhost/trace.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A device that ends the moment it starts, and a window that restarts it at every end: the
// device is due again at the instant it was served, as a song without samples would be.
class InstantDevice : public sim::ClockedDevice {
public:
    std::uint64_t next_event_ms() const override { return armed ? sim::now_ms() : sim::NO_EVENT; }
    void on_clock(std::uint64_t) override
    {
        armed = false;
        ++served;
        PostMessageA(restarter, WM_USER, 0, 0);
    }
    const char* name() const override { return "instant device"; }
    bool armed = false;
    unsigned long served = 0;
    HWND restarter = nullptr;
};

InstantDevice instant_device;

LRESULT CALLBACK restart_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_USER)
        instant_device.armed = true;
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_window(const char* class_name, WNDPROC procedure)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);
    return CreateWindowExA(0, class_name, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

std::string captured_trace(void (*run)())
{
    testing::internal::CaptureStdout();
    run();
    panelhost::trace_flush();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(BenchClock, ADeviceDueAgainAtOnceIsWarnedOfAndTheClockMovesOn)
{
    instant_device.restarter = make_window("Restart", restart_procedure);
    ASSERT_NE(instant_device.restarter, nullptr);
    instant_device.armed = true;
    sim::add_clocked_device(&instant_device);
    static std::uint64_t start;
    start = sim::now_ms();
    std::string out = captured_trace([] { panelhost::advance_clock(1000); });
    EXPECT_EQ(sim::now_ms(), start + 1000);
    EXPECT_EQ(out, "warning clock: the instant device fell due 1000 times at " + std::to_string(start) +
                       " ms; the clock moves on\n");
    EXPECT_GE(instant_device.served, 1000u);
    sim::remove_clocked_device(&instant_device);
    DestroyWindow(instant_device.restarter);
}

int echoes = 0;

// Every message brings the next.
LRESULT CALLBACK echo_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_USER) {
        ++echoes;
        PostMessageA(window, WM_USER, 0, 0);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST(BenchClock, AWindowThatAlwaysPostsAgainGetsABoundedDrainAndAWarning)
{
    static HWND window;
    window = make_window("Echo", echo_procedure);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_USER, 0, 0);
    std::string out = captured_trace([] { panelhost::pump_messages(); });
    EXPECT_EQ(echoes, 1000);
    EXPECT_EQ(out, "warning window \"Echo\": 1000 messages at one instant; the rest wait for the clock to move on\n");
    // The next drain, a wait later, goes on where this one stopped.
    out = captured_trace([] { panelhost::advance_clock(10); });
    EXPECT_GT(echoes, 1000);
    DestroyWindow(window);
    out = captured_trace([] { panelhost::pump_messages(); });
    EXPECT_EQ(out, "") << "a destroyed window's messages are gone";
}

}  // namespace
