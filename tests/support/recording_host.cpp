// The tests' recording host: each panel service as a line in the record.
#include "tests/support/recording_host.h"

#include <cstdio>

namespace test_support {
namespace {

RecordingHost host;

void record(const std::string& line)
{
    host.calls.push_back(line);
}

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

void HOST_CALL record_query(ELEMENT_HEADER* root)
{
    record("element_list_query " + pointer_text(root));
}

void HOST_CALL record_install(ELEMENT_HEADER* root, void* resource)
{
    record("element_list_install " + pointer_text(root) + " " + pointer_text(resource));
    if (host.fill_background && root && root->element_type == ELEMENT_TYPE_STATIC_IMAGE)
        reinterpret_cast<ELEMENT_STATIC_IMAGE*>(root)->image = &host.background_picture;
}

void HOST_CALL record_initialize(ELEMENT_HEADER* root)
{
    record("element_list_initialize " + pointer_text(root));
}

void HOST_CALL record_update(ELEMENT_HEADER* root)
{
    record("element_list_update " + pointer_text(root));
}

void HOST_CALL record_generate(ELEMENT_HEADER* root, std::uint32_t phase)
{
    record("element_list_generate " + pointer_text(root) + " " + std::to_string(phase));
}

void HOST_CALL record_plot(ELEMENT_HEADER* root)
{
    record("element_list_plot " + pointer_text(root));
}

void HOST_CALL record_kill(ELEMENT_HEADER* root)
{
    record("element_list_kill " + pointer_text(root));
    if (root && root->element_type == ELEMENT_TYPE_STATIC_IMAGE) {
        auto* background = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(root);
        if (background->image == &host.background_picture)
            background->image = nullptr;
    }
}

void HOST_CALL record_mouse_install(MOUSERECT* table, GAUGEHDR* gauge, PIXEL_POINT* size)
{
    record("mouse_list_install");
    host.installed_table = table;
    host.installed_gauge = gauge;
    host.installed_size = size;
}

void HOST_CALL record_mouse_register(MOUSERECT* table, GAUGEHDR*)
{
    record("mouse_list_register");
    host.registered.insert(table);
}

void HOST_CALL record_mouse_unregister(MOUSERECT* table, GAUGEHDR*)
{
    record("mouse_list_unregister");
    host.registered.erase(table);
}

std::int32_t HOST_CALL record_key(std::uint32_t event_id, std::uint32_t value)
{
    record("key " + hex(event_id) + " " + std::to_string(value));
    return 0;
}

void HOST_CALL record_initialize_var(MODULE_VAR* var)
{
    record("initialize_var " + std::to_string(var->id));
}

void HOST_CALL record_lookup_var(MODULE_VAR* var)
{
    record("lookup_var " + std::to_string(var->id));
    var->value = host.vars[var->id];
}

PANEL_SERVICES recording_table()
{
    PANEL_SERVICES table{};
    table.element_list_query = record_query;
    table.element_list_install = record_install;
    table.element_list_initialize = record_initialize;
    table.element_list_update = record_update;
    table.element_list_generate = record_generate;
    table.element_list_plot = record_plot;
    table.element_list_kill = record_kill;
    table.mouse_list_install = record_mouse_install;
    table.mouse_list_register = record_mouse_register;
    table.mouse_list_unregister = record_mouse_unregister;
    table.trigger_key_event = record_key;
    table.initialize_var = record_initialize_var;
    table.lookup_var = record_lookup_var;
    return table;
}

PANEL_SERVICES services = recording_table();

}  // namespace

RecordingHost& recording_host()
{
    return host;
}

PANEL_SERVICES* recording_services()
{
    return &services;
}

std::string pointer_text(const void* pointer)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

}  // namespace test_support
