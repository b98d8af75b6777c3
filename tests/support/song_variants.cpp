// Song files of every shape the media graph may meet.
#include "tests/support/song_variants.h"

namespace test_support {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t RENDERED = 0;
constexpr std::uint32_t INVALID_FORMAT = 0x8004022F;
constexpr std::uint32_t CANNOT_RENDER = 0x80040218;

void put32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

Bytes chunk(const char* tag, const Bytes& body)
{
    Bytes out(tag, tag + 4);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
    return out;
}

// A PCM format: tag, channels, samples and bytes per second, block align, bits; `size` bytes of it.
Bytes format(std::uint32_t rate = 8000, std::uint32_t bytes_per_second = 8000, std::uint16_t tag = 1,
             std::size_t size = 16)
{
    Bytes body;
    body.push_back(static_cast<unsigned char>(tag));
    body.push_back(0);
    body.insert(body.end(), {1, 0});
    put32(body, rate);
    put32(body, bytes_per_second);
    body.insert(body.end(), {1, 0, 8, 0});
    body.resize(size);
    return chunk("fmt ", body);
}

Bytes data(std::size_t bytes)
{
    return chunk("data", Bytes(bytes, 0x80));
}

Bytes riff(const std::vector<Bytes>& chunks, const char* form = "WAVE")
{
    Bytes body(form, form + 4);
    for (const Bytes& piece : chunks)
        body.insert(body.end(), piece.begin(), piece.end());
    Bytes out{'R', 'I', 'F', 'F'};
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes many_empty_chunks(int count)
{
    std::vector<Bytes> chunks(static_cast<std::size_t>(count), chunk("junk", {}));
    chunks.push_back(format());
    chunks.push_back(data(8000));
    return riff(chunks);
}

Bytes header_too_short()
{
    Bytes bytes = riff({format(), data(8000)});
    bytes[4] = 16;   // the header's size ends inside the format chunk
    bytes[5] = bytes[6] = bytes[7] = 0;
    return bytes;
}

Bytes text(const char* words)
{
    return Bytes(words, words + std::char_traits<char>::length(words));
}

}  // namespace

std::vector<unsigned char> wave_file(const std::vector<unsigned char>& samples, std::uint32_t samples_per_second)
{
    return riff({format(samples_per_second, samples_per_second), chunk("data", samples)});
}

std::string silent_wave(std::uint32_t samples)
{
    Bytes wave = wave_file(Bytes(samples, 0x80));
    return std::string(wave.begin(), wave.end());
}

const std::vector<SongVariant>& song_variants()
{
    // name                     bytes                                        result          length  framework
    static const std::vector<SongVariant> variants = {
        {"one second",            riff({format(), data(8000)}),                RENDERED,       1000,   true},
        {"no samples",            riff({format(), data(0)}),                   RENDERED,       0,      true},
        {"one sample",            riff({format(), data(1)}),                   RENDERED,       0,      true},
        {"one millisecond",       riff({format(), data(8)}),                   RENDERED,       1,      true},
        {"a format, no data",     riff({format()}),                            RENDERED,       0,      true},
        {"another format tag",    riff({format(8000, 8000, 7), data(8000)}),   RENDERED,       1000,   true},
        {"a thousand chunks",     many_empty_chunks(1000),                     RENDERED,       1000,   true},
        {"header size too short", header_too_short(),                          RENDERED,       1000,   true},
        {"a 14-byte format",      riff({format(8000, 8000, 1, 14), data(8000)}), CANNOT_RENDER, 0,     true},
        {"no format",             riff({data(8000)}),                          INVALID_FORMAT, 0,      true},
        {"no rate",               riff({format(0, 0), data(8000)}),            INVALID_FORMAT, 0,      true},
        {"no chunks",             riff({}),                                    INVALID_FORMAT, 0,      true},
        {"another RIFF form",     riff({chunk("LIST", Bytes(100, 'x'))}, "AVI "), CANNOT_RENDER, 0,    true},
        {"a bare RIFF of another form", riff({}, "AVI "),                      CANNOT_RENDER,  0,      true},
        // Where the framework differs: it renders these two, and their songs never end.
        {"no bytes per second",   riff({format(8000, 0), data(8000)}),         INVALID_FORMAT, 0,      false},
        {"data before its format", riff({data(8000), format()}),               INVALID_FORMAT, 0,      false},
        // and refuses these, which this graph takes for songs of another format.
        {"no bytes",              {},                                          RENDERED,       180000, false},
        {"text",                  text("not a song\n"),                        RENDERED,       180000, false},
    };
    return variants;
}

}  // namespace test_support
