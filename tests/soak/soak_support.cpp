// The soak tests' bench: devices, folders, the counting trace sink and the census.
#include "tests/soak/soak_support.h"

#include "platform/native/media_registry.h"
#include "platform/native/window_registry.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media.h"
#include "platform/sim/mixer.h"
#include "tests/radio/gauge/radio_bench.h"

#include <cstdlib>
#include <filesystem>
#include <malloc.h>

namespace soak {

namespace {

void count_line(const char*, void* context)
{
    ++*static_cast<std::size_t*>(context);
}

std::int64_t file_count(const std::string& folder)
{
    std::error_code failure;
    std::int64_t files = 0;
    for (auto entry = std::filesystem::directory_iterator(folder, failure);
         !failure && entry != std::filesystem::directory_iterator(); entry.increment(failure))
        ++files;
    return files;
}

}  // namespace

std::uint64_t count_from_environment(const char* name, std::uint64_t fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 10);
    return *end == '\0' ? value : fallback;
}

void set_up(Bench& bench)
{
    bench.folder = radio_bench::song_folder(
        {"song1.wav", "song2.wav", "song3.wav", "song4.wav", "song5.wav", "song6.wav"});
    bench.temp_folder = bench.folder + "/temp";
    std::filesystem::create_directories(bench.temp_folder);
    std::filesystem::current_path(bench.folder);
    sim::set_trace_sink(count_line, &bench.trace_lines);
    sim::media::reset();
    sim::media::set_temp_folder(bench.temp_folder);
    sim::cd_drive().reset();
    sim::mixer().reset();
}

panelhost::HostOptions radio_options(const std::string& file_name)
{
    panelhost::HostOptions options;
    options.module_path = std::string(PANEL_OUT_DIR) + "/" + file_name;
    options.gauge_name = "tuneset";
    return options;
}

std::int64_t heap_in_use()
{
    return static_cast<std::int64_t>(mallinfo2().uordblks);
}

Census take_census(const Bench& bench)
{
    return {
        {"temporary files", file_count(bench.temp_folder)},
        {"windows", static_cast<std::int64_t>(sim::window_count())},
        {"window classes", static_cast<std::int64_t>(sim::window_class_count())},
        {"queued messages", static_cast<std::int64_t>(sim::queued_message_count())},
        {"COM objects", static_cast<std::int64_t>(sim::live_com_objects())},
        {"COM initialisation depth", sim::com_initialization_depth()},
        {"kernel handles", static_cast<std::int64_t>(sim::open_handle_count())},
        {"mapped views", static_cast<std::int64_t>(sim::mapped_view_count())},
        {"sound buffers", static_cast<std::int64_t>(sim::sound_buffer_count())},
        {"media graphs", static_cast<std::int64_t>(sim::media_graph_count())},
        {"unfreed event params", static_cast<std::int64_t>(sim::unfreed_event_params())},
        {"open mixer handles", static_cast<std::int64_t>(sim::mixer().open_handles())},
        {"open CD devices", static_cast<std::int64_t>(sim::cd_drive().open_devices())},
    };
}

bool is_device_count(const std::string& name)
{
    return name != "temporary files" && name != "window classes";
}

}  // namespace soak
