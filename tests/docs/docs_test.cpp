// The documents against what they describe: the table of the bench's limits against the
// constants it quotes, and every path a document names against the source tree.
#include "panelhost/base/limits.h"
#include "base/text.h"
#include "tests/support/panelhost_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <climits>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string read_doc(const std::string& name)
{
    return test_support::read_text_file(std::string(PANEL_SOURCE_DIR) + "/" + name);
}

struct Limit {
    const char* name;
    long long value;
};

TEST(Docs, TheLimitsTableIsTheBenchsOwn)
{
    using namespace panelhost;
    const Limit limits[] = {
        {"FRAME_MS", FRAME_MS},
        {"MAX_ELEMENTS", MAX_ELEMENTS},
        {"MAX_MOUSE_ROWS", MAX_MOUSE_ROWS},
        {"MAX_PICTURE_SIDE", MAX_PICTURE_SIDE},
        {"TEXT_LIMIT_BYTES", static_cast<long long>(TEXT_LIMIT_BYTES)},
        {"QUOTE_LIMIT_BYTES", static_cast<long long>(QUOTE_LIMIT_BYTES)},
        {"COUNT_LIMIT", COUNT_LIMIT},
        {"WAIT_LIMIT_MS", WAIT_LIMIT_MS},
        {"MESSAGES_PER_DRAIN", MESSAGES_PER_DRAIN},
        {"EVENTS_AT_ONE_INSTANT", EVENTS_AT_ONE_INSTANT},
        {"EVENTS_PER_WAIT", EVENTS_PER_WAIT},
        {"LIVE_BODY_LIMIT", LIVE_BODY_LIMIT},
        {"LIVE_TRACE_PER_ANSWER", LIVE_TRACE_PER_ANSWER},
        {"LIVE_TRACE_KEPT", LIVE_TRACE_KEPT},
        {"LIVE_LONGEST_WAIT_MS", LIVE_LONGEST_WAIT_MS},
        {"LIVE_HOLD_EXPIRY_MS", LIVE_HOLD_EXPIRY_MS},
        {"LIVE_HEAD_LIMIT", static_cast<long long>(LIVE_HEAD_LIMIT)},
        {"LIVE_IDLE_TIMEOUT_MS", static_cast<long long>(LIVE_IDLE_TIMEOUT_MS)},
        {"LIVE_HEAD_DEADLINE_MS", static_cast<long long>(LIVE_HEAD_DEADLINE_MS)},
        {"LIVE_BODY_DEADLINE_MS", static_cast<long long>(LIVE_BODY_DEADLINE_MS)},
        {"LIVE_WRITE_TIMEOUT_MS", static_cast<long long>(LIVE_WRITE_TIMEOUT_MS)},
        {"LIVE_LINGER_MS", static_cast<long long>(LIVE_LINGER_MS)},
        {"LIVE_LINGER_BYTES", static_cast<long long>(LIVE_LINGER_BYTES)},
        {"LIVE_CONNECTIONS_LIMIT", static_cast<long long>(LIVE_CONNECTIONS_LIMIT)},
        {"LIVE_LISTEN_BACKLOG", LIVE_LISTEN_BACKLOG},
        {"SOUND_CAPTURE_LIMIT_S", SOUND_CAPTURE_LIMIT_S},
    };
    // | what | VALUE [unit ...] | `NAME` |
    std::string doc = read_doc("docs/panelhost.md");
    std::regex row(R"(\n\|[^|\n]*\| *(-?[0-9]+)[^|\n]*\| *`([A-Z_]+)` *\|)");
    std::map<std::string, long long> documented;
    for (auto match = std::sregex_iterator(doc.begin(), doc.end(), row); match != std::sregex_iterator(); ++match) {
        long long value = 0;
        ASSERT_TRUE(base::read_whole_number((*match)[1].str(), LLONG_MIN, LLONG_MAX, value)) << (*match)[0];
        documented[(*match)[2].str()] = value;
    }
    for (const Limit& limit : limits) {
        auto found = documented.find(limit.name);
        if (found == documented.end()) {
            ADD_FAILURE() << limit.name << ": not in the table of docs/panelhost.md";
            continue;
        }
        EXPECT_EQ(found->second, limit.value) << limit.name << ": the table says " << found->second
                                               << ", panelhost/base/limits.h " << limit.value;
        documented.erase(found);
    }
    for (const auto& [name, value] : documented)
        ADD_FAILURE() << "docs/panelhost.md names a limit " << name << " (" << value << ") that the bench does not have";
}

// A path the documents name (`panelhost/live/live_panel.cpp`, [testing](docs/testing.md)) that is
// not in the tree sends the reader nowhere. Names with a placeholder in capitals or a wildcard
// (`panel-gauges-VERSION.zip`, `radio_bench.*`) are patterns, not paths.
TEST(Docs, EveryPathADocumentNamesIsThere)
{
    namespace fs = std::filesystem;
    const fs::path root = PANEL_SOURCE_DIR;
    const char* const ROOTS[] = {"base/", "host/", "radio/", "autohelm/", "platform/", "panelhost/", "tests/", "tools/",
                                 "benchmarks/", "docs/", "cmake/", ".ci/"};
    std::vector<fs::path> documents = {root / "README.md"};
    for (const auto& entry : fs::directory_iterator(root / "docs"))
        if (entry.path().extension() == ".md")
            documents.push_back(entry.path());
    std::regex quoted(R"(`([^`\s]+)`)");
    std::regex linked(R"(\]\(([^)\s#:]+)(#[^)]*)?\))");
    std::regex placeholder(R"([A-Z]{2,}|\*|\.\.\.)");
    int checked = 0;
    for (const fs::path& document : documents) {
        std::string text = read_doc(fs::relative(document, root).string());
        ASSERT_FALSE(text.empty()) << document;
        auto check = [&](std::string path, const fs::path& base) {
            while (!path.empty() && (path.back() == '.' || path.back() == ',' || path.back() == ':'))
                path.pop_back();
            if (std::regex_search(path, placeholder))
                return;
            ++checked;
            EXPECT_TRUE(fs::exists(base / path)) << fs::relative(document, root).string() << " names " << path
                                                  << ", which is not there";
        };
        for (auto m = std::sregex_iterator(text.begin(), text.end(), quoted); m != std::sregex_iterator(); ++m) {
            std::string path = (*m)[1].str();
            for (const char* start : ROOTS)
                if (path.rfind(start, 0) == 0) {
                    check(path, root);
                    break;
                }
        }
        for (auto m = std::sregex_iterator(text.begin(), text.end(), linked); m != std::sregex_iterator(); ++m)
            check((*m)[1].str(), document.parent_path());
    }
    EXPECT_GT(checked, 100) << "the documents name the tree's paths";
}

}  // namespace
