// The bench host: module loading, the panel services and the gauge lifecycle.
#include "panelhost/host.h"

#include "panelhost/clock.h"
#include "panelhost/intercept.h"
#include "panelhost/trace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

namespace panelhost {
namespace {

Host* live_host = nullptr;

constexpr std::size_t MAX_IMPORT_ENTRIES = 64;
constexpr std::size_t MAX_GAUGES = 256;
constexpr std::uint32_t MAX_ICON_PICTURES = 1024;
constexpr std::uint32_t MAX_STRING_CHARS = 65536;

// ---- the service table: each slot forwards to the live host --------------------------------------

void HOST_CALL service_element_list_query(ELEMENT_HEADER*)
{
    live_host->trace_service("element_list_query");
}

void HOST_CALL service_element_list_install(ELEMENT_HEADER* root, void* resource_handle)
{
    live_host->trace_service("element_list_install");
    live_host->element_list_install(root, resource_handle);
}

void HOST_CALL service_element_list_initialize(ELEMENT_HEADER* root)
{
    live_host->trace_service("element_list_initialize");
    live_host->element_list_initialize(root);
}

void HOST_CALL service_element_list_update(ELEMENT_HEADER* root)
{
    live_host->trace_service("element_list_update");
    live_host->element_list_update(root);
}

void HOST_CALL service_element_list_generate(ELEMENT_HEADER*, std::uint32_t)
{
    live_host->trace_service("element_list_generate");
}

void HOST_CALL service_element_list_plot(ELEMENT_HEADER*)
{
    live_host->trace_service("element_list_plot");
}

void HOST_CALL service_element_list_kill(ELEMENT_HEADER* root)
{
    live_host->trace_service("element_list_kill");
    live_host->element_list_kill(root);
}

void HOST_CALL service_mouse_list_install(MOUSERECT* table, GAUGEHDR* gauge, PIXEL_POINT* size)
{
    live_host->trace_service("mouse_list_install");
    live_host->mouse_list_install(table, gauge, size);
}

void HOST_CALL service_mouse_list_register(MOUSERECT* table, GAUGEHDR* gauge)
{
    live_host->trace_service("mouse_list_register");
    live_host->mouse_list_register(table, gauge);
}

void HOST_CALL service_mouse_list_unregister(MOUSERECT* table, GAUGEHDR* gauge)
{
    live_host->trace_service("mouse_list_unregister");
    live_host->mouse_list_unregister(table, gauge);
}

std::int32_t HOST_CALL service_trigger_key_event(std::uint32_t event_id, std::uint32_t value)
{
    return live_host->trigger_key_event(event_id, value);
}

void HOST_CALL service_initialize_var(MODULE_VAR* var)
{
    live_host->trace_service("initialize_var");
    live_host->initialize_var(var);
}

void HOST_CALL service_lookup_var(MODULE_VAR* var)
{
    live_host->trace_service("lookup_var");
    live_host->lookup_var(var);
}

PANEL_SERVICES make_service_table()
{
    PANEL_SERVICES table{};
    table.element_list_query = service_element_list_query;
    table.element_list_install = service_element_list_install;
    table.element_list_initialize = service_element_list_initialize;
    table.element_list_update = service_element_list_update;
    table.element_list_generate = service_element_list_generate;
    table.element_list_plot = service_element_list_plot;
    table.element_list_kill = service_element_list_kill;
    table.mouse_list_install = service_mouse_list_install;
    table.mouse_list_register = service_mouse_list_register;
    table.mouse_list_unregister = service_mouse_list_unregister;
    table.trigger_key_event = service_trigger_key_event;
    table.initialize_var = service_initialize_var;
    table.lookup_var = service_lookup_var;
    return table;
}

BOOL CALLBACK collect_bitmap_id(HMODULE, LPCSTR, LPSTR name, LONG_PTR parameter)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(parameter)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// The integer ids of the module's bitmaps, in increasing order.
std::vector<int> module_bitmap_ids(void* resource_handle)
{
    std::vector<int> ids;
    EnumResourceNamesA(static_cast<HMODULE>(resource_handle), RT_BITMAP, collect_bitmap_id,
                       reinterpret_cast<LONG_PTR>(&ids));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

MODULE_VAR* element_source_var(ELEMENT_HEADER* element)
{
    switch (element->element_type) {
    case ELEMENT_TYPE_ICON:
        return &reinterpret_cast<ELEMENT_ICON*>(element)->source_var;
    case ELEMENT_TYPE_NEEDLE:
        return &reinterpret_cast<ELEMENT_NEEDLE*>(element)->source_var;
    case ELEMENT_TYPE_STRING:
        return &reinterpret_cast<ELEMENT_STRING*>(element)->source_var[0];
    default:
        return nullptr;
    }
}

// The picture an icon shows for a value: picture k for the value k, none (-1) for a value without
// a picture. An icon of a single picture is a light that its hidden bit switches: it shows that
// picture whatever its value.
std::int32_t icon_picture_for(const ELEMENT_ICON& icon, double value)
{
    if (icon.picture_count <= 1)
        return 0;
    return std::isfinite(value) && value >= 0 && value < double(INT32_MAX) ? static_cast<std::int32_t>(value) : -1;
}

}  // namespace

PANEL_SERVICES* host_service_table()
{
    static PANEL_SERVICES table = make_service_table();
    return &table;
}

std::vector<ELEMENT_HEADER*> element_tree(ELEMENT_HEADER* root)
{
    std::vector<ELEMENT_HEADER*> order;
    std::set<ELEMENT_HEADER*> seen;
    // An explicit stack of (element) keeps a deep chain from exhausting the host's own stack.
    std::vector<ELEMENT_HEADER*> pending;
    if (root)
        pending.push_back(root);
    while (!pending.empty() && order.size() < MAX_ELEMENTS) {
        ELEMENT_HEADER* element = pending.back();
        pending.pop_back();
        if (!seen.insert(element).second)
            continue;
        order.push_back(element);
        if (!element->next_element)
            continue;
        std::vector<ELEMENT_HEADER*> next;
        for (std::size_t i = 0; i < MAX_ELEMENTS && element->next_element[i]; ++i)
            next.push_back(element->next_element[i]);
        for (auto child = next.rbegin(); child != next.rend(); ++child)
            pending.push_back(*child);
    }
    return order;
}

double element_value(const ELEMENT_HEADER* element)
{
    switch (element->element_type) {
    case ELEMENT_TYPE_ICON:
        return reinterpret_cast<const ELEMENT_ICON*>(element)->value;
    case ELEMENT_TYPE_NEEDLE:
        return reinterpret_cast<const ELEMENT_NEEDLE*>(element)->value;
    case ELEMENT_TYPE_STRING:
        return reinterpret_cast<const ELEMENT_STRING*>(element)->value;
    default:
        return 0.0;
    }
}

Host::Host(HostOptions options) : options_(std::move(options))
{
    live_host = this;
}

Host::~Host()
{
    unload();
    if (live_host == this)
        live_host = nullptr;
}

// ---- module ------------------------------------------------------------------------------------------

bool Host::load(std::string& error)
{
    module_ = LoadLibraryA(options_.module_path.c_str());
    if (!module_) {
        error = "cannot load module " + options_.module_path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (options_.intercept)
        install_intercepts(module_);
    import_table_ = reinterpret_cast<IMPORT_TABLE*>(GetProcAddress(module_, "ImportTable"));
    linkage_ = reinterpret_cast<MODULE_LINKAGE_HEAD*>(GetProcAddress(module_, "Linkage"));
    auto fail = [&](const std::string& why) {
        error = "module " + options_.module_path + " " + why;
        FreeLibrary(module_);
        module_ = nullptr;
        return false;
    };
    if (!import_table_)
        return fail("exports no ImportTable");
    if (!linkage_)
        return fail("exports no Linkage");
    IMPORT_ENTRY* entries = &import_table_->panels;
    bool stored = false;
    for (std::size_t i = 0; i < MAX_IMPORT_ENTRIES && (entries[i].id != 0 || entries[i].pointer); ++i)
        if (entries[i].id == IMPORT_ID_PANELS) {
            entries[i].pointer = host_service_table();
            stored = true;
        }
    if (!stored)
        return fail("has no import entry 0x0f for the panel services");
    if (linkage_->module_id != MODULE_ID_GAUGES) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%x", linkage_->module_id);
        return fail(std::string("has module id ") + id + ", not 0x13");
    }
    if (linkage_->module_init)
        linkage_->module_init();
    GAUGEHDR* const* gauges = linkage_gauge_list(linkage_);
    gauge_ = nullptr;
    for (std::size_t i = 0; i < MAX_GAUGES && gauges[i]; ++i)
        if (gauges[i]->gauge_name && options_.gauge_name == gauges[i]->gauge_name) {
            gauge_ = gauges[i];
            break;
        }
    auto fail_initialised = [&](const std::string& why) {
        if (linkage_->module_deinit)
            linkage_->module_deinit();
        gauge_ = nullptr;
        return fail(why);
    };
    if (!gauge_)
        return fail_initialised("has no gauge named \"" + options_.gauge_name + "\"");
    if (gauge_->gauge_header_version != GAUGE_HEADER_VERSION_610 &&
        gauge_->gauge_header_version != GAUGE_HEADER_VERSION_700)
        return fail_initialised("gauge \"" + options_.gauge_name + "\" has header version " +
                                std::to_string(gauge_->gauge_header_version) + ", not 610 or 700");
    return true;
}

void Host::unload()
{
    if (!module_)
        return;
    if (installed_)
        kill();
    if (linkage_ && linkage_->module_deinit)
        linkage_->module_deinit();
    // The module's records go away with it: nothing of the host may keep pointing into them.
    drop_registrations();
    mouse_sizes_.clear();
    images_.clear();
    icon_pictures_.clear();
    string_buffers_.clear();
    FreeLibrary(module_);
    module_ = nullptr;
    import_table_ = nullptr;
    linkage_ = nullptr;
    gauge_ = nullptr;
}

bool Host::reload(std::string& error)
{
    unload();
    if (!load(error))
        return false;
    install_and_initialize();
    return true;
}

ELEMENT_HEADER* Host::root() const
{
    return gauge_ && gauge_->elements_list ? gauge_->elements_list[0] : nullptr;
}

PIXEL_POINT Host::background_size() const
{
    ELEMENT_HEADER* background = root();
    if (background && background->element_type == ELEMENT_TYPE_STATIC_IMAGE) {
        HOST_IMAGE* image = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(background)->image;
        if (image)
            return {image->width, image->height};
    }
    return {0, 0};
}

const LoadedImage* Host::image(const HOST_IMAGE* record) const
{
    auto found = images_.find(record);
    return found == images_.end() ? nullptr : found->second.get();
}

// ---- lifecycle -----------------------------------------------------------------------------------------

void Host::callback(std::int32_t service_id, std::uintptr_t extra)
{
    if (gauge_->gauge_header_version >= GAUGE_HEADER_VERSION_700 && gauge_->gauge_callback)
        gauge_->gauge_callback(gauge_, service_id, extra);
}

void Host::install_and_initialize()
{
    callback(PANEL_SERVICE_PRE_QUERY);
    if (gauge_->query_routine)
        gauge_->query_routine();
    callback(PANEL_SERVICE_POST_QUERY);

    callback(PANEL_SERVICE_PRE_INSTALL, reinterpret_cast<std::uintptr_t>(module_));
    if (gauge_->install_routine)
        gauge_->install_routine(module_);
    if (gauge_->gauge_header_version >= GAUGE_HEADER_VERSION_700 && gauge_->mouse_rect) {
        PIXEL_POINT size = background_size();
        mouse_list_install(gauge_->mouse_rect, gauge_, &size);
        mouse_list_register(gauge_->mouse_rect, gauge_);
        host_mouse_table_ = true;
    }
    callback(PANEL_SERVICE_POST_INSTALL);

    callback(PANEL_SERVICE_PRE_INITIALIZE);
    if (gauge_->initialize_routine)
        gauge_->initialize_routine();
    callback(PANEL_SERVICE_POST_INITIALIZE);
    installed_ = true;
}

void Host::kill()
{
    if (!installed_)
        return;
    callback(PANEL_SERVICE_PRE_KILL);
    if (host_mouse_table_) {
        mouse_list_unregister(gauge_->mouse_rect, gauge_);
        host_mouse_table_ = false;
    }
    if (gauge_->kill_routine)
        gauge_->kill_routine();
    callback(PANEL_SERVICE_POST_KILL);
    installed_ = false;
}

void Host::update_pass()
{
    callback(PANEL_SERVICE_PRE_UPDATE);
    if (gauge_->update_routine)
        gauge_->update_routine();
    callback(PANEL_SERVICE_POST_UPDATE);
    callback(PANEL_SERVICE_PRE_GENERATE);
    if (gauge_->generate_routine)
        gauge_->generate_routine(0);
    callback(PANEL_SERVICE_POST_GENERATE);
    callback(PANEL_SERVICE_PRE_DRAW);
    if (gauge_->draw_routine)
        gauge_->draw_routine();
    callback(PANEL_SERVICE_POST_DRAW);
}

void Host::trace_service(const char* name)
{
    if (options_.trace_services)
        tracef("service %s", name);
}

// ---- element lists -------------------------------------------------------------------------------------

LoadedImage* Host::load_bitmap(int resource_id, void* resource_handle)
{
    HMODULE module = static_cast<HMODULE>(resource_handle);
    if (resource_id < 0 || resource_id > 0xFFFF) {
        tracef("warning bitmap %d is not a resource id", resource_id);
        return nullptr;
    }
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resource_id), RT_BITMAP);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) {
        tracef("warning bitmap %d not found", resource_id);
        return nullptr;
    }
    auto image = std::make_unique<LoadedImage>();
    std::string error;
    if (!read_dib(static_cast<const std::uint8_t*>(bytes), SizeofResource(module, resource), image->bitmap, error)) {
        tracef("warning bitmap %d unreadable: %s", resource_id, error.c_str());
        return nullptr;
    }
    image->resource_id = resource_id;
    image->record.width = image->bitmap.width;
    image->record.height = image->bitmap.height;
    LoadedImage* result = image.get();
    images_[&result->record] = std::move(image);
    return result;
}

// Picture k of an icon is the bitmap with the icon's first id plus k. A module that numbers an
// icon's pictures with gaps (first 102, second 105) is served too: where first + k is not among
// its bitmaps, picture k is the k-th bitmap at or after the first id, in id order.
int Host::icon_picture_id(const std::vector<int>& bitmap_ids, int first_id, std::uint32_t k) const
{
    int wanted = first_id + static_cast<int>(k);
    if (std::binary_search(bitmap_ids.begin(), bitmap_ids.end(), wanted))
        return wanted;
    auto first = std::lower_bound(bitmap_ids.begin(), bitmap_ids.end(), first_id);
    if (first == bitmap_ids.end() || *first != first_id || std::size_t(bitmap_ids.end() - first) <= k)
        return wanted;
    return *(first + static_cast<std::ptrdiff_t>(k));
}

void Host::release_element(ELEMENT_HEADER* element)
{
    auto drop = [&](HOST_IMAGE*& record) {
        if (record)
            images_.erase(record);
        record = nullptr;
    };
    switch (element->element_type) {
    case ELEMENT_TYPE_STATIC_IMAGE:
        drop(reinterpret_cast<ELEMENT_STATIC_IMAGE*>(element)->image);
        break;
    case ELEMENT_TYPE_NEEDLE:
        drop(reinterpret_cast<ELEMENT_NEEDLE*>(element)->image);
        break;
    case ELEMENT_TYPE_ICON: {
        auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
        auto pictures = icon_pictures_.find(element);
        if (pictures != icon_pictures_.end()) {
            for (HOST_IMAGE*& picture : pictures->second)
                drop(picture);
            icon_pictures_.erase(pictures);
        }
        icon->pictures = nullptr;
        break;
    }
    case ELEMENT_TYPE_STRING:
        string_buffers_.erase(element);
        reinterpret_cast<ELEMENT_STRING*>(element)->string = nullptr;
        break;
    default:
        break;
    }
}

void Host::element_list_install(ELEMENT_HEADER* root, void* resource_handle)
{
    std::vector<int> bitmap_ids = module_bitmap_ids(resource_handle);
    for (ELEMENT_HEADER* element : element_tree(root)) {
        release_element(element);
        auto picture = [&](int id) {
            LoadedImage* image = load_bitmap(id, resource_handle);
            return image ? &image->record : nullptr;
        };
        switch (element->element_type) {
        case ELEMENT_TYPE_STATIC_IMAGE:
            reinterpret_cast<ELEMENT_STATIC_IMAGE*>(element)->image = picture(element->resource_id);
            break;
        case ELEMENT_TYPE_NEEDLE:
            reinterpret_cast<ELEMENT_NEEDLE*>(element)->image = picture(element->resource_id);
            break;
        case ELEMENT_TYPE_ICON: {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
            std::uint32_t count = std::clamp<std::uint32_t>(icon->picture_count, 1, MAX_ICON_PICTURES);
            std::vector<HOST_IMAGE*>& pictures = icon_pictures_[element];
            pictures.assign(count, nullptr);
            for (std::uint32_t k = 0; k < count; ++k)
                pictures[k] = picture(icon_picture_id(bitmap_ids, element->resource_id, k));
            icon->pictures = pictures.data();
            icon->picture_shown = 0;
            break;
        }
        case ELEMENT_TYPE_STRING: {
            auto* string = reinterpret_cast<ELEMENT_STRING*>(element);
            std::uint32_t chars = std::min(string->max_chars, MAX_STRING_CHARS);
            std::vector<char>& buffer = string_buffers_[element];
            buffer.assign(chars + 1, '\0');
            string->string = buffer.data();
            break;
        }
        default:
            tracef("warning element of unknown kind %u", element->element_type);
            break;
        }
    }
}

void Host::element_list_initialize(ELEMENT_HEADER* root)
{
    for (ELEMENT_HEADER* element : element_tree(root)) {
        if (element->element_type == ELEMENT_TYPE_STRING) {
            for (MODULE_VAR& var : reinterpret_cast<ELEMENT_STRING*>(element)->source_var)
                if (var.id)
                    initialize_var(&var);
        } else if (MODULE_VAR* var = element_source_var(element); var && var->id) {
            initialize_var(var);
        }
    }
}

void Host::element_list_update(ELEMENT_HEADER* root)
{
    // Every element is refreshed, hidden ones too: a callback may decide what is shown next.
    for (ELEMENT_HEADER* element : element_tree(root)) {
        ELEMENT_CALLBACK update = nullptr;
        double* value = nullptr;
        switch (element->element_type) {
        case ELEMENT_TYPE_ICON:
            update = reinterpret_cast<ELEMENT_ICON*>(element)->update_callback;
            value = &reinterpret_cast<ELEMENT_ICON*>(element)->value;
            break;
        case ELEMENT_TYPE_NEEDLE:
            update = reinterpret_cast<ELEMENT_NEEDLE*>(element)->update_callback;
            value = &reinterpret_cast<ELEMENT_NEEDLE*>(element)->value;
            break;
        case ELEMENT_TYPE_STRING:
            update = reinterpret_cast<ELEMENT_STRING*>(element)->update_callback;
            value = &reinterpret_cast<ELEMENT_STRING*>(element)->value;
            break;
        default:
            continue;
        }
        if (update) {
            *value = update(element);
        } else if (MODULE_VAR* var = element_source_var(element); var && var->id) {
            lookup_var(var);
            *value = var->value;
        }
        if (element->element_type == ELEMENT_TYPE_ICON) {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
            icon->picture_shown = icon_picture_for(*icon, *value);
        }
    }
}

void Host::element_list_kill(ELEMENT_HEADER* root)
{
    for (ELEMENT_HEADER* element : element_tree(root))
        release_element(element);
}

// ---- mouse lists -----------------------------------------------------------------------------------------

void Host::mouse_list_install(MOUSERECT* table, GAUGEHDR*, PIXEL_POINT* size)
{
    mouse_sizes_[table] = size ? *size : background_size();
    for (MouseRegistration& registration : registrations_)
        if (registration.table == table)
            registration.layout = read_mouse_table(table, mouse_sizes_[table]);
}

void Host::mouse_list_register(MOUSERECT* table, GAUGEHDR* gauge)
{
    if (!table)
        return;
    for (const MouseRegistration& registration : registrations_)
        if (registration.table == table)
            return;
    auto size = mouse_sizes_.find(table);
    MouseRegistration registration{table, gauge,
                                   read_mouse_table(table, size != mouse_sizes_.end() ? size->second : background_size())};
    for (const std::string& fault : registration.layout.faults)
        tracef("warning mouse table: %s", fault.c_str());
    registrations_.push_back(std::move(registration));
}

void Host::mouse_list_unregister(MOUSERECT* table, GAUGEHDR*)
{
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                        [&](const MouseRegistration& r) { return r.table == table; }),
                         registrations_.end());
}

void Host::drop_registrations()
{
    registrations_.clear();
    host_mouse_table_ = false;
}

// The button goes down on the hot spot under the point and stays down for the ticks: a handler
// that repeats while held is called once a tick, any other once.
void Host::hold(PIXEL_POINT point, std::int64_t ticks)
{
    for (const MouseRegistration& registration : registrations_) {
        MouseHit hit = hit_test(registration.layout, point);
        if (!hit.hot_spot)
            continue;
        // The row lives in the module; the registration may change under a handler's feet.
        const MOUSERECT* row = hit.hot_spot->row;
        PIXEL_POINT relative = hit.relative;
        if (!(row->mouse_flags & MOUSE_LEFTSINGLE))
            return;
        std::int64_t calls = (row->mouse_flags & MOUSE_DOWN_REPEAT) ? ticks : 1;
        std::uint32_t event_id = row->event_id;
        MOUSE_HANDLER handler = row->function.handler;
        for (std::int64_t call = 0; call < calls; ++call) {
            if (call > 0)
                pump_messages();
            if (event_id)
                trigger_key_event(event_id, 0);
            if (handler) {
                PIXEL_POINT argument = relative;
                handler(&argument, call == 0 ? MOUSE_LEFTSINGLE : MOUSE_DOWN_REPEAT);
            }
        }
        return;
    }
}


void Host::tooltip(PIXEL_POINT point)
{
    Tooltip found;
    for (const MouseRegistration& registration : registrations_) {
        MouseHit hit = hit_test(registration.layout, point);
        if (hit.hot_spot) {
            found = tooltip_for(registration.layout, hit, registration.gauge);
            break;
        }
    }
    if (found.kind == Tooltip::None)
        for (const MouseRegistration& registration : registrations_) {
            found = tooltip_for(registration.layout, hit_test(registration.layout, point), registration.gauge);
            if (found.kind != Tooltip::None)
                break;
        }
    switch (found.kind) {
    case Tooltip::Text:
        trace_line("tooltip " + quoted(found.text.c_str()));
        break;
    case Tooltip::Help:
        tracef("tooltip help 0x%x", found.help_id);
        break;
    case Tooltip::None:
        trace_line("tooltip none");
        break;
    }
}

// ---- key events and variables ------------------------------------------------------------------------

std::int32_t Host::trigger_key_event(std::uint32_t event_id, std::uint32_t value)
{
    tracef("key 0x%x %u", event_id, value);
    return 0;
}

void Host::initialize_var(MODULE_VAR* var)
{
    if (var)
        var->pointer = &vars_[var->id];
}

void Host::lookup_var(MODULE_VAR* var)
{
    if (!var)
        return;
    double& slot = vars_[var->id];
    var->pointer = &slot;
    var->previous_value = var->value;
    var->value = slot;
}

void Host::set_var(std::uint32_t id, double value)
{
    vars_[id] = value;
}

void Host::print_elements()
{
    std::size_t index = 0;
    for (ELEMENT_HEADER* element : element_tree(root())) {
        std::string line = "element " + std::to_string(index++) +
                           " hidden=" + ((element->image_flags & IMAGE_HIDDEN) ? "1" : "0") +
                           " value=" + float_text(element_value(element));
        if (element->element_type == ELEMENT_TYPE_STRING)
            line += " text=" + quoted(reinterpret_cast<ELEMENT_STRING*>(element)->string);
        trace_line(line);
    }
}

}  // namespace panelhost
