// What the back-end and stand-in tests share: the platform's trace collected line by line, and
// the simulated CD drive and mixer put back as the bench starts them before every test.
#pragma once

#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"
#include "platform/sim/simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace device_bench {

using Lines = std::vector<std::string>;

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::cd_drive().reset();
        sim::mixer().reset();
        sim::set_trace_sink(collect, this);
    }
    void TearDown() override { sim::set_trace_sink(nullptr, nullptr); }

    // The lines traced since the last call.
    Lines take_trace()
    {
        Lines taken;
        taken.swap(trace_);
        return taken;
    }
    // Moves the host clock on.
    static void advance_ms(std::uint64_t ms) { sim::run_until(sim::now_ms() + ms); }

private:
    static void collect(const char* line, void* self) { static_cast<DeviceTest*>(self)->trace_.emplace_back(line); }
    Lines trace_;
};

// Passes when the traces are equal; otherwise shows both, line by line.
inline ::testing::AssertionResult same_trace(const Lines& expected, const Lines& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "\n  expected trace:\n";
    for (const std::string& line : expected)
        failure << "    " << line << "\n";
    failure << "  actual trace:\n";
    for (const std::string& line : actual)
        failure << "    " << line << "\n";
    return failure;
}

}  // namespace device_bench

#define EXPECT_TRACE(expected, actual) EXPECT_TRUE(::device_bench::same_trace((expected), (actual)))
