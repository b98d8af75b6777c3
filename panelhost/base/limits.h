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
// The widest and highest picture the bench holds: a gauge's bitmap resource (refused before its
// pixels are read), a panel section's window (its size_mm and pixel_size, refused when the panel
// file is read), a gauge line's box, and every canvas `render` makes. Gauge pictures are hundreds
// of pixels, a 2D panel window a few thousand units, a virtual cockpit's texture 4096 at most;
// 8192 is twice that. Drawn and written as PNG, a window of 4096 square took 2 s and 180 MB, of
// 8192 square 9 s and 680 MB, of 16384 square 34 s and 2.7 GB: the next step up would ask the
// memory of a small machine for a picture no panel has.
constexpr std::int64_t MAX_PICTURE_SIDE = 8192;

// ---- inputs -------------------------------------------------------------------------------------

// A script is a page of commands and a panel file a few pages: anything larger (a device or a
// link to one, a log named by mistake) is refused before it fills the memory.
constexpr std::size_t TEXT_LIMIT_BYTES = std::size_t(16) << 20;
// A field of the input that a message quotes is cut after this many bytes, with "...": the
// longest field of a real panel file (a gauge line's whole value, its names, numbers and a file of
// its settings) is under 120 bytes and shows whole, while a field of megabytes stays a line or two.
constexpr std::size_t QUOTE_LIMIT_BYTES = 200;
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
// A request's head, its line and headers: a page's are a few hundred bytes, and a head that
// never ends is refused (431) before it fills the memory.
constexpr std::size_t LIVE_HEAD_LIMIT = 8192;
// A connection that says nothing is closed after this long: a page sends its next request at
// once, and a browser opens another connection when it finds one closed.
constexpr std::uint64_t LIVE_IDLE_TIMEOUT_MS = 2000;
// A request's head must come whole within this long of its first byte, and its body within the
// next deadline of its head: a page sends each request whole at once, and a client that sends a
// byte at a time is answered 408 and closed however steadily it sends.
constexpr std::uint64_t LIVE_HEAD_DEADLINE_MS = 3000;
constexpr std::uint64_t LIVE_BODY_DEADLINE_MS = 2000;
// Each piece of an answer (a song is sent 64 KiB at a time) must be taken within this long: a
// browser's audio element stops reading while its buffer is full, and asks for the rest by range.
constexpr std::uint64_t LIVE_WRITE_TIMEOUT_MS = 10000;
// After its last answer a connection reads and drops what the client still sends for this long,
// or this many bytes, and then closes: closed at once with bytes unread, the connection would be
// reset and the client could lose the answer (a 413 to a body it is still sending).
constexpr std::uint64_t LIVE_LINGER_MS = 1000;
constexpr std::size_t LIVE_LINGER_BYTES = std::size_t(1) << 20;
// Connections open at once, and as many again closing after their last answer: a page opens six
// at most, and each connection is one of the process's 1024 descriptors. At the limit, the
// connection whose exchange has gone on longest gives way to the new one, so that slow clients,
// old by their nature, never shut out the page.
constexpr std::size_t LIVE_CONNECTIONS_LIMIT = 256;
// Connections not yet taken from the listening socket: with five, a burst of others made the
// kernel drop the page's own for a second.
constexpr int LIVE_LISTEN_BACKLOG = 128;

// ---- the sound tests ----------------------------------------------------------------------------

// The longest stream the sound sink takes: the sound sessions last well under a minute, and a
// writer that never closes its stream (a program that hangs with the sound card open) is cut off.
constexpr int SOUND_CAPTURE_LIMIT_S = 300;

}  // namespace panelhost
