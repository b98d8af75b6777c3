// The live panel's requests, answered in-process as the panel's thread answers them: what each
// serves, what it refuses (and that a refusal changes nothing), the held button's repeats by the
// frame, and the sounds and songs it serves from the devices' own state.
#include "panelhost/clock.h"
#include "panelhost/host.h"
#include "panelhost/live_panel.h"
#include "panelhost/trace.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media.h"
#include "platform/sim/simulation.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/png_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

using panelhost::LiveRequest;
using panelhost::LiveResponse;

void platform_trace(const char* line, void*)
{
    panelhost::trace_line(line);
}

std::string read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One second of 8-bit mono silence at 8000 samples a second.
std::string wave_song()
{
    const unsigned char header[44] = {'R', 'I', 'F', 'F', 0x64, 0x1F, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                      16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,
                                      1, 0, 8, 0, 'd', 'a', 't', 'a', 0x40, 0x1F, 0, 0};
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + std::string(8000, '\x80');
}

// The radio alone, installed in a folder whose Sound folder holds song 4, as the live panel
// serves it.
class LivePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = test_support::make_temp_dir();
        std::filesystem::create_directories(folder_ + "/Sound");
        std::ofstream(folder_ + "/Sound/song4.wav", std::ios::binary) << wave_song();
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
        live_ = std::make_unique<panelhost::LivePanel>(*host_, *trace_);
    }

    void TearDown() override
    {
        live_.reset();
        host_.reset();
        trace_.reset();
        sim::set_trace_sink(nullptr, nullptr);
        std::filesystem::current_path(previous_);
    }

    LiveResponse ask(const std::string& method, const std::string& path,
                     const std::map<std::string, std::string>& params = {}, std::size_t body = 0)
    {
        return live_->handle(LiveRequest{method, path, params, body});
    }

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
    const Refusal refusals[] = {
        {"a page it does not serve", "GET", "/etc/passwd", {}, 0, 404, "no such page: /etc/passwd"},
        {"a name above the page", "GET", "/../live.js", {}, 0, 404, "no such page: /../live.js"},
        {"a page of its, another method", "DELETE", "/state", {}, 0, 405, "/state takes GET, not DELETE"},
        {"a press asked by GET", "GET", "/press", {{"x", "1"}, {"y", "1"}}, 0, 405, "/press takes POST, not GET"},
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
         "no such sound: 99.wav (a sound buffer of the gauges, by its number)"},
        {"a song by its name", "GET", "/song/..\\Sound\\song4.wav", {}, 0, 404,
         "no such song: ..\\Sound\\song4.wav (a song the media graph plays, by its graph's number)"},
        {"a graph that does not exist", "GET", "/song/99", {}, 0, 404,
         "no such song: 99 (a song the media graph plays, by its graph's number)"},
        {"a trace count in words", "GET", "/state", {{"trace", "all"}}, 0, 400,
         "trace must be a whole number, the count of the lines seen already"},
    };
    for (const Refusal& refusal : refusals) {
        std::string before = state();
        std::uint64_t version = live_->version();
        LiveResponse answer = ask(refusal.method, refusal.path, refusal.params, refusal.body);
        EXPECT_EQ(answer.status, refusal.status) << refusal.name;
        EXPECT_EQ(answer.body, std::string(refusal.reason) + "\n") << refusal.name;
        EXPECT_EQ(answer.type, "text/plain; charset=utf-8") << refusal.name;
        EXPECT_EQ(live_->version(), version) << refusal.name << ": a refusal changed what the page shows";
        EXPECT_EQ(state(), before) << refusal.name;
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

    LiveResponse file = ask("GET", "/song/" + id);
    EXPECT_EQ(file.status, 200);
    EXPECT_EQ(file.type, "audio/wav");
    EXPECT_EQ(file.body, read_bytes(folder_ + "/Sound/song4.wav")) << "the very file the graph renders";

    LiveResponse click_sound = ask("GET", "/sound/" + buffer + ".wav");
    EXPECT_EQ(click_sound.status, 200);
    // The buffer holds the click's samples: the module's resource, read by the gauge into it.
    std::string resource = read_bytes(RADIO_RESOURCE_DIR "/click.wav");
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

}  // namespace
