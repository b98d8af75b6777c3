// The live panel's HTTP without a socket: requests read from bytes as they come (whole, a byte
// at a time, several at once), what is refused and why, and the heads of the answers (ranges,
// HEAD, Allow, the close, the headers every answer carries).
#include "panelhost/live/live_http.h"

#include "panelhost/base/limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {

using panelhost::LiveAnswerPlan;
using panelhost::LiveHttpRequest;
using panelhost::LiveRequestReader;
using panelhost::LiveResponse;
using Read = LiveRequestReader::Read;

// Feeds the bytes in pieces of the size given (0: all at once) and gives every request read, and
// the refusal if one came; the bytes left over after a refusal are not read.
struct Outcome {
    std::vector<LiveHttpRequest> requests;
    std::optional<LiveResponse> refusal;
    std::size_t taken = 0;        // bytes the reader took
};

Outcome read_all(const std::string& bytes, std::size_t piece, bool ended = false)
{
    LiveRequestReader reader;
    Outcome outcome;
    std::string buffer;
    std::size_t given = 0;
    auto settle = [&](Read read) {
        while (read == Read::Request) {
            outcome.requests.push_back(reader.take_request());
            read = buffer.empty() ? Read::More : reader.read(buffer);
        }
        if (read == Read::Refused)
            outcome.refusal = reader.refusal();
    };
    while (given < bytes.size() && !outcome.refusal) {
        std::size_t count = piece == 0 ? bytes.size() : std::min(piece, bytes.size() - given);
        buffer += bytes.substr(given, count);
        given += count;
        settle(reader.read(buffer));
    }
    if (ended && !outcome.refusal)
        settle(reader.end());
    outcome.taken = given - buffer.size();
    return outcome;
}

const std::string HOST = "Host: 127.0.0.1:8642\r\n";

TEST(LiveRequestReader, ARequestReadsTheSameWholeOrAByteAtATime)
{
    const std::string bytes = "GET /state%2Fx?trace=12&seen=4&name=a+b%21&trace=99 HTTP/1.1\r\n" + HOST +
                              "Origin: http://127.0.0.1:8642\r\nRange: bytes=0-9\r\n\r\n";
    for (std::size_t piece : {std::size_t(0), std::size_t(1), std::size_t(7)}) {
        Outcome outcome = read_all(bytes, piece);
        ASSERT_EQ(outcome.requests.size(), 1u) << "pieces of " << piece;
        const LiveHttpRequest& asked = outcome.requests[0];
        EXPECT_EQ(asked.request.method, "GET");
        EXPECT_EQ(asked.request.path, "/state/x") << "%XX in a path is the byte it stands for";
        std::map<std::string, std::string> params = {{"trace", "12"}, {"seen", "4"}, {"name", "a b!"}};
        EXPECT_EQ(asked.request.params, params) << "+ is a space in a query, and a name given twice is its first";
        EXPECT_EQ(asked.request.host, std::optional<std::string>("127.0.0.1:8642"));
        EXPECT_EQ(asked.request.origin, std::optional<std::string>("http://127.0.0.1:8642"));
        EXPECT_EQ(asked.range, std::optional<std::string>("bytes=0-9"));
        EXPECT_TRUE(asked.keep_alive);
        EXPECT_FALSE(asked.head);
        EXPECT_EQ(outcome.taken, bytes.size());
    }
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    bool keep_alive;
    bool head;
    std::optional<std::string> host;
    std::optional<std::string> origin;
    std::size_t body;
};

TEST(LiveRequestReader, TheHeadersThePanelJudgesAreHandedOnAsTheyCame)
{
    const HeaderCase cases[] = {
        {"HTTP/1.0 closes", "GET / HTTP/1.0\r\n" + HOST + "\r\n", false, false, "127.0.0.1:8642", std::nullopt, 0},
        {"HTTP/1.0 kept alive", "GET / HTTP/1.0\r\n" + HOST + "Connection: keep-alive\r\n\r\n", true, false,
         "127.0.0.1:8642", std::nullopt, 0},
        {"HTTP/1.1 closed", "GET / HTTP/1.1\r\n" + HOST + "Connection: close\r\n\r\n", false, false, "127.0.0.1:8642",
         std::nullopt, 0},
        {"HEAD", "HEAD / HTTP/1.1\r\n" + HOST + "\r\n", true, true, "127.0.0.1:8642", std::nullopt, 0},
        {"no Host", "GET / HTTP/1.1\r\n\r\n", true, false, std::nullopt, std::nullopt, 0},
        {"two Hosts name no one", "GET / HTTP/1.1\r\n" + HOST + "Host: other\r\n\r\n", true, false, "", std::nullopt,
         0},
        {"an empty Origin is one given", "POST /press HTTP/1.1\r\n" + HOST + "Origin:\r\nContent-Length: 0\r\n\r\n",
         true, false, "127.0.0.1:8642", "", 0},
        {"a body", "POST /var HTTP/1.1\r\n" + HOST + "Content-Length: 5\r\n\r\nhello", true, false, "127.0.0.1:8642",
         std::nullopt, 5},
        {"a chunked body", "POST /var HTTP/1.1\r\n" + HOST + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
         true, false, "127.0.0.1:8642", std::nullopt, 5},
    };
    for (const HeaderCase& one : cases) {
        Outcome outcome = read_all(one.bytes, 3);
        ASSERT_EQ(outcome.requests.size(), 1u) << one.name;
        ASSERT_FALSE(outcome.refusal) << one.name << ": " << outcome.refusal->body;
        const LiveHttpRequest& asked = outcome.requests[0];
        EXPECT_EQ(asked.keep_alive, one.keep_alive) << one.name;
        EXPECT_EQ(asked.head, one.head) << one.name;
        EXPECT_EQ(asked.request.host, one.host) << one.name;
        EXPECT_EQ(asked.request.origin, one.origin) << one.name;
        EXPECT_EQ(asked.request.body_size, one.body) << one.name;
    }
}

TEST(LiveRequestReader, RequestsSentTogetherAreReadOneAfterAnotherInTheirOrder)
{
    const std::string bytes = "GET /a HTTP/1.1\r\n" + HOST + "\r\n" + "POST /b HTTP/1.1\r\n" + HOST +
                              "Content-Length: 2\r\n\r\nxy" + "\r\n" + "GET /c HTTP/1.1\r\n" + HOST + "\r\n";
    for (std::size_t piece : {std::size_t(0), std::size_t(1), std::size_t(5)}) {
        Outcome outcome = read_all(bytes, piece);
        ASSERT_EQ(outcome.requests.size(), 3u) << "pieces of " << piece;
        EXPECT_EQ(outcome.requests[0].request.path, "/a");
        EXPECT_EQ(outcome.requests[1].request.path, "/b");
        EXPECT_EQ(outcome.requests[1].request.body_size, 2u);
        EXPECT_EQ(outcome.requests[2].request.path, "/c") << "the empty line between two requests is skipped";
    }
}

struct Refused {
    const char* name;
    std::string bytes;
    bool ended;             // the connection closes after the bytes
    int status;
    const char* says;       // a part of the one line
};

TEST(LiveRequestReader, WhatCannotBeTakenIsRefusedInOneLine)
{
    const std::string chunk = "400\r\n" + std::string(0x400, 'x') + "\r\n";
    std::string chunks;
    for (int i = 0; i < 64; ++i)
        chunks += chunk;
    const Refused cases[] = {
        {"a length past the limit", "POST / HTTP/1.1\r\n" + HOST + "Content-Length: 1025\r\n\r\n", false, 413,
         "at most 1024 bytes"},
        {"a chunked body past the limit", "POST / HTTP/1.1\r\n" + HOST + "Transfer-Encoding: chunked\r\n\r\n" + chunks,
         false, 413, "at most 1024 bytes"},
        {"a head past its limit", "GET / HTTP/1.1\r\n" + HOST + "X: " + std::string(panelhost::LIVE_HEAD_LIMIT, 'a'),
         false, 431, "at most 8192 bytes"},
        {"two lengths", "POST / HTTP/1.1\r\n" + HOST + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab", false, 400,
         "one Content-Length"},
        {"a length and chunks", "POST / HTTP/1.1\r\n" + HOST + "Content-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n",
         false, 400, "one Content-Length"},
        {"a coding not chunked", "POST / HTTP/1.1\r\n" + HOST + "Transfer-Encoding: gzip\r\n\r\n", false, 400,
         "one Content-Length"},
        {"a target that is no path", "GET http://elsewhere/ HTTP/1.1\r\n" + HOST + "\r\n", false, 400, "a path from /"},
        {"a line that is no request", "HELLO THERE\r\n\r\n", false, 400, "HTTP/1.1"},
        {"a request cut off", "GET / HTTP/1.1\r\nHo", true, 400, "ended before it was whole"},
        {"a body cut off", "POST / HTTP/1.1\r\n" + HOST + "Content-Length: 10\r\n\r\nabc", true, 400,
         "ended before it was whole"},
    };
    for (const Refused& one : cases) {
        for (std::size_t piece : {std::size_t(0), std::size_t(13)}) {
            Outcome outcome = read_all(one.bytes, piece, one.ended);
            ASSERT_TRUE(outcome.refusal) << one.name << ", pieces of " << piece;
            EXPECT_EQ(outcome.refusal->status, one.status) << one.name << ": " << outcome.refusal->body;
            EXPECT_NE(outcome.refusal->body.find(one.says), std::string::npos) << one.name << ": " << outcome.refusal->body;
            EXPECT_EQ(std::count(outcome.refusal->body.begin(), outcome.refusal->body.end(), '\n'), 1) << one.name;
            EXPECT_TRUE(outcome.requests.empty()) << one.name;
        }
    }
    // Lines ended by LF alone never end a head: come whole, the line is refused; come in pieces,
    // the head is waited for until its deadline, which the server answers.
    Outcome bare = read_all("GET / HTTP/1.1\n" + HOST + "\n", 0);
    ASSERT_TRUE(bare.refusal);
    EXPECT_EQ(bare.refusal->status, 400);
    // The chunked body is refused as it passes the limit: the reader takes the limit and a
    // chunk's worth more at most, not the 64 KiB sent.
    Outcome chunked = read_all(cases[1].bytes, 512);
    EXPECT_LT(chunked.taken, 3 * 1024 + 200u) << "the reader took " << chunked.taken << " bytes of the body";
}

TEST(LiveRequestReader, AConnectionClosedBetweenRequestsIsNoRequest)
{
    LiveRequestReader reader;
    EXPECT_EQ(reader.end(), Read::More);
    std::string blank = "\r\n";
    EXPECT_EQ(reader.read(blank), Read::More);
    EXPECT_FALSE(reader.started()) << "the empty line after a request is not the next one";
}

TEST(LiveRequestReader, AClientThatWaitsToSendItsBodyIsAskedOnce)
{
    LiveRequestReader reader;
    std::string bytes = "POST /var HTTP/1.1\r\n" + HOST + "Content-Length: 4\r\nExpect: 100-continue\r\n\r\n";
    EXPECT_EQ(reader.read(bytes), Read::More);
    EXPECT_TRUE(reader.head_read());
    EXPECT_TRUE(reader.take_continue());
    EXPECT_FALSE(reader.take_continue()) << "asked twice";
    std::string body = "abcd";
    EXPECT_EQ(reader.read(body), Read::Request);
}

// ---- the answers' heads ---------------------------------------------------------------------------------

LiveHttpRequest asked(const std::string& method, std::optional<std::string> range = std::nullopt, bool keep_alive = true)
{
    LiveHttpRequest request;
    request.request.method = method;
    request.request.path = "/song/1";
    request.head = method == "HEAD";
    request.keep_alive = keep_alive;
    request.range = std::move(range);
    return request;
}

LiveResponse ok(const std::string& body)
{
    LiveResponse response;
    response.type = "audio/wav";
    response.body = body;
    return response;
}

std::string header(const std::string& head, const std::string& name)
{
    std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos)
        return "";
    std::size_t from = at + 4 + name.size();
    return head.substr(from, head.find("\r\n", from) - from);
}

struct RangeCase {
    const char* name;
    std::optional<std::string> range;
    int status;
    std::string content_range;
    std::uint64_t from;
    std::uint64_t length;
};

TEST(LiveAnswer, ARangeOfOneSpanIsAnsweredWithThatSpan)
{
    const RangeCase cases[] = {
        // name                        range                 status  content range         from  length
        {"no range",                    std::nullopt,          200,   "",                    0,    1000},
        {"the first hundred bytes",     "bytes=0-99",          206,   "bytes 0-99/1000",     0,    100},
        {"a span past the end",         "bytes=900-5000",      206,   "bytes 900-999/1000",  900,  100},
        {"from a byte on",              "bytes=10-",           206,   "bytes 10-999/1000",   10,   990},
        {"the last ten",                "bytes=-10",           206,   "bytes 990-999/1000",  990,  10},
        {"more than all, from the end", "bytes=-5000",         206,   "bytes 0-999/1000",    0,    1000},
        {"in capitals, with blanks",    "BYTES= 5-6",          206,   "bytes 5-6/1000",      5,    2},
        {"from past the end",           "bytes=1000-",         416,   "bytes */1000",        0,    0},
        {"the last none",               "bytes=-0",            416,   "bytes */1000",        0,    0},
        {"two spans",                   "bytes=0-1,4-5",       200,   "",                    0,    1000},
        {"backwards",                   "bytes=9-5",           200,   "",                    0,    1000},
        {"no numbers",                  "bytes=-",             200,   "",                    0,    1000},
        {"a sign",                      "bytes=+1-2",          200,   "",                    0,    1000},
        {"past the largest number",     "bytes=99999999999999999999-", 200, "",              0,    1000},
        {"another unit",                "items=0-1",           200,   "",                    0,    1000},
    };
    const std::string body(1000, 'x');
    for (const RangeCase& one : cases) {
        LiveAnswerPlan plan = panelhost::plan_answer(asked("GET", one.range), ok(body), body.size(), false);
        EXPECT_EQ(plan.head.compare(0, 12, "HTTP/1.1 " + std::to_string(one.status)), 0) << one.name << ": " << plan.head;
        EXPECT_EQ(header(plan.head, "Content-Range"), one.content_range) << one.name;
        EXPECT_EQ(plan.from, one.from) << one.name;
        EXPECT_EQ(plan.length, one.length) << one.name;
        EXPECT_EQ(header(plan.head, "Content-Length"), std::to_string(one.length)) << one.name;
    }
    // Only what GET reads is read by range: a refusal keeps its one line.
    LiveResponse refusal = panelhost::live_text(404, "no such song");
    LiveAnswerPlan refused = panelhost::plan_answer(asked("GET", "bytes=0-1"), refusal, refusal.body.size(), false);
    EXPECT_EQ(refused.head.compare(0, 12, "HTTP/1.1 404"), 0) << refused.head;
    EXPECT_EQ(refused.length, refusal.body.size());
}

TEST(LiveAnswer, HeadSaysTheLengthOfWhatGetWouldSend)
{
    LiveAnswerPlan get = panelhost::plan_answer(asked("GET"), ok("12345"), 5, false);
    LiveAnswerPlan head = panelhost::plan_answer(asked("HEAD"), ok("12345"), 5, false);
    EXPECT_EQ(head.head, get.head);
    EXPECT_EQ(get.length, 5u);
    EXPECT_EQ(head.length, 0u) << "HEAD sends no body";
}

TEST(LiveAnswer, EveryAnswerCarriesItsHeadersAndSaysWhenTheConnectionCloses)
{
    LiveResponse refusal = panelhost::live_text(405, "/press takes POST, not GET");
    refusal.allow = "POST";
    const struct {
        const char* name;
        LiveHttpRequest request;
        LiveResponse answer;
        bool close;
        const char* allow;
        bool closes;
    } cases[] = {
        {"a song", asked("GET"), ok("abc"), false, "", false},
        {"a 405", asked("GET"), refusal, false, "POST", false},
        {"a refusal that closes", asked(""), panelhost::live_text(400, "no"), true, "", true},
        {"a client that closes", asked("GET", std::nullopt, false), ok("abc"), false, "", true},
    };
    for (const auto& one : cases) {
        LiveAnswerPlan plan = panelhost::plan_answer(one.request, one.answer, one.answer.body.size(), one.close);
        EXPECT_EQ(header(plan.head, "X-Frame-Options"), "DENY") << one.name;
        EXPECT_EQ(header(plan.head, "Content-Security-Policy"), "frame-ancestors 'none'") << one.name;
        EXPECT_EQ(header(plan.head, "X-Content-Type-Options"), "nosniff") << one.name;
        EXPECT_EQ(header(plan.head, "Cache-Control"), "no-store") << one.name;
        EXPECT_EQ(header(plan.head, "Content-Type"), one.answer.type) << one.name;
        EXPECT_EQ(header(plan.head, "Allow"), one.allow) << one.name;
        EXPECT_EQ(plan.close, one.closes) << one.name;
        EXPECT_EQ(header(plan.head, "Connection"), one.closes ? "close" : "") << one.name;
        EXPECT_EQ(plan.head.substr(plan.head.size() - 4), "\r\n\r\n") << one.name;
    }
}

}  // namespace
