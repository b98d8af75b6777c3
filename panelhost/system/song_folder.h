// Natively, for the bench inside another program: the folder the program stands in, where the
// native modules are built, and folders of the radio's songs made for the run.
#pragma once

#include <string>

namespace panelhost {

// The folder of this program's executable; false, with the reason, when the system cannot say.
bool program_folder(std::string& folder, std::string& error);

// A folder made anew in the system's temporary folder and removed, with all in it, with the
// object. Its Sound folder holds the six songs the radio looks for, song1.mp3 to song6.mp3, or
// none: any file is a song to the stand-in media graph, and these play 180 s each.
class SongFolder {
public:
    SongFolder() = default;
    ~SongFolder();
    SongFolder(const SongFolder&) = delete;
    SongFolder& operator=(const SongFolder&) = delete;

    // False, with the reason, when the folder or a song cannot be made; what was made is removed.
    bool make(bool songs, std::string& error);
    // Empty until made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace panelhost
