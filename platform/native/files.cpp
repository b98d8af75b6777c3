// Native files: CreateFileA and its handles over POSIX files, read-only mappings and their views,
// temporary folders and names, and the 8-bit to UTF-16 conversion of the process code page.
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"
#include "platform/sim/paths.h"
#include "platform/sim/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD ERROR_ACCESS_DENIED_CODE = 5;
constexpr DWORD ERROR_PATH_NOT_FOUND_CODE = 3;
constexpr DWORD ERROR_FILE_EXISTS_CODE = 80;
constexpr DWORD ERROR_ALREADY_EXISTS_CODE = 183;
constexpr DWORD ERROR_BUFFER_OVERFLOW_CODE = 111;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER_CODE = 122;
constexpr DWORD ERROR_DIRECTORY_CODE = 267;
constexpr DWORD ERROR_INVALID_ADDRESS_CODE = 487;
constexpr DWORD ERROR_FILE_INVALID_CODE = 1006;
constexpr DWORD TRUNCATE_EXISTING_DISPOSITION = 5;
// GetTempFileNameA adds at most 14 characters (separator, prefix, number, ".TMP", terminator).
constexpr std::size_t TEMP_NAME_ROOM = 14;

struct KernelObject {
    enum class Kind { file, mapping } kind;
    int descriptor = -1;                                  // file
    DWORD access = 0;                                     // file
    std::shared_ptr<std::vector<unsigned char>> bytes;    // mapping
};

struct Kernel {
    sim::Registry<HANDLE, KernelObject> handles{0x2000};
    sim::Registry<const void*, std::shared_ptr<std::vector<unsigned char>>> views;   // by address
    unsigned next_unique = 0;
};

Kernel& kernel()
{
    static Kernel state;
    return state;
}

KernelObject* find_object(HANDLE handle, KernelObject::Kind kind)
{
    KernelObject* object = kernel().handles.find(handle);
    return object && object->kind == kind ? object : nullptr;
}

// The open file of the handle, when it was opened for the access asked for; else null, with the
// reason as the last error.
KernelObject* file_open_for(HANDLE file, DWORD access)
{
    KernelObject* object = find_object(file, KernelObject::Kind::file);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!(object->access & access)) {
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return nullptr;
    }
    return object;
}

DWORD error_from_errno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND_CODE;
    case EEXIST:
        return ERROR_FILE_EXISTS_CODE;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED_CODE;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

// A failure injected for the named kernel call: its error becomes the last error.
bool injected(const char* name)
{
    std::int32_t error = 0;
    if (!sim::media::take_failure(name, error))
        return false;
    SetLastError(static_cast<DWORD>(error));
    return true;
}

std::string temp_folder()
{
    std::string folder = sim::media::temp_folder();
    if (folder.empty()) {
        const char* variable = std::getenv("TMPDIR");
        folder = variable && *variable ? variable : "/tmp";
    }
    if (folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder;
}

}  // namespace

namespace sim {

// What the bench and the tests count.
std::size_t open_handle_count() { return kernel().handles.count(); }
std::size_t mapped_view_count() { return kernel().views.count(); }

}  // namespace sim

HANDLE WINAPI CreateFileA(LPCSTR file_name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                          HANDLE)
{
    if (!file_name || !*file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (injected("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    int flags = (access & GENERIC_WRITE) ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING_DISPOSITION:
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = sim::native_path(file_name);
    struct stat before;
    bool existed = stat(path.c_str(), &before) == 0;
    int descriptor = open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        SetLastError(error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS_CODE
                                                                                        : ERROR_SUCCESS);
    KernelObject object{KernelObject::Kind::file, -1, 0, nullptr};
    object.descriptor = descriptor;
    object.access = access;
    return kernel().handles.add_numbered(std::move(object));
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED)
{
    if (read)
        *read = 0;
    KernelObject* object = file_open_for(file, GENERIC_READ);
    if (!object)
        return FALSE;
    DWORD total = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (total < size) {
        ssize_t count = ::read(object->descriptor, bytes + total, size - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            SetLastError(error_from_errno(errno));
            return FALSE;
        }
        if (count == 0)
            break;
        total += static_cast<DWORD>(count);
    }
    if (read)
        *read = total;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    if (written)
        *written = 0;
    KernelObject* object = file_open_for(file, GENERIC_WRITE);
    if (!object)
        return FALSE;
    if (injected("WriteFile"))
        return FALSE;
    DWORD total = 0;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (total < size) {
        ssize_t count = ::write(object->descriptor, bytes + total, size - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            SetLastError(error_from_errno(errno));
            if (written)
                *written = total;
            return FALSE;
        }
        total += static_cast<DWORD>(count);
    }
    if (written)
        *written = total;
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD size_high)
{
    KernelObject* object = find_object(file, KernelObject::Kind::file);
    struct stat status;
    if (!object || fstat(object->descriptor, &status) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
    if (size_high)
        *size_high = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    KernelObject* object = kernel().handles.find(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->kind == KernelObject::Kind::file)
        close(object->descriptor);
    kernel().handles.remove(handle);   // a mapping's bytes live on in its views
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR file_name)
{
    if (!file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = sim::native_path(file_name);
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0) {
        SetLastError(error_from_errno(errno));
        return FALSE;
    }
    return TRUE;
}

// A folder answers FILE_ATTRIBUTE_DIRECTORY, any other thing that exists FILE_ATTRIBUTE_NORMAL
// (this file system keeps no other attributes); a path that does not exist, the invalid value.
DWORD WINAPI GetFileAttributesA(LPCSTR file_name)
{
    if (!file_name || !*file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (injected("GetFileAttributesA"))
        return INVALID_FILE_ATTRIBUTES;
    struct stat status;
    if (stat(sim::native_path(file_name).c_str(), &status) != 0) {
        SetLastError(error_from_errno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

// Read-only mappings hold the file's bytes as they were when the mapping was made.
HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD size_high, DWORD size_low,
                                 LPCSTR)
{
    KernelObject* object = find_object(file, KernelObject::Kind::file);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (protect != PAGE_READONLY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!(object->access & GENERIC_READ)) {
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return nullptr;
    }
    if (injected("CreateFileMappingA"))
        return nullptr;
    struct stat status;
    if (fstat(object->descriptor, &status) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::uint64_t file_size = static_cast<std::uint64_t>(status.st_size);
    std::uint64_t size = (std::uint64_t(size_high) << 32) | size_low;
    if (size == 0)
        size = file_size;
    // An empty file cannot be mapped, nor can a read-only mapping be larger than its file.
    if (size == 0 || size > file_size) {
        SetLastError(ERROR_FILE_INVALID_CODE);
        return nullptr;
    }
    auto bytes = std::make_shared<std::vector<unsigned char>>(static_cast<std::size_t>(size));
    std::size_t total = 0;
    while (total < bytes->size()) {
        ssize_t count = pread(object->descriptor, bytes->data() + total, bytes->size() - total,
                              static_cast<off_t>(total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            SetLastError(ERROR_FILE_INVALID_CODE);
            return nullptr;
        }
        total += static_cast<std::size_t>(count);
    }
    KernelObject mapping{KernelObject::Kind::mapping, -1, 0, nullptr};
    mapping.bytes = std::move(bytes);
    return kernel().handles.add_numbered(std::move(mapping));
}

LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low, SIZE_T size)
{
    KernelObject* object = find_object(mapping, KernelObject::Kind::mapping);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (access != FILE_MAP_READ) {
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return nullptr;
    }
    if (injected("MapViewOfFile"))
        return nullptr;
    std::uint64_t offset = (std::uint64_t(offset_high) << 32) | offset_low;
    std::uint64_t length = object->bytes->size();
    if (offset >= length || (size != 0 && offset + size > length)) {
        SetLastError(ERROR_ACCESS_DENIED_CODE);
        return nullptr;
    }
    unsigned char* view = object->bytes->data() + offset;
    kernel().views.add(view, object->bytes);
    return view;
}

BOOL WINAPI UnmapViewOfFile(LPCVOID view)
{
    if (!kernel().views.remove(view)) {
        SetLastError(ERROR_INVALID_ADDRESS_CODE);
        return FALSE;
    }
    return TRUE;
}

// The temporary folder with its trailing separator; the length without the terminator, or when
// the buffer is too small the size it needs, terminator included.
DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer)
{
    if (injected("GetTempPathA"))
        return 0;
    std::string folder = temp_folder();
    if (!buffer || size <= folder.size())
        return static_cast<DWORD>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<DWORD>(folder.size());
}

// "PATH\PRE1A2B.TMP": up to three characters of the prefix and a four-digit hexadecimal number.
// With unique number 0 the platform picks numbers until it can create a new empty file.
UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR temp_file_name)
{
    if (!path || !temp_file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (std::strlen(path) > MAX_PATH - TEMP_NAME_ROOM) {
        SetLastError(ERROR_BUFFER_OVERFLOW_CODE);
        return 0;
    }
    if (injected("GetTempFileNameA"))
        return 0;
    std::string folder = path;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    std::string start = folder + std::string(prefix ? prefix : "").substr(0, 3);
    auto name_for = [&](unsigned number) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", number & 0xFFFF);
        return start + digits + ".TMP";
    };
    if (unique != 0) {
        std::string name = name_for(unique);
        std::memcpy(temp_file_name, name.c_str(), name.size() + 1);
        return unique & 0xFFFF;
    }
    for (unsigned attempt = 0; attempt < 0xFFFF; ++attempt) {
        unsigned number = (kernel().next_unique++ % 0xFFFF) + 1;
        std::string name = name_for(number);
        int descriptor = open(sim::native_path(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor >= 0) {
            close(descriptor);
            std::memcpy(temp_file_name, name.c_str(), name.size() + 1);
            return number;
        }
        if (errno != EEXIST) {
            SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_DIRECTORY_CODE : error_from_errno(errno));
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS_CODE);
    return 0;
}

// The process code page maps each byte to the character of the same number, so a path goes to
// UTF-16 and back unchanged.
int WINAPI MultiByteToWideChar(UINT code_page, DWORD, LPCSTR text, int size, LPWSTR wide_text, int wide_size)
{
    if (!text || size == 0 || size < -1 || wide_size < 0 || (wide_size > 0 && !wide_text) || code_page != CP_ACP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t count = size == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(size);
    if (wide_size == 0)
        return static_cast<int>(count);
    if (count > static_cast<std::size_t>(wide_size)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER_CODE);
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i)
        wide_text[i] = static_cast<WCHAR>(static_cast<unsigned char>(text[i]));
    return static_cast<int>(count);
}
