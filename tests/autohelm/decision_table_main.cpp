// Writes the decision table as one bench script and the key and echo lines its trace must hold:
// autohelm_decision_table SCRIPT KEYS. Each row runs in a module reloaded for it, so that the
// levers start down; the expected lines are the table's, never a run's.
#include "base/bytes.h"
#include "tests/autohelm/decision_table.h"

#include <cstdio>
#include <string>

namespace {

bool write_text(const char* path, const std::string& text)
{
    if (base::write_file(path, text))
        return true;
    std::fprintf(stderr, "autohelm_decision_table: cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: autohelm_decision_table SCRIPT KEYS\n");
        return 2;
    }
    using namespace decision_table;
    // every initialisation of the panel, the first load's and each reload's, sends master off
    std::string script = "# The autopilot switches' decision table, a row a reloaded module (written by "
                         "autohelm_decision_table).\n";
    std::string keys = MASTER_OFF + "\n";
    int number = 0;
    for (const Row& row : rows()) {
        std::string heading = "echo row " + std::to_string(++number) + " " + row.name + "\n";
        script += "\n" + heading + "reload\n" + row_script(row);
        keys += heading + MASTER_OFF + "\necho click\n";
        for (const std::string& line : row.expected)
            keys += line + "\n";
    }
    script += "\necho end\n";
    keys += "echo end\n";
    return write_text(argv[1], script) && write_text(argv[2], keys) ? 0 : 1;
}
