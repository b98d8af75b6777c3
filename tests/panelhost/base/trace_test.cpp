// The bench's own trace lines and the platform's are formatted by one function, so both cut a
// long line at TRACE_LINE_MAX characters and drop every line while nothing takes them.
#include "panelhost/base/trace.h"
#include "platform/sim/simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> taken;

void take(const char* line, void*)
{
    taken.push_back(line);
}

struct LineLength {
    const char* name;
    std::size_t written;
    std::size_t traced;
};

const LineLength LENGTHS[] = {
    {"an empty line",                 0,                        0},
    {"a short line",                  40,                       40},
    {"a line of the longest length",  sim::TRACE_LINE_MAX,      sim::TRACE_LINE_MAX},
    {"one character longer",          sim::TRACE_LINE_MAX + 1,  sim::TRACE_LINE_MAX},
    {"twice as long",                 2 * sim::TRACE_LINE_MAX,  sim::TRACE_LINE_MAX},
};

TEST(TraceLines, ThePlatformsLinesAreCutAtTheLongestLength)
{
    sim::set_trace_sink(take, nullptr);
    for (const LineLength& c : LENGTHS) {
        taken.clear();
        std::string text(c.written, 'x');
        sim::trace("%s", text.c_str());
        ASSERT_EQ(taken.size(), 1u) << c.name;
        EXPECT_EQ(taken[0], std::string(c.traced, 'x')) << c.name << ": expected " << c.traced
                                                        << " characters, got " << taken[0].size();
    }
    sim::set_trace_sink(nullptr, nullptr);
}

TEST(TraceLines, TheBenchsLinesAreCutAlike)
{
    for (const LineLength& c : LENGTHS) {
        std::string text(c.written, 'x');
        testing::internal::CaptureStdout();
        panelhost::tracef("%s", text.c_str());
        panelhost::trace_flush();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, std::string(c.traced, 'x') + "\n") << c.name << ": expected " << c.traced + 1
                                                         << " characters, got " << out.size();
    }
}

TEST(TraceLines, NoLineGoesOutWithoutATaker)
{
    taken.clear();
    sim::set_trace_sink(nullptr, nullptr);
    sim::trace("dropped %d", 1);
    EXPECT_TRUE(taken.empty());

    panelhost::set_trace_enabled(false);
    testing::internal::CaptureStdout();
    panelhost::tracef("dropped %d", 2);
    panelhost::trace_flush();
    std::string out = testing::internal::GetCapturedStdout();
    panelhost::set_trace_enabled(true);
    EXPECT_EQ(out, "");
}

}  // namespace
