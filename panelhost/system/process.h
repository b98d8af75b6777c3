// What the bench's own process holds: its threads and its resident memory.
#pragma once

#include <cstdint>

namespace panelhost {

struct ProcessCensus {
    long threads = -1;               // -1: the platform could not say
    std::int64_t resident_kb = -1;
};

ProcessCensus process_census();

}  // namespace panelhost
