// The autopilot switches' decision table, one click a row, written once: the native tests run
// each row in a bench of their own, and autohelm_decision_table writes the script of all rows and
// its expected key lines, which the native bench and the Windows builds under Wine play.
#pragma once

#include <string>
#include <vector>

namespace decision_table {

// the key lines of the trace, as the bench writes them
extern const std::string MASTER_OFF, MASTER_ON, ENGAGE_1, ENGAGE_2, RELEASE_1, RELEASE_2;

enum class Switch { master, engage, inhibit };

struct Row {
    const char* name;
    Switch clicked;
    double var_103, var_106, var_108;     // as the update before the click reads them
    int engage_after, inhibit_after;      // the lever flags as they are after the click's toggle
    std::vector<std::string> expected;    // the key lines of the click, in order
};

const std::vector<Row>& rows();

// The script of one row, for a module just loaded or reloaded: the variables cleared and read, the
// levers brought where the row needs them (clicks while variable 103 is zero only move them), the
// row's variables set and read by an update, then the line "echo click" and the click.
std::string row_script(const Row& row);

}  // namespace decision_table
