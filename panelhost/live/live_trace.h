// The live panel's trace: every line of the bench's trace kept, as the page shows it.
#pragma once

#include <cstdint>
#include "panelhost/base/limits.h"
#include <string>
#include <vector>

namespace panelhost {


// The trace as the page shows it: every line from the moment it is made, so that a panel made
// before the page is served (its install, a script run first) shows from its start.
class LiveTrace {
public:
    LiveTrace();
    ~LiveTrace();
    LiveTrace(const LiveTrace&) = delete;
    LiveTrace& operator=(const LiveTrace&) = delete;

    // Lines made so far, and the first of them still kept.
    std::uint64_t count() const { return dropped_ + lines_.size(); }
    std::uint64_t first_kept() const { return dropped_; }
    const std::string& line(std::uint64_t number) const { return lines_[number - dropped_]; }

private:
    static void collect(const std::string& line, void* context);

    std::vector<std::string> lines_;    // the last LIVE_TRACE_KEPT lines
    std::uint64_t dropped_ = 0;         // lines before them
};

}  // namespace panelhost
