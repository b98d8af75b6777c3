// structure_report ROOT rooms|functions [LINES]: the house as the structure tests read it. rooms:
// each room and the rooms its files include, then every include that breaks the one way.
// functions: every function of the sources longer than LINES (60 if not given), longest first.
#include "tests/structure/source_tree.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int rooms(const std::filesystem::path& root)
{
    for (const structure::RoomIncludes& room : structure::room_includes(root)) {
        std::string line = room.room + " ->";
        for (const std::string& included : room.includes)
            line += " " + included;
        std::printf("%s\n", line.c_str());
    }
    std::vector<structure::Fault> faults = structure::include_faults(root);
    std::printf("%zu includes break the one way\n", faults.size());
    for (const structure::Fault& fault : faults)
        std::printf("  %s:%d: #include \"%s\": %s\n", fault.include.file.c_str(), fault.include.line,
                    fault.include.written.c_str(), fault.why.c_str());
    return 0;
}

int functions(const std::filesystem::path& root, int longer_than)
{
    std::vector<structure::Function> all;
    for (const std::string& file : structure::source_files(root)) {
        std::ifstream in(root / file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        if (!structure::functions_of(text, file, all, error)) {
            std::fprintf(stderr, "structure_report: %s\n", error.c_str());
            return 1;
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.lines > b.lines; });
    for (const structure::Function& function : all)
        if (function.lines > longer_than)
            std::printf("%4d  %s:%d  %s\n", function.lines, function.file.c_str(), function.line, function.name.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string what = argc >= 3 ? argv[2] : "";
    if (what == "rooms" && argc == 3)
        return rooms(argv[1]);
    if (what == "functions" && (argc == 3 || argc == 4))
        return functions(argv[1], argc == 4 ? std::atoi(argv[3]) : 60);
    std::fprintf(stderr, "usage: structure_report ROOT rooms|functions [LINES]\n");
    return 2;
}
