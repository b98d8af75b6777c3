// The bench host: loads a gauge module, serves its panel-service calls and drives its lifecycle.
#pragma once

#include "host/panel_host.h"
#include "panelhost/bitmap.h"
#include "panelhost/mouse.h"
#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace panelhost {

// A picture the host loaded for an element; the record handed to the gauge comes first.
struct LoadedImage {
    HOST_IMAGE record{};
    int resource_id = 0;
    Bitmap bitmap;
};

struct MouseRegistration {
    MOUSERECT* table = nullptr;
    GAUGEHDR* gauge = nullptr;
    MouseTable layout;
};

struct HostOptions {
    std::string module_path;
    std::string gauge_name;
    bool trace_services = false;
    bool intercept = false;
};

class Host {
public:
    explicit Host(HostOptions options);
    ~Host();

    // Loads the module and finds the gauge; on failure the error says why and nothing stays loaded.
    bool load(std::string& error);
    void unload();
    void install_and_initialize();
    void kill();
    void update_pass();
    bool reload(std::string& error);

    void hold(PIXEL_POINT point, std::int64_t ticks);
    void click(PIXEL_POINT point) { hold(point, 1); }   // a click holds the button for one tick
    void tooltip(PIXEL_POINT point);
    void set_var(std::uint32_t id, double value);
    void print_elements();

    GAUGEHDR* gauge() const { return gauge_; }
    ELEMENT_HEADER* root() const;
    PIXEL_POINT background_size() const;
    const LoadedImage* image(const HOST_IMAGE* record) const;
    const std::vector<MouseRegistration>& registrations() const { return registrations_; }
    const HostOptions& options() const { return options_; }

    // The panel services, reached through the one live host.
    void element_list_install(ELEMENT_HEADER* root, void* resource_handle);
    void element_list_initialize(ELEMENT_HEADER* root);
    void element_list_update(ELEMENT_HEADER* root);
    void element_list_kill(ELEMENT_HEADER* root);
    void mouse_list_install(MOUSERECT* table, GAUGEHDR* gauge, PIXEL_POINT* size);
    void mouse_list_register(MOUSERECT* table, GAUGEHDR* gauge);
    void mouse_list_unregister(MOUSERECT* table, GAUGEHDR* gauge);
    std::int32_t trigger_key_event(std::uint32_t event_id, std::uint32_t value);
    void initialize_var(MODULE_VAR* var);
    void lookup_var(MODULE_VAR* var);
    void trace_service(const char* name);

private:
    void callback(std::int32_t service_id, std::uintptr_t extra = 0);
    void release_element(ELEMENT_HEADER* element);
    LoadedImage* load_bitmap(int resource_id, void* resource_handle);
    int icon_picture_id(const std::vector<int>& bitmap_ids, int first_id, std::uint32_t k) const;
    void drop_registrations();

    HostOptions options_;
    HMODULE module_ = nullptr;
    IMPORT_TABLE* import_table_ = nullptr;
    MODULE_LINKAGE_HEAD* linkage_ = nullptr;
    GAUGEHDR* gauge_ = nullptr;
    bool installed_ = false;
    bool host_mouse_table_ = false;
    std::map<std::uint32_t, double> vars_;
    std::map<const HOST_IMAGE*, std::unique_ptr<LoadedImage>> images_;
    std::map<ELEMENT_HEADER*, std::vector<HOST_IMAGE*>> icon_pictures_;
    std::map<ELEMENT_HEADER*, std::vector<char>> string_buffers_;
    std::map<const MOUSERECT*, PIXEL_POINT> mouse_sizes_;
    std::vector<MouseRegistration> registrations_;
};

// Every element under root in tree order: an element, then its next list, depth first. A tree
// that links back to an element already visited is walked once; the walk stops after
// MAX_ELEMENTS elements.
constexpr std::size_t MAX_ELEMENTS = 4096;
std::vector<ELEMENT_HEADER*> element_tree(ELEMENT_HEADER* root);

// The value of an element's last update, 0 for a kind that has none.
double element_value(const ELEMENT_HEADER* element);

PANEL_SERVICES* host_service_table();

}  // namespace panelhost
