// Little-endian numbers of 16 and 32 bits, read from bytes and written onto them, and a file of
// bytes written: what every reader and writer of a binary format here shares.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace base {

// The number at the bytes, which the caller has checked lie within what it reads.
inline std::uint16_t get16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t get32(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

// The writers, onto any container of bytes or chars.
template <class Bytes>
void put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<typename Bytes::value_type>(value & 0xFF));
    out.push_back(static_cast<typename Bytes::value_type>((value >> 8) & 0xFF));
}

template <class Bytes>
void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A file of the bytes, made anew; false when it cannot be written whole.
template <class Bytes>
bool write_file(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace base
