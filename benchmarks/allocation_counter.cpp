// The C allocator replaced by counting versions over glibc's own, with each allocation attributed
// by a walk of its stack to the watched module or to everything else.
#include "benchmarks/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <execinfo.h>
#include <climits>
#include <cstdlib>
#include <link.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
}

namespace allocation_counter {

namespace {

struct Range {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

// Fixed tables: the allocator may not allocate to decide whom to count.
constexpr std::size_t MAX_RANGES = 64;
Range module_ranges[MAX_RANGES];
std::size_t module_range_count = 0;
Range runtime_ranges[MAX_RANGES];
std::size_t runtime_range_count = 0;

std::atomic<std::uint64_t> total_count{0};
std::atomic<std::uint64_t> module_count{0};
std::atomic<bool> attribution{false};
thread_local bool walking = false;

// The libraries whose frames are passed over: an allocation they make is made for their caller.
const char* const RUNTIME_LIBRARIES[] = {"/libc.so", "/libstdc++.so", "/libgcc_s.so", "/libm.so", "/ld-linux"};

bool within(const Range* ranges, std::size_t count, std::uintptr_t address)
{
    for (std::size_t i = 0; i < count; ++i)
        if (address >= ranges[i].begin && address < ranges[i].end)
            return true;
    return false;
}

bool is_runtime_library(const char* name)
{
    for (const char* library : RUNTIME_LIBRARIES)
        if (std::strstr(name, library))
            return true;
    return false;
}

struct Search {
    char module_path[PATH_MAX];   // resolved
    bool module_found;
};

// Two names of one file compare equal once resolved.
bool same_file(const char* name, const char* resolved)
{
    char path[PATH_MAX];
    return *name && realpath(name, path) && std::strcmp(path, resolved) == 0;
}

void add_segments(const dl_phdr_info* info, Range* ranges, std::size_t& count)
{
    for (int i = 0; i < info->dlpi_phnum && count < MAX_RANGES; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD)
            continue;
        std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        ranges[count++] = {begin, begin + header.p_memsz};
    }
}

int collect_image(dl_phdr_info* info, std::size_t, void* data)
{
    Search& search = *static_cast<Search*>(data);
    const char* name = info->dlpi_name ? info->dlpi_name : "";
    if (same_file(name, search.module_path)) {
        add_segments(info, module_ranges, module_range_count);
        search.module_found = true;
    } else if (is_runtime_library(name)) {
        add_segments(info, runtime_ranges, runtime_range_count);
    }
    return 0;
}

// Frame 0 is this function, frame 1 the allocator entry point that called it; the allocation's
// maker is the first frame after them outside the runtime libraries.
__attribute__((noinline)) void record()
{
    total_count.fetch_add(1, std::memory_order_relaxed);
    if (!attribution.load(std::memory_order_relaxed) || walking)
        return;
    walking = true;
    void* frames[48];
    int depth = backtrace(frames, 48);
    for (int i = 2; i < depth; ++i) {
        // a return address lies just past its call: step back into the calling instruction
        std::uintptr_t address = reinterpret_cast<std::uintptr_t>(frames[i]) - 1;
        if (within(runtime_ranges, runtime_range_count, address))
            continue;
        if (within(module_ranges, module_range_count, address))
            module_count.fetch_add(1, std::memory_order_relaxed);
        break;
    }
    walking = false;
}

}  // namespace

bool watch_module(const std::string& path, std::string& error)
{
    // The unwinder loads itself at its first walk, allocating: let that happen here.
    void* warm[4];
    backtrace(warm, 4);
    module_range_count = 0;
    runtime_range_count = 0;
    Search search{};
    if (!realpath(path.c_str(), search.module_path)) {
        error = "module " + path + " does not exist";
        return false;
    }
    dl_iterate_phdr(collect_image, &search);
    if (!search.module_found) {
        error = "module " + path + " is not loaded";
        return false;
    }
    return true;
}

void set_attribution(bool enabled)
{
    attribution.store(enabled, std::memory_order_relaxed);
}

Counts counts()
{
    return {total_count.load(std::memory_order_relaxed), module_count.load(std::memory_order_relaxed)};
}

}  // namespace allocation_counter

// ---- the allocator's entry points ----

extern "C" void* malloc(std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_realloc(pointer, size);
}

extern "C" void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_memalign(alignment, size);
}

extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_memalign(alignment, size);
}

extern "C" int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept
{
    allocation_counter::record();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return 22;   // EINVAL
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer)
        return 12;   // ENOMEM
    *result = pointer;
    return 0;
}

extern "C" void* valloc(std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_valloc(size);
}

extern "C" void* pvalloc(std::size_t size) noexcept
{
    allocation_counter::record();
    return __libc_pvalloc(size);
}
