// The gauges allocate nothing in an update pass or a click, in any of the measured states; and
// the counter that says so blames the right code.
#include "benchmarks/allocation_counter.h"
#include "benchmarks/gauge_scenarios.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <memory>

namespace {

constexpr int ACTS = 40;

// ---- the counter on a library that allocates in known ways ----

struct ProbeCase {
    const char* function;
    std::uint64_t module_allocations;
};

class ProbeLibrary : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        path = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "allocation_probe.so").string();
        library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(nullptr, library) << dlerror();
        std::string error;
        ASSERT_TRUE(allocation_counter::watch_module(path, error)) << error;
    }

    static std::string path;
    static void* library;
};

std::string ProbeLibrary::path;
void* ProbeLibrary::library = nullptr;

class AllocationCounter : public ProbeLibrary, public testing::WithParamInterface<ProbeCase> {};

const ProbeCase PROBE_CASES[] = {
    {"probe_new", 1},
    {"probe_malloc", 1},
    {"probe_string", 1},
    {"probe_vector", 2},
    {"probe_nothing", 0},
};

TEST_P(AllocationCounter, BlamesTheLibraryForItsOwnAllocations)
{
    const ProbeCase& probe = GetParam();
    auto function = reinterpret_cast<void (*)()>(dlsym(library, probe.function));
    ASSERT_NE(nullptr, function) << probe.function;
    allocation_counter::Counts counted = allocation_counter::count(function);
    EXPECT_EQ(probe.module_allocations, counted.module) << probe.function;
    EXPECT_GE(counted.total, counted.module) << probe.function;
}

INSTANTIATE_TEST_SUITE_P(Probes, AllocationCounter, testing::ValuesIn(PROBE_CASES),
                         [](const testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.function); });

long* kept;

void allocate_here()
{
    delete kept;
    kept = new long(1);
}

TEST_F(ProbeLibrary, BlamesTheCallerOfACallbackForWhatTheCallbackAllocates)
{
    auto call_back = reinterpret_cast<void (*)(void (*)())>(dlsym(library, "probe_call_back"));
    ASSERT_NE(nullptr, call_back);
    allocation_counter::Counts counted = allocation_counter::count([&] { call_back(allocate_here); });
    EXPECT_EQ(0u, counted.module);
    EXPECT_EQ(1u, counted.total);
}

TEST_F(ProbeLibrary, CountsNothingForTheModuleWhileAttributionIsOff)
{
    auto function = reinterpret_cast<void (*)()>(dlsym(library, "probe_new"));
    ASSERT_NE(nullptr, function);
    allocation_counter::Counts before = allocation_counter::counts();
    function();
    allocation_counter::Counts after = allocation_counter::counts();
    EXPECT_EQ(before.module, after.module);
    EXPECT_EQ(before.total + 1, after.total);
}

// ---- the gauges ----

class GaugeAllocations : public testing::TestWithParam<const gauge_bench::Scenario*> {};

std::vector<const gauge_bench::Scenario*> allocation_free_scenarios()
{
    std::vector<const gauge_bench::Scenario*> chosen;
    for (const gauge_bench::Scenario& scenario : gauge_bench::scenarios())
        if (scenario.allocation_free)
            chosen.push_back(&scenario);
    return chosen;
}

TEST_P(GaugeAllocations, NoneInTheGaugesCode)
{
    const gauge_bench::Scenario& scenario = *GetParam();
    gauge_bench::Session session(scenario);
    std::uint64_t module = 0, total = 0;
    for (int i = 0; i < ACTS; ++i) {
        allocation_counter::Counts one = allocation_counter::count([&] { session.act(); });
        module += one.module;
        total += one.total;
        if (session.restore_due())
            session.restore();
    }
    EXPECT_EQ(0u, module) << scenario.name << ": " << module << " allocations by the gauge in " << ACTS
                          << " acts (" << total << " in all)";
}

// The install is allowed its allocations (they are the stand-ins' and the host's), but the
// counter must see the module while it is loaded: a gauge session counts allocations at all.
TEST(GaugeAllocationCounting, SeesTheHostsAllocationsInAnInstall)
{
    for (const gauge_bench::Scenario& scenario : gauge_bench::scenarios()) {
        if (std::string(scenario.name) != "radio/install/six_songs")
            continue;
        gauge_bench::Session session(scenario);
        allocation_counter::Counts counted = allocation_counter::count([&] { session.act(); });
        EXPECT_GT(counted.total, 0u) << scenario.name;
        session.restore();
        return;
    }
    FAIL() << "no install scenario";
}

std::string scenario_test_name(const testing::TestParamInfo<const gauge_bench::Scenario*>& info)
{
    std::string name = info.param->name;
    for (char& c : name)
        if (c == '/')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GaugeAllocations, testing::ValuesIn(allocation_free_scenarios()),
                         scenario_test_name);

}  // namespace
