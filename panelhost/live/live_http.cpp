// The live panel's HTTP without a socket: requests read by Boost.Beast's parser within the
// panel's bounds, and the answers' heads.
#include "panelhost/live/live_http.h"

#include "panelhost/base/limits.h"
#include "base/text.h"

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <climits>

namespace panelhost {

namespace http = boost::beast::http;

struct LiveRequestReader::Parser {
    http::request_parser<http::string_body> parser;
};

namespace {

using Fields = http::request<http::string_body>;

// A header given once; one given twice names no one thing, and is taken as given but empty,
// which no rule accepts.
std::optional<std::string> single_header(const Fields& fields, http::field name)
{
    std::size_t count = fields.count(name);
    if (count == 0)
        return std::nullopt;
    return count == 1 ? std::string(fields.find(name)->value()) : std::string();
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// %XX as the byte it stands for (a % without two hex digits stays as it is); in a query, + is a
// space.
std::string decoded(std::string_view text, bool query)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        int high = c == '%' && i + 2 < text.size() ? hex_digit(text[i + 1]) : -1;
        int low = high >= 0 ? hex_digit(text[i + 2]) : -1;
        if (low >= 0) {
            result += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            result += query && c == '+' ? ' ' : c;
        }
    }
    return result;
}

// "a=1&b=two": each name with its value, the first of a name given twice.
std::map<std::string, std::string> query_params(std::string_view query)
{
    std::map<std::string, std::string> params;
    while (!query.empty()) {
        std::size_t end = query.find('&');
        std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (pair.empty())
            continue;
        std::size_t equals = pair.find('=');
        std::string name = decoded(pair.substr(0, equals), true);
        std::string value = equals == std::string_view::npos ? std::string() : decoded(pair.substr(equals + 1), true);
        params.emplace(std::move(name), std::move(value));
    }
    return params;
}

const std::string UNREADABLE = "the request cannot be read as HTTP/1.1";
const std::string LENGTH_TWICE = "a request gives its body's length once and plainly: one Content-Length of digits, "
                                 "or Transfer-Encoding: chunked, not both";

// What a parser's error says to the client.
LiveResponse parse_refusal(const boost::beast::error_code& error)
{
    if (error == http::error::body_limit)
        return live_body_too_large();
    if (error == http::error::header_limit)
        return live_text(431, "a request's head (its line and headers) is at most " + std::to_string(LIVE_HEAD_LIMIT) +
                                 " bytes");
    if (error == http::error::multiple_content_length || error == http::error::bad_content_length ||
        error == http::error::bad_transfer_encoding)
        return live_text(400, LENGTH_TWICE);
    if (error == http::error::partial_message)
        return live_text(400, "the request ended before it was whole");
    return live_text(400, UNREADABLE);
}

bool blank_line_byte(char c)
{
    return c == '\r' || c == '\n';
}

}  // namespace

LiveResponse late_request_answer(bool head_read)
{
    if (head_read)
        return live_text(408, "the request's body did not come within " + std::to_string(LIVE_BODY_DEADLINE_MS) +
                                 " ms of its head");
    return live_text(408, "the request's head did not come whole within " + std::to_string(LIVE_HEAD_DEADLINE_MS) +
                             " ms of its first byte");
}

LiveRequestReader::LiveRequestReader()
{
    begin();
}

LiveRequestReader::~LiveRequestReader() = default;

void LiveRequestReader::begin()
{
    parser_ = std::make_unique<Parser>();
    parser_->parser.header_limit(static_cast<std::uint32_t>(LIVE_HEAD_LIMIT));
    parser_->parser.body_limit(LIVE_BODY_LIMIT);
    parser_->parser.eager(true);
    started_ = false;
    head_checked_ = false;
    continue_asked_ = false;
}

bool LiveRequestReader::head_read() const
{
    return parser_->parser.is_header_done();
}

LiveRequestReader::Read LiveRequestReader::refuse(int status, const std::string& why)
{
    refusal_ = live_text(status, why);
    return Read::Refused;
}

// What the head says that the parser takes and the panel does not: a body whose length cannot be
// known (a transfer coding other than chunked last), a target that is not a path.
std::optional<LiveResponse> LiveRequestReader::head_refusal() const
{
    const Fields& message = parser_->parser.get();
    if (message.count(http::field::transfer_encoding) > 0 && !parser_->parser.chunked())
        return live_text(400, LENGTH_TWICE);
    std::string_view target = message.target();
    if (target.empty() || target.front() != '/')
        return live_text(400, "a request's target is a path from / (\"/state\")");
    return std::nullopt;
}

LiveRequestReader::Read LiveRequestReader::read(std::string& bytes)
{
    http::request_parser<http::string_body>& parser = parser_->parser;
    std::size_t used = 0;
    // Empty lines before a request line are left over from the request before, and skipped.
    if (!started_)
        while (used < bytes.size() && blank_line_byte(bytes[used]))
            ++used;
    started_ = started_ || used < bytes.size();
    while (!parser.is_done() && used < bytes.size()) {
        boost::beast::error_code error;
        std::size_t taken = parser.put(boost::asio::const_buffer(bytes.data() + used, bytes.size() - used), error);
        used += taken;
        if (error == http::error::need_more)
            break;
        if (error) {
            bytes.erase(0, used);
            refusal_ = parse_refusal(error);
            return Read::Refused;
        }
        if (parser.is_header_done() && !head_checked_) {
            head_checked_ = true;
            if (std::optional<LiveResponse> refusal = head_refusal()) {
                bytes.erase(0, used);
                refusal_ = *refusal;
                return Read::Refused;
            }
        }
        if (taken == 0)
            break;
    }
    bytes.erase(0, used);
    return parser.is_done() ? Read::Request : Read::More;
}

LiveRequestReader::Read LiveRequestReader::end()
{
    if (!started_)
        return Read::More;
    boost::beast::error_code error;
    parser_->parser.put_eof(error);
    if (!error && parser_->parser.is_done())
        return Read::Request;
    refusal_ = parse_refusal(error ? error : http::error::partial_message);
    return Read::Refused;
}

bool LiveRequestReader::take_continue()
{
    if (continue_asked_ || !head_read() || parser_->parser.is_done())
        return false;
    const Fields& message = parser_->parser.get();
    auto expect = message.find(http::field::expect);
    if (expect == message.end() || base::lower(std::string(expect->value())) != "100-continue")
        return false;
    continue_asked_ = true;
    return true;
}

LiveHttpRequest LiveRequestReader::take_request()
{
    const Fields& message = parser_->parser.get();
    LiveHttpRequest asked;
    asked.request.method = std::string(message.method_string());
    std::string_view target = message.target();
    std::size_t question = target.find('?');
    asked.request.path = decoded(target.substr(0, question), false);
    if (question != std::string_view::npos)
        asked.request.params = query_params(target.substr(question + 1));
    asked.request.body_size = message.body().size();
    asked.request.host = single_header(message, http::field::host);
    asked.request.origin = single_header(message, http::field::origin);
    asked.head = asked.request.method == "HEAD";
    asked.keep_alive = message.keep_alive();
    asked.range = single_header(message, http::field::range);
    begin();
    return asked;
}

// ---- answers ---------------------------------------------------------------------------------------

namespace {

const char* reason_phrase(int status)
{
    struct Reason {
        int status;
        const char* phrase;
    };
    // status  phrase
    static const Reason REASONS[] = {
        {100, "Continue"},
        {200, "OK"},
        {206, "Partial Content"},
        {400, "Bad Request"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {408, "Request Timeout"},
        {413, "Content Too Large"},
        {416, "Range Not Satisfiable"},
        {431, "Request Header Fields Too Large"},
        {500, "Internal Server Error"},
        {503, "Service Unavailable"},
    };
    for (const Reason& reason : REASONS)
        if (reason.status == status)
            return reason.phrase;
    return "Status";
}

enum class Span { Whole, Part, Outside };

// A Range header of one span of bytes ("bytes=0-99", "bytes=100-", "bytes=-100") against a body
// of the size: the part it asks, or that the body has none of it; any other Range (several
// spans, another unit, what does not read) asks the whole body, as if it were not there.
Span range_span(const std::string& range, std::uint64_t size, std::uint64_t& from, std::uint64_t& length)
{
    const std::string UNIT = "bytes=";
    if (base::lower(range.substr(0, UNIT.size())) != UNIT)
        return Span::Whole;
    std::string_view spec = base::trim(std::string_view(range).substr(UNIT.size()));
    std::size_t dash = spec.find('-');
    if (dash == std::string_view::npos || spec.find(',') != std::string_view::npos)
        return Span::Whole;
    std::string_view first = spec.substr(0, dash), last = spec.substr(dash + 1);
    long long a = 0, b = 0;
    bool has_first = !first.empty(), has_last = !last.empty();
    if ((has_first && (first[0] == '-' || !base::read_whole_number(first, 0, LLONG_MAX, a))) ||
        (has_last && (last[0] == '-' || !base::read_whole_number(last, 0, LLONG_MAX, b))) || (!has_first && !has_last) ||
        (has_first && has_last && b < a))
        return Span::Whole;
    std::uint64_t start = 0, end = 0;   // the last byte's place, end included
    if (!has_first) {
        if (b == 0 || size == 0)
            return Span::Outside;
        std::uint64_t suffix = std::min<std::uint64_t>(static_cast<std::uint64_t>(b), size);
        start = size - suffix;
        end = size - 1;
    } else {
        start = static_cast<std::uint64_t>(a);
        if (start >= size)
            return Span::Outside;
        end = has_last ? std::min<std::uint64_t>(static_cast<std::uint64_t>(b), size - 1) : size - 1;
    }
    from = start;
    length = end - start + 1;
    return Span::Part;
}

}  // namespace

LiveAnswerPlan plan_answer(const LiveHttpRequest& asked, const LiveResponse& answer, std::uint64_t body_size,
                           bool close)
{
    LiveAnswerPlan plan;
    plan.close = close || !asked.keep_alive;
    int status = answer.status;
    std::uint64_t from = 0, length = body_size;
    std::string content_range;
    const std::string& method = asked.request.method;
    bool readable = status == 200 && (method == "GET" || method == "HEAD");
    if (readable && asked.range) {
        Span span = range_span(*asked.range, body_size, from, length);
        if (span == Span::Part) {
            status = 206;
            content_range = "bytes " + std::to_string(from) + "-" + std::to_string(from + length - 1) + "/" +
                            std::to_string(body_size);
        } else if (span == Span::Outside) {
            status = 416;
            content_range = "bytes */" + std::to_string(body_size);
            from = 0;
            length = 0;
        }
    }
    std::string& head = plan.head;
    head = "HTTP/1.1 " + std::to_string(status) + " " + reason_phrase(status) + "\r\n";
    head += "Content-Type: " + (status == 416 ? std::string("text/plain; charset=utf-8") : answer.type) + "\r\n";
    head += "Content-Length: " + std::to_string(length) + "\r\n";
    head += "Cache-Control: no-store\r\n";
    head += "X-Content-Type-Options: nosniff\r\n";
    head += "X-Frame-Options: DENY\r\n";
    head += "Content-Security-Policy: frame-ancestors 'none'\r\n";
    if (readable)
        head += "Accept-Ranges: bytes\r\n";
    if (!content_range.empty())
        head += "Content-Range: " + content_range + "\r\n";
    if (!answer.allow.empty())
        head += "Allow: " + answer.allow + "\r\n";
    if (plan.close)
        head += "Connection: close\r\n";
    head += "\r\n";
    plan.from = from;
    plan.length = asked.head ? 0 : length;
    return plan;
}

}  // namespace panelhost
