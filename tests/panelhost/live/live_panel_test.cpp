// The live panel's requests, answered in-process as the panel's thread answers them: what each
// serves, what it refuses (and that a refusal changes nothing), who may ask (the Host and Origin
// rule), the held button's repeats by the frame and its let-go when the page stops renewing it,
// and the sounds and songs it serves from the devices' own state.
#include "panelhost/host/host.h"
#include "panelhost/base/trace.h"
#include "panelhost/live/live_panel.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media.h"
#include "platform/sim/simulation.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/png_picture.h"
#include "tests/support/song_variants.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using panelhost::LiveRequest;
using panelhost::LiveResponse;

void platform_trace(const char* line, void*)
{
    panelhost::trace_line(line);
}

// The radio alone, installed in a folder whose Sound folder holds song 4, as the live panel
// serves it.
class LivePanelTest : public ::testing::Test {
protected:
    static constexpr int SERVED_PORT = 8642;
    static constexpr const char* SERVED_HOST = "127.0.0.1:8642";

    void SetUp() override { start(); }
    void TearDown() override { stop(); }

    // A panel of its own, from the install on: a case that runs the volume far down starts again.
    void restart()
    {
        stop();
        start();
    }

    void start()
    {
        folder_ = test_support::make_temp_dir();
        std::filesystem::create_directories(folder_ + "/Sound");
        test_support::write_text_file(folder_ + "/Sound/song4.wav", test_support::silent_wave());
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
        sim::set_trace_sink(platform_trace, nullptr);
        sim::cd_drive().reset();
        sim::media::reset();
        panelhost::HostOptions options;
        options.module_path = test_support::out_dir() + "/radio.so";
        options.gauge_name = "tuneset";
        trace_ = std::make_unique<panelhost::LiveTrace>();
        host_ = std::make_unique<panelhost::Host>(options);
        std::string error;
        ASSERT_TRUE(host_->load(error)) << error;
        host_->install_and_initialize();
        live_ = std::make_unique<panelhost::LivePanel>(*host_, *trace_,
                                                       panelhost::LiveAddress{"127.0.0.1", SERVED_PORT});
    }

    void stop()
    {
        live_.reset();
        host_.reset();
        trace_.reset();
        sim::set_trace_sink(nullptr, nullptr);
        std::filesystem::current_path(previous_);
    }

    // A request as the panel's own page sends it: its Host the served address, no Origin.
    LiveResponse ask(const std::string& method, const std::string& path,
                     const std::map<std::string, std::string>& params = {}, std::size_t body = 0)
    {
        return live_->handle(LiveRequest{method, path, params, body, SERVED_HOST, std::nullopt});
    }

    LiveResponse ask_from(const std::optional<std::string>& host, const std::optional<std::string>& origin,
                          const std::string& method, const std::string& path,
                          const std::map<std::string, std::string>& params = {})
    {
        return live_->handle(LiveRequest{method, path, params, 0, host, origin});
    }

    // The request is refused in one line of text (a 405 naming what the path takes), and what
    // the page shows is as it was.
    void expect_refused(const std::string& name, const LiveRequest& request, int status, const std::string& reason)
    {
        std::string before = state();
        std::uint64_t version = live_->version();
        LiveResponse answer = live_->handle(request);
        EXPECT_EQ(answer.status, status) << name;
        EXPECT_EQ(answer.body, reason + "\n") << name;
        EXPECT_EQ(answer.type, "text/plain; charset=utf-8") << name;
        EXPECT_EQ(answer.allow, answer.status != 405         ? ""
                                : request.path == "/press" ? "POST"
                                                           : "GET, HEAD")
            << name << ": a 405 says what the path takes";
        EXPECT_EQ(live_->version(), version) << name << ": a refusal changed what the page shows";
        EXPECT_EQ(state(), before) << name;
    }

    std::size_t mixer_set_lines()
    {
        std::size_t count = 0;
        for (std::uint64_t line = trace_->first_kept(); line < trace_->count(); ++line)
            count += trace_->line(line).compare(0, 9, "mixer-set") == 0;
        return count;
    }

    bool pressed() { return state().find("\"pressed\":true") != std::string::npos; }

    LiveResponse press(int x, int y) { return ask("POST", "/press", {{"x", std::to_string(x)}, {"y", std::to_string(y)}}); }

    void click(int x, int y)
    {
        press(x, y);
        ask("POST", "/release");
        live_->frame(55);
    }

    std::string state() { return ask("GET", "/state", {{"trace", "0"}}).body; }

    std::string folder_;
    std::filesystem::path previous_;
    std::unique_ptr<panelhost::LiveTrace> trace_;
    std::unique_ptr<panelhost::Host> host_;
    std::unique_ptr<panelhost::LivePanel> live_;
};

struct Refusal {
    const char* name;
    const char* method;
    const char* path;
    std::map<std::string, std::string> params;
    std::size_t body;
    int status;
    const char* reason;
};

TEST_F(LivePanelTest, WhatDoesNotFitIsRefusedInOneLineAndChangesNothing)
{
    const std::string coordinates = "x and y must be whole numbers inside the panel: x from 0 to 475, y from 0 to 146";
    // A path it does not serve is not said back: the answer carries nothing the request chose.
    const char* NO_PAGE = "no such page; the live panel serves /, /state, /panel.png, /pointer and /press";
    const Refusal refusals[] = {
        {"a page it does not serve", "GET", "/etc/passwd", {}, 0, 404, NO_PAGE},
        {"a name above the page", "GET", "/../live.js", {}, 0, 404, NO_PAGE},
        {"a path of control bytes", "GET", "/\x1b[2J\x07", {}, 0, 404, NO_PAGE},
        {"a page of its, another method", "DELETE", "/state", {}, 0, 405, "/state takes GET or HEAD, not DELETE"},
        {"a sound, another method", "POST", "/sound/1.wav", {}, 0, 405, "/sound/N takes GET or HEAD, not POST"},
        {"a press asked by GET", "GET", "/press", {{"x", "1"}, {"y", "1"}}, 0, 405, "/press takes POST, not GET"},
        {"a press asked by HEAD", "HEAD", "/press", {{"x", "1"}, {"y", "1"}}, 0, 405, "/press takes POST, not HEAD"},
        {"no coordinates", "POST", "/press", {}, 0, 400, coordinates.c_str()},
        {"a coordinate in words", "POST", "/press", {{"x", "ten"}, {"y", "1"}}, 0, 400, coordinates.c_str()},
        {"a coordinate with a fraction", "GET", "/pointer", {{"x", "1.5"}, {"y", "1"}}, 0, 400, coordinates.c_str()},
        {"left of the panel", "POST", "/press", {{"x", "-1"}, {"y", "1"}}, 0, 400, coordinates.c_str()},
        {"right of the panel", "POST", "/press", {{"x", "476"}, {"y", "1"}}, 0, 400, coordinates.c_str()},
        {"below the panel", "GET", "/pointer", {{"x", "1"}, {"y", "147"}}, 0, 400, coordinates.c_str()},
        {"a body past the limit", "POST", "/press", {{"x", "443"}, {"y", "23"}}, 1025, 413,
         "a request's body is at most 1024 bytes; the live panel reads its requests' words from their query"},
        {"a variable without a value", "POST", "/var", {{"id", "103"}}, 0, 400,
         "id must be a variable's number from 0 to 4294967295, value a finite number"},
        {"a value that is no number", "POST", "/var", {{"id", "103"}, {"value", "1x"}}, 0, 400,
         "id must be a variable's number from 0 to 4294967295, value a finite number"},
        {"a sound that is not there", "GET", "/sound/99.wav", {}, 0, 404,
         "no such sound (a sound buffer of the gauges, by its number)"},
        {"a song by its name", "GET", "/song/..\\Sound\\song4.wav", {}, 0, 404,
         "no such song (a song the media graph plays, by its graph's number)"},
        {"a graph that does not exist", "GET", "/song/99", {}, 0, 404,
         "no such song (a song the media graph plays, by its graph's number)"},
        {"a trace count in words", "GET", "/state", {{"trace", "all"}}, 0, 400,
         "trace must be a whole number, the count of the lines seen already"},
        {"a version seen in words", "GET", "/state", {{"seen", "abc"}}, 0, 400,
         "seen must be a whole number, the version of the state seen already"},
        {"a version seen below 0", "GET", "/state", {{"seen", "-1"}}, 0, 400,
         "seen must be a whole number, the version of the state seen already"},
    };
    for (const Refusal& refusal : refusals) {
        LiveRequest request{refusal.method, refusal.path, refusal.params, refusal.body, SERVED_HOST, std::nullopt};
        expect_refused(refusal.name, request, refusal.status, refusal.reason);
    }
}

TEST_F(LivePanelTest, ThePageAndItsAssetsAreServedFromTheBench)
{
    struct Asset {
        const char* path;
        const char* type;
        const char* contains;
    };
    const Asset assets[] = {
        {"/", "text/html; charset=utf-8", "<script src=\"/live.js\"></script>"},
        {"/live.js", "text/javascript; charset=utf-8", "async function poll()"},
        {"/live.css", "text/css; charset=utf-8", "#panel"},
    };
    for (const Asset& asset : assets) {
        LiveResponse answer = ask("GET", asset.path);
        EXPECT_EQ(answer.status, 200) << asset.path;
        EXPECT_EQ(answer.type, asset.type) << asset.path;
        EXPECT_NE(answer.body.find(asset.contains), std::string::npos) << asset.path;
    }
}

TEST_F(LivePanelTest, ThePictureIsTheRadioAndChangesWithIt)
{
    LiveResponse off = ask("GET", "/panel.png");
    ASSERT_EQ(off.status, 200);
    EXPECT_EQ(off.type, "image/png");
    test_support::Picture dark = test_support::decode_png(
        reinterpret_cast<const std::uint8_t*>(off.body.data()), off.body.size());
    EXPECT_EQ(dark.width, 476);
    EXPECT_EQ(dark.height, 147);
    live_->frame(55);   // the first pass gives the elements their values
    auto picture_number = [&] {
        std::string now = state();
        std::size_t at = now.find("\"picture\":");
        return std::stoi(now.substr(at + 10));
    };
    int first = picture_number();
    live_->frame(55);
    EXPECT_EQ(picture_number(), first) << "a frame that changes nothing draws nothing new";
    click(443, 23);   // power: the displays light at the frame after the press
    EXPECT_EQ(picture_number(), first + 1) << state();
    LiveResponse on = ask("GET", "/panel.png");
    EXPECT_NE(on.body, off.body);
    click(443, 23);
    EXPECT_EQ(picture_number(), first + 2) << "dark again: another picture";
}

// A held button repeats once a frame, as the host repeats it, and no more once it is let go.
TEST_F(LivePanelTest, AHeldButtonRepeatsEachFrameUntilItIsLetGo)
{
    auto mixer_lines = [&] {
        std::string text = state();
        std::size_t count = 0;
        for (std::size_t at = text.find("mixer-set"); at != std::string::npos; at = text.find("mixer-set", at + 1))
            ++count;
        return count;
    };
    std::size_t installed = mixer_lines();
    LiveResponse down = press(25, 101);   // the CD line's volume down
    EXPECT_EQ(down.body, "{\"repeats\":true}");
    EXPECT_NE(state().find("\"pressed\":true"), std::string::npos);
    for (int frame = 0; frame < 3; ++frame)
        live_->frame(55);
    EXPECT_EQ(mixer_lines(), installed + 4) << "the press and three repeats";
    ask("POST", "/release");
    live_->frame(55);
    live_->frame(55);
    EXPECT_EQ(mixer_lines(), installed + 4) << "no repeat after the release";
    EXPECT_EQ(press(443, 23).body, "{\"repeats\":false}") << "the power button does not repeat";
    ask("POST", "/release");
}

TEST_F(LivePanelTest, ThePointerGivesTheHotSpotsCursorAndTooltip)
{
    EXPECT_EQ(ask("GET", "/pointer", {{"x", "443"}, {"y", "23"}}).body,
              "{\"hot_spot\":true,\"cursor\":5,\"repeats\":false,\"tooltip\":\"Power On/Off (off)\",\"help\":null}");
    EXPECT_EQ(ask("GET", "/pointer", {{"x", "25"}, {"y", "67"}}).body,
              "{\"hot_spot\":true,\"cursor\":1,\"repeats\":true,\"tooltip\":\"Increase Volume Level\",\"help\":null}");
    EXPECT_EQ(ask("GET", "/pointer", {{"x", "144"}, {"y", "120"}}).body,
              "{\"hot_spot\":false,\"cursor\":-1,\"repeats\":false,\"tooltip\":null,\"help\":null}")
        << "between the pause button and preset 1";
}

TEST_F(LivePanelTest, TheClickAndTheSongAreTheDevicesOwn)
{
    click(442, 82);    // FM
    click(264, 123);   // preset 4
    click(443, 23);    // power: song 4 plays
    std::string now = state();
    // the one sound buffer, the click, played three times at its volume
    std::size_t sounds = now.find("\"sounds\":[{\"id\":");
    ASSERT_NE(sounds, std::string::npos) << now;
    std::string buffer = now.substr(sounds + 16, now.find(',', sounds) - sounds - 16);
    EXPECT_NE(now.find("\"sounds\":[{\"id\":" + buffer + ",\"plays\":3,\"volume\":-500,\"url\":\"/sound/" + buffer +
                       ".wav\"}]"),
              std::string::npos)
        << now;
    std::size_t song = now.find("\"file\":\".\\\\Sound\\\\song4.wav\"");
    ASSERT_NE(song, std::string::npos) << now;
    std::size_t id_at = now.rfind("{\"id\":", song);
    std::string id = now.substr(id_at + 6, now.find(',', id_at) - id_at - 6);
    EXPECT_NE(now.find("\"running\":true", song), std::string::npos);

    // The answer names the very file the graph renders; the server reads it as it sends it.
    LiveResponse file = ask("GET", "/song/" + id);
    EXPECT_EQ(file.status, 200);
    EXPECT_EQ(file.type, "audio/wav");
    EXPECT_EQ(file.body, "");
    EXPECT_TRUE(std::filesystem::equivalent(file.file, folder_ + "/Sound/song4.wav")) << file.file;

    LiveResponse click_sound = ask("GET", "/sound/" + buffer + ".wav");
    EXPECT_EQ(click_sound.status, 200);
    // The buffer holds the click's samples: the module's resource, read by the gauge into it.
    std::string resource = test_support::read_text_file(RADIO_RESOURCE_DIR "/click.wav");
    std::size_t data = resource.find("data");
    ASSERT_NE(data, std::string::npos);
    std::uint32_t samples = static_cast<unsigned char>(resource[data + 4]) |
                            static_cast<unsigned char>(resource[data + 5]) << 8;
    EXPECT_EQ(click_sound.body.substr(0, 4), "RIFF");
    EXPECT_EQ(click_sound.body.substr(12, 24), resource.substr(12, 24)) << "the format chunk";
    EXPECT_EQ(click_sound.body.substr(44), resource.substr(data + 8, samples));
}

TEST_F(LivePanelTest, TheVariablesAreThePanelsAndTheDriveIsShown)
{
    EXPECT_EQ(ask("POST", "/var", {{"id", "103"}, {"value", "1"}}).status, 200);
    EXPECT_EQ(host_->var(103), 1.0);
    EXPECT_NE(state().find("\"variables\":{\"103\":1}"), std::string::npos) << state();
    click(443, 23);
    live_->frame(55);
    EXPECT_NE(state().find("\"cd\":{\"drive\":true,\"disc\":true,\"tray_open\":false,\"playing\":true,\"track\":1}"),
              std::string::npos)
        << state();
}

struct BodySize {
    const char* name;
    std::size_t body;
    int status;
};

// A request's words are in its query; its body is only counted, and one past LIVE_BODY_LIMIT is
// refused before anything it asks is done.
TEST_F(LivePanelTest, ABodyOfTheLimitIsTakenAndOneByteMoreIsRefused)
{
    const BodySize cases[] = {
        // name                     body                           status
        {"no body",                 0,                             200},
        {"a body of the limit",     panelhost::LIVE_BODY_LIMIT,     200},
        {"one byte past the limit", panelhost::LIVE_BODY_LIMIT + 1, 413},
    };
    int value = 0;
    for (const BodySize& one : cases) {
        ++value;
        double before = host_->var(103);
        LiveResponse answer = ask("POST", "/var", {{"id", "103"}, {"value", std::to_string(value)}}, one.body);
        EXPECT_EQ(answer.status, one.status) << one.name << " (" << one.body << " bytes): " << answer.body;
        EXPECT_EQ(host_->var(103), one.status == 200 ? value : before) << one.name;
    }
}

// ---- what the answers say, as JSON -------------------------------------------------------------------

using Json = nlohmann::ordered_json;

// The answer's body as JSON; a discarded value if it is none.
Json decoded(const LiveResponse& answer)
{
    return Json::parse(answer.body, nullptr, false);
}

std::vector<std::string> keys_of(const Json& object)
{
    std::vector<std::string> keys;
    for (auto field = object.begin(); field != object.end(); ++field)
        keys.push_back(field.key());
    return keys;
}

const std::string REPLACEMENT = "\xEF\xBF\xBD";   // U+FFFD in UTF-8

struct TraceText {
    const char* name;
    std::string written;    // the line the bench traces
    std::string read;       // what the page reads of it, the JSON decoded
    const char* as_is;      // a part of it that goes out byte for byte, UTF-8 as UTF-8
};

// A trace line carries the bytes of what it names: a pilot's folder with accents, a song named in
// another script. UTF-8 reaches the page as the same text; a byte that is not UTF-8 (a file name's
// byte in another code page) becomes U+FFFD, each maximal run of a sequence that cannot be one,
// and the rest of the line is kept.
TEST_F(LivePanelTest, ATraceLineReachesThePageAsTheTextItIs)
{
    const std::string folder = "echo C:\\Users\\Zoë\\Flüge\\panel.cfg";
    const std::string song = "dshow render \".\\Sound\\東京の歌.mp3\" -> 0x00000000";
    const std::string departure = "echo \xF0\x9F\x9B\xAB departed";   // U+1F6EB, past the 16-bit plane
    const std::string escaped = "echo \"quoted\" back\\slash\ttab\x7F" "del";
    const TraceText lines[] = {
        // name                                 written                 read                                  as is
        {"accented letters in a folder",        folder,                 folder,                               "Zoë"},
        {"a song named in CJK characters",      song,                   song,                                 "東京の歌.mp3"},
        {"a character of four bytes",           departure,              departure,                            "\xF0\x9F\x9B\xAB"},
        {"quotes, a backslash, a tab, a DEL",   escaped,                escaped,                              nullptr},
        {"a byte of another code page",         "echo Zo\xEB.wav",      "echo Zo" + REPLACEMENT + ".wav",     nullptr},
        {"a lone continuation byte",            "echo \x80 end",        "echo " + REPLACEMENT + " end",       nullptr},
        {"a sequence cut short",                "echo \xE6\x97 end",    "echo " + REPLACEMENT + " end",       nullptr},
        {"a sequence cut short by the end",     "echo \xE6\x97",        "echo " + REPLACEMENT,                nullptr},
        {"an overlong slash",                   "echo \xC0\xAF",        "echo " + REPLACEMENT + REPLACEMENT,  nullptr},
        {"a byte that is never UTF-8",          "echo \xFF\xFE" "ok",   "echo " + REPLACEMENT + REPLACEMENT + "ok", nullptr},
    };
    std::uint64_t first = trace_->count();
    for (const TraceText& one : lines) {
        std::uint64_t at = trace_->count();
        panelhost::trace_line(one.written);
        LiveResponse answer = ask("GET", "/state", {{"trace", std::to_string(at)}});
        ASSERT_EQ(answer.status, 200) << one.name << ": " << answer.body;
        EXPECT_EQ(answer.type, "application/json") << one.name;
        Json state = decoded(answer);
        ASSERT_FALSE(state.is_discarded()) << one.name << ": no JSON: " << answer.body;
        ASSERT_EQ(state["trace"].size(), 1u) << one.name << ": " << answer.body;
        EXPECT_EQ(state["trace"][0].get<std::string>(), one.read) << one.name;
        if (one.as_is) {
            EXPECT_NE(answer.body.find(one.as_is), std::string::npos) << one.name << ": UTF-8 goes out as UTF-8";
        }
    }
    // After the bytes that are not UTF-8 the panel answers as before: every line, in its order.
    LiveResponse all = ask("GET", "/state", {{"trace", std::to_string(first)}});
    ASSERT_EQ(all.status, 200) << all.body;
    Json state = decoded(all);
    ASSERT_FALSE(state.is_discarded()) << all.body;
    ASSERT_EQ(state["trace"].size(), std::size(lines)) << all.body;
    for (std::size_t i = 0; i < std::size(lines); ++i)
        EXPECT_EQ(state["trace"][i].get<std::string>(), lines[i].read) << lines[i].name;
}

// The page, its tests and a user's tools read the answers' fields by name, and a person reading
// one reads them in this order.
TEST_F(LivePanelTest, TheAnswersKeepTheirFieldsAndTheirOrder)
{
    click(442, 82);    // FM
    click(264, 123);   // preset 4
    click(443, 23);    // power: song 4 plays
    ask("POST", "/var", {{"id", "103"}, {"value", "1"}});
    Json state = decoded(ask("GET", "/state", {{"trace", "0"}}));
    ASSERT_FALSE(state.is_discarded());
    using Keys = std::vector<std::string>;
    EXPECT_EQ(keys_of(state), (Keys{"version", "picture", "frames", "clock_ms", "window", "pressed", "trace_from",
                                    "trace_next", "trace", "sounds", "songs", "cd", "variables"}));
    EXPECT_EQ(keys_of(state["window"]), (Keys{"width", "height"}));
    ASSERT_EQ(state["sounds"].size(), 1u) << state.dump();
    EXPECT_EQ(keys_of(state["sounds"][0]), (Keys{"id", "plays", "volume", "url"}));
    ASSERT_EQ(state["songs"].size(), 1u) << state.dump();
    EXPECT_EQ(keys_of(state["songs"][0]),
              (Keys{"id", "file", "url", "running", "position_ms", "duration_ms", "volume"}));
    EXPECT_EQ(state["songs"][0]["file"], ".\\Sound\\song4.wav");
    EXPECT_EQ(keys_of(state["cd"]), (Keys{"drive", "disc", "tray_open", "playing", "track"}));
    EXPECT_EQ(keys_of(state["variables"]), (Keys{"103"}));
    EXPECT_TRUE(state["trace"].is_array());
    EXPECT_TRUE(state["pressed"].is_boolean());
    EXPECT_TRUE(state["clock_ms"].is_number_integer());
}

struct VariableValue {
    const char* name;
    const char* asked;      // the value as the page sends it
    double value;
    bool whole;             // written as a whole number, without a fraction
};

// A variable's value goes out as text that reads back as the very double the panel holds, its
// sign too, and a whole one as a whole number.
TEST_F(LivePanelTest, AVariablesValueReadsBackAsTheSameNumber)
{
    const VariableValue values[] = {
        // name                         asked                     value                    whole
        {"one",                         "1",                      1.0,                     true},
        {"a negative whole number",     "-3",                     -3.0,                    true},
        {"a tenth, which binary lacks", "0.1",                    0.1,                     false},
        {"a quarter",                   "0.25",                   0.25,                    false},
        {"a small negative fraction",   "-2.5e-7",                -2.5e-7,                 false},
        {"a whole number past 2^53",    "123456789012345680",     123456789012345680.0,    false},
        {"past a 64-bit integer",       "1e20",                   1e20,                    false},
        {"the largest double",          "1.7976931348623157e308", 1.7976931348623157e308,  false},
        {"negative zero",               "-0",                     -0.0,                    false},
    };
    for (const VariableValue& one : values) {
        ASSERT_EQ(ask("POST", "/var", {{"id", "103"}, {"value", one.asked}}).status, 200) << one.name;
        LiveResponse answer = ask("GET", "/state", {{"trace", "0"}});
        Json state = decoded(answer);
        ASSERT_FALSE(state.is_discarded()) << one.name << ": " << answer.body;
        const Json& read = state["variables"]["103"];
        ASSERT_TRUE(read.is_number()) << one.name << ": " << answer.body;
        EXPECT_EQ(read.get<double>(), one.value) << one.name;
        EXPECT_EQ(std::signbit(read.get<double>()), std::signbit(one.value)) << one.name;
        EXPECT_EQ(read.is_number_integer(), one.whole) << one.name << ": " << answer.body;
    }
}

// ---- the trace past the lines it keeps -----------------------------------------------------------

// The bench's standard output sent to /dev/null while it lives: the trace's lines go to the
// listener all the same, and the test's own output stays readable.
class QuietTrace {
public:
    QuietTrace()
    {
        std::fflush(stdout);
        saved_ = dup(1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietTrace()
    {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }
    QuietTrace(const QuietTrace&) = delete;
    QuietTrace& operator=(const QuietTrace&) = delete;

private:
    int saved_ = -1;
};

// Past LIVE_TRACE_KEPT lines the oldest go, and the numbers of the others stay what they were:
// line N is the Nth the bench wrote (from 0), the count goes on, and a page that reads on from
// trace_next never reads a line twice nor goes back.
TEST_F(LivePanelTest, PastTheKeptLinesTheTracesLineNumbersGoOnCounting)
{
    const std::uint64_t KEPT = panelhost::LIVE_TRACE_KEPT;
    std::vector<std::string> written;   // every line of the trace, by its number
    ASSERT_EQ(trace_->first_kept(), 0u);
    for (std::uint64_t line = 0; line < trace_->count(); ++line)
        written.push_back(trace_->line(line));
    ASSERT_LT(written.size(), KEPT / 10) << "the install alone fills the trace";
    auto write_until = [&](std::uint64_t count) {
        QuietTrace quiet;
        while (written.size() < count) {
            written.push_back("echo line " + std::to_string(written.size()));
            panelhost::trace_line(written.back());
        }
    };
    // Every line written is the line of its number, from the first kept to the last.
    auto lines_kept_are_lines_written = [&](const char* when) {
        EXPECT_EQ(trace_->count(), written.size()) << when;
        EXPECT_LE(trace_->count() - trace_->first_kept(), KEPT) << when << ": more lines kept than the bound";
        std::uint64_t wrong = 0;
        for (std::uint64_t line = trace_->first_kept(); line < trace_->count(); ++line)
            if (trace_->line(line) != written[line] && wrong++ == 0)
                ADD_FAILURE() << when << ": line " << line << " is \"" << trace_->line(line) << "\", expected \""
                              << written[line] << "\"";
        EXPECT_EQ(wrong, 0u) << when << ": lines that are not the line of their number";
    };

    write_until(KEPT);
    EXPECT_EQ(trace_->first_kept(), 0u) << "at the bound, every line is still kept";
    lines_kept_are_lines_written("at the bound");
    write_until(KEPT + 1);
    EXPECT_GT(trace_->first_kept(), 0u) << "one line past the bound, the oldest go";
    lines_kept_are_lines_written("one line past the bound");

    // The page reads from trace 0 on, as one that comes late; the bench writes on meanwhile,
    // past the bound again and again.
    std::uint64_t next = 0;
    std::uint64_t read = 0;
    for (int answer = 0; answer < 200 && (next < trace_->count() || written.size() < 3 * KEPT); ++answer) {
        if (answer % 10 == 9 && written.size() < 3 * KEPT)
            write_until(written.size() + KEPT / 2);
        Json state = decoded(ask("GET", "/state", {{"trace", std::to_string(next)}}));
        ASSERT_FALSE(state.is_discarded());
        std::uint64_t from = state["trace_from"].get<std::uint64_t>();
        std::uint64_t to = state["trace_next"].get<std::uint64_t>();
        ASSERT_GE(from, next) << "answer " << answer << ": the trace went back";
        ASSERT_EQ(from, std::max(next, trace_->first_kept())) << "answer " << answer;
        ASSERT_EQ(to, from + state["trace"].size()) << "answer " << answer;
        for (std::size_t i = 0; i < state["trace"].size(); ++i)
            ASSERT_EQ(state["trace"][i].get<std::string>(), written[from + i]) << "answer " << answer << ", line " << from + i;
        next = to;
        read += state["trace"].size();
    }
    EXPECT_EQ(next, written.size()) << "the page has read up to the last line";
    EXPECT_GE(written.size(), 3 * KEPT);
    EXPECT_LT(read, written.size()) << "the page that came late skipped the lines no longer kept";
    lines_kept_are_lines_written("after three times the bound");
}

// ---- who may ask -------------------------------------------------------------------------------------

struct HostCase {
    const char* name;
    const char* served;     // the address the panel listens on
    int port;
    const char* host;       // the request's Host header
    bool accepted;
};

// The rule alone, against the addresses a person may ask the bench to serve on: no socket is
// opened here, and the tests' servers listen on 127.0.0.1 only.
TEST(LiveRequestRule, TheHostMustNameTheServedAddress)
{
    const HostCase cases[] = {
        // name                                        served          port  Host                           accepted
        {"loopback: the bound address",                "127.0.0.1",    8642, "127.0.0.1:8642",              true},
        {"loopback: localhost",                        "127.0.0.1",    8642, "localhost:8642",              true},
        {"loopback: localhost in capitals",            "127.0.0.1",    8642, "LocalHost:8642",              true},
        {"loopback: the IPv6 loopback",                "127.0.0.1",    8642, "[::1]:8642",                  true},
        {"loopback: the IPv6 loopback written long",   "127.0.0.1",    8642, "[0:0:0:0:0:0:0:1]:8642",      true},
        {"loopback: another port",                     "127.0.0.1",    8642, "127.0.0.1:8643",              false},
        {"loopback: no port (port 80)",                "127.0.0.1",    8642, "127.0.0.1",                   false},
        {"loopback: a rebound name",                   "127.0.0.1",    8642, "attacker.example:8642",       false},
        {"loopback: a name that begins as localhost",  "127.0.0.1",    8642, "localhost.attacker.example:8642", false},
        {"loopback: localhost with a final dot",       "127.0.0.1",    8642, "localhost.:8642",             false},
        {"loopback: another loopback address",         "127.0.0.1",    8642, "127.0.0.2:8642",              false},
        {"loopback: IPv6 without brackets",            "127.0.0.1",    8642, "::1:8642",                    false},
        {"loopback: a name in brackets",               "127.0.0.1",    8642, "[localhost]:8642",            false},
        {"loopback: an empty port",                    "127.0.0.1",    8642, "127.0.0.1:",                  false},
        {"loopback: a port with more after it",        "127.0.0.1",    8642, "127.0.0.1:8642/",             false},
        {"loopback: a port with a leading zero",       "127.0.0.1",    8642, "127.0.0.1:08642",             false},
        {"loopback: an empty Host",                    "127.0.0.1",    8642, "",                            false},
        {"loopback: credentials before the name",      "127.0.0.1",    8642, "user@127.0.0.1:8642",         false},
        {"served at localhost: localhost",             "localhost",    8642, "localhost:8642",              true},
        {"served at localhost: 127.0.0.1",             "localhost",    8642, "127.0.0.1:8642",              true},
        {"served at ::1: its own address",             "::1",          8642, "[::1]:8642",                  true},
        {"served at ::1: 127.0.0.1",                   "::1",          8642, "127.0.0.1:8642",              true},
        {"served at [::1]: its own address",           "[::1]",        8642, "[::1]:8642",                  true},
        {"port 80: the Host without its port",         "127.0.0.1",    80,   "localhost",                   true},
        {"port 80: the Host with its port",            "127.0.0.1",    80,   "127.0.0.1:80",                true},
        {"wildcard: a LAN address",                    "0.0.0.0",      8642, "192.168.1.20:8642",           true},
        {"wildcard: loopback",                         "0.0.0.0",      8642, "127.0.0.1:8642",              true},
        {"wildcard: localhost",                        "0.0.0.0",      8642, "localhost:8642",              true},
        {"wildcard: an IPv6 address",                  "0.0.0.0",      8642, "[fe80::1]:8642",              true},
        {"wildcard: the machine's name",               "0.0.0.0",      8642, "mybox.lan:8642",              false},
        {"wildcard: a rebound name",                   "0.0.0.0",      8642, "attacker.example:8642",       false},
        {"wildcard: another port",                     "0.0.0.0",      8642, "192.168.1.20:9000",           false},
        {"IPv6 wildcard: a LAN address",               "::",           8642, "10.0.0.2:8642",               true},
        {"one LAN address: that address",              "192.168.1.20", 8642, "192.168.1.20:8642",           true},
        {"one LAN address: loopback",                  "192.168.1.20", 8642, "127.0.0.1:8642",              false},
        {"one LAN address: localhost",                 "192.168.1.20", 8642, "localhost:8642",              false},
        {"one LAN address: another",                   "192.168.1.20", 8642, "192.168.1.21:8642",           false},
        {"a name: the name in other capitals",         "mybox.lan",    8642, "MyBox.LAN:8642",              true},
        {"a name: a rebound name",                     "mybox.lan",    8642, "attacker.example:8642",       false},
        {"a name: localhost",                          "mybox.lan",    8642, "localhost:8642",              false},
    };
    for (const HostCase& one : cases) {
        bool accepted = panelhost::live_host_accepted(one.host, panelhost::LiveAddress{one.served, one.port});
        EXPECT_EQ(accepted, one.accepted) << one.name << ": Host " << one.host << " served at " << one.served << ":"
                                          << one.port;
    }
}

struct RefusalText {
    const char* served;
    const char* accepted;   // the hosts the refusal names
};

// A refused request says which Host values the panel takes, as a person would type them.
TEST(LiveRequestRule, ARefusalNamesTheHostsThePanelTakes)
{
    const RefusalText cases[] = {
        {"127.0.0.1",    "127.0.0.1:8642, localhost:8642 or [::1]:8642"},
        {"::1",          "[::1]:8642, localhost:8642 or 127.0.0.1:8642"},
        {"0.0.0.0",      "localhost:8642 or an IP address of this machine with port 8642"},
        {"192.168.1.20", "192.168.1.20:8642"},
    };
    for (const RefusalText& one : cases) {
        LiveRequest request{"GET", "/state", {}, 0, std::string("attacker.example:8642"), std::nullopt};
        std::optional<LiveResponse> refusal = panelhost::live_refusal(request, panelhost::LiveAddress{one.served, 8642});
        ASSERT_TRUE(refusal.has_value()) << one.served;
        EXPECT_EQ(refusal->status, 403) << one.served;
        EXPECT_EQ(refusal->body, std::string("the Host header names another address than the live panel's: ") +
                                     one.accepted + "\n")
            << one.served;
    }
}

struct WarningCase {
    const char* name;
    const char* served;
    bool warns;
};

// The warning's words for each kind of address, from the rule alone: nothing is served here.
TEST(LiveRequestRule, AnAddressOthersCanReachIsServedWithAWarning)
{
    const WarningCase cases[] = {
        // name                      served           warns
        {"IPv4 loopback",            "127.0.0.1",     false},
        {"another IPv4 loopback",    "127.0.0.2",     false},
        {"localhost",                "localhost",     false},
        {"IPv6 loopback",            "::1",           false},
        {"IPv6 loopback, bracketed", "[::1]",         false},
        {"every IPv4 address",       "0.0.0.0",       true},
        {"every IPv6 address",       "::",            true},
        {"a LAN address",            "192.168.1.20",  true},
        {"a name",                   "mybox.lan",     true},
    };
    for (const WarningCase& one : cases) {
        std::string warning = panelhost::live_exposure_warning(panelhost::LiveAddress{one.served, 8642});
        EXPECT_EQ(!warning.empty(), one.warns) << one.name << ": " << warning;
        if (!one.warns)
            continue;
        EXPECT_EQ(warning.rfind("warning serve: ", 0), 0u) << one.name << ": " << warning;
        EXPECT_NE(warning.find(std::string(one.served) + ":8642"), std::string::npos) << one.name << ": " << warning;
        EXPECT_NE(warning.find("anyone who can reach that address can press the gauges"), std::string::npos)
            << one.name << ": " << warning;
        EXPECT_EQ(warning.find('\n'), std::string::npos) << one.name << ": one line";
    }
}

struct Guarded {
    const char* name;
    std::optional<std::string> host;
    std::optional<std::string> origin;
    const char* method;
    const char* path;
    std::map<std::string, std::string> params;
    const char* reason;
};

// Each request comes while the volume button is held, so that a release refused leaves it held.
TEST_F(LivePanelTest, ARequestForAnotherAddressOrFromAnotherSiteIsRefusedAndChangesNothing)
{
    const std::string accepted = "127.0.0.1:8642, localhost:8642 or [::1]:8642";
    const std::string other_host = "the Host header names another address than the live panel's: " + accepted;
    const std::string no_host = "a request must name the live panel's address in its Host header: " + accepted;
    const std::string other_site = "the live panel is changed only from its own page (an Origin of http:// and " +
                                   accepted + ") or by a request from no page (no Origin)";
    const std::map<std::string, std::string> power = {{"x", "443"}, {"y", "23"}};
    const std::map<std::string, std::string> variable = {{"id", "103"}, {"value", "7"}};
    const std::string rebound = "attacker.example:8642";
    const std::string foreign = "http://attacker.example";
    const Guarded refusals[] = {
        {"a press for a rebound name", rebound, std::nullopt, "POST", "/press", power, other_host.c_str()},
        {"a release for a rebound name", rebound, std::nullopt, "POST", "/release", {}, other_host.c_str()},
        {"a variable for a rebound name", rebound, std::nullopt, "POST", "/var", variable, other_host.c_str()},
        {"the state for a rebound name", rebound, std::nullopt, "GET", "/state", {{"trace", "0"}}, other_host.c_str()},
        {"the page for a rebound name", rebound, std::nullopt, "GET", "/", {}, other_host.c_str()},
        {"a song for a rebound name", rebound, std::nullopt, "GET", "/song/1", {}, other_host.c_str()},
        {"the state for another port", std::string("127.0.0.1:8643"), std::nullopt, "GET", "/state", {},
         other_host.c_str()},
        {"the state without a Host", std::nullopt, std::nullopt, "GET", "/state", {}, no_host.c_str()},
        {"a press without a Host", std::nullopt, std::nullopt, "POST", "/press", power, no_host.c_str()},
        {"a press from another site", std::string(SERVED_HOST), foreign, "POST", "/press", power, other_site.c_str()},
        {"a release from another site", std::string(SERVED_HOST), foreign, "POST", "/release", {},
         other_site.c_str()},
        {"a variable from another site", std::string(SERVED_HOST), foreign, "POST", "/var", variable,
         other_site.c_str()},
        {"a renewal from another site", std::string(SERVED_HOST), foreign, "POST", "/hold", {}, other_site.c_str()},
        {"a press from an opaque origin", std::string(SERVED_HOST), std::string("null"), "POST", "/press", power,
         other_site.c_str()},
        {"a press from another port of this machine", std::string(SERVED_HOST), std::string("http://127.0.0.1:8643"),
         "POST", "/press", power, other_site.c_str()},
        {"a press from the panel's address by https", std::string(SERVED_HOST), std::string("https://127.0.0.1:8642"),
         "POST", "/press", power, other_site.c_str()},
        {"a press from an Origin with a path", std::string(SERVED_HOST), std::string("http://127.0.0.1:8642/"),
         "POST", "/press", power, other_site.c_str()},
        {"a press from an empty Origin", std::string(SERVED_HOST), std::string(""), "POST", "/press", power,
         other_site.c_str()},
        {"a release asked by DELETE from another site", std::string(SERVED_HOST), foreign, "DELETE", "/release", {},
         other_site.c_str()},
    };
    ASSERT_EQ(press(25, 101).body, "{\"repeats\":true}");
    for (const Guarded& refusal : refusals) {
        LiveRequest request{refusal.method, refusal.path, refusal.params, 0, refusal.host, refusal.origin};
        expect_refused(refusal.name, request, 403, refusal.reason);
        EXPECT_TRUE(pressed()) << refusal.name << ": the held button was let go";
        EXPECT_EQ(host_->var(103), 0.0) << refusal.name;
    }
    ask("POST", "/release");
}

struct Allowed {
    const char* name;
    std::string host;
    std::optional<std::string> origin;
    const char* method;     // POST: sets variable 103; GET: reads the state
};

TEST_F(LivePanelTest, ThePanelsOwnPageAndToolsWithoutAnOriginAreAnswered)
{
    const Allowed cases[] = {
        // name                                    Host               Origin                           method
        {"the bound address, no Origin (curl)",    "127.0.0.1:8642",  std::nullopt,                    "POST"},
        {"localhost, no Origin",                   "localhost:8642",  std::nullopt,                    "POST"},
        {"the IPv6 loopback, no Origin",           "[::1]:8642",      std::nullopt,                    "POST"},
        {"localhost in capitals",                  "LOCALHOST:8642",  std::nullopt,                    "POST"},
        {"the page at the bound address",          "127.0.0.1:8642",  std::string("http://127.0.0.1:8642"), "POST"},
        {"the page at localhost",                  "localhost:8642",  std::string("http://localhost:8642"), "POST"},
        {"the page at the IPv6 loopback",          "[::1]:8642",      std::string("http://[::1]:8642"),     "POST"},
        {"the page's Origin in capitals",          "127.0.0.1:8642",  std::string("HTTP://LocalHost:8642"), "POST"},
        {"the page at localhost, asked by its IP", "127.0.0.1:8642",  std::string("http://localhost:8642"), "POST"},
        {"a read from another site's page",        "127.0.0.1:8642",  std::string("http://attacker.example"), "GET"},
        {"a read from an opaque origin",           "localhost:8642",  std::string("null"),             "GET"},
        {"a read at the IPv6 loopback",            "[::1]:8642",      std::nullopt,                    "GET"},
    };
    int value = 0;
    for (const Allowed& one : cases) {
        if (std::string(one.method) == "GET") {
            LiveResponse answer = ask_from(one.host, one.origin, "GET", "/state", {{"trace", "0"}});
            EXPECT_EQ(answer.status, 200) << one.name << ": " << answer.body;
            EXPECT_EQ(answer.body.rfind("{\"version\":", 0), 0u) << one.name << ": " << answer.body;
            continue;
        }
        ++value;
        LiveResponse answer = ask_from(one.host, one.origin, "POST", "/var", {{"id", "103"}, {"value", std::to_string(value)}});
        EXPECT_EQ(answer.status, 200) << one.name << ": " << answer.body;
        EXPECT_EQ(host_->var(103), value) << one.name;
    }
}

// ---- a hold the page stops renewing ------------------------------------------------------------------

struct HoldCase {
    const char* name;
    std::uint64_t frame_ms;
    std::vector<int> renewals;          // after these frames, a renewal of the page's own
    std::vector<int> foreign_renewals;  // after these, one from another site's page
    std::vector<int> presses_again;     // after these, the same button pressed again
    int let_go_at;                      // the frame that lets it go
};

// Counted by the frames' time: the press (or its last renewal) and LIVE_HOLD_EXPIRY_MS of frames
// without one let the button go, in the frame that reaches it and before that frame's repeat. The
// CD line's volume goes up from a fifth of the way in 54 steps, each one line of the mixer's, more
// than any case repeats.
TEST_F(LivePanelTest, AHoldThePageStopsRenewingIsLetGoAfterTwoSecondsOfFrames)
{
    const HoldCase cases[] = {
        // name                                   frame  renewals          foreign  again  let go at
        {"never renewed",                         100,   {},               {},      {},    20},
        {"renewed once, at one second",           100,   {10},             {},      {},    30},
        {"renewed every half second for two",     100,   {5, 10, 15, 20},  {},      {},    40},
        {"renewed just before it would go",       100,   {19},             {},      {},    39},
        {"renewed by another site's page",        100,   {},               {10},    {},    20},
        {"pressed again at one second",           100,   {},               {},      {10},  30},
        {"renewed after it was let go",           100,   {25},             {},      {},    20},
        {"at the host's rate of 55 ms",           55,    {},               {},      {},    37},
    };
    const int FRAMES = 60;
    for (const HoldCase& one : cases) {
        restart();
        std::size_t before = mixer_set_lines();
        ASSERT_EQ(press(25, 67).body, "{\"repeats\":true}") << one.name;   // the CD line's volume up
        int presses = 1;
        int let_go = 0;
        std::size_t at_let_go = 0;
        for (int frame = 1; frame <= FRAMES; ++frame) {
            live_->frame(one.frame_ms);
            if (!let_go && !pressed()) {
                let_go = frame;
                at_let_go = mixer_set_lines();
            }
            auto listed = [&](const std::vector<int>& frames) {
                return std::find(frames.begin(), frames.end(), frame) != frames.end();
            };
            if (listed(one.renewals)) {
                LiveResponse renewal = ask("POST", "/hold");
                EXPECT_EQ(renewal.status, 200) << one.name;
                EXPECT_EQ(renewal.body, let_go ? "{\"pressed\":false}" : "{\"pressed\":true}")
                    << one.name << ", renewed after frame " << frame;
            }
            if (listed(one.foreign_renewals)) {
                LiveResponse refused = ask_from(std::string(SERVED_HOST), std::string("http://attacker.example"),
                                                "POST", "/hold");
                EXPECT_EQ(refused.status, 403) << one.name;
            }
            if (listed(one.presses_again)) {
                press(25, 67);
                ++presses;
            }
        }
        EXPECT_EQ(let_go, one.let_go_at) << one.name << ": the frame that let the button go";
        EXPECT_EQ(at_let_go - before, static_cast<std::size_t>(presses + one.let_go_at - 1))
            << one.name << ": the presses, and a repeat in each frame before the let-go";
        EXPECT_EQ(mixer_set_lines(), at_let_go) << one.name << ": a repeat after the let-go";
        EXPECT_EQ(ask("POST", "/hold").body, "{\"pressed\":false}") << one.name << ": a renewal presses nothing";
    }
}

// The let-go is a release like the page's own: the same lines in the trace, the same state after.
TEST_F(LivePanelTest, ALetGoLeavesWhatAReleaseLeaves)
{
    auto held_then = [&](bool released) {
        restart();
        press(25, 67);
        for (int frame = 1; frame < 20; ++frame)
            live_->frame(100);
        if (released)
            ask("POST", "/release");
        live_->frame(100);   // the 20th: two seconds from the press
        live_->frame(100);
        // The version, picture, frames, pressed and the trace; not the simulated clock, nor the
        // devices' numbers, which run on from one panel to the next.
        std::string now = state();
        std::size_t clock = now.find(",\"clock_ms\":");
        std::size_t sounds = now.find(",\"sounds\":");
        return now.substr(0, clock) + now.substr(now.find(',', clock + 1), sounds - now.find(',', clock + 1));
    };
    std::string released = held_then(true);
    std::string let_go = held_then(false);
    EXPECT_NE(released.find("\"pressed\":false"), std::string::npos) << released;
    EXPECT_EQ(let_go, released);
}

// ---- a panel whose picture cannot be made ------------------------------------------------------------

struct WindowCase {
    const char* name;
    long width;
    long height;
    const char* picture;     // a part of the 503's line
    bool points;             // whether a point of the panel reaches the gauge
};

// A window larger than any picture the bench draws, or a panel of logic gauges of no size: the
// picture is refused with the true reason (503, for the page asks again at the next change), and
// the panel goes on: its state is answered and its frames run.
TEST(LivePicture, APictureThatCannotBeMadeIsRefusedAndThePanelGoesOn)
{
    const WindowCase cases[] = {
        // name                                  width  height  picture                                                          points
        {"a window wider than the largest picture", 9000, 147, "larger than the largest picture the bench draws, 8192 x 8192",  true},
        {"a panel of no size",                   0,     0,      "a panel of no size has no picture",                              false},
    };
    for (const WindowCase& one : cases) {
        sim::set_trace_sink(platform_trace, nullptr);
        sim::cd_drive().reset();
        sim::media::reset();
        panelhost::HostOptions options;
        options.window_name = "Window00";
        options.window_gauges = {{"gauge00", "radio!tuneset", test_support::out_dir() + "/radio.so", "tuneset", 0, 0,
                                  476, 147}};
        options.window_width = one.width;
        options.window_height = one.height;
        panelhost::LiveTrace trace;
        panelhost::Host host(options);
        std::string error;
        ASSERT_TRUE(host.load(error)) << error;
        host.install_and_initialize();
        panelhost::LivePanel live(host, trace, panelhost::LiveAddress{"127.0.0.1", 8642});
        auto ask = [&](const std::string& method, const std::string& path, std::map<std::string, std::string> params) {
            return live.handle(LiveRequest{method, path, params, 0, "127.0.0.1:8642", std::nullopt});
        };
        LiveResponse picture = ask("GET", "/panel.png", {});
        EXPECT_EQ(picture.status, 503) << one.name;
        EXPECT_NE(picture.body.find(one.picture), std::string::npos) << one.name << ": " << picture.body;
        EXPECT_EQ(std::count(picture.body.begin(), picture.body.end(), '\n'), 1) << one.name;
        live.frame(55);
        EXPECT_EQ(ask("GET", "/state", {}).status, 200) << one.name << ": the panel went on";
        LiveResponse pointer = ask("GET", "/pointer", {{"x", "443"}, {"y", "23"}});
        EXPECT_EQ(pointer.status, one.points ? 200 : 400) << one.name << ": " << pointer.body;
        if (!one.points) {
            EXPECT_EQ(pointer.body,
                      "the panel has no size: its gauges run and are never drawn, and no point reaches them\n");
        }
        sim::set_trace_sink(nullptr, nullptr);
    }
}

}  // namespace
