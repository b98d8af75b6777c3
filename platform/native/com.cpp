// Native COM: per-thread initialisation and object creation by class identifier.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"

extern "C" const GUID GUID_NULL = {0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
extern "C" const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

// Successful CoInitialize calls of this thread not yet balanced by CoUninitialize.
thread_local int initialization_depth = 0;

// The classes CoCreateInstance makes: the name under which tests can make the creation fail,
// whether the bench has the device, and the creation.
struct StandInClass {
    const CLSID* clsid;
    const char* failure_name;
    bool (*available)();
    HRESULT (*create)(REFIID iid, void** object);
};

// class                  failure name                      available                           create
const StandInClass CLASSES[] = {
    {&CLSID_FilterGraph,  "CoCreateInstance(FilterGraph)",  sim::media::media_graph_available,  sim::com::create_filter_graph},
    {&CLSID_DirectSound8, "CoCreateInstance(DirectSound8)", sim::media::sound_device_available, sim::com::create_direct_sound},
};

}  // namespace

namespace sim {

int com_initialization_depth()
{
    return initialization_depth;
}

}  // namespace sim

HRESULT WINAPI CoInitialize(LPVOID)
{
    HRESULT failure;
    if (sim::media::injected("CoInitialize", failure))
        return failure;   // the thread stays as it was
    return initialization_depth++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize()
{
    if (initialization_depth > 0)
        --initialization_depth;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (initialization_depth == 0)
        return CO_E_NOTINITIALIZED;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    for (const StandInClass& known : CLASSES) {
        if (clsid != *known.clsid)
            continue;
        HRESULT failure;
        if (sim::media::injected(known.failure_name, failure))
            return failure;
        if (!known.available())
            return REGDB_E_CLASSNOTREG;
        return known.create(iid, object);
    }
    return REGDB_E_CLASSNOTREG;
}
