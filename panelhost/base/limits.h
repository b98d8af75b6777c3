// The bench's limits, each in one place with why it is that number. docs/panelhost.md quotes them
// in its table of limits, which a test reads back against these constants.
#pragma once

#include <cstddef>
#include <cstdint>

namespace panelhost {

// ---- the host -----------------------------------------------------------------------------------

// The host's frame: 18 update passes a second, as the simulator runs its panels.
constexpr std::uint64_t FRAME_MS = 55;
// A gauge's element tree and mouse table are walked at most this far: far past any gauge's (the
// radio has 27 elements and 67 mouse rows), and short of a table whose end marker is missing.
constexpr std::size_t MAX_ELEMENTS = 4096;
constexpr std::size_t MAX_MOUSE_ROWS = 4096;
// A bitmap resource wider or higher than this is refused before its pixels are read: gauge
// pictures are hundreds of pixels, and 16384 square is a 1 GiB picture.
constexpr std::int64_t MAX_BITMAP_SIDE = 16384;

// ---- inputs -------------------------------------------------------------------------------------

// A script is a page of commands and a panel file a few pages: anything larger (a device or a
// link to one, a log named by mistake) is refused before it fills the memory.
constexpr std::size_t TEXT_LIMIT_BYTES = std::size_t(16) << 20;
// The count of a `frame` or a `hold`: a day of frames, and a bound on what one line can ask.
constexpr std::int64_t COUNT_LIMIT = 1000000;
// The longest `wait`, in milliseconds: about 35 years, the clock's range kept far from overflow.
constexpr std::int64_t WAIT_LIMIT_MS = std::int64_t(1) << 40;

// ---- the clock and the message loop: every command returns -------------------------------------

// A drain of the message queue delivers at most this many messages; the rest wait for the next.
// A window that posts itself a message for each it receives would otherwise hold the bench.
constexpr int MESSAGES_PER_DRAIN = 1000;
// A device served this many times at one instant is held back for the rest of the wait: a song
// without samples that its window restarts falls due again at once, for ever.
constexpr int EVENTS_AT_ONE_INSTANT = 1000;
// One wait serves at most this many device events: a song of a millisecond repeated over a wait
// of years would otherwise take as long as the years.
constexpr int EVENTS_PER_WAIT = 100000;

// ---- the live panel -----------------------------------------------------------------------------

// A request's words are in its query: a body is never needed, and a larger one is refused.
constexpr std::size_t LIVE_BODY_LIMIT = 1024;
// The trace lines one answer gives at most, so that a page that comes late catches up in steps.
constexpr std::size_t LIVE_TRACE_PER_ANSWER = 500;
// The trace lines kept for a page that comes late: about 20 minutes of the radio's CD queries.
constexpr std::size_t LIVE_TRACE_KEPT = 20000;
// How long a page's wait for something new is held before it is answered all the same.
constexpr std::uint64_t LIVE_LONGEST_WAIT_MS = 2000;
// A page that goes away while it holds a button never sends the release: a hold not renewed for
// this long, by the frames' time, is let go. The page renews it four times as often.
constexpr std::uint64_t LIVE_HOLD_EXPIRY_MS = 2000;
// A server thread serves one connection while it is open: enough for a page's own connections
// (six at most in a browser) beside forty that say nothing.
constexpr std::size_t LIVE_SERVER_THREADS = 64;
// A request must come within a second of the last read (a page sends each whole at once), and an
// idle connection is closed after two, so that a silent one holds its thread briefly.
constexpr long LIVE_READ_TIMEOUT_S = 1;
constexpr long LIVE_IDLE_TIMEOUT_S = 2;
// Connections not yet taken from the listening socket: with five, a burst of others made the
// kernel drop the page's own for a second.
constexpr int LIVE_LISTEN_BACKLOG = 128;

// ---- the sound tests ----------------------------------------------------------------------------

// The longest stream the sound sink takes: the sound sessions last well under a minute, and a
// writer that never closes its stream (a program that hangs with the sound card open) is cut off.
constexpr int SOUND_CAPTURE_LIMIT_S = 300;

}  // namespace panelhost
