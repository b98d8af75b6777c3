// One gauge of a loaded module as the host runs it: its lifecycle with the header's callback
// codes, its element lists and the pictures the host loaded for them, and its mouse tables.
#pragma once

#include "host/panel_host.h"
#include "panelhost/base/limits.h"
#include "panelhost/host/bitmap.h"
#include "panelhost/host/mouse.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace panelhost {

class Host;
class Module;

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

class Gauge {
public:
    Gauge(Host& host, Module& module, GAUGEHDR* header);
    ~Gauge();
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    GAUGEHDR* header() const { return header_; }
    Module& module() const { return module_; }
    bool installed() const { return installed_; }
    ELEMENT_HEADER* root() const;
    // The size of the background's picture once installed, else {0, 0}.
    PIXEL_POINT background_size() const;
    const LoadedImage* image(const HOST_IMAGE* record) const;
    const std::vector<MouseRegistration>& registrations() const { return registrations_; }

    // Query, install and initialize; a 700 header's mouse table is installed by the host.
    void install_and_initialize();
    void kill();
    // Update, generate and draw.
    void update_pass();
    // The button down at a point of the gauge for the ticks: a hot spot that repeats while held
    // is called once a tick, any other once.
    void hold(PIXEL_POINT point, std::int64_t ticks);
    // The same in three steps, for a button that a person holds: down on the hot spot under the
    // point (its first call; true when it repeats while held), each repeat, and up.
    bool press(PIXEL_POINT point);
    void repeat_press();
    void release();
    // The hot spot under a point, or null.
    const MouseHotSpot* hot_spot_at(PIXEL_POINT point) const;
    Tooltip tooltip(PIXEL_POINT point) const;
    // "element INDEX hidden=... value=... [text=...]", in tree order.
    void print_elements() const;
    // Before the module goes: nothing of the host may keep pointing into its records.
    void forget_module_records();

    // The panel services of the gauge's own calls.
    void element_list_install(ELEMENT_HEADER* root, void* resource_handle);
    void element_list_initialize(ELEMENT_HEADER* root);
    void element_list_update(ELEMENT_HEADER* root);
    void element_list_kill(ELEMENT_HEADER* root);
    void mouse_list_install(MOUSERECT* table, GAUGEHDR* gauge, PIXEL_POINT* size);
    void mouse_list_register(MOUSERECT* table, GAUGEHDR* gauge);
    void mouse_list_unregister(MOUSERECT* table, GAUGEHDR* gauge);

private:
    void callback(std::int32_t service_id, std::uintptr_t extra = 0);
    void release_element(ELEMENT_HEADER* element);
    LoadedImage* load_bitmap(int resource_id, void* resource_handle);
    int icon_picture_id(const std::vector<int>& bitmap_ids, int first_id, std::uint32_t k) const;

    // What a press holds down: the row's event and handler, taken at the press, since the row's
    // registration may change under a handler's feet.
    struct Held {
        bool down = false;
        bool repeats = false;
        std::uint32_t event_id = 0;
        MOUSE_HANDLER handler = nullptr;
        PIXEL_POINT relative{};
    };
    void call_held(std::uint32_t flags);

    Host& host_;
    Module& module_;
    Held held_;
    GAUGEHDR* header_;
    bool installed_ = false;
    bool host_mouse_table_ = false;
    std::map<const HOST_IMAGE*, std::unique_ptr<LoadedImage>> images_;
    std::map<ELEMENT_HEADER*, std::vector<HOST_IMAGE*>> icon_pictures_;
    std::map<ELEMENT_HEADER*, std::vector<char>> string_buffers_;
    std::map<const MOUSERECT*, PIXEL_POINT> mouse_sizes_;
    std::vector<MouseRegistration> registrations_;
};

// Every element under root in tree order: an element, then its next list, depth first. A tree
// that links back to an element already visited is walked once; the walk stops after
// MAX_ELEMENTS elements.
std::vector<ELEMENT_HEADER*> element_tree(ELEMENT_HEADER* root);

// The value of an element's last update, 0 for a kind that has none.
double element_value(const ELEMENT_HEADER* element);

}  // namespace panelhost
