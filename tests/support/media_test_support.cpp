// The media tests' fixture and wave images.
#include "tests/support/media_test_support.h"
#include "platform/native/media_registry.h"
#include "platform/native/module_registry.h"
#include "platform/native/window_registry.h"
#include "platform/sim/media.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/song_variants.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" const NATIVE_RESOURCE native_resource_table[];

namespace media_test {

Bytes wave_file_bytes(std::uint32_t data_bytes, std::uint32_t samples_per_second)
{
    Bytes samples;
    for (std::uint32_t i = 0; i < data_bytes; ++i)
        samples.push_back(static_cast<unsigned char>(128 + (i % 16)));
    return test_support::wave_file(samples, samples_per_second);
}

Bytes click_resource_bytes()
{
    for (const NATIVE_RESOURCE* resource = native_resource_table; resource->type != 0; ++resource)
        if (resource->name && std::strcmp(resource->name, "CLICK_RCD") == 0)
            return Bytes(resource->data, resource->data + resource->size);
    return {};
}

Bytes read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const Bytes& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

void MediaTest::SetUp()
{
    sim::media::reset();
    sim::set_trace_sink(collect, this);
    cwd_ = test_support::make_temp_dir();
    temp_ = test_support::make_temp_dir();
    sim::media::set_temp_folder(temp_);
    previous_cwd_ = std::filesystem::current_path().string();
    std::filesystem::current_path(cwd_);
    module_ = make_module();
}

void MediaTest::TearDown()
{
    EXPECT_EQ(sim::live_com_objects(), 0u) << "COM objects left alive";
    EXPECT_EQ(sim::open_handle_count(), 0u) << "kernel handles left open";
    EXPECT_EQ(sim::mapped_view_count(), 0u) << "views left mapped";
    EXPECT_EQ(sim::window_count(), 0u) << "windows left";
    EXPECT_EQ(sim::unfreed_event_params(), 0u) << "event parameters never freed";
    sim::release_module(module_);
    std::filesystem::current_path(previous_cwd_);
    sim::set_trace_sink(nullptr, nullptr);
    sim::media::reset();
}

HMODULE MediaTest::make_module(const std::vector<std::pair<std::string, Bytes>>& resources)
{
    if (module_)
        sim::release_module(module_);
    module_ = nullptr;
    names_.clear();
    blobs_.clear();
    table_.clear();
    for (const auto& [name, bytes] : resources) {
        names_.push_back(name);
        blobs_.push_back(bytes);
    }
    for (const NATIVE_RESOURCE* resource = native_resource_table; resource->type != 0; ++resource)
        table_.push_back(*resource);
    for (std::size_t i = 0; i < names_.size(); ++i)
        table_.push_back(NATIVE_RESOURCE{10, 0, names_[i].c_str(), blobs_[i].data(),
                                         static_cast<std::uint32_t>(blobs_[i].size())});
    table_.push_back(NATIVE_RESOURCE{0, 0, nullptr, nullptr, 0});
    module_ = sim::module_from_resources(table_.data());
    return module_;
}

std::vector<std::string> MediaTest::trace(const std::string& prefix) const
{
    std::vector<std::string> result;
    for (const std::string& line : lines_)
        if (line.compare(0, prefix.size(), prefix) == 0)
            result.push_back(line);
    return result;
}

void MediaTest::write_song(const std::string& windows_path, const Bytes& bytes)
{
    std::string path = windows_path;
    std::replace(path.begin(), path.end(), '\\', '/');
    write_file(cwd_ + "/" + path, bytes);
}

void MediaTest::collect(const char* line, void* context)
{
    static_cast<MediaTest*>(context)->lines_.push_back(line);
}

}  // namespace media_test
