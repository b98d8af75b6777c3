// A scripted run that SIGTERM or SIGINT ends: it stops at its next command or frame, kills its
// gauges, writes its trace out to its last whole line, says where it stopped, and ends as the
// signal ends a process.
#include "tests/support/panelhost_runner.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <regex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Ending {
    const char* name;
    int signal;
};

// The probe gauge run through a hundred million frames (half a minute), ended by the signal once
// its frames have begun: the census before them writes the trace out.
TEST(ScriptEnd, ASignalEndsAScriptedRunInOrder)
{
    const Ending endings[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}};
    for (const Ending& ending : endings) {
        std::string folder = test_support::make_temp_dir();
        std::string script = folder + "/long.script", out = folder + "/trace", err = folder + "/errors";
        std::string lines = "echo started\ncensus\n";
        for (int i = 0; i < 100; ++i)
            lines += "frame 1000000\n";
        test_support::write_text_file(script, lines + "echo never reached\n");
        pid_t pid = test_support::start_panelhost(
            {"--script", script, test_support::out_dir() + "/test-gauges/probe.so", "probe610"}, "", out, err);
        ASSERT_GT(pid, 0);
        for (Clock::time_point start = Clock::now(); Clock::now() - start < std::chrono::seconds(20);) {
            if (test_support::read_text_file(out).find("census") != std::string::npos)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid, ending.signal);
        std::optional<int> ended = test_support::wait_bounded(pid, 10000);
        if (!ended) {
            ADD_FAILURE() << ending.name << ": the run did not end within 10 s";
            continue;
        }
        int status = *ended;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending.signal)
            << ending.name << ": the run ends as the signal ends a process; status " << status;
        std::string errors = test_support::read_text_file(err);
        EXPECT_TRUE(std::regex_match(errors, std::regex("panelhost: ended by " + std::string(ending.name) +
                                                        " at script line ([3-9]|[1-9][0-9]|10[0-2]); the gauges "
                                                        "were killed and the trace written\n")))
            << ending.name << ": " << errors;
        std::string trace = test_support::read_text_file(out);
        const std::string started = "echo started\ncensus ";
        ASSERT_NE(trace.find(started), std::string::npos) << ending.name << ": " << trace;
        EXPECT_EQ(trace.back(), '\n') << ending.name << ": the trace's last line is cut";
        const std::string kill_line = "\nkey 0x31009 0\n";
        EXPECT_EQ(trace.substr(trace.size() - std::min(trace.size(), kill_line.size())), kill_line)
            << ending.name << ": the trace does not end with the gauge's kill: " << trace;
        EXPECT_EQ(trace.find("never reached"), std::string::npos) << ending.name << ": the script went on";
    }
}

}  // namespace
