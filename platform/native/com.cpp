// Native COM: per-thread initialisation and object creation by class identifier.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"

extern "C" const GUID GUID_NULL = {0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
extern "C" const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

// Successful CoInitialize calls of this thread not yet balanced by CoUninitialize.
thread_local int initialization_depth = 0;

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
    HRESULT failure;
    if (clsid == CLSID_FilterGraph) {
        if (sim::media::injected("CoCreateInstance(FilterGraph)", failure))
            return failure;
        if (!sim::media::media_graph_available())
            return REGDB_E_CLASSNOTREG;
        return sim::com::create_filter_graph(iid, object);
    }
    if (clsid == CLSID_DirectSound8) {
        if (sim::media::injected("CoCreateInstance(DirectSound8)", failure))
            return failure;
        if (!sim::media::sound_device_available())
            return REGDB_E_CLASSNOTREG;
        return sim::com::create_direct_sound(iid, object);
    }
    return REGDB_E_CLASSNOTREG;
}
