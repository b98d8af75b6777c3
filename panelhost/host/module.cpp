// Loading a gauge module: its import table given the services, its linkage checked and run.
#include "panelhost/host/module.h"

#include "panelhost/base/files.h"
#include "panelhost/host/bitmap.h"
#include "panelhost/system/intercept.h"
#include "panelhost/host/services.h"

#include <cstdio>

namespace panelhost {
namespace {

constexpr std::size_t MAX_IMPORT_ENTRIES = 64;
constexpr std::size_t MAX_GAUGES = 256;

}  // namespace

std::unique_ptr<Module> Module::load(const std::string& path, bool intercept, std::string& error)
{
    // The loader opens the file and reads it: a FIFO would hold it until something wrote to it.
    if (std::string kind = base::not_a_regular_file(path); !kind.empty()) {
        error = "cannot load module " + path + ": it is " + kind + ", not a regular file";
        return nullptr;
    }
    std::unique_ptr<Module> module(new Module());
    module->path_ = path;
    module->handle_ = LoadLibraryA(path.c_str());
    if (!module->handle_) {
        error = "cannot load module " + path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    if (intercept)
        install_intercepts(module->handle_);
    auto* import_table = reinterpret_cast<IMPORT_TABLE*>(GetProcAddress(module->handle_, "ImportTable"));
    module->linkage_ = reinterpret_cast<MODULE_LINKAGE_HEAD*>(GetProcAddress(module->handle_, "Linkage"));
    auto fail = [&](const std::string& why) {
        error = "module " + path + " " + why;
        return nullptr;
    };
    if (!import_table)
        return fail("exports no ImportTable");
    if (!module->linkage_)
        return fail("exports no Linkage");
    IMPORT_ENTRY* entries = &import_table->panels;
    bool stored = false;
    for (std::size_t i = 0; i < MAX_IMPORT_ENTRIES && (entries[i].id != 0 || entries[i].pointer); ++i)
        if (entries[i].id == IMPORT_ID_PANELS) {
            entries[i].pointer = host_service_table();
            stored = true;
        }
    if (!stored)
        return fail("has no import entry 0x0f for the panel services");
    if (module->linkage_->module_id != MODULE_ID_GAUGES) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%x", module->linkage_->module_id);
        return fail(std::string("has module id ") + id + ", not 0x13");
    }
    if (module->linkage_->module_init)
        module->linkage_->module_init();
    module->initialised_ = true;
    return module;
}

Module::~Module()
{
    if (initialised_ && linkage_->module_deinit)
        linkage_->module_deinit();
    if (handle_)
        FreeLibrary(handle_);
}

std::vector<GAUGEHDR*> Module::gauges() const
{
    std::vector<GAUGEHDR*> found;
    GAUGEHDR* const* list = linkage_gauge_list(linkage_);
    for (std::size_t i = 0; i < MAX_GAUGES && list[i]; ++i)
        found.push_back(list[i]);
    return found;
}

GAUGEHDR* Module::find_gauge(const std::string& name) const
{
    for (GAUGEHDR* gauge : gauges())
        if (gauge->gauge_name && name == gauge->gauge_name)
            return gauge;
    return nullptr;
}

PIXEL_POINT Module::background_size(const GAUGEHDR* gauge) const
{
    ELEMENT_HEADER* root = gauge && gauge->elements_list ? gauge->elements_list[0] : nullptr;
    if (!root || root->element_type != ELEMENT_TYPE_STATIC_IMAGE || root->resource_id < 0 || root->resource_id > 0xFFFF)
        return {0, 0};
    HRSRC resource = FindResourceA(handle_, MAKEINTRESOURCEA(root->resource_id), RT_BITMAP);
    HGLOBAL data = resource ? LoadResource(handle_, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    Bitmap bitmap;
    std::string error;
    if (!bytes || !read_dib(static_cast<const std::uint8_t*>(bytes), SizeofResource(handle_, resource), bitmap, error))
        return {0, 0};
    return {bitmap.width, bitmap.height};
}

std::string header_fault(const GAUGEHDR* gauge)
{
    if (gauge->gauge_header_version == GAUGE_HEADER_VERSION_610 || gauge->gauge_header_version == GAUGE_HEADER_VERSION_700)
        return "";
    return "has header version " + std::to_string(gauge->gauge_header_version) + ", not 610 or 700";
}

}  // namespace panelhost
