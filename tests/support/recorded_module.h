// A gauge module under the tests' recording host: loaded fresh for each test, its import table
// given the recording host's service table and its first gauge taken, as the simulator would
// before it calls the gauge; unloaded after the test. The recording host starts each test empty.
#pragma once

#include "host/panel_host.h"
#include "platform/platform.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <string>

namespace test_support {

class RecordedModuleTest : public ::testing::Test {
protected:
    // Every test starts with a recording host that has recorded nothing.
    RecordedModuleTest() { recorder = RecordingHost{}; }

    // Loads the module of the build's output folder: a fatal failure when it does not load or
    // lacks its exports or its first gauge. The fixture's SetUp calls it once the recording host
    // and the devices are as the test wants them at the load.
    void load_module(const std::string& file)
    {
        std::string path = out_dir() + "/" + file;
        module = LoadLibraryA(path.c_str());
        ASSERT_NE(module, nullptr) << "cannot load " << path;
        import_table = reinterpret_cast<IMPORT_TABLE*>(GetProcAddress(module, "ImportTable"));
        linkage = reinterpret_cast<MODULE_LINKAGE<2>*>(GetProcAddress(module, "Linkage"));
        ASSERT_NE(import_table, nullptr);
        ASSERT_NE(linkage, nullptr);
        import_table->panels.pointer = recording_services();
        gauge = linkage->gauge_list[0];
        ASSERT_NE(gauge, nullptr);
    }

    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    RecordingHost& recorder = recording_host();
    HMODULE module = nullptr;
    IMPORT_TABLE* import_table = nullptr;
    MODULE_LINKAGE<2>* linkage = nullptr;
    GAUGEHDR* gauge = nullptr;
};

}  // namespace test_support
