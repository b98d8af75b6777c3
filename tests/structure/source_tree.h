// The sources as a reader of the house sees them: their folders in floors, their rooms, the
// includes between them and the length of each function they define.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace structure {

// A file of the sources by its path from the tree's root, with '/' ("panelhost/host/gauge.cpp").
// The sources are the C and C++ files of the floors' folders; the tests are not among them.
std::vector<std::string> source_files(const std::filesystem::path& root);

// The floor of the folder a source lies in, from 0 (the bottom) up; -1 for a path of no floor's
// folder. A file includes files of its own folder and of lower floors only.
int floor_of(std::string_view path);

// The room a source lies in: the folder below the top one ("panelhost/host/"), or the file
// itself where it lies in the top folder ("panelhost/main.cpp").
std::string room_of(std::string_view path);

struct Include {
    std::string file;      // the includer
    int line = 0;
    std::string written;   // as written between the quotes or brackets
    std::string target;    // the source it names; empty for one outside the tree
};

// Every include of the file, those in either branch of an #if alike. A quoted name is looked for
// beside the file, then from the root; a bracketed one from the root.
std::vector<Include> includes_of(const std::filesystem::path& root, const std::string& file);

// An include that breaks the one way: upward or sideways to another folder, between two rooms
// that reach each other, or to a file that is not there. Each names the file, the line and the
// include as written.
struct Fault {
    Include include;
    std::string why;
};
std::vector<Fault> include_faults(const std::filesystem::path& root);

// For each room, the other rooms its files include, in the order of their paths.
struct RoomIncludes {
    std::string room;
    std::vector<std::string> includes;
};
std::vector<RoomIncludes> room_includes(const std::filesystem::path& root);

// A function defined in a source: its name as written before its parameters, the line it starts
// on and its length in lines, from that line to its closing brace.
struct Function {
    std::string file;
    int line = 0;
    std::string name;
    int lines = 0;
};

// The functions a source defines, members and those of a class written in a header among them; a
// function's lambdas and local classes are its own lines. False, with the reason, for a text
// whose braces do not pair.
bool functions_of(std::string_view text, const std::string& file, std::vector<Function>& functions,
                  std::string& error);

// The text with its comments, its string and character literals and its preprocessor lines
// blanked, each line kept where it was.
std::string code_only(std::string_view text);

}  // namespace structure
