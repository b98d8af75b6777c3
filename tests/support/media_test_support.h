// What the media back-end tests share: a fixture with its own current directory, temporary
// folder, trace and module of resources, that checks at the end that nothing leaked.
#pragma once

#include "platform/native/resources.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace media_test {

using Bytes = std::vector<unsigned char>;

// A RIFF WAVE file of 8-bit mono PCM with data_bytes samples at the given rate, a small saw-tooth.
Bytes wave_file_bytes(std::uint32_t data_bytes, std::uint32_t samples_per_second);
// The click sound as the module embeds it.
Bytes click_resource_bytes();
Bytes read_file(const std::string& path);
void write_file(const std::string& path, const Bytes& bytes);
bool file_exists(const std::string& path);

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A module holding "CLICK_RCD" and the given RCDATA resources; the names and bytes must
    // outlive the test.
    HMODULE make_module(const std::vector<std::pair<std::string, Bytes>>& resources = {});
    // The trace lines that start with the prefix, in order.
    std::vector<std::string> trace(const std::string& prefix = "") const;
    void clear_trace() { lines_.clear(); }
    // A file below the test's current directory, named with backslashes as the gauge names it.
    void write_song(const std::string& windows_path, const Bytes& bytes);

    std::string cwd_;
    std::string temp_;
    HMODULE module_ = nullptr;

private:
    static void collect(const char* line, void* context);

    std::string previous_cwd_;
    std::vector<std::string> lines_;
    std::vector<std::string> names_;
    std::vector<Bytes> blobs_;
    std::vector<NATIVE_RESOURCE> table_;
};

}  // namespace media_test
