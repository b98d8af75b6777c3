// Walks a PE file's resource tree and describes bitmaps, raw data and version blocks.
#include "tools/pe/pe_resource_reader.h"

#include "base/bytes.h"

#include <cstdio>

namespace tools {
namespace {

constexpr std::uint32_t RT_BITMAP_ID = 2;
constexpr std::uint32_t RT_RCDATA_ID = 10;
constexpr std::uint32_t RT_VERSION_ID = 16;
constexpr std::size_t MAX_ENTRIES = 65536;   // in the whole tree: a damaged count cannot run away
constexpr int MAX_VERSION_DEPTH = 4;

// A bounded view of bytes; every read answers whether it fitted.
struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    bool fits(std::size_t offset, std::size_t length) const { return offset <= size && length <= size - offset; }
    bool get16(std::size_t offset, std::uint32_t& value) const
    {
        if (!fits(offset, 2))
            return false;
        value = base::get16(data + offset);
        return true;
    }
    bool get32(std::size_t offset, std::uint32_t& value) const
    {
        if (!fits(offset, 4))
            return false;
        value = base::get32(data + offset);
        return true;
    }
    Bytes slice(std::size_t offset, std::size_t length) const { return {data + offset, length}; }
};

struct Section {
    std::uint32_t virtual_address, virtual_size, raw_size, raw_offset;
};

struct PeFile {
    Bytes bytes;
    std::vector<Section> sections;

    // The file offset of length bytes at rva, if they all lie in one section's data.
    bool at_rva(std::uint32_t rva, std::uint32_t length, std::size_t& offset) const
    {
        for (const Section& section : sections) {
            if (rva < section.virtual_address)
                continue;
            std::uint64_t within = std::uint64_t(rva) - section.virtual_address;
            if (within + length > section.raw_size)
                continue;
            std::uint64_t at = std::uint64_t(section.raw_offset) + within;
            if (!bytes.fits(static_cast<std::size_t>(at), length))
                return false;
            offset = static_cast<std::size_t>(at);
            return true;
        }
        return false;
    }
};

// UTF-16 text to the bytes of its ASCII characters; anything else becomes '?'.
std::string narrow(Bytes bytes, std::size_t offset, std::size_t units)
{
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t unit = 0;
        if (!bytes.get16(offset + 2 * i, unit))
            break;
        text += unit >= 0x20 && unit < 0x7F ? static_cast<char>(unit) : '?';
    }
    return text;
}

struct TreeWalk {
    const PeFile& pe;
    Bytes tree;              // the resource directory: its offsets count from its start
    std::size_t entries = 0;
    std::vector<PeResource>& resources;
    std::string& error;

    bool fail(const std::string& why)
    {
        error = why;
        return false;
    }

    bool entry_name(std::uint32_t word, std::uint32_t& id, std::string& name)
    {
        if (!(word & 0x80000000u)) {
            id = word;
            return true;
        }
        std::size_t at = word & 0x7FFFFFFFu;
        std::uint32_t length = 0;
        if (!tree.get16(at, length) || !tree.fits(at + 2, std::size_t(length) * 2))
            return fail("a resource name lies outside the resource directory");
        name = narrow(tree, at + 2, length);
        return true;
    }

    // level 0: types, 1: names, 2: languages, whose entries describe the data.
    bool directory(std::size_t at, int level, PeResource& path)
    {
        std::uint32_t named = 0, numbered = 0;
        if (!tree.get16(at + 12, named) || !tree.get16(at + 14, numbered))
            return fail("a resource directory lies outside the resource section");
        std::size_t count = std::size_t(named) + numbered;
        if (!tree.fits(at + 16, count * 8))
            return fail("resource directory entries run past the resource section");
        for (std::size_t i = 0; i < count; ++i) {
            if (++entries > MAX_ENTRIES)
                return fail("more than 65536 resource directory entries");
            std::uint32_t name_word = 0, target = 0;
            tree.get32(at + 16 + i * 8, name_word);
            tree.get32(at + 16 + i * 8 + 4, target);
            PeResource item = path;
            if (level == 0 && !entry_name(name_word, item.type_id, item.type_name))
                return false;
            if (level == 1 && !entry_name(name_word, item.id, item.name))
                return false;
            if (level == 2)
                item.language = name_word;
            bool is_directory = (target & 0x80000000u) != 0;
            std::size_t offset = target & 0x7FFFFFFFu;
            if (level < 2) {
                if (!is_directory)
                    return fail("a resource type or name entry points to data instead of a directory");
                if (!directory(offset, level + 1, item))
                    return false;
                continue;
            }
            if (is_directory)
                return fail("a resource language entry points to a directory instead of data");
            if (!data(offset, item))
                return false;
        }
        return true;
    }

    bool data(std::size_t at, PeResource& item)
    {
        std::uint32_t rva = 0, size = 0;
        if (!tree.get32(at, rva) || !tree.get32(at + 4, size))
            return fail("a resource data entry lies outside the resource section");
        std::size_t offset = 0;
        if (!pe.at_rva(rva, size, offset))
            return fail("resource data of " + std::to_string(size) + " bytes lies outside the file");
        item.data.assign(pe.bytes.data + offset, pe.bytes.data + offset + size);
        resources.push_back(std::move(item));
        return true;
    }
};

std::string resource_name(std::uint32_t id, const std::string& name)
{
    return name.empty() ? std::to_string(id) : name;
}

std::string describe_bitmap(const PeResource& resource)
{
    Bytes bytes{resource.data.data(), resource.data.size()};
    std::string head = "bitmap " + resource_name(resource.id, resource.name) + " ";
    std::uint32_t header_size = 0, width = 0, height = 0, bits = 0, colours = 0;
    if (!bytes.get32(0, header_size) || header_size < 40 || !bytes.get32(4, width) || !bytes.get32(8, height) ||
        !bytes.get16(14, bits) || !bytes.get32(32, colours))
        return head + "unreadable (" + std::to_string(resource.data.size()) + " bytes)";
    if (colours == 0 && bits <= 8)
        colours = 1u << bits;
    std::int32_t rows = static_cast<std::int32_t>(height);
    std::string text = head + std::to_string(static_cast<std::int32_t>(width)) + "x" +
                       std::to_string(rows < 0 ? -static_cast<std::int64_t>(rows) : rows) + " " +
                       std::to_string(bits) + "bpp";
    if (bits <= 8)
        text += " " + std::to_string(colours) + " colours";
    return text;
}

// One block of a version resource: length, value length, type, key, then the value and the
// children, each aligned to 4 bytes from the start of the resource.
struct VersionBlock {
    std::string key;
    std::size_t value_at = 0, value_size = 0;
    std::size_t children_at = 0, end = 0;
    bool text = false;
};

bool version_block(Bytes bytes, std::size_t at, std::size_t limit, VersionBlock& block)
{
    std::uint32_t length = 0, value_length = 0, type = 0;
    if (!bytes.get16(at, length) || !bytes.get16(at + 2, value_length) || !bytes.get16(at + 4, type))
        return false;
    if (length < 6 || at + length > limit)
        return false;
    block.end = at + length;
    std::size_t key_at = at + 6, key_end = key_at;
    std::uint32_t unit = 1;
    while (key_end + 2 <= block.end && bytes.get16(key_end, unit) && unit != 0)
        key_end += 2;
    if (unit != 0)
        return false;
    block.key = narrow(bytes, key_at, (key_end - key_at) / 2);
    block.text = type == 1;
    block.value_at = (key_end + 2 + 3) & ~std::size_t(3);
    block.value_size = block.text ? std::size_t(value_length) * 2 : value_length;
    if (block.value_at > block.end || block.value_size > block.end - block.value_at)
        block.value_size = block.value_at > block.end ? 0 : block.end - block.value_at;
    block.children_at = (block.value_at + block.value_size + 3) & ~std::size_t(3);
    return true;
}

std::string version_number(Bytes bytes, std::size_t at)
{
    std::uint32_t high = 0, low = 0;
    bytes.get32(at, high);
    bytes.get32(at + 4, low);
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
           std::to_string(low & 0xFFFF);
}

void describe_version_children(Bytes bytes, const VersionBlock& parent, int depth, std::vector<std::string>& lines)
{
    if (depth > MAX_VERSION_DEPTH)
        return;
    for (std::size_t at = parent.children_at; at < parent.end;) {
        VersionBlock child;
        if (!version_block(bytes, at, parent.end, child)) {
            lines.push_back("version damaged block at byte " + std::to_string(at));
            return;
        }
        if (child.key == "Translation") {
            for (std::size_t i = 0; i + 4 <= child.value_size; i += 4) {
                std::uint32_t language = 0, code_page = 0;
                bytes.get16(child.value_at + i, language);
                bytes.get16(child.value_at + i + 2, code_page);
                char text[64];
                std::snprintf(text, sizeof text, "version Translation 0x%04x 0x%04x", language, code_page);
                lines.emplace_back(text);
            }
        } else if (child.text && child.value_size > 0) {
            std::size_t units = 0;
            for (std::uint32_t unit = 1; units < child.value_size / 2; ++units)
                if (bytes.get16(child.value_at + 2 * units, unit) && unit == 0)
                    break;
            lines.push_back("version " + child.key + " \"" + narrow(bytes, child.value_at, units) + "\"");
        } else {
            describe_version_children(bytes, child, depth + 1, lines);
        }
        at = (child.end + 3) & ~std::size_t(3);
    }
}

void describe_version(const PeResource& resource, std::vector<std::string>& lines)
{
    Bytes bytes{resource.data.data(), resource.data.size()};
    VersionBlock root;
    if (!version_block(bytes, 0, bytes.size, root) || root.key != "VS_VERSION_INFO") {
        lines.push_back("version unreadable (" + std::to_string(resource.data.size()) + " bytes)");
        return;
    }
    std::uint32_t signature = 0;
    if (root.value_size >= 52 && bytes.get32(root.value_at, signature) && signature == 0xFEEF04BDu) {
        lines.push_back("version fixed FileVersion " + version_number(bytes, root.value_at + 8));
        lines.push_back("version fixed ProductVersion " + version_number(bytes, root.value_at + 16));
    }
    describe_version_children(bytes, root, 1, lines);
}

// Where the headers put the optional header, its data directories and the section table.
struct Headers {
    std::size_t optional = 0;          // the optional header's offset
    std::uint32_t optional_size = 0;
    std::size_t directories = 0;       // the data directories' offset within it
    std::uint32_t directory_count = 0;
    std::uint32_t section_count = 0;
};

constexpr std::uint32_t PE_SIGNATURE = 0x00004550u;   // "PE\0\0"
constexpr std::uint32_t PE32_MAGIC = 0x10B;
constexpr std::uint32_t PE32_PLUS_MAGIC = 0x20B;
constexpr std::size_t SECTION_HEADER_SIZE = 40;
constexpr std::uint32_t RESOURCE_DIRECTORY = 2;

// The MZ header, the PE signature it points to, the file header and the optional header's kind.
bool read_headers(const Bytes& bytes, Headers& headers, std::string& error)
{
    std::uint32_t pe_at = 0, signature = 0, magic = 0;
    if (!bytes.fits(0, 2) || bytes.data[0] != 'M' || bytes.data[1] != 'Z' || !bytes.get32(0x3C, pe_at)) {
        error = "not a PE file: no MZ header";
        return false;
    }
    if (!bytes.get32(pe_at, signature) || signature != PE_SIGNATURE) {
        error = "not a PE file: no PE signature";
        return false;
    }
    std::size_t coff = std::size_t(pe_at) + 4;
    headers.optional = coff + 20;
    if (!bytes.get16(coff + 2, headers.section_count) || !bytes.get16(coff + 16, headers.optional_size) ||
        !bytes.get16(headers.optional, magic) || !bytes.fits(headers.optional, headers.optional_size)) {
        error = "the PE headers are cut short";
        return false;
    }
    if (magic == PE32_MAGIC)
        headers.directories = 96;
    else if (magic == PE32_PLUS_MAGIC)
        headers.directories = 112;
    else {
        error = "unknown optional header magic";
        return false;
    }
    if (headers.optional_size < headers.directories ||
        !bytes.get32(headers.optional + headers.directories - 4, headers.directory_count)) {
        error = "the optional header is cut short";
        return false;
    }
    return true;
}

// The section table, after the optional header.
bool read_sections(PeFile& pe, const Headers& headers, std::string& error)
{
    std::size_t sections_at = headers.optional + headers.optional_size;
    if (!pe.bytes.fits(sections_at, std::size_t(headers.section_count) * SECTION_HEADER_SIZE)) {
        error = "the section table runs past the file";
        return false;
    }
    for (std::size_t i = 0; i < headers.section_count; ++i) {
        Section section{};
        std::size_t at = sections_at + i * SECTION_HEADER_SIZE;
        pe.bytes.get32(at + 8, section.virtual_size);
        pe.bytes.get32(at + 12, section.virtual_address);
        pe.bytes.get32(at + 16, section.raw_size);
        pe.bytes.get32(at + 20, section.raw_offset);
        pe.sections.push_back(section);
    }
    return true;
}

// The resource directory's place and size, from its entry among the data directories; false for
// a file without one.
bool resource_directory(const Bytes& bytes, const Headers& headers, std::uint32_t& rva, std::uint32_t& size)
{
    if (headers.directory_count <= RESOURCE_DIRECTORY || headers.optional_size < headers.directories + 3 * 8)
        return false;
    std::size_t entry = headers.optional + headers.directories + RESOURCE_DIRECTORY * 8;
    bytes.get32(entry, rva);
    bytes.get32(entry + 4, size);
    return rva != 0 && size != 0;
}

}  // namespace

bool read_pe_resources(const std::vector<std::uint8_t>& file, std::vector<PeResource>& resources, std::string& error)
{
    resources.clear();
    PeFile pe{{file.data(), file.size()}, {}};
    Headers headers;
    if (!read_headers(pe.bytes, headers, error) || !read_sections(pe, headers, error))
        return false;
    std::uint32_t resource_rva = 0, resource_size = 0;
    if (!resource_directory(pe.bytes, headers, resource_rva, resource_size))
        return true;
    std::size_t tree_at = 0;
    if (!pe.at_rva(resource_rva, resource_size, tree_at)) {
        error = "the resource directory lies outside the file";
        return false;
    }
    TreeWalk walk{pe, pe.bytes.slice(tree_at, resource_size), 0, resources, error};
    PeResource path;
    if (!walk.directory(0, 0, path)) {
        resources.clear();
        return false;
    }
    return true;
}

std::vector<std::string> describe_pe_resource(const PeResource& resource)
{
    std::vector<std::string> lines;
    switch (resource.type_name.empty() ? resource.type_id : 0) {
    case RT_BITMAP_ID:
        lines.push_back(describe_bitmap(resource));
        break;
    case RT_RCDATA_ID:
        lines.push_back("rcdata " + resource_name(resource.id, resource.name) + " " +
                        std::to_string(resource.data.size()) + " bytes");
        break;
    case RT_VERSION_ID:
        describe_version(resource, lines);
        break;
    default:
        lines.push_back("resource " + resource_name(resource.type_id, resource.type_name) + " " +
                        resource_name(resource.id, resource.name) + " " + std::to_string(resource.data.size()) +
                        " bytes");
        break;
    }
    return lines;
}

}  // namespace tools
