// The RIFF WAVE reader over the images of resources and mapped files.
#include "radio/audio/wave_file.h"

#include "base/bytes.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t RIFF_HEADER_SIZE = 12;    // "RIFF", the RIFF length, "WAVE"
constexpr std::uint64_t CHUNK_HEADER_SIZE = 8;    // identifier and length
constexpr DWORD WAVE_FORMAT_MIN_SIZE = 14;        // the format record without its bits per sample
constexpr DWORD PCM_FORMAT_SIZE = 16;             // the record with it, as a sound device reads it

// A format body shorter than the whole PCM record is handed on as a copy, zero-filled to full
// size, so that a consumer reading the record never reads past the image. The copy holds the
// last short body parsed.
WAVEFORMATEX short_format = {};

LPWAVEFORMATEX format_record(const BYTE* body, DWORD length)
{
    if (length >= PCM_FORMAT_SIZE)
        return reinterpret_cast<LPWAVEFORMATEX>(const_cast<BYTE*>(body));
    short_format = {};
    std::memcpy(&short_format, body, length);
    return &short_format;
}

bool has_id(const BYTE* bytes, const char* id)
{
    return std::memcmp(bytes, id, 4) == 0;
}

}  // namespace

int wave_parse(const void* image, DWORD image_size, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size)
{
    if (format)
        *format = nullptr;
    if (samples)
        *samples = nullptr;
    if (size)
        *size = 0;
    const BYTE* bytes = static_cast<const BYTE*>(image);
    if (!bytes || image_size < RIFF_HEADER_SIZE)
        return 0;
    if (!has_id(bytes, "RIFF") || !has_id(bytes + 8, "WAVE"))
        return 0;
    // The walk ends where the RIFF length says, or where the image really ends if that is sooner.
    std::uint64_t end = 8 + std::uint64_t(base::get32(bytes + 4));
    if (end > image_size)
        end = image_size;
    std::uint64_t offset = RIFF_HEADER_SIZE;
    while (offset < end) {
        if (offset + CHUNK_HEADER_SIZE > image_size)
            return 0;
        const BYTE* chunk = bytes + offset;
        DWORD length = base::get32(chunk + 4);
        std::uint64_t body = offset + CHUNK_HEADER_SIZE;
        // A chunk taken must lie inside the image, so that no view reaches past it.
        bool inside = body + length <= image_size;
        if (has_id(chunk, "fmt ") && format && !*format) {
            if (length < WAVE_FORMAT_MIN_SIZE || !inside)
                return 0;
            *format = format_record(bytes + body, length);
            if ((!samples || *samples) && (!size || *size != 0))
                return 1;
        } else if (has_id(chunk, "data") && ((samples && !*samples) || (size && *size == 0))) {
            if (!inside)
                return 0;
            if (samples)
                *samples = bytes + body;
            if (size)
                *size = length;
            if (!format || *format)
                return 1;
        }
        // An odd-sized body is followed by one pad byte.
        offset = body + ((std::uint64_t(length) + 1) & ~std::uint64_t(1));
    }
    return 0;
}

int wave_from_resource(HMODULE module, LPCSTR name, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size)
{
    HRSRC resource = FindResourceA(module, name, RT_RCDATA);
    if (!resource)
        return 0;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return 0;
    const void* image = LockResource(loaded);
    if (!image)
        return 0;
    return wave_parse(image, SizeofResource(module, resource), format, samples, size);
}

int wave_from_file(LPCSTR file_name, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size, LPVOID* view)
{
    *view = nullptr;
    HANDLE file = CreateFileA(file_name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    // The parse stays inside the file's real size; an image of 4 GiB or more is no wave image.
    DWORD size_high = 0;
    DWORD file_size = GetFileSize(file, &size_high);
    if (file_size == INVALID_FILE_SIZE || size_high != 0) {
        CloseHandle(file);
        return 0;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        CloseHandle(file);
        return 0;
    }
    CloseHandle(file);   // the mapping keeps the file open
    LPVOID image = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!image) {
        CloseHandle(mapping);
        return 0;
    }
    CloseHandle(mapping);   // the view keeps the mapping alive
    if (!wave_parse(image, file_size, format, samples, size)) {
        UnmapViewOfFile(image);
        return 0;
    }
    *view = image;
    return 1;
}
