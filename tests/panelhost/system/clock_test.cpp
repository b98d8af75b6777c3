// The bench's clock and message loop always return: a device that keeps falling due at one
// instant is held back after a bounded count, a wait that serves too many events ends early, and a
// window that keeps posting to itself is cut off, each with a warning naming it.
#include "panelhost/system/clock.h"
#include "panelhost/base/trace.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t LONGEST_WAIT = std::uint64_t(1) << 40;

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

// A device that reschedules itself at the instant it is served, with no window involved.
class SelfReschedulingDevice : public sim::ClockedDevice {
public:
    std::uint64_t next_event_ms() const override { return due_at; }
    void on_clock(std::uint64_t now) override
    {
        ++served;
        due_at = now;
    }
    const char* name() const override { return "self-rescheduling device"; }
    std::uint64_t due_at = sim::NO_EVENT;
    unsigned long served = 0;
};

// A device due every period, remembering when it was served.
class TickingDevice : public sim::ClockedDevice {
public:
    explicit TickingDevice(std::uint64_t period_ms, unsigned long ticks = ~0ul) : period(period_ms), left(ticks)
    {
        due_at = sim::now_ms() + period;
    }
    std::uint64_t next_event_ms() const override { return left > 0 ? due_at : sim::NO_EVENT; }
    void on_clock(std::uint64_t now) override
    {
        served_at.push_back(now);
        --left;
        due_at = now + period;
    }
    const char* name() const override { return "ticking device"; }
    std::uint64_t period;
    unsigned long left;
    std::uint64_t due_at;
    std::vector<std::uint64_t> served_at;
};

// Each test's devices are on the clock for the test only.
class OnTheClock {
public:
    explicit OnTheClock(std::vector<sim::ClockedDevice*> devices) : devices_(std::move(devices))
    {
        for (sim::ClockedDevice* device : devices_)
            sim::add_clocked_device(device);
    }
    ~OnTheClock()
    {
        for (sim::ClockedDevice* device : devices_)
            sim::remove_clocked_device(device);
    }

private:
    std::vector<sim::ClockedDevice*> devices_;
};

HWND make_window(const char* class_name, WNDPROC procedure)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);
    return CreateWindowExA(0, class_name, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

std::string captured_trace(const std::function<void()>& run)
{
    testing::internal::CaptureStdout();
    run();
    panelhost::trace_flush();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

std::string instant_warning(const char* device, std::uint64_t at)
{
    return "warning clock: the " + std::string(device) + " fell due 1000 times at " + std::to_string(at) +
           " ms; the clock moves on\n";
}

TEST(BenchClock, ADeviceRestartedAtOnceIsServed1000TimesThenWaitsForTheNextWait)
{
    instant_device.restarter = make_window("Restart", restart_procedure);
    ASSERT_NE(instant_device.restarter, nullptr);
    instant_device.armed = true;
    OnTheClock clock({&instant_device});
    std::uint64_t start = sim::now_ms();

    std::string out = captured_trace([] { panelhost::advance_clock(1000); });
    EXPECT_EQ(instant_device.served, 1000u) << "served at " << start;
    EXPECT_EQ(out, instant_warning("instant device", start));
    EXPECT_EQ(sim::now_ms(), start + 1000) << "the wait reached its end";

    // Still due, it is served at the next wait, at that wait's first instant, and bounded again.
    out = captured_trace([] { panelhost::advance_clock(10); });
    EXPECT_EQ(instant_device.served, 2000u);
    EXPECT_EQ(out, instant_warning("instant device", start + 1000));
    EXPECT_EQ(sim::now_ms(), start + 1010);
    DestroyWindow(instant_device.restarter);
}

TEST(BenchClock, ADeviceReschedulingItselfIsHeldBackWhileTheOthersGoOn)
{
    SelfReschedulingDevice self;
    TickingDevice ticker(100);
    self.due_at = sim::now_ms();
    std::uint64_t start = sim::now_ms();
    OnTheClock clock({&self, &ticker});

    std::string out = captured_trace([] { panelhost::advance_clock(1000); });
    EXPECT_EQ(self.served, 1000u);
    EXPECT_EQ(out, instant_warning("self-rescheduling device", start));
    std::vector<std::uint64_t> ticks;
    for (std::uint64_t at = start + 100; at <= start + 1000; at += 100)
        ticks.push_back(at);
    EXPECT_EQ(ticker.served_at, ticks) << "the other device's events are all served, on time";
    EXPECT_EQ(sim::now_ms(), start + 1000);
}

struct LongWait {
    const char* name;
    std::uint64_t wait_ms;
    unsigned long served;      // the every-millisecond device's events
    std::uint64_t clock_at;    // after start
    bool cut;
};

TEST(BenchClock, OneWaitServesAtMost100000Events)
{
    const LongWait cases[] = {
        {"a wait of exactly 100000 events ends at its end", 100000, 100000, 100000, false},
        {"the longest wait ends after 100000 events", LONGEST_WAIT, 100000, 100000, true},
        {"one event past the bound ends the wait one short", 100001, 100000, 100000, true},
    };
    for (const LongWait& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint64_t start = sim::now_ms();
        TickingDevice every_ms(1);
        OnTheClock clock({&every_ms});
        std::string out = captured_trace([&] { panelhost::advance_clock(c.wait_ms); });
        EXPECT_EQ(every_ms.served_at.size(), c.served);
        EXPECT_EQ(sim::now_ms(), start + c.clock_at);
        std::string warning = c.cut ? "warning clock: one wait served 100000 device events, the last by the ticking "
                                      "device at " + std::to_string(start + c.clock_at) + " ms; the wait ends there, " +
                                          std::to_string(c.wait_ms - c.clock_at) + " ms short\n"
                                    : "";
        EXPECT_EQ(out, warning);
        if (!every_ms.served_at.empty()) {
            EXPECT_EQ(every_ms.served_at.back(), start + c.clock_at) << "the clock stays where the last event was";
        }
    }
}

TEST(BenchClock, AWaitThatWasCutGoesOnAtTheNextWait)
{
    std::uint64_t start = sim::now_ms();
    TickingDevice every_ms(1);
    OnTheClock clock({&every_ms});
    captured_trace([] { panelhost::advance_clock(LONGEST_WAIT); });
    std::string out = captured_trace([] { panelhost::advance_clock(5); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(every_ms.served_at.size(), 100005u);
    EXPECT_EQ(sim::now_ms(), start + 100005);
}

TEST(BenchClock, AWaitOfAFewEventsServesEachAtItsTime)
{
    std::uint64_t start = sim::now_ms();
    TickingDevice three(10, 3);
    OnTheClock clock({&three});
    std::string out = captured_trace([] { panelhost::advance_clock(100); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(three.served_at, (std::vector<std::uint64_t>{start + 10, start + 20, start + 30}));
    EXPECT_EQ(sim::now_ms(), start + 100);
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
