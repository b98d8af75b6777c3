// One gauge as the host runs it: the lifecycle, the element lists and the mouse tables.
#include "panelhost/host/gauge.h"

#include "panelhost/system/clock.h"
#include "panelhost/host/host.h"
#include "panelhost/host/module.h"
#include "panelhost/host/services.h"
#include "panelhost/base/trace.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace panelhost {
namespace {

constexpr std::uint32_t MAX_ICON_PICTURES = 1024;
constexpr std::uint32_t MAX_STRING_CHARS = 65536;

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

Gauge::Gauge(Host& host, Module& module, GAUGEHDR* header) : host_(host), module_(module), header_(header) {}

Gauge::~Gauge()
{
    forget_module_records();
}

ELEMENT_HEADER* Gauge::root() const
{
    return header_ && header_->elements_list ? header_->elements_list[0] : nullptr;
}

PIXEL_POINT Gauge::background_size() const
{
    ELEMENT_HEADER* background = root();
    if (background && background->element_type == ELEMENT_TYPE_STATIC_IMAGE) {
        HOST_IMAGE* image = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(background)->image;
        if (image)
            return {image->width, image->height};
    }
    return {0, 0};
}

const LoadedImage* Gauge::image(const HOST_IMAGE* record) const
{
    auto found = images_.find(record);
    return found == images_.end() ? nullptr : found->second.get();
}

void Gauge::forget_module_records()
{
    registrations_.clear();
    host_mouse_table_ = false;
    mouse_sizes_.clear();
    images_.clear();
    icon_pictures_.clear();
    string_buffers_.clear();
}

// ---- lifecycle -----------------------------------------------------------------------------------------

void Gauge::callback(std::int32_t service_id, std::uintptr_t extra)
{
    if (header_->gauge_header_version >= GAUGE_HEADER_VERSION_700 && header_->gauge_callback)
        header_->gauge_callback(header_, service_id, extra);
}

void Gauge::install_and_initialize()
{
    ActiveGauge active(this);
    callback(PANEL_SERVICE_PRE_QUERY);
    if (header_->query_routine)
        header_->query_routine();
    callback(PANEL_SERVICE_POST_QUERY);

    HMODULE resources = module_.handle();
    callback(PANEL_SERVICE_PRE_INSTALL, reinterpret_cast<std::uintptr_t>(resources));
    if (header_->install_routine)
        header_->install_routine(resources);
    if (header_->gauge_header_version >= GAUGE_HEADER_VERSION_700 && header_->mouse_rect) {
        PIXEL_POINT size = background_size();
        mouse_list_install(header_->mouse_rect, header_, &size);
        mouse_list_register(header_->mouse_rect, header_);
        host_mouse_table_ = true;
    }
    callback(PANEL_SERVICE_POST_INSTALL);

    callback(PANEL_SERVICE_PRE_INITIALIZE);
    if (header_->initialize_routine)
        header_->initialize_routine();
    callback(PANEL_SERVICE_POST_INITIALIZE);
    installed_ = true;
}

void Gauge::kill()
{
    release();
    if (!installed_)
        return;
    ActiveGauge active(this);
    callback(PANEL_SERVICE_PRE_KILL);
    if (host_mouse_table_) {
        mouse_list_unregister(header_->mouse_rect, header_);
        host_mouse_table_ = false;
    }
    if (header_->kill_routine)
        header_->kill_routine();
    callback(PANEL_SERVICE_POST_KILL);
    installed_ = false;
}

void Gauge::update_pass()
{
    ActiveGauge active(this);
    callback(PANEL_SERVICE_PRE_UPDATE);
    if (header_->update_routine)
        header_->update_routine();
    callback(PANEL_SERVICE_POST_UPDATE);
    callback(PANEL_SERVICE_PRE_GENERATE);
    if (header_->generate_routine)
        header_->generate_routine(0);
    callback(PANEL_SERVICE_POST_GENERATE);
    callback(PANEL_SERVICE_PRE_DRAW);
    if (header_->draw_routine)
        header_->draw_routine();
    callback(PANEL_SERVICE_POST_DRAW);
}

// ---- element lists -------------------------------------------------------------------------------------

LoadedImage* Gauge::load_bitmap(int resource_id, void* resource_handle)
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
int Gauge::icon_picture_id(const std::vector<int>& bitmap_ids, int first_id, std::uint32_t k) const
{
    int wanted = first_id + static_cast<int>(k);
    if (std::binary_search(bitmap_ids.begin(), bitmap_ids.end(), wanted))
        return wanted;
    auto first = std::lower_bound(bitmap_ids.begin(), bitmap_ids.end(), first_id);
    if (first == bitmap_ids.end() || *first != first_id || std::size_t(bitmap_ids.end() - first) <= k)
        return wanted;
    return *(first + static_cast<std::ptrdiff_t>(k));
}

void Gauge::release_element(ELEMENT_HEADER* element)
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

void Gauge::element_list_install(ELEMENT_HEADER* root, void* resource_handle)
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

void Gauge::element_list_initialize(ELEMENT_HEADER* root)
{
    for (ELEMENT_HEADER* element : element_tree(root)) {
        if (element->element_type == ELEMENT_TYPE_STRING) {
            for (MODULE_VAR& var : reinterpret_cast<ELEMENT_STRING*>(element)->source_var)
                if (var.id)
                    host_.initialize_var(&var);
        } else if (MODULE_VAR* var = element_source_var(element); var && var->id) {
            host_.initialize_var(var);
        }
    }
}

void Gauge::element_list_update(ELEMENT_HEADER* root)
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
            host_.lookup_var(var);
            *value = var->value;
        }
        if (element->element_type == ELEMENT_TYPE_ICON) {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
            icon->picture_shown = icon_picture_for(*icon, *value);
        }
    }
}

void Gauge::element_list_kill(ELEMENT_HEADER* root)
{
    for (ELEMENT_HEADER* element : element_tree(root))
        release_element(element);
}

void Gauge::print_elements() const
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

// ---- mouse lists -----------------------------------------------------------------------------------------

void Gauge::mouse_list_install(MOUSERECT* table, GAUGEHDR*, PIXEL_POINT* size)
{
    mouse_sizes_[table] = size ? *size : background_size();
    for (MouseRegistration& registration : registrations_)
        if (registration.table == table)
            registration.layout = read_mouse_table(table, mouse_sizes_[table]);
}

void Gauge::mouse_list_register(MOUSERECT* table, GAUGEHDR* gauge)
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

void Gauge::mouse_list_unregister(MOUSERECT* table, GAUGEHDR*)
{
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                        [&](const MouseRegistration& r) { return r.table == table; }),
                         registrations_.end());
}

void Gauge::hold(PIXEL_POINT point, std::int64_t ticks)
{
    if (press(point))
        for (std::int64_t tick = 1; tick < ticks; ++tick) {
            pump_messages();
            repeat_press();
        }
    release();
}

const MouseHotSpot* Gauge::hot_spot_at(PIXEL_POINT point) const
{
    for (const MouseRegistration& registration : registrations_)
        if (const MouseHotSpot* hot_spot = hit_test(registration.layout, point).hot_spot)
            return hot_spot;
    return nullptr;
}

bool Gauge::press(PIXEL_POINT point)
{
    held_ = Held{};
    for (const MouseRegistration& registration : registrations_) {
        MouseHit hit = hit_test(registration.layout, point);
        if (!hit.hot_spot)
            continue;
        const MOUSERECT* row = hit.hot_spot->row;
        if (!(row->mouse_flags & MOUSE_LEFTSINGLE))
            return false;
        held_ = {true, (row->mouse_flags & MOUSE_DOWN_REPEAT) != 0, row->event_id, row->function.handler, hit.relative};
        call_held(MOUSE_LEFTSINGLE);
        return held_.repeats;
    }
    return false;
}

void Gauge::repeat_press()
{
    if (held_.down && held_.repeats)
        call_held(MOUSE_DOWN_REPEAT);
}

void Gauge::release()
{
    held_ = Held{};
}

void Gauge::call_held(std::uint32_t flags)
{
    ActiveGauge active(this);
    Held held = held_;
    if (held.event_id)
        host_.trigger_key_event(held.event_id, 0);
    if (held.handler) {
        PIXEL_POINT argument = held.relative;
        held.handler(&argument, flags);
    }
}

Tooltip Gauge::tooltip(PIXEL_POINT point) const
{
    // The tooltip's arguments are the gauge's own callbacks.
    ActiveGauge active(const_cast<Gauge*>(this));
    for (const MouseRegistration& registration : registrations_) {
        MouseHit hit = hit_test(registration.layout, point);
        if (!hit.hot_spot)
            continue;
        Tooltip found = tooltip_for(registration.layout, hit, registration.gauge);
        if (found.kind != Tooltip::None)
            return found;
        break;
    }
    // A hot spot without a tooltip of its own, or none: what the groups under the point say.
    for (const MouseRegistration& registration : registrations_) {
        Tooltip found = tooltip_for(registration.layout, hit_test(registration.layout, point), registration.gauge);
        if (found.kind != Tooltip::None)
            return found;
    }
    return {};
}

}  // namespace panelhost
