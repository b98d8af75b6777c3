// What a path names, for the bench's inputs and outputs: a regular file is read or written over,
// anything else refused before it is opened, since opening a FIFO waits for the other end for ever.
#pragma once

#include <filesystem>
#include <string>

namespace base {

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
        return "a device";
    case std::filesystem::file_type::socket:
        return "a socket";
    case std::filesystem::file_type::unknown:
        return "a file of no kind the system names";
    default:
        return "";
    }
}

}  // namespace base
