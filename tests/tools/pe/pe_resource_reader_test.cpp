// The PE resource reader on a small PE file built here: what it prints for bitmaps, raw data and
// version blocks, and how it refuses damaged files without reading outside them.
#include "tools/pe/pe_resource_reader.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

void put16(Bytes& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void pad4(Bytes& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

Bytes utf16(const std::string& text, bool terminated)
{
    Bytes out;
    for (char c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    if (terminated) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

// One version block: length, value length, type, key, value, children, each aligned to 4.
Bytes version_block(const std::string& key, const Bytes& value, bool text, const std::vector<Bytes>& children)
{
    Bytes out(6, 0);
    Bytes name = utf16(key, true);
    out.insert(out.end(), name.begin(), name.end());
    pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        pad4(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    put16(out, 0, static_cast<std::uint32_t>(out.size()));
    put16(out, 2, static_cast<std::uint32_t>(text ? value.size() / 2 : value.size()));
    put16(out, 4, text ? 1 : 0);
    return out;
}

Bytes version_resource()
{
    Bytes fixed(52, 0);
    put32(fixed, 0, 0xFEEF04BDu);
    put32(fixed, 4, 0x10000);
    put32(fixed, 8, 1u << 16);       // file version 1.0 ...
    put32(fixed, 12, 1);             // ... .0.1
    put32(fixed, 16, 2u << 16 | 3);  // product version 2.3 ...
    put32(fixed, 20, 4u << 16 | 5);  // ... .4.5
    Bytes translation(4, 0);
    put16(translation, 0, 0x409);
    put16(translation, 2, 0x4B0);
    return version_block(
        "VS_VERSION_INFO", fixed, false,
        {version_block("StringFileInfo", {}, true,
                       {version_block("040904b0", {}, true,
                                      {version_block("FileVersion", utf16("1, 0, 0, 1", true), true, {}),
                                       version_block("InternalName", utf16("x.gau", true), true, {})})}),
         version_block("VarFileInfo", {}, true, {version_block("Translation", translation, false, {})})});
}

// A PE32 file with one section holding a resource tree of three resources: bitmap 101, the
// raw data "CLICK_RCD" and version block 1. The offsets of the fields the damage cases change:
struct SmallPe {
    static constexpr std::size_t PE_AT = 0x40;
    static constexpr std::size_t SECTION_TABLE = PE_AT + 4 + 20 + 224;
    static constexpr std::size_t SECTION = 0x200;          // file offset of the resource section
    static constexpr std::uint32_t SECTION_RVA = 0x1000;
    // within the resource section
    static constexpr std::size_t ROOT = 0;
    static constexpr std::size_t NAME_DIRS = 40;           // three of 24 bytes
    static constexpr std::size_t LANGUAGE_DIRS = 112;      // three of 24 bytes
    static constexpr std::size_t DATA_ENTRIES = 184;       // three of 16 bytes
    static constexpr std::size_t NAME_TEXT = 232;
    static constexpr std::size_t BLOBS = 256;

    Bytes file;
    std::size_t blob_at[3] = {};   // section offsets of the bitmap, the raw data, the version block

    SmallPe(std::size_t bitmap_size = 40 + 1024 + 12)
    {
        Bytes bitmap(bitmap_size, 0);
        if (bitmap_size >= 40) {
            put32(bitmap, 0, 40);
            put32(bitmap, 4, 2);
            put32(bitmap, 8, 3);
            put16(bitmap, 12, 1);
            put16(bitmap, 14, 8);
            put32(bitmap, 32, 256);
        }
        Bytes blobs[3] = {bitmap, Bytes(184, 0x55), version_resource()};

        Bytes section(BLOBS, 0);
        auto directory = [&](std::size_t at, std::uint32_t named, std::uint32_t numbered) {
            put16(section, at + 12, named);
            put16(section, at + 14, numbered);
        };
        auto entry = [&](std::size_t at, std::uint32_t name, std::uint32_t target) {
            put32(section, at, name);
            put32(section, at + 4, target);
        };
        directory(ROOT, 0, 3);
        const std::uint32_t types[3] = {2, 10, 16};
        for (std::size_t i = 0; i < 3; ++i) {
            entry(ROOT + 16 + i * 8, types[i], 0x80000000u | std::uint32_t(NAME_DIRS + i * 24));
            std::size_t name_dir = NAME_DIRS + i * 24;
            if (i == 1) {
                directory(name_dir, 1, 0);
                entry(name_dir + 16, 0x80000000u | std::uint32_t(NAME_TEXT), 0x80000000u | std::uint32_t(LANGUAGE_DIRS + i * 24));
            } else {
                directory(name_dir, 0, 1);
                entry(name_dir + 16, i == 0 ? 101 : 1, 0x80000000u | std::uint32_t(LANGUAGE_DIRS + i * 24));
            }
            directory(LANGUAGE_DIRS + i * 24, 0, 1);
            entry(LANGUAGE_DIRS + i * 24 + 16, 0x409, std::uint32_t(DATA_ENTRIES + i * 16));
        }
        Bytes name = utf16("CLICK_RCD", false);
        put16(section, NAME_TEXT, 9);
        std::copy(name.begin(), name.end(), section.begin() + NAME_TEXT + 2);
        for (std::size_t i = 0; i < 3; ++i) {
            blob_at[i] = section.size();
            put32(section, DATA_ENTRIES + i * 16, SECTION_RVA + std::uint32_t(section.size()));
            put32(section, DATA_ENTRIES + i * 16 + 4, std::uint32_t(blobs[i].size()));
            section.insert(section.end(), blobs[i].begin(), blobs[i].end());
            pad4(section);
        }

        file.assign(SECTION, 0);
        file[0] = 'M';
        file[1] = 'Z';
        put32(file, 0x3C, PE_AT);
        put32(file, PE_AT, 0x00004550u);
        std::size_t coff = PE_AT + 4, optional = coff + 20;
        put16(file, coff, 0x14C);
        put16(file, coff + 2, 1);
        put16(file, coff + 16, 224);
        put16(file, optional, 0x10B);
        put32(file, optional + 92, 16);
        put32(file, optional + 96 + 16, SECTION_RVA);
        put32(file, optional + 96 + 20, std::uint32_t(section.size()));
        put32(file, SECTION_TABLE + 8, std::uint32_t(section.size()));
        put32(file, SECTION_TABLE + 12, SECTION_RVA);
        put32(file, SECTION_TABLE + 16, std::uint32_t(section.size()));
        put32(file, SECTION_TABLE + 20, SECTION);
        file.insert(file.end(), section.begin(), section.end());
    }
};

Lines describe(const Bytes& file, std::string& error)
{
    std::vector<tools::PeResource> resources;
    Lines lines;
    if (!tools::read_pe_resources(file, resources, error))
        return lines;
    for (const tools::PeResource& resource : resources)
        for (const std::string& line : tools::describe_pe_resource(resource))
            lines.push_back(line);
    return lines;
}

TEST(PeResourceReader, DescribesBitmapsRawDataAndVersionBlocks)
{
    std::string error;
    Lines actual = describe(SmallPe().file, error);
    Lines expected = {
        "bitmap 101 2x3 8bpp 256 colours",
        "rcdata CLICK_RCD 184 bytes",
        "version fixed FileVersion 1.0.0.1",
        "version fixed ProductVersion 2.3.4.5",
        "version FileVersion \"1, 0, 0, 1\"",
        "version InternalName \"x.gau\"",
        "version Translation 0x0409 0x04b0",
    };
    EXPECT_EQ(expected, actual) << error;
}

TEST(PeResourceReader, EveryTruncatedFileIsRefused)
{
    Bytes whole = SmallPe().file;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
        std::vector<tools::PeResource> resources;
        std::string error;
        EXPECT_FALSE(tools::read_pe_resources(cut, resources, error)) << "cut to " << length << " bytes";
        EXPECT_FALSE(error.empty()) << "cut to " << length << " bytes";
        EXPECT_TRUE(resources.empty()) << "cut to " << length << " bytes";
    }
}

TEST(PeResourceReader, DamagedOffsetsAreRefusedWithTheirReason)
{
    using P = SmallPe;
    struct Damage {
        const char* name;
        std::size_t at;        // file offset of the 32-bit word to overwrite
        std::uint32_t value;
        const char* reason;    // the start of the error
    };
    const Damage cases[] = {
        {"PE header offset past the file", 0x3C, 0x7FFFFFF0u, "not a PE file: no PE signature"},
        {"section count past the file", P::PE_AT + 4, 0xFFFF014Cu, "the section table runs past the file"},
        {"type directory far away", P::SECTION + P::ROOT + 16 + 4, 0x80000000u | 0x7FFFFFF0u,
         "a resource directory lies outside the resource section"},
        {"entry counts past the directory", P::SECTION + P::ROOT + 12, 0xFFFFFFFFu,
         "resource directory entries run past the resource section"},
        {"name text far away", P::SECTION + P::NAME_DIRS + 24 + 16, 0x80000000u | 0x00FFFFF0u,
         "a resource name lies outside the resource directory"},
        {"name entry pointing to data", P::SECTION + P::NAME_DIRS + 16 + 4, std::uint32_t(P::DATA_ENTRIES),
         "a resource type or name entry points to data instead of a directory"},
        {"language entry looping back to the root", P::SECTION + P::LANGUAGE_DIRS + 16 + 4, 0x80000000u,
         "a resource language entry points to a directory instead of data"},
        {"data before the section", P::SECTION + P::DATA_ENTRIES, 0x10, "resource data of"},
        {"data longer than the section", P::SECTION + P::DATA_ENTRIES + 4, 0xFFFFFFF0u, "resource data of"},
    };
    for (const Damage& c : cases) {
        SmallPe pe;
        put32(pe.file, c.at, c.value);
        std::vector<tools::PeResource> resources;
        std::string error;
        EXPECT_FALSE(tools::read_pe_resources(pe.file, resources, error)) << c.name;
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.name << ": expected \"" << c.reason << "...\", got \"" << error
                                               << "\"";
    }
}

TEST(PeResourceReader, DamagedResourceContentIsNamedNotRead)
{
    std::string error;
    Lines short_bitmap = describe(SmallPe(12).file, error);
    ASSERT_FALSE(short_bitmap.empty()) << error;
    EXPECT_EQ(short_bitmap[0], "bitmap 101 unreadable (12 bytes)");

    SmallPe long_version;
    put16(long_version.file, SmallPe::SECTION + long_version.blob_at[2], 0xFFFF);
    Lines lines = describe(long_version.file, error);
    ASSERT_EQ(lines.size(), 3u) << error;
    EXPECT_EQ(lines[2], "version unreadable (" + std::to_string(version_resource().size()) + " bytes)");

    // a child block that claims more than its parent holds
    SmallPe long_child;
    std::size_t string_file_info = SmallPe::SECTION + long_child.blob_at[2] + 40 + 52;
    put16(long_child.file, string_file_info, 0x7000);
    lines = describe(long_child.file, error);
    ASSERT_GE(lines.size(), 5u) << error;
    EXPECT_EQ(lines[4].rfind("version damaged block at byte ", 0), 0u) << lines[4];
}

TEST(PeResourceReader, AFileWithoutResourcesGivesNone)
{
    SmallPe pe;
    put32(pe.file, SmallPe::PE_AT + 4 + 20 + 96 + 16, 0);
    std::string error;
    std::vector<tools::PeResource> resources;
    EXPECT_TRUE(tools::read_pe_resources(pe.file, resources, error)) << error;
    EXPECT_TRUE(resources.empty());

    Bytes not_pe = {'Z', 'M', 0, 0};
    EXPECT_FALSE(tools::read_pe_resources(not_pe, resources, error));
    EXPECT_EQ(error, "not a PE file: no MZ header");
}

}  // namespace
