// The autopilot switches' decision table and the script of a row.
#include "tests/autohelm/decision_table.h"

#include <cstdio>

namespace decision_table {

const std::string MASTER_OFF = "key 0x100ff 0";
const std::string MASTER_ON = "key 0x10100 0";
const std::string ENGAGE_1 = "key 0x100bd 0", ENGAGE_2 = "key 0x100be 0";
const std::string RELEASE_1 = "key 0x10117 0", RELEASE_2 = "key 0x10118 0";

namespace {

// the middle of each switch's box, in pixels of the background
const char* const CLICK_MASTER = "click 116 70\n";
const char* const CLICK_ENGAGE = "click 182 70\n";
const char* const CLICK_INHIBIT = "click 248 70\n";

std::string set_variable(int id, double value)
{
    char line[64];
    std::snprintf(line, sizeof line, "var %d %g\n", id, value);
    return line;
}

std::string set_variables(double var_103, double var_106, double var_108)
{
    return set_variable(103, var_103) + set_variable(106, var_106) + set_variable(108, var_108);
}

const char* click_of(Switch clicked)
{
    switch (clicked) {
    case Switch::master:
        return CLICK_MASTER;
    case Switch::engage:
        return CLICK_ENGAGE;
    case Switch::inhibit:
        return CLICK_INHIBIT;
    }
    return "";
}

}  // namespace

const std::vector<Row>& rows()
{
    using S = Switch;
    const std::vector<std::string> none;
    static const std::vector<Row> table = {
        // the variables as the update before the click reads them; eng and inh, the lever flags after its toggle
        // name                                                              clicked    103   106 108 eng inh key events
        // master: 103 set sends the master-off event alone
        {"master, 103 set, levers neutral",                                  S::master,  1,    0,  0,  0,  0,  {MASTER_OFF}},
        {"master, 103 set, levers would engage",                             S::master,  1,    0,  0,  1,  0,  {MASTER_OFF}},
        {"master, 103 set, mode 106 engaged, levers would engage",           S::master,  1,    1,  0,  1,  0,  {MASTER_OFF}},
        {"master, 103 set, modes engaged: no release pair",                  S::master,  1,    1,  1,  1,  1,  {MASTER_OFF}},
        {"master, 103 set to another non-zero value",                        S::master,  -0.5, 0,  0,  0,  0,  {MASTER_OFF}},
        // master: 103 zero
        {"master on, engage on, inhibit off",                                S::master,  0,    0,  0,  1,  0,  {MASTER_ON, ENGAGE_1, ENGAGE_2}},
        {"master on, engage on, inhibit off, mode 106 not consulted",        S::master,  0,    1,  0,  1,  0,  {MASTER_ON, ENGAGE_1, ENGAGE_2}},
        {"master on, engage on, inhibit off, modes not consulted",           S::master,  0,    1,  1,  1,  0,  {MASTER_ON, ENGAGE_1, ENGAGE_2}},
        {"master on, engage off, inhibit off",                               S::master,  0,    0,  0,  0,  0,  {MASTER_ON}},
        {"master on, engage off, inhibit on",                                S::master,  0,    0,  0,  0,  1,  {MASTER_ON}},
        {"master on, engage on, inhibit on",                                 S::master,  0,    0,  0,  1,  1,  {MASTER_ON}},
        // engage
        {"engage, 103 zero",                                                 S::engage,  0,    0,  0,  1,  0,  none},
        {"engage off, 103 zero, modes engaged",                              S::engage,  0,    1,  1,  0,  1,  none},
        {"engage on, 103 zero, modes engaged",                               S::engage,  0,    1,  1,  1,  0,  none},
        {"engage on, 103 set, mode 106 engaged: release",                    S::engage,  1,    1,  0,  1,  0,  {RELEASE_1, RELEASE_2}},
        {"engage on, 103 set, mode 108 engaged: release",                    S::engage,  1,    0,  1,  1,  0,  {RELEASE_1, RELEASE_2}},
        {"engage off, 103 set, mode 108 engaged: release",                   S::engage,  1,    0,  1,  0,  1,  {RELEASE_1, RELEASE_2}},
        {"engage on, 103 set, both modes engaged: release",                  S::engage,  1,    1,  1,  1,  1,  {RELEASE_1, RELEASE_2}},
        {"engage on, 103 set, no mode, inhibit off",                         S::engage,  1,    0,  0,  1,  0,  {ENGAGE_1, ENGAGE_2}},
        {"engage off, 103 set, no mode, inhibit off: engages all the same",  S::engage,  1,    0,  0,  0,  0,  {ENGAGE_1, ENGAGE_2}},
        {"engage on, 103 set, no mode, inhibit on",                          S::engage,  1,    0,  0,  1,  1,  none},
        {"engage off, 103 set, no mode, inhibit on",                         S::engage,  1,    0,  0,  0,  1,  none},
        // inhibit
        {"inhibit, 103 zero",                                                S::inhibit, 0,    0,  0,  1,  1,  none},
        {"inhibit off, 103 zero, mode engaged",                              S::inhibit, 0,    0,  1,  1,  0,  none},
        {"inhibit on, 103 zero, mode 108 engaged, engage off",               S::inhibit, 0,    0,  1,  0,  1,  none},
        {"inhibit on, 103 set, mode 108 engaged: release",                   S::inhibit, 1,    0,  1,  0,  1,  {RELEASE_1, RELEASE_2}},
        {"inhibit on, 103 set, mode 106 engaged: release",                   S::inhibit, 1,    1,  0,  1,  1,  {RELEASE_1, RELEASE_2}},
        {"inhibit off, 103 set, mode 106 engaged: release",                  S::inhibit, 1,    1,  0,  1,  0,  {RELEASE_1, RELEASE_2}},
        {"inhibit on, 103 set, no mode, engage on: engages",                 S::inhibit, 1,    0,  0,  1,  1,  {ENGAGE_1, ENGAGE_2}},
        {"inhibit off, 103 set, no mode, engage on",                         S::inhibit, 1,    0,  0,  1,  0,  {ENGAGE_1, ENGAGE_2}},
        {"inhibit on, 103 set, no mode, engage off",                         S::inhibit, 1,    0,  0,  0,  1,  none},
        {"inhibit off, 103 set, no mode, engage off",                        S::inhibit, 1,    0,  0,  0,  0,  none},
    };
    return table;
}

std::string row_script(const Row& row)
{
    int engage_before = row.engage_after ^ (row.clicked == Switch::engage);
    int inhibit_before = row.inhibit_after ^ (row.clicked == Switch::inhibit);
    std::string script = set_variables(0, 0, 0) + "frame\n";
    if (engage_before)
        script += CLICK_ENGAGE;
    if (inhibit_before)
        script += CLICK_INHIBIT;
    script += set_variables(row.var_103, row.var_106, row.var_108) + "frame\necho click\n";
    return script + click_of(row.clicked);
}

}  // namespace decision_table
