// The live panel's HTTP, without a socket: a connection's bytes read into requests, and answers
// planned as bytes, so that the server and the fuzzer read every request by the same rules.
#pragma once

#include "panelhost/live/live_panel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace panelhost {

// A request as it came, with what the connection needs to answer it.
struct LiveHttpRequest {
    LiveRequest request;                  // what the panel is asked
    bool head = false;                    // HEAD: the headers of the GET's answer alone
    bool keep_alive = true;               // the connection stays open after the answer
    std::optional<std::string> range;     // the Range header, when given once
};

// Reads one connection's requests, one after another, from its bytes as they come. A request's
// head is at most LIVE_HEAD_LIMIT bytes and its body LIVE_BODY_LIMIT, however it is sent: a
// chunked body is refused as soon as it passes the limit, before more of it is read.
class LiveRequestReader {
public:
    enum class Read {
        More,       // every byte given is taken and the request is not whole yet
        Request,    // a request is whole: take_request(); the bytes after it are the next one's
        Refused,    // what came cannot be taken: answer refusal() and close the connection
    };

    LiveRequestReader();
    ~LiveRequestReader();
    LiveRequestReader(const LiveRequestReader&) = delete;
    LiveRequestReader& operator=(const LiveRequestReader&) = delete;

    // Reads from the front of the bytes, and takes from them what it has read.
    Read read(std::string& bytes);
    // The connection ended: a request begun and not whole is refused.
    Read end();
    // A byte of the next request has come.
    bool started() const { return started_; }
    // The request's head is whole: what is read now is its body.
    bool head_read() const;
    // Whether the client waits for a "100 Continue" before it sends its body; once per request.
    bool take_continue();
    // The request read, and the reader ready for the next.
    LiveHttpRequest take_request();
    const LiveResponse& refusal() const { return refusal_; }

private:
    struct Parser;
    void begin();
    Read refuse(int status, const std::string& why);
    std::optional<LiveResponse> head_refusal() const;

    std::unique_ptr<Parser> parser_;
    bool started_ = false;
    bool head_checked_ = false;
    bool continue_asked_ = false;
    LiveResponse refusal_;
};

// An answer as it goes out: its head, and which bytes of its body follow (a range of them, none
// for HEAD). A file's answer is planned by the file's size.
struct LiveAnswerPlan {
    std::string head;
    std::uint64_t from = 0;
    std::uint64_t length = 0;
    bool close = false;                   // the connection closes after it
};

// The answer's status, headers and body's span for the request: its own headers (type, length,
// Allow on a 405, the range given) beside those every answer carries (no caching, no framing by
// another site's page, no sniffing of its type). A Range of one span of a GET's answer gets that
// span (206), or 416 when the body has none of it; any other Range is taken as none.
LiveAnswerPlan plan_answer(const LiveHttpRequest& asked, const LiveResponse& answer, std::uint64_t body_size,
                           bool close);

// The answer to a request that never came whole: the deadline of its head or body passed.
LiveResponse late_request_answer(bool head_read);

}  // namespace panelhost
