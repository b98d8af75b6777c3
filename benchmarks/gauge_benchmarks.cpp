// Time per update pass, per click and per install of both gauges, with the allocations of each:
// those of the gauge module's own code and those of the whole process (bench host and stand-ins),
// and the CD drive's commands.
#include "benchmarks/allocation_counter.h"
#include "benchmarks/gauge_scenarios.h"

#include <benchmark/benchmark.h>

namespace {

// Acts counted for the allocation figures, after the timed loop and outside its clock.
constexpr int COUNTED_ACTS = 200;

void run_scenario(benchmark::State& state, const gauge_bench::Scenario* scenario)
{
    gauge_bench::Session session(*scenario);
    for (auto _ : state) {
        session.act();
        if (session.restore_due()) {
            state.PauseTiming();
            session.restore();
            state.ResumeTiming();
        }
    }

    allocation_counter::Counts counted;
    std::uint64_t mci_before = gauge_bench::mci_commands();
    for (int i = 0; i < COUNTED_ACTS; ++i) {
        allocation_counter::Counts one = allocation_counter::count([&] { session.act(); });
        counted.total += one.total;
        counted.module += one.module;
        if (session.restore_due()) {
            // the restore's commands are not the act's
            std::uint64_t before_restore = gauge_bench::mci_commands();
            session.restore();
            mci_before += gauge_bench::mci_commands() - before_restore;
        }
    }
    state.counters["mci"] = double(gauge_bench::mci_commands() - mci_before) / COUNTED_ACTS;
    state.counters["gauge_allocs"] = double(counted.module) / COUNTED_ACTS;
    state.counters["total_allocs"] = double(counted.total) / COUNTED_ACTS;
}

}  // namespace

int main(int argc, char** argv)
{
    gauge_bench::set_up_process();
    for (const gauge_bench::Scenario& scenario : gauge_bench::scenarios())
        benchmark::RegisterBenchmark(scenario.name, run_scenario, &scenario);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
