// Instructions per act under callgrind: runs N acts of each scenario (or of those whose name
// holds FILTER) and collects only while an act runs, dumping one profile per scenario named for
// it. Run it as: valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no gauge_callgrind N
#include "benchmarks/gauge_scenarios.h"
#include "base/text.h"

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    long long acts = 0;
    if (argc < 2 || argc > 3 || !base::read_whole_number(argv[1], 1, 1000000000, acts)) {
        std::fprintf(stderr, "usage: gauge_callgrind ACTS [FILTER]\n");
        return 2;
    }
    const char* filter = argc == 3 ? argv[2] : "";
    gauge_bench::set_up_process();
    for (const gauge_bench::Scenario& scenario : gauge_bench::scenarios()) {
        if (!std::strstr(scenario.name, filter))
            continue;
        gauge_bench::Session session(scenario);
        CALLGRIND_START_INSTRUMENTATION;
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < acts; ++i) {
            CALLGRIND_TOGGLE_COLLECT;
            session.act();
            CALLGRIND_TOGGLE_COLLECT;
            if (session.restore_due())
                session.restore();
        }
        CALLGRIND_DUMP_STATS_AT(scenario.name);
        CALLGRIND_STOP_INSTRUMENTATION;
        std::printf("%s %lld\n", scenario.name, acts);
    }
    return 0;
}
