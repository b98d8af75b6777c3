// What the back-end and stand-in tests share: the platform's trace collected line by line (and
// compared by EXPECT_LINES), and the simulated CD drive and mixer put back as the bench starts
// them before every test.
#pragma once

#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"
#include "platform/sim/simulation.h"
#include "tests/support/trace_lines.h"

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

}  // namespace device_bench
