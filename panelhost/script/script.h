// The bench's script: one command a line, read whole before anything runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

class Host;
struct ScriptCommand;

enum class ArgKind {
    Coordinate,   // a signed 32-bit pixel coordinate
    Count,        // an integer from 1 to 1000000
    Millis,       // an integer number of milliseconds, 0 to 2^40
    Id,           // an unsigned 32-bit decimal integer
    Number,       // a finite decimal number
    Word,         // one word (a file name)
    Text,         // the rest of the line, possibly empty
};

// Runs a command read from the script; false, with the error, when the host can go no further.
using CommandRunner = bool (*)(Host& host, const ScriptCommand& command, std::string& error);

struct CommandSpec {
    std::string_view keyword;    // "frame", "cd insert"
    std::string_view usage;      // what the reader expected, for errors
    std::vector<ArgKind> args;
    std::size_t required;        // args beyond this count are optional
    std::vector<std::string_view> flags;  // optional literal words after the arguments
    CommandRunner run;
};

struct ScriptArg {
    std::int64_t integer = 0;
    double number = 0;
    std::string text;
};

struct ScriptCommand {
    int line = 0;
    std::string keyword;
    std::vector<ScriptArg> args;      // the given ones only
    std::vector<std::string> flags;   // the flags given
    const CommandSpec* spec = nullptr;

    bool has_flag(std::string_view flag) const;
};

struct ScriptError {
    int line = 0;
    std::string expected;
};

// Every script command: the host's (commands.cpp), then the devices' (device_options.cpp).
const std::vector<CommandSpec>& command_specs();
const std::vector<CommandSpec>& device_command_specs();
const std::vector<CommandSpec>& cd_mixer_command_specs();

// Reads the whole script. On a line it cannot read it fills the error and answers false.
bool parse_script(std::string_view text, std::vector<ScriptCommand>& commands, ScriptError& error);

}  // namespace panelhost
