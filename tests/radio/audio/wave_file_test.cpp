// The RIFF WAVE reader: the chunk walk, its limits, and images from resources and files.
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"
#include "radio/audio/wave_file.h"
#include "tests/support/media_test_support.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace {

using media_test::Bytes;

struct Chunk {
    std::string id;
    std::uint32_t body_size;
    std::optional<std::uint32_t> stated_length;   // the length the header claims, if not the body's
};

Bytes fmt_body(std::uint32_t size)
{
    Bytes body(size, 0);
    const unsigned char pcm[16] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0};
    std::memcpy(body.data(), pcm, std::min<std::uint32_t>(size, 16));
    return body;
}

// A RIFF WAVE image of the chunks; the RIFF length is the real one unless stated.
Bytes riff_image(const std::vector<Chunk>& chunks, std::optional<std::uint32_t> riff_length = std::nullopt)
{
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        out.insert(out.end(), chunk.id.begin(), chunk.id.end());
        std::uint32_t length = chunk.stated_length.value_or(chunk.body_size);
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<unsigned char>(length >> shift));
        Bytes body = chunk.id == "fmt " ? fmt_body(chunk.body_size) : Bytes(chunk.body_size, 0x80);
        out.insert(out.end(), body.begin(), body.end());
        if (chunk.body_size & 1)
            out.push_back(0);
    }
    std::uint32_t length = riff_length.value_or(static_cast<std::uint32_t>(out.size() - 8));
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    return out;
}

// The image placed so that it ends right before an unreadable page: a read past its real size
// ends the test at once.
class GuardedImage {
public:
    explicit GuardedImage(const Bytes& image)
    {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        pages_ = (image.size() + page_ - 1) / page_ + 1;
        base_ = static_cast<unsigned char*>(
            mmap(nullptr, pages_ * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + (pages_ - 1) * page_, page_, PROT_NONE);
        start_ = base_ + (pages_ - 1) * page_ - image.size();
        std::memcpy(start_, image.data(), image.size());
    }
    ~GuardedImage() { munmap(base_, pages_ * page_); }
    const unsigned char* data() const { return start_; }

private:
    std::size_t page_ = 0;
    std::size_t pages_ = 0;
    unsigned char* base_ = nullptr;
    unsigned char* start_ = nullptr;
};

constexpr long COPY = -2;   // the format handed on as a full-size copy outside the image

// Whether the pointer lies within the image of that size.
bool inside(const void* pointer, std::size_t size, const unsigned char* image)
{
    auto at = reinterpret_cast<std::uintptr_t>(pointer);
    auto start = reinterpret_cast<std::uintptr_t>(image);
    return at >= start && at < start + size;
}

struct ParseCase {
    const char* name;
    Bytes image;
    int result;
    long format_offset;    // -1: none; COPY
    long samples_offset;   // -1: none
    DWORD size;
};

TEST(WaveParse, ChunkWalkRules)
{
    Bytes click = media_test::click_resource_bytes();
    Bytes no_wave = riff_image({{"fmt ", 16, {}}, {"data", 4, {}}});
    no_wave[8] = 'A';
    Bytes no_riff = riff_image({{"fmt ", 16, {}}, {"data", 4, {}}});
    no_riff[0] = 'X';
    const ParseCase cases[] = {
        // name                                               image                                                            result fmt  data size
        {"the embedded click, its fact chunk skipped",        click,                                                           1,     20,  56,  127},
        {"a fmt body of 12 bytes rejects the image",          riff_image({{"fmt ", 12, {}}, {"data", 4, {}}}),                 0,     -1,  -1,  0},
        {"a fmt body of 14 bytes is accepted, as a copy",     riff_image({{"fmt ", 14, {}}, {"data", 4, {}}}),                 1,     COPY, 42,  4},
        {"a data chunk before the fmt chunk is found",        riff_image({{"data", 4, {}}, {"fmt ", 16, {}}}),                 1,     32,  20,  4},
        {"an odd chunk of 127 is followed by a pad byte",     riff_image({{"LIST", 127, {}}, {"fmt ", 16, {}}, {"data", 3, {}}}), 1,  156, 180, 3},
        {"a RIFF length ending before data rejects",          riff_image({{"fmt ", 16, {}}, {"data", 4, {}}}, 28),             0,     -1,  -1,  0},
        {"a RIFF length past the image stops at its end",     riff_image({{"fmt ", 16, {}}, {"data", 4, {}}}, 100000),         1,     20,  44,  4},
        {"a data length past the image rejects",              riff_image({{"fmt ", 16, {}}, {"data", 4, 5000}}),               0,     -1,  -1,  0},
        {"a fmt length past the image rejects",               riff_image({{"fmt ", 16, 70000}}, 100000),                       0,     -1,  -1,  0},
        {"a chunk length that wraps the offset rejects",      riff_image({{"JUNK", 4, 0xFFFFFFF0u}, {"fmt ", 16, {}}, {"data", 4, {}}}), 0, -1, -1, 0},
        {"a chunk header cut off by the image's end",         riff_image({{"fmt ", 16, {}}, {"da", 0, {}}}, 100000),           0,     -1,  -1,  0},
        {"a fmt chunk alone is not enough",                   riff_image({{"fmt ", 16, {}}}),                                  0,     -1,  -1,  0},
        {"a data chunk alone is not enough",                  riff_image({{"data", 4, {}}}),                                   0,     -1,  -1,  0},
        {"no RIFF at offset 0",                               no_riff,                                                         0,     -1,  -1,  0},
        {"no WAVE at offset 8",                               no_wave,                                                         0,     -1,  -1,  0},
        {"an image shorter than its header",                  Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0},                           0,     -1,  -1,  0},
    };
    for (const ParseCase& test : cases) {
        SCOPED_TRACE(test.name);
        GuardedImage image(test.image);
        LPWAVEFORMATEX format = reinterpret_cast<LPWAVEFORMATEX>(1);
        const BYTE* samples = reinterpret_cast<const BYTE*>(1);
        DWORD size = 99;
        int result = wave_parse(image.data(), static_cast<DWORD>(test.image.size()), &format, &samples, &size);
        EXPECT_EQ(result, test.result);
        if (test.result == 1) {
            if (test.format_offset == COPY)
                EXPECT_FALSE(inside(format, test.image.size(), image.data()));
            else
                EXPECT_EQ(reinterpret_cast<const unsigned char*>(format) - image.data(), test.format_offset);
            EXPECT_EQ(samples - image.data(), test.samples_offset);
            EXPECT_EQ(size, test.size);
        }
    }
}

// A body of 14 or 15 bytes ending the image: the record handed on is the body and zeros, whole,
// whatever lay in the copy before.
TEST(WaveParse, AShortFormatBodyComesAsAZeroFilledFullRecord)
{
    for (std::uint32_t length : {15u, 14u}) {
        SCOPED_TRACE(length);
        Bytes wave = riff_image({{"data", 4, {}}, {"fmt ", length, {}}});
        if (length & 1)
            wave.pop_back();   // unpadded: the body ends the image
        LPWAVEFORMATEX format = nullptr;
        GuardedImage image(wave);
        ASSERT_EQ(wave_parse(image.data(), static_cast<DWORD>(wave.size()), &format, nullptr, nullptr), 1);
        ASSERT_NE(format, nullptr);
        EXPECT_FALSE(inside(format, wave.size(), image.data()));
        Bytes expected = fmt_body(length);
        expected.resize(sizeof(WAVEFORMATEX), 0);
        Bytes record(reinterpret_cast<const unsigned char*>(format),
                     reinterpret_cast<const unsigned char*>(format) + sizeof(WAVEFORMATEX));
        EXPECT_EQ(record, expected);
        EXPECT_EQ(format->wBitsPerSample, length == 15 ? 8 : 0);
    }
}

TEST(WaveParse, OnlyTheRequestedPartsAreNeeded)
{
    Bytes data_only = riff_image({{"data", 6, {}}});
    GuardedImage image(data_only);
    DWORD size = 0;
    EXPECT_EQ(wave_parse(image.data(), static_cast<DWORD>(data_only.size()), nullptr, nullptr, &size), 1);
    EXPECT_EQ(size, 6u);

    Bytes fmt_only = riff_image({{"fmt ", 16, {}}});
    GuardedImage format_image(fmt_only);
    LPWAVEFORMATEX format = nullptr;
    EXPECT_EQ(wave_parse(format_image.data(), static_cast<DWORD>(fmt_only.size()), &format, nullptr, nullptr), 1);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->nSamplesPerSec, 22050u);
}

TEST(WaveParse, EveryRequestedOutputIsClearedFirst)
{
    Bytes image = riff_image({{"fmt ", 16, {}}, {"data", 4, {}}});
    image[0] = 'X';
    LPWAVEFORMATEX format = reinterpret_cast<LPWAVEFORMATEX>(1);
    const BYTE* samples = reinterpret_cast<const BYTE*>(1);
    DWORD size = 7;
    EXPECT_EQ(wave_parse(image.data(), static_cast<DWORD>(image.size()), &format, &samples, &size), 0);
    EXPECT_EQ(format, nullptr);
    EXPECT_EQ(samples, nullptr);
    EXPECT_EQ(size, 0u);
}

class WaveImages : public media_test::MediaTest {};

TEST_F(WaveImages, TheEmbeddedClickIsPcmMono22050HzOf127Bytes)
{
    LPWAVEFORMATEX format = nullptr;
    const BYTE* samples = nullptr;
    DWORD size = 0;
    ASSERT_EQ(wave_from_resource(module_, "CLICK_RCD", &format, &samples, &size), 1);
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nChannels, 1);
    EXPECT_EQ(format->nSamplesPerSec, 22050u);
    EXPECT_EQ(format->nAvgBytesPerSec, 22050u);
    EXPECT_EQ(format->nBlockAlign, 1);
    EXPECT_EQ(format->wBitsPerSample, 8);
    EXPECT_EQ(size, 127u);
    Bytes click = media_test::click_resource_bytes();
    ASSERT_EQ(click.size(), 184u);
    EXPECT_EQ(Bytes(samples, samples + size), Bytes(click.begin() + 56, click.begin() + 183));
}

TEST_F(WaveImages, AMissingResourceGivesNothing)
{
    DWORD size = 5;
    EXPECT_EQ(wave_from_resource(module_, "NO_SUCH_SOUND", nullptr, nullptr, &size), 0);
}

TEST_F(WaveImages, AFileImageStaysMappedUntilTheCallerUnmapsIt)
{
    media_test::write_file(cwd_ + "/tick.wav", media_test::wave_file_bytes(9, 8000));
    LPWAVEFORMATEX format = nullptr;
    const BYTE* samples = nullptr;
    DWORD size = 0;
    LPVOID view = nullptr;
    ASSERT_EQ(wave_from_file("tick.wav", &format, &samples, &size, &view), 1);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(format->nSamplesPerSec, 8000u);
    EXPECT_NE(view, nullptr);
    EXPECT_EQ(sim::mapped_view_count(), 1u);
    EXPECT_EQ(sim::open_handle_count(), 0u) << "the view alone keeps the file";
    EXPECT_TRUE(UnmapViewOfFile(view));
}

struct FileCase {
    const char* name;
    const char* file_name;
    Bytes content;          // written unless the file is to be missing
    bool write;
    const char* failing_call;
};

TEST_F(WaveImages, FilesThatGiveNoImageLeaveNothingOpenOrMapped)
{
    const FileCase cases[] = {
        // name                                 file           content                                        write  failing call
        {"a file that does not exist",          "none.wav",    {},                                            false, nullptr},
        {"a file that is not RIFF WAVE",        "text.wav",    Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'a', 'v', 'e', '!', '!', '!'}, true, nullptr},
        {"an empty file cannot be mapped",      "empty.wav",   {},                                            true,  nullptr},
        {"a mapping that cannot be made",       "good.wav",    media_test::wave_file_bytes(4, 8000),          true,  "CreateFileMappingA"},
        {"a view that cannot be made",          "good.wav",    media_test::wave_file_bytes(4, 8000),          true,  "MapViewOfFile"},
    };
    for (const FileCase& test : cases) {
        SCOPED_TRACE(test.name);
        if (test.write)
            media_test::write_file(cwd_ + "/" + test.file_name, test.content);
        if (test.failing_call)
            sim::media::fail_call(test.failing_call, ERROR_NOT_ENOUGH_MEMORY);
        LPWAVEFORMATEX format = nullptr;
        const BYTE* samples = nullptr;
        DWORD size = 0;
        LPVOID view = reinterpret_cast<LPVOID>(1);
        EXPECT_EQ(wave_from_file(test.file_name, &format, &samples, &size, &view), 0);
        EXPECT_EQ(view, nullptr);
        EXPECT_EQ(sim::open_handle_count(), 0u);
        EXPECT_EQ(sim::mapped_view_count(), 0u);
        sim::media::clear_failures();
    }
}

}  // namespace
