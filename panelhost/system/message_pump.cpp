// The thread's message loop, the same in every build: each drain delivers what is queued, up to
// a bound.
#include "panelhost/system/clock.h"
#include "panelhost/base/limits.h"
#include "panelhost/base/trace.h"
#include "platform/platform.h"

namespace panelhost {

namespace {

// A window procedure that posts again for every message it gets (a song that ends as soon as it
// is restarted, say) would keep a drain going forever; past MESSAGES_PER_DRAIN messages the rest
// wait for the next drain, after the clock has moved on.

std::string window_name(HWND window)
{
    char name[256];
    if (!window || GetClassNameA(window, name, sizeof name) == 0)
        return "of the thread";
    return quoted(name);
}

}  // namespace

void pump_messages()
{
    MSG message;
    for (int delivered = 0; delivered < MESSAGES_PER_DRAIN; ++delivered) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            return;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        tracef("warning window %s: %d messages at one instant; the rest wait for the clock to move on",
               window_name(message.hwnd).c_str(), MESSAGES_PER_DRAIN);
}

}  // namespace panelhost
