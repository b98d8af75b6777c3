// The live panel's trace, kept from its first line.
#include "panelhost/live/live_trace.h"

#include "panelhost/base/trace.h"

namespace panelhost {

LiveTrace::LiveTrace()
{
    set_trace_listener(collect, this);
}

LiveTrace::~LiveTrace()
{
    set_trace_listener(nullptr, nullptr);
}

void LiveTrace::collect(const std::string& line, void* context)
{
    auto* trace = static_cast<LiveTrace*>(context);
    trace->lines_.push_back(line);
    if (trace->lines_.size() > LIVE_TRACE_KEPT) {
        trace->lines_.erase(trace->lines_.begin(), trace->lines_.begin() + LIVE_TRACE_KEPT / 10);
        trace->dropped_ += LIVE_TRACE_KEPT / 10;
    }
}

}  // namespace panelhost
