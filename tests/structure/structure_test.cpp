// The house's rules read from the sources: includes that run one way, and functions short enough
// to read as their steps. The readers themselves are tried first on small trees of known faults.
#include "tests/structure/source_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The longest a function of the sources may be, in lines.
constexpr int LONGEST_FUNCTION = 60;

// The functions that may be longer: each one format interpreter or one table, read whole
// (docs/architecture.md names them too).
struct Allowed {
    const char* file;
    const char* name;
};
constexpr Allowed LONG_ALLOWED[] = {
    // printf's format, conversion by conversion, at the 32-bit widths the platform's formats have
    {"platform/native/process.cpp", "wsprintfA"},
};

// A small tree of sources, written into a folder of its own and removed with the object.
class Tree {
public:
    explicit Tree(const std::vector<std::pair<std::string, std::string>>& files)
    {
        root_ = fs::temp_directory_path() / ("structure-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        for (const auto& [path, text] : files) {
            fs::create_directories((root_ / path).parent_path());
            std::ofstream(root_ / path, std::ios::binary) << text;
        }
    }
    ~Tree() { fs::remove_all(root_); }
    const fs::path& root() const { return root_; }

private:
    fs::path root_;
};

std::vector<std::string> fault_lines(const fs::path& root)
{
    std::vector<std::string> lines;
    for (const structure::Fault& fault : structure::include_faults(root))
        lines.push_back(fault.include.file + ":" + std::to_string(fault.include.line) + " " + fault.include.written + ": " +
                        fault.why);
    return lines;
}

std::string read_source(const std::string& file)
{
    std::ifstream in(fs::path(PANEL_SOURCE_DIR) / file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- the readers on trees of known faults ----

struct IncludeCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> faults;   // what the reader must say, in its order
};

TEST(StructureReader, FindsEachIncludeThatBreaksTheOneWay)
{
    const IncludeCase cases[] = {
        {"down and within a room",
         {{"platform/sim/a.h", "#include \"base/text.h\"\n#include \"platform/sim/b.h\"\n"},
          {"platform/sim/b.h", "#include <vector>\n"},
          {"base/text.h", ""}},
         {}},
        {"upward",
         {{"platform/sim/a.cpp", "// a device\n#include \"panelhost/base/text.h\"\n"}, {"panelhost/base/text.h", ""}},
         {"platform/sim/a.cpp:2 panelhost/base/text.h: it runs upward, from platform/ (floor 1) to panelhost/ (floor 3)"}},
        {"sideways between the gauges",
         {{"radio/gauge/a.cpp", "#include \"autohelm/autohelm.h\"\n"}, {"autohelm/autohelm.h", ""}},
         {"radio/gauge/a.cpp:1 autohelm/autohelm.h: it runs sideways, between radio/ and autohelm/ of one floor"}},
        {"two rooms that include each other, an #if's branch among them",
         {{"panelhost/host/a.cpp", "#include \"panelhost/picture/b.h\"\n"},
          {"panelhost/picture/b.h", "#if defined(_WIN32)\n#include \"panelhost/host/c.h\"\n#endif\n"},
          {"panelhost/host/c.h", ""}},
         {"panelhost/host/a.cpp:1 panelhost/picture/b.h: its rooms panelhost/host/ and panelhost/picture/ reach each other "
          "through their includes",
          "panelhost/picture/b.h:2 panelhost/host/c.h: its rooms panelhost/picture/ and panelhost/host/ reach each other "
          "through their includes"}},
        {"a circle of three rooms through a file of the top folder, by a name relative to it",
         {{"platform/platform.h", "#include \"native/win32.h\"\n"},
          {"platform/native/win32.h", ""},
          {"platform/native/com.cpp", "#include \"platform/sim/media.h\"\n"},
          {"platform/sim/media.h", "#include \"platform/platform.h\"\n"}},
         {"platform/native/com.cpp:1 platform/sim/media.h: its rooms platform/native/ and platform/sim/ reach each other "
          "through their includes",
          "platform/platform.h:1 native/win32.h: its rooms platform/platform.h and platform/native/ reach each other "
          "through their includes",
          "platform/sim/media.h:1 platform/platform.h: its rooms platform/sim/ and platform/platform.h reach each other "
          "through their includes"}},
        {"a path that leads nowhere",
         {{"tools/art/a.cpp", "#include \"panelhost/base/gone.h\"\n#include \"panel_version.h\"\n"}},
         {"tools/art/a.cpp:1 panelhost/base/gone.h: it names no file of the tree"}},
    };
    for (const IncludeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Tree tree(c.files);
        EXPECT_EQ(fault_lines(tree.root()), c.faults);
    }
}

struct FunctionCase {
    const char* name;
    const char* text;
    std::vector<std::string> functions;   // "NAME LINE+LINES"
};

TEST(StructureReader, MeasuresEachFunctionFromItsNameToItsClosingBrace)
{
    const FunctionCase cases[] = {
        {"a function, a table and a class's members",
         "namespace a {\n"
         "const int TABLE[] = {\n  1,\n  2,\n};\n"
         "int first(int x)\n{\n    return x;\n}\n"
         "struct S {\n    S() : width_{1}, height_(2) {}\n  public:\n    bool operator==(const S&) const { return true; }\n"
         "    int width_, height_;\n};\n"
         "}  // namespace a\n",
         {"first 6+4", "S 11+1", "operator== 13+1"}},
        {"braces in comments, strings, raw strings, characters and directives are no braces",
         "// {\n/* { */\n#define OPEN {\n"
         "const char* f()\n{\n    char c = '{';\n    return \"{\" R\"css(a { b })css\";\n}\n"
         "void g() {\n    auto h = [](int) { return 1; };\n}\n",
         {"f 4+5", "g 9+3"}},
        {"an enumeration, a template and a member defined outside its class",
         "enum class E { A, B };\ntemplate <typename T = int>\nT twice(T x) { return x + x; }\n"
         "void Runner::start(int times)\n{\n    for (int i = 0; i < times; ++i) {\n        step();\n    }\n}\n",
         {"twice 3+1", "Runner::start 4+6"}},
    };
    for (const FunctionCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<structure::Function> functions;
        std::string error;
        ASSERT_TRUE(structure::functions_of(c.text, "a.cpp", functions, error)) << error;
        std::vector<std::string> found;
        for (const structure::Function& function : functions)
            found.push_back(function.name + " " + std::to_string(function.line) + "+" + std::to_string(function.lines));
        std::sort(found.begin(), found.end());
        std::vector<std::string> expected = c.functions;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(StructureReader, RefusesATextWhoseBracesDoNotPair)
{
    std::vector<structure::Function> functions;
    std::string error;
    EXPECT_FALSE(structure::functions_of("void f()\n{\n", "a.cpp", functions, error));
    EXPECT_EQ(error, "a.cpp: 1 opening braces without their closing ones");
    EXPECT_FALSE(structure::functions_of("}\n", "b.cpp", functions, error));
    EXPECT_EQ(error, "b.cpp:1: a closing brace without its opening one");
}

// ---- the sources ----

TEST(Structure, TheSourcesIncludeOneWay)
{
    ASSERT_FALSE(structure::source_files(PANEL_SOURCE_DIR).empty());
    for (const std::string& fault : fault_lines(PANEL_SOURCE_DIR))
        ADD_FAILURE() << fault;
}

TEST(Structure, NoFunctionOfTheSourcesIsLongerThanItsSteps)
{
    std::set<std::string> allowed_seen;
    std::size_t measured = 0;
    for (const std::string& file : structure::source_files(PANEL_SOURCE_DIR)) {
        std::vector<structure::Function> functions;
        std::string error;
        ASSERT_TRUE(structure::functions_of(read_source(file), file, functions, error)) << error;
        measured += functions.size();
        for (const structure::Function& function : functions) {
            if (function.lines <= LONGEST_FUNCTION)
                continue;
            bool allowed = false;
            for (const Allowed& a : LONG_ALLOWED)
                if (function.file == a.file && function.name == a.name) {
                    allowed = true;
                    allowed_seen.insert(function.file + " " + function.name);
                }
            if (!allowed)
                ADD_FAILURE() << function.file << ":" << function.line << ": " << function.name << " is "
                              << function.lines << " lines, more than " << LONGEST_FUNCTION;
        }
    }
    EXPECT_GT(measured, 500u) << "the reader found too few functions to have read the sources";
    for (const Allowed& a : LONG_ALLOWED)
        if (!allowed_seen.count(std::string(a.file) + " " + a.name))
            ADD_FAILURE() << a.file << ": " << a.name << " is allowed to be long but is not: take it off the list";
}

}  // namespace
