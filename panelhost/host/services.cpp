// The service table: each slot forwards to the running gauge, or to the panel.
#include "panelhost/host/services.h"

#include "panelhost/host/gauge.h"
#include "panelhost/host/host.h"

namespace panelhost {
namespace {

Host* service_host = nullptr;
Gauge* active_gauge = nullptr;

// The gauge a service call is for: the one whose code is running; a call from outside any (a
// window procedure run by the message loop) reaches the panel's first gauge.
Gauge* gauge_called()
{
    if (active_gauge)
        return active_gauge;
    return service_host ? service_host->first_gauge() : nullptr;
}

void trace_service(const char* name)
{
    if (service_host)
        service_host->trace_service(name);
}

void HOST_CALL service_element_list_query(ELEMENT_HEADER*)
{
    trace_service("element_list_query");
}

void HOST_CALL service_element_list_install(ELEMENT_HEADER* root, void* resource_handle)
{
    trace_service("element_list_install");
    if (Gauge* gauge = gauge_called())
        gauge->element_list_install(root, resource_handle);
}

void HOST_CALL service_element_list_initialize(ELEMENT_HEADER* root)
{
    trace_service("element_list_initialize");
    if (Gauge* gauge = gauge_called())
        gauge->element_list_initialize(root);
}

void HOST_CALL service_element_list_update(ELEMENT_HEADER* root)
{
    trace_service("element_list_update");
    if (Gauge* gauge = gauge_called())
        gauge->element_list_update(root);
}

void HOST_CALL service_element_list_generate(ELEMENT_HEADER*, std::uint32_t)
{
    trace_service("element_list_generate");
}

void HOST_CALL service_element_list_plot(ELEMENT_HEADER*)
{
    trace_service("element_list_plot");
}

void HOST_CALL service_element_list_kill(ELEMENT_HEADER* root)
{
    trace_service("element_list_kill");
    if (Gauge* gauge = gauge_called())
        gauge->element_list_kill(root);
}

void HOST_CALL service_mouse_list_install(MOUSERECT* table, GAUGEHDR* header, PIXEL_POINT* size)
{
    trace_service("mouse_list_install");
    if (Gauge* gauge = gauge_called())
        gauge->mouse_list_install(table, header, size);
}

void HOST_CALL service_mouse_list_register(MOUSERECT* table, GAUGEHDR* header)
{
    trace_service("mouse_list_register");
    if (Gauge* gauge = gauge_called())
        gauge->mouse_list_register(table, header);
}

void HOST_CALL service_mouse_list_unregister(MOUSERECT* table, GAUGEHDR* header)
{
    trace_service("mouse_list_unregister");
    if (Gauge* gauge = gauge_called())
        gauge->mouse_list_unregister(table, header);
}

std::int32_t HOST_CALL service_trigger_key_event(std::uint32_t event_id, std::uint32_t value)
{
    return service_host ? service_host->trigger_key_event(event_id, value) : 0;
}

void HOST_CALL service_initialize_var(MODULE_VAR* var)
{
    trace_service("initialize_var");
    if (service_host)
        service_host->initialize_var(var);
}

void HOST_CALL service_lookup_var(MODULE_VAR* var)
{
    trace_service("lookup_var");
    if (service_host)
        service_host->lookup_var(var);
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

}  // namespace

PANEL_SERVICES* host_service_table()
{
    static PANEL_SERVICES table = make_service_table();
    return &table;
}

void set_service_host(Host* host)
{
    service_host = host;
}

ActiveGauge::ActiveGauge(Gauge* gauge) : previous_(active_gauge)
{
    active_gauge = gauge;
}

ActiveGauge::~ActiveGauge()
{
    active_gauge = previous_;
}

}  // namespace panelhost
