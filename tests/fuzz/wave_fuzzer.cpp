// The RIFF WAVE reader given images of any size and content: it accepts or refuses, never reads
// outside the image, and what it accepts lies inside it.
#include "radio/audio/wave_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// The reader's file and resource paths are not reached from here; the harness's platform has
// neither files nor resources.
HRSRC WINAPI FindResourceA(HMODULE, LPCSTR, LPCSTR) { return nullptr; }
DWORD WINAPI SizeofResource(HMODULE, HRSRC) { return 0; }
HGLOBAL WINAPI LoadResource(HMODULE, HRSRC) { return nullptr; }
LPVOID WINAPI LockResource(HGLOBAL) { return nullptr; }
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) { return INVALID_HANDLE_VALUE; }
DWORD WINAPI GetFileSize(HANDLE, LPDWORD) { return INVALID_FILE_SIZE; }
HANDLE WINAPI CreateFileMappingA(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD, LPCSTR) { return nullptr; }
LPVOID WINAPI MapViewOfFile(HANDLE, DWORD, DWORD, DWORD, SIZE_T) { return nullptr; }
BOOL WINAPI UnmapViewOfFile(LPCVOID) { return FALSE; }
BOOL WINAPI CloseHandle(HANDLE) { return FALSE; }

namespace {

bool inside(const void* pointer, std::size_t length, const std::uint8_t* image, std::size_t size)
{
    auto* bytes = static_cast<const std::uint8_t*>(pointer);
    return bytes >= image && length <= size && std::size_t(bytes - image) <= size - length;
}

bool overlaps(const void* pointer, std::size_t length, const std::uint8_t* image, std::size_t size)
{
    auto at = reinterpret_cast<std::uintptr_t>(pointer);
    auto start = reinterpret_cast<std::uintptr_t>(image);
    return at < start + size && start < at + length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that a read past it is caught.
    auto* image = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(image, data, size);
    for (int wanted = 1; wanted < 8; ++wanted) {
        LPWAVEFORMATEX format = nullptr;
        const BYTE* samples = nullptr;
        DWORD sample_size = 0;
        int found = wave_parse(image, static_cast<DWORD>(size), (wanted & 1) ? &format : nullptr,
                               (wanted & 2) ? &samples : nullptr, (wanted & 4) ? &sample_size : nullptr);
        if (!found)
            continue;
        // The consumer reads the whole 16-byte PCM record: it lies inside the image, or it is a
        // copy that lies wholly outside it.
        if (wanted & 1) {
            if (!format)
                std::abort();
            unsigned char record[16];
            std::memcpy(record, format, sizeof record);
            if (!inside(format, sizeof record, image, size) && overlaps(format, sizeof record, image, size))
                std::abort();
        }
        if ((wanted & 2) && (!samples || !inside(samples, (wanted & 4) ? sample_size : 0, image, size)))
            std::abort();
    }
    std::free(image);
    return 0;
}
