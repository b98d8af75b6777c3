// What a path names, for the bench's inputs and outputs: a folder, a FIFO or a socket is refused
// before it is opened, since opening a FIFO waits for its other end for ever; and a path made whole.
#pragma once

#include <filesystem>
#include <string>

namespace base {

inline const char* const DEVICE = "a device";

// What a path names when that is not a regular file ("a folder", "a FIFO (a named pipe)", "a
// device", "a socket"), for a message; empty for a regular file or a link to one, and for a path
// where nothing is (opening it says why).
inline std::string not_a_regular_file(const std::string& path)
{
    std::error_code failure;
    switch (std::filesystem::status(path, failure).type()) {
    case std::filesystem::file_type::directory:
        return "a folder";
    case std::filesystem::file_type::fifo:
        return "a FIFO (a named pipe)";
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
        return DEVICE;
    case std::filesystem::file_type::socket:
        return "a socket";
    case std::filesystem::file_type::unknown:
        return "a file of no kind the system names";
    default:
        return "";
    }
}

// The same, but a device passes: the bench reads one as it reads a file, within its bounds
// (/dev/null is an empty script, /dev/zero is cut past TEXT_LIMIT_BYTES), and writes a picture to
// one as to a file.
inline std::string not_a_file_or_device(const std::string& path)
{
    std::string kind = not_a_regular_file(path);
    return kind == DEVICE ? std::string() : kind;
}

// The path made whole, so that it names the same file when the run moves to another folder; as
// it is given when the system cannot say.
inline std::string whole_path(const std::string& path)
{
    std::error_code failure;
    std::filesystem::path whole = std::filesystem::absolute(path, failure);
    return failure ? path : whole.string();
}

}  // namespace base
