// A song file for the Windows test programs: 8-bit mono sound at 8000 samples per second, of
// `samples` samples (8000 a second; 0 gives a data chunk without samples).
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

inline bool write_test_song(const std::string& path, unsigned samples)
{
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,
                                1, 0, 8, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
    unsigned riff = 36 + samples;
    std::memcpy(header + 4, &riff, 4);
    std::memcpy(header + 40, &samples, 4);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(header, 1, sizeof header, file);
    for (unsigned i = 0; i < samples; ++i)
        std::fputc(128 + static_cast<int>(i % 32) - 16, file);
    return std::fclose(file) == 0;
}
