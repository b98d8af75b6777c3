// The program's folder and the song folders, over POSIX.
#include "panelhost/system/song_folder.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace panelhost {

namespace {

constexpr int SONG_COUNT = 6;

}  // namespace

bool program_folder(std::string& folder, std::string& error)
{
    std::error_code failure;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) {
        error = "cannot find this executable: " + failure.message();
        return false;
    }
    folder = self.parent_path().string();
    return true;
}

SongFolder::~SongFolder()
{
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

bool SongFolder::make(bool songs, std::string& error)
{
    std::error_code failure;
    std::string folder = std::filesystem::temp_directory_path(failure).string() + "/panelhost-XXXXXX";
    if (failure || !mkdtemp(folder.data())) {
        error = "cannot make a temporary folder";
        return false;
    }
    path_ = folder;
    std::filesystem::create_directory(folder + "/Sound", failure);
    for (int song = 1; !failure && songs && song <= SONG_COUNT; ++song)
        if (!std::ofstream(folder + "/Sound/song" + std::to_string(song) + ".mp3"))
            failure = std::make_error_code(std::errc::io_error);
    if (failure) {
        error = "cannot write the songs in " + folder;
        std::filesystem::remove_all(folder, failure);
        path_.clear();
        return false;
    }
    return true;
}

}  // namespace panelhost
