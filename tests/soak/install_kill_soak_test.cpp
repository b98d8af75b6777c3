// The radio installed and killed ten thousand times in one process, then reloaded a hundred
// times: everything the platform holds for it stands where it stood after the first cycles.
#include "tests/soak/soak_support.h"

#include <gtest/gtest.h>

namespace {

// The allocator keeps caches (free lists, per-size bins, the iostream and locale buffers first
// used during the warm-up) that may hold a little more or less from one moment to the next;
// a leak of even a few bytes a cycle outgrows this within the ten thousand cycles.
constexpr std::int64_t HEAP_SLACK = 64 * 1024;
constexpr int WARM_UP_CYCLES = 10;

void expect_no_devices(const soak::Bench& bench, const char* when, std::uint64_t cycle)
{
    for (const soak::Count& count : soak::take_census(bench)) {
        if (soak::is_device_count(count.name)) {
            EXPECT_EQ(count.value, 0) << count.name << " after the kill of " << when << " cycle " << cycle;
        }
    }
}

void expect_balanced(const soak::Census& before, const soak::Census& after, const char* when, std::uint64_t cycle)
{
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t index = 0; index < before.size(); ++index)
        EXPECT_EQ(before[index].value, after[index].value)
            << before[index].name << ": " << before[index].value << " after the warm-up, " << after[index].value
            << " after " << when << " cycle " << cycle;
}

TEST(RadioSoak, InstallKillAndReloadLeaveNothingBehind)
{
    const std::uint64_t cycles = soak::count_from_environment("SOAK_INSTALL_CYCLES", 10000);
    const std::uint64_t reloads = soak::count_from_environment("SOAK_RELOAD_CYCLES", 100);
    std::printf("install/kill cycles %llu, reloads %llu\n", static_cast<unsigned long long>(cycles),
                static_cast<unsigned long long>(reloads));
    soak::Bench bench;
    soak::set_up(bench);
    panelhost::Host host(soak::radio_options("radio.so"));
    std::string error;
    ASSERT_TRUE(host.load(error)) << error;

    for (int cycle = 0; cycle < WARM_UP_CYCLES; ++cycle) {
        host.install_and_initialize();
        host.kill();
    }
    const soak::Census warm = soak::take_census(bench);
    const std::int64_t warm_heap = soak::heap_in_use();
    expect_no_devices(bench, "warm-up", WARM_UP_CYCLES);

    for (std::uint64_t cycle = 1; cycle <= cycles; ++cycle) {
        host.install_and_initialize();
        if (cycle == 1) {
            // the install really reached the devices: the click's buffer and the CD are open
            const soak::Census installed = soak::take_census(bench);
            EXPECT_GT(installed[8].value, 0) << installed[8].name << " while installed";
            EXPECT_GT(installed[12].value, 0) << installed[12].name << " while installed";
        }
        host.kill();
        if (cycle % 1000 == 0 || cycle == cycles) {
            expect_no_devices(bench, "install", cycle);
            if (testing::Test::HasFailure())
                return;
        }
    }
    expect_balanced(warm, soak::take_census(bench), "install", cycles);

    for (std::uint64_t cycle = 1; cycle <= reloads; ++cycle) {
        // a reload unloads, loads and installs again
        ASSERT_TRUE(host.reload(error)) << "reload " << cycle << ": " << error;
        host.kill();
        host.install_and_initialize();
        host.kill();
        expect_no_devices(bench, "reload", cycle);
        if (testing::Test::HasFailure())
            return;
    }
    expect_balanced(warm, soak::take_census(bench), "reload", reloads);
    const std::int64_t heap = soak::heap_in_use();
    EXPECT_LE(heap, warm_heap + HEAP_SLACK) << "heap in use: " << warm_heap << " bytes after the warm-up, " << heap
                                            << " after " << cycles << " install cycles and " << reloads << " reloads";
    std::printf("heap in use: %lld bytes after the warm-up, %lld at the end; %zu trace lines\n",
                static_cast<long long>(warm_heap), static_cast<long long>(heap), bench.trace_lines);
    host.unload();
}

}  // namespace
