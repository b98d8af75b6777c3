// The script reader given any bytes: it reads or refuses, and what it reads is well formed.
#include "panelhost/script/script.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<panelhost::ScriptCommand> commands;
    panelhost::ScriptError error;
    bool read = panelhost::parse_script(text, commands, error);
    if (!read && (error.line < 1 || error.expected.empty()))
        std::abort();
    for (const panelhost::ScriptCommand& command : commands)
        if (command.keyword.empty() || command.line < 1)
            std::abort();
    return 0;
}
