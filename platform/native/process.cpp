// Native process services: the last-error word, process exit through the host's hook, and
// wsprintfA with the platform's 32-bit integer arguments.
#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstdio>
#include <cstring>

namespace {

thread_local DWORD last_error = 0;

// wsprintfA writes at most 1024 characters and its terminator.
constexpr std::size_t WSPRINTF_LIMIT = 1024;

}  // namespace

DWORD WINAPI GetLastError()
{
    return last_error;
}

void WINAPI SetLastError(DWORD error)
{
    last_error = error;
}

void WINAPI ExitProcess(UINT exit_code)
{
    sim::exit_process(exit_code);
}

// Integers in wsprintfA's formats are 32 bits wide whatever their size letters say (l, h); the
// conversion is rebuilt for the native printf with that width.
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    std::size_t length = 0;
    auto append = [&](const char* text, std::size_t size) {
        std::size_t room = WSPRINTF_LIMIT - length;
        std::size_t count = size < room ? size : room;
        std::memcpy(buffer + length, text, count);
        length += count;
    };
    for (const char* cursor = format; *cursor && length < WSPRINTF_LIMIT; ++cursor) {
        if (*cursor != '%') {
            append(cursor, 1);
            continue;
        }
        char spec[32] = "%";
        std::size_t spec_length = 1;
        ++cursor;
        while (*cursor && std::strchr("-#0 +", *cursor) && spec_length < 8)
            spec[spec_length++] = *cursor++;
        while (*cursor >= '0' && *cursor <= '9' && spec_length < 16)
            spec[spec_length++] = *cursor++;
        if (*cursor == '.') {
            spec[spec_length++] = *cursor++;
            while (*cursor >= '0' && *cursor <= '9' && spec_length < 24)
                spec[spec_length++] = *cursor++;
        }
        while (*cursor == 'l' || *cursor == 'h')
            ++cursor;
        char piece[WSPRINTF_LIMIT + 1];
        int written = 0;
        char conversion = *cursor;
        spec[spec_length++] = conversion;
        spec[spec_length] = '\0';
        switch (conversion) {
        case 'd':
        case 'i':
            written = std::snprintf(piece, sizeof piece, spec, va_arg(args, std::int32_t));
            break;
        case 'u':
        case 'x':
        case 'X':
            written = std::snprintf(piece, sizeof piece, spec, va_arg(args, std::uint32_t));
            break;
        case 'c':
            written = std::snprintf(piece, sizeof piece, spec, va_arg(args, int));
            break;
        case 's': {
            const char* text = va_arg(args, const char*);
            written = std::snprintf(piece, sizeof piece, spec, text ? text : "(null)");
            break;
        }
        case '\0':
            --cursor;
            written = 0;
            break;
        default:
            piece[0] = conversion;
            written = 1;
            break;
        }
        if (written > 0)
            append(piece, static_cast<std::size_t>(written) < sizeof piece ? static_cast<std::size_t>(written)
                                                                             : sizeof piece - 1);
    }
    va_end(args);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
