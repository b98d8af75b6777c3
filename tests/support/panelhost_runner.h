// Runs the built panelhost as a separate process and collects what it printed; and the files the
// tests share: the build's output folder, temporary folders, a file's bytes written and read.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct RunResult {
    int status = -1;           // the exit status; -1 if it did not exit normally
    std::string out;
    std::string err;
    std::vector<std::string> lines() const;   // standard output, one entry a line
};

// Runs panelhost with the arguments, the script given on standard input; a data limit other than
// 0 caps the memory the process may allocate (its data segment and private mappings), in bytes,
// and a time limit other than 0 ends the process after so many seconds (its status then -1), for
// a run that might otherwise wait for ever.
RunResult run_panelhost(const std::vector<std::string>& args, const std::string& script,
                        unsigned long long data_limit_bytes = 0, unsigned time_limit_seconds = 0);

// panelhost started in a child process with the arguments, its standard input read from the file
// named (an empty name: /dev/null) and its output and errors written to the files named; the limits are
// run_panelhost's. The child's pid.
pid_t start_panelhost(const std::vector<std::string>& args, const std::string& in_path, const std::string& out_path,
                      const std::string& err_path, unsigned long long data_limit_bytes = 0,
                      unsigned time_limit_seconds = 0);

// Waits for the child to end, limit_ms at most: its wait status, as waitpid gives it; nothing when
// it had not ended by then (it is ended by SIGKILL) or is no child of this process.
std::optional<int> wait_bounded(pid_t pid, long long limit_ms);

// The build's output folder (panelhost and the modules), and a file in it ("autohelm.so").
std::string out_dir();
std::string out_file(const std::string& name);
// A fresh empty folder under the system's temporary folder, removed at exit.
std::string make_temp_dir();
void write_text_file(const std::string& path, const std::string& text);
// A file's bytes as they are; empty if it cannot be read.
std::string read_text_file(const std::string& path);

}  // namespace test_support
