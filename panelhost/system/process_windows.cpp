// The bench's process as Windows counts it: its threads in a snapshot of the system's, and its
// working set.
#include "panelhost/system/process.h"

#include <windows.h>
// The memory counters from kernel32, where every Windows since 7 has them.
#define PSAPI_VERSION 2
#include <psapi.h>
#include <tlhelp32.h>

namespace panelhost {

ProcessCensus process_census()
{
    ProcessCensus census;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        census.threads = 0;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            if (entry.th32OwnerProcessID == GetCurrentProcessId())
                ++census.threads;
        CloseHandle(snapshot);
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
        census.resident_kb = static_cast<std::int64_t>(memory.WorkingSetSize / 1024);
    return census;
}

}  // namespace panelhost
