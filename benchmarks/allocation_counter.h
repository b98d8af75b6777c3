// Heap allocations counted by the code that asked for them: the gauge module's own, or anyone's.
//
// The benchmark binaries replace the C allocator (malloc and its family, which operator new and
// every container reach). Every allocation is counted; while attribution is on, the stack of each
// one is walked past the runtime libraries (the C and C++ libraries, the unwinder, the loader) to
// the first frame of other code, and the allocation is the gauge's when that frame lies inside the
// watched module's image. So a std::string the module builds counts for the module, and a buffer
// that a stand-in device allocates for a call the module made counts for the stand-in.
#pragma once

#include <cstdint>
#include <string>

namespace allocation_counter {

struct Counts {
    std::uint64_t total = 0;    // every allocation of the process
    std::uint64_t module = 0;   // those made by the watched module's own code
};

// Finds the loaded module whose file is PATH and the runtime libraries' images; false with the
// error if the module is not loaded. Call after the module loads, again after it reloads.
bool watch_module(const std::string& path, std::string& error);

// Counts only from here on; attribution costs a stack walk per allocation, so it is off (and the
// module count stands still) unless turned on.
void set_attribution(bool enabled);
Counts counts();

// The counts of what the callable does, attributed.
template <typename F>
Counts count(F&& what)
{
    Counts before = counts();
    set_attribution(true);
    what();
    set_attribution(false);
    Counts after = counts();
    return {after.total - before.total, after.module - before.module};
}

}  // namespace allocation_counter
