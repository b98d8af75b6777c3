// Writes a zip archive that is the same byte for byte wherever and whenever it is made: the
// entries in the byte order of their names, every entry with the one time given and the
// permissions of a plain file (0644), deflated at the highest level (or stored, where that is
// smaller), no extra fields, no comment.
//   release_zip OUT.zip UNIX_TIME FOLDER NAME...
// Each NAME is a file under FOLDER, stored under that name ("Gauges/radio.gau").
#include <zlib.h>

#include "base/bytes.h"
#include "base/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint16_t VERSION_NEEDED = 20;               // 2.0: deflate
constexpr std::uint16_t MADE_ON_UNIX = (3 << 8) | 20;      // so that the permissions are read
constexpr std::uint32_t PLAIN_FILE_0644 = 0100644u << 16;
constexpr std::uint16_t STORED = 0;
constexpr std::uint16_t DEFLATED = 8;
// The records' signatures: an entry's local header, its record in the directory, the directory's
// end.
constexpr std::uint32_t LOCAL_HEADER = 0x04034b50;
constexpr std::uint32_t DIRECTORY_RECORD = 0x02014b50;
constexpr std::uint32_t DIRECTORY_END = 0x06054b50;

using base::put16;
using base::put32;

bool read_file(const std::string& path, Bytes& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The raw deflate stream of the bytes, or false if zlib fails.
bool deflate_bytes(const Bytes& in, Bytes& out)
{
    z_stream stream = {};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(in.size())));
    stream.next_in = const_cast<Bytes::value_type*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

// The time in the archive's own form, the date and the time of day in UTC (two seconds a unit).
void dos_time(std::time_t time, std::uint16_t& date, std::uint16_t& clock)
{
    std::tm parts = {};
    gmtime_r(&time, &parts);
    int year = std::max(parts.tm_year + 1900, 1980);
    date = static_cast<std::uint16_t>((year - 1980) << 9 | (parts.tm_mon + 1) << 5 | parts.tm_mday);
    clock = static_cast<std::uint16_t>(parts.tm_hour << 11 | parts.tm_min << 5 | parts.tm_sec / 2);
}

// What an entry's local header and its record in the directory both hold.
struct Entry {
    std::uint16_t method = STORED;
    std::uint16_t date = 0;
    std::uint16_t clock = 0;
    std::uint32_t crc = 0;
    std::uint32_t packed_size = 0;
    std::uint32_t size = 0;
    std::uint16_t name_size = 0;
};

// The fields both records give in the same order: the version needed, no flags, the method, the
// time, the sum, the sizes, the name's length and no extra field.
void put_entry(Bytes& out, const Entry& entry)
{
    put16(out, VERSION_NEEDED);
    put16(out, 0);
    put16(out, entry.method);
    put16(out, entry.clock);
    put16(out, entry.date);
    put32(out, entry.crc);
    put32(out, entry.packed_size);
    put32(out, entry.size);
    put16(out, entry.name_size);
    put16(out, 0);
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "release_zip: %s\n", message.c_str());
    return 1;
}

// The file's entry: its bytes deflated, or stored where deflating makes them no smaller, and what
// its records say of it.
bool pack_entry(const std::string& path, const std::string& name, Entry& entry, Bytes& packed, std::string& error)
{
    Bytes content;
    if (!read_file(path, content)) {
        error = "cannot read " + path;
        return false;
    }
    if (!deflate_bytes(content, packed)) {
        error = "cannot deflate " + name;
        return false;
    }
    entry.method = DEFLATED;
    if (packed.size() >= content.size()) {
        packed = content;
        entry.method = STORED;
    }
    entry.crc = static_cast<std::uint32_t>(crc32(0, content.data(), static_cast<uInt>(content.size())));
    entry.packed_size = static_cast<std::uint32_t>(packed.size());
    entry.size = static_cast<std::uint32_t>(content.size());
    entry.name_size = static_cast<std::uint16_t>(name.size());
    return true;
}

// An entry as the archive holds it: its local header, its name and its bytes.
void put_local_entry(Bytes& archive, const Entry& entry, const std::string& name, const Bytes& packed)
{
    put32(archive, LOCAL_HEADER);
    put_entry(archive, entry);
    archive.insert(archive.end(), name.begin(), name.end());
    archive.insert(archive.end(), packed.begin(), packed.end());
}

// The entry's record in the directory, which says where its local header lies.
void put_directory_record(Bytes& directory, const Entry& entry, const std::string& name, std::uint32_t offset)
{
    put32(directory, DIRECTORY_RECORD);
    put16(directory, MADE_ON_UNIX);
    put_entry(directory, entry);
    put16(directory, 0);   // no comment
    put16(directory, 0);   // disk 0
    put16(directory, 0);   // no internal attributes
    put32(directory, PLAIN_FILE_0644);
    put32(directory, offset);
    directory.insert(directory.end(), name.begin(), name.end());
}

// The directory after the entries, and its end: one disk, the count of entries, the directory's
// size and place, no comment.
void put_directory(Bytes& archive, const Bytes& directory, std::size_t entries)
{
    std::uint32_t directory_offset = static_cast<std::uint32_t>(archive.size());
    archive.insert(archive.end(), directory.begin(), directory.end());
    put32(archive, DIRECTORY_END);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, static_cast<std::uint32_t>(entries));
    put16(archive, static_cast<std::uint32_t>(entries));
    put32(archive, static_cast<std::uint32_t>(directory.size()));
    put32(archive, directory_offset);
    put16(archive, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return fail("usage: release_zip OUT.zip UNIX_TIME FOLDER NAME...");
    long long seconds = 0;
    // 1980, where the archive's dates begin, to 2107, where they end
    if (!base::read_whole_number(argv[2], 315532800, 4354819199LL, seconds))
        return fail(std::string("not a time from 1980 to 2107: ") + argv[2]);
    Entry stamp;
    dos_time(static_cast<std::time_t>(seconds), stamp.date, stamp.clock);
    std::string folder = argv[3];
    std::vector<std::string> names(argv + 4, argv + argc);
    std::sort(names.begin(), names.end());

    Bytes archive;
    Bytes directory;
    for (const std::string& name : names) {
        Entry entry = stamp;
        Bytes packed;
        std::string error;
        if (!pack_entry(folder + "/" + name, name, entry, packed, error))
            return fail(error);
        std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
        put_local_entry(archive, entry, name, packed);
        put_directory_record(directory, entry, name, offset);
    }
    put_directory(archive, directory, names.size());

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    if (!out)
        return fail(std::string("cannot write ") + argv[1]);
    return 0;
}
