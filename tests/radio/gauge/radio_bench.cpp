// The radio's end-to-end test bench: song folders, panelhost runs and the trace's device lines.
#include "tests/radio/gauge/radio_bench.h"
#include "tests/support/song_variants.h"

#include <filesystem>
#include <sstream>

namespace radio_bench {

const char* const POWER = "click 443 23\n";
const char* const DOOR = "click 31 24\n";
const char* const MODE_CD = "click 442 59\n";
const char* const MODE_FM = "click 442 82\n";
const char* const MODE_AM = "click 442 105\n";
const char* const PRESET[7] = {"", "click 162 123\n", "click 197 123\n", "click 231 123\n",
                               "click 264 123\n", "click 298 123\n", "click 333 123\n"};
const char* const PREV_TRACK = "click 364 123\n";
const char* const NEXT_TRACK = "click 388 123\n";
const char* const PAUSE = "click 132 123\n";
const char* const VOLUME_DOWN_AT = "25 101";
const char* const VOLUME_UP_AT = "25 67";
const char* const POWER_AT = "443 23";
const char* const PAUSE_AT = "132 123";

namespace {

bool starts_with(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string song_folder(const Lines& files)
{
    std::string folder = test_support::make_temp_dir();
    std::filesystem::create_directories(folder + "/Sound");
    for (const std::string& name : files) {
        std::string path = folder + "/Sound/" + name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".wav") == 0)
            test_support::write_text_file(path, test_support::silent_wave());
        else
            test_support::write_text_file(path, "");
    }
    return folder;
}

test_support::RunResult run_radio(const std::string& folder, const Lines& options, const std::string& script)
{
    Lines args = {"--cwd", folder};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(test_support::out_dir() + "/radio.so");
    args.push_back("tuneset");
    return test_support::run_panelhost(args, script);
}

Lines device_lines(const Lines& trace)
{
    return test_support::lines_with_prefix(trace, {"mci", "mixer-set", "dshow", "dsound", "msgbox", "exit"});
}

Lines lines_between(const Lines& trace, const std::string& begin, const std::string& end)
{
    Lines inside;
    bool within = false;
    for (const std::string& line : trace) {
        if (line == "echo " + begin)
            within = true;
        else if (line == "echo " + end)
            within = false;
        else if (within)
            inside.push_back(line);
    }
    return inside;
}

Lines device_lines_between(const Lines& trace, const std::string& begin, const std::string& end)
{
    return device_lines(lines_between(trace, begin, end));
}

std::string last_line_with_prefix(const Lines& trace, const std::string& prefix)
{
    for (auto line = trace.rbegin(); line != trace.rend(); ++line)
        if (starts_with(*line, prefix))
            return *line;
    return "(none)";
}

std::map<int, ElementLine> last_elements(const Lines& trace)
{
    std::map<int, ElementLine> elements;
    for (const std::string& line : trace) {
        if (!starts_with(line, "element "))
            continue;
        std::istringstream words(line.substr(8));
        int index = -1;
        std::string hidden, value;
        words >> index >> hidden >> value;
        ElementLine& element = elements[index];
        element.hidden = hidden == "hidden=1" ? 1 : hidden == "hidden=0" ? 0 : -1;
        element.value = starts_with(value, "value=") ? value.substr(6) : value;
        std::size_t text = line.find(" text=");
        element.text = text == std::string::npos ? "" : line.substr(text + 6);
    }
    return elements;
}

std::string hidden_bits(const std::map<int, ElementLine>& elements)
{
    std::string bits;
    for (int index = 0; index < 8; ++index) {
        auto element = elements.find(index);
        bits += element == elements.end() ? '?' : char('0' + element->second.hidden);
    }
    return bits;
}

Lines click()
{
    return {"dsound play"};
}

Lines cd_stop()
{
    return {"mci-command 0x808 0x0 -> 0"};
}

Lines cd_reopen()
{
    return {"mci \"stop cdaudio\" -> 0", "mci \"close cdaudio\" -> 0", "mci \"open cdaudio\" -> 0",
            "mci \"set cdaudio time format tmsf\" -> 0"};
}

Lines cd_start(unsigned track, unsigned code)
{
    Lines lines = cd_reopen();
    lines.push_back("mci \"play cdaudio from " + std::to_string(track) + "\" -> " + std::to_string(code));
    return lines;
}

Lines cd_start_last(unsigned tracks)
{
    Lines lines = cd_reopen();
    lines.push_back("mci \"status cdaudio number of tracks\" -> 0");
    lines.push_back("mci \"play cdaudio from " + std::to_string(tracks) + "\" -> 0");
    return lines;
}

Lines cd_start_failing(unsigned track, unsigned code, unsigned fallback_code)
{
    Lines lines = cd_start(track, code);
    lines.push_back("mci \"play cdaudio from 1\" -> " + std::to_string(fallback_code));
    return lines;
}

Lines song_start(const std::string& file, int volume)
{
    return {"dshow stop", "dshow render \".\\Sound\\" + file + "\" -> 0x00000000", "dshow run",
            "dshow volume " + std::to_string(volume)};
}

Lines music_stop()
{
    return {"dshow stop"};
}

Lines song_missing(int song)
{
    return {"msgbox \"song" + std::to_string(song) + " not installed\" \"\" 0x0"};
}

Lines cd_missing()
{
    return {"msgbox \"Audio CD Not Installed\" \"MCI Error\" 0x0"};
}

}  // namespace radio_bench
