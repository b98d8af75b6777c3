// The signals that end the bench, noted for the loops that look at them.
#include "panelhost/system/end_signals.h"

#include <atomic>
#include <csignal>

namespace panelhost {
namespace {

std::atomic<int> noted{0};

// Only what a handler may do: note the signal, and let the next one do what it does by default.
void note_end_signal(int signal)
{
    noted = signal;
    std::signal(signal, SIG_DFL);
}

}  // namespace

void catch_end_signals()
{
    noted = 0;
    std::signal(SIGINT, note_end_signal);
    std::signal(SIGTERM, note_end_signal);
}

int end_signal()
{
    return noted;
}

void release_end_signals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

}  // namespace panelhost
