// Any bytes a client could send the live panel, in pieces as a connection brings them, through
// the reader the server uses and the Host and Origin rule the panel judges by: every request read
// or refused, and every answer's head well formed.
#include "panelhost/live/live_http.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// A head is its lines, each ended by CR LF, and an empty line: no lone CR or LF that a request
// could have put into a header.
bool well_formed_head(const std::string& head)
{
    if (head.compare(0, 9, "HTTP/1.1 ") != 0 || head.size() < 4 || head.compare(head.size() - 4, 4, "\r\n\r\n") != 0)
        return false;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (head[i] == '\r' && (i + 1 == head.size() || head[i + 1] != '\n'))
            return false;
        if (head[i] == '\n' && (i == 0 || head[i - 1] != '\r'))
            return false;
    }
    return true;
}

void answer(const panelhost::LiveHttpRequest& asked, const panelhost::LiveResponse& response, bool close)
{
    panelhost::LiveAnswerPlan plan = panelhost::plan_answer(asked, response, response.body.size(), close);
    if (!well_formed_head(plan.head) || plan.from + plan.length > response.body.size())
        std::abort();
}

}  // namespace

// The first byte sets the size of the pieces the rest comes in.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t piece = data[0] == 0 ? size : data[0];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const panelhost::LiveAddress served{"127.0.0.1", 8642};
    panelhost::LiveRequestReader reader;
    std::string buffer;
    using Read = panelhost::LiveRequestReader::Read;
    for (std::size_t given = 0; given < bytes.size();) {
        std::size_t count = std::min(piece, bytes.size() - given);
        buffer += bytes.substr(given, count);
        given += count;
        Read read = reader.read(buffer);
        while (read == Read::Request) {
            panelhost::LiveHttpRequest asked = reader.take_request();
            std::optional<panelhost::LiveResponse> refusal = panelhost::live_refusal(asked.request, served);
            answer(asked, refusal ? *refusal : panelhost::live_text(200, std::string(asked.request.path.size() % 50, 'x')),
                   !asked.keep_alive);
            read = buffer.empty() ? Read::More : reader.read(buffer);
        }
        if (read == Read::Refused) {
            const panelhost::LiveResponse& refusal = reader.refusal();
            if (refusal.status < 400 || refusal.status > 499 || refusal.body.empty() || refusal.body.back() != '\n')
                std::abort();
            answer(panelhost::LiveHttpRequest{}, refusal, true);
            return 0;
        }
        if (buffer.size() > 2 * panelhost::LIVE_HEAD_LIMIT + 64 * 1024)
            std::abort();
    }
    if (reader.end() == Read::Refused && reader.refusal().status != 400)
        std::abort();
    return 0;
}
