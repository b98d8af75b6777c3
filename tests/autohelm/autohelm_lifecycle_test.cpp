// The autopilot panel's lifecycle through panelhost: the routines' service calls in order, the
// master-off event at every initialisation, and the lever flags across reinstall and reload.
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

namespace {

using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

TEST(AutohelmLifecycle, RoutinesCallTheirServicesInOrder)
{
    auto run = run_panelhost({"--trace-services", test_support::out_file("autohelm.so"), "autohelm.gau"}, "frame\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "service element_list_query",
        // install: the mouse table bound to the background just loaded, then registered
        "service element_list_install", "service mouse_list_install", "service mouse_list_register",
        // initialize: the master-off event before the variables are bound
        "service element_list_initialize", "key 0x100ff 0",
        "service initialize_var", "service initialize_var", "service initialize_var",
        // update: the variables before the elements
        "service lookup_var", "service lookup_var", "service lookup_var", "service element_list_update",
        "service element_list_generate", "service element_list_plot",
        // kill: the clicks off before the elements go
        "service mouse_list_unregister", "service element_list_kill",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"service", "key"}));
}

TEST(AutohelmLifecycle, EveryInitializeSendsMasterOffWhateverTheAutopilotState)
{
    auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "var 103 1\nvar 106 1\nframe\necho reinstall\nreinstall\necho reload\nreload\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {"key 0x100ff 0", "echo reinstall", "key 0x100ff 0", "echo reload", "key 0x100ff 0",
                      "echo end"};
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"key", "echo"}));
}

TEST(AutohelmLifecycle, LeverFlagsSurviveReinstallAndStartFreshAfterReload)
{
    // Clicks while variable 103 is zero set both levers; elements 3 and 4 are engage and inhibit.
    auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "click 182 70\nclick 248 70\nframe\nelements\n"
                             "reinstall\nframe\nelements\n"
                             "reload\nframe\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "element 3 hidden=0 value=1", "element 4 hidden=0 value=1",
        "element 3 hidden=0 value=1", "element 4 hidden=0 value=1",
        "element 3 hidden=0 value=0", "element 4 hidden=0 value=0",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"element 3", "element 4"}));

    // The kept flags still decide: after reinstall, engage on and inhibit on engage nothing.
    auto kept = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                              "click 182 70\nreinstall\necho click\nclick 116 70\necho end\n");
    ASSERT_EQ(kept.status, 0) << kept.err;
    Lines expected_keys = {"key 0x100ff 0", "key 0x100ff 0", "echo click", "key 0x10100 0", "key 0x100bd 0",
                           "key 0x100be 0", "echo end"};
    EXPECT_LINES(expected_keys, lines_with_prefix(kept.lines(), {"key", "echo"}));
}

TEST(AutohelmLifecycle, OneRegistrationAfterReinstall)
{
    // A reinstall unregisters and registers the table again: one click, one set of events.
    auto run = run_panelhost({"--trace-services", test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "reinstall\nreinstall\necho click\nclick 182 70\nclick 30 70\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines registrations = lines_with_prefix(run.lines(), {"service mouse_list_register", "service mouse_list_unregister"});
    Lines expected_registrations = {"service mouse_list_register", "service mouse_list_unregister",
                                    "service mouse_list_register", "service mouse_list_unregister",
                                    "service mouse_list_register", "service mouse_list_unregister"};
    EXPECT_LINES(expected_registrations, registrations);
    Lines keys = lines_with_prefix(run.lines(), {"key 0x1015", "echo"});
    Lines expected_keys = {"echo click", "key 0x10158 0", "echo end"};
    EXPECT_LINES(expected_keys, keys);
}

}  // namespace
