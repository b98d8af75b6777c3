// The CD device given any answers from the drive: a stand-in that answers every string command
// with a result code and a reply taken from the fuzzer's bytes, as a drive would (a terminated
// text within the reply buffer).
#include "radio/audio/cd_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const std::uint8_t* input = nullptr;
std::size_t input_left = 0;

std::uint8_t next_byte()
{
    if (input_left == 0)
        return 0;
    --input_left;
    return *input++;
}

}  // namespace

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT reply_size, HWND)
{
    if (!command)
        std::abort();
    MCIERROR code = next_byte() & 1 ? 0 : 256 + next_byte();
    if (reply && reply_size) {
        std::size_t length = next_byte() % reply_size;
        for (std::size_t i = 0; i < length; ++i)
            reply[i] = static_cast<char>(next_byte());
        reply[length] = '\0';
    }
    return code;
}

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR)
{
    return next_byte() & 1 ? 0 : 257;
}

MCIDEVICEID WINAPI mciGetDeviceIDA(LPCSTR)
{
    return next_byte();
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, 1025, format, args);
    va_end(args);
    return written;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    input = data;
    input_left = size;
    std::int32_t track = 0;
    while (input_left > 0) {
        switch (next_byte() % 5) {
        case 0:
            cd_query_playing();
            break;
        case 1:
            cd_query_current_track(track);
            break;
        case 2:
            cd_query_media();
            break;
        case 3: {
            std::uint32_t wanted = next_byte() | std::uint32_t(next_byte()) << 24;
            cd_play_track(wanted);
            break;
        }
        default:
            cd_open();
            cd_stop();
            break;
        }
    }
    return 0;
}
