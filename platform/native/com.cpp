// Native COM: the identifiers of our declarations, per-thread initialisation and object creation
// by class identifier.
#include "platform/native/media_registry.h"
#include "platform/sim/com_classes.h"
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

// The identifiers of those classes and of their interfaces, which the SDK's libraries define on
// Windows, with the same values.
extern "C" const CLSID CLSID_FilterGraph = {0xe436ebb3, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IGraphBuilder = {0x56a868a9, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaControl = {0x56a868b1, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaEventEx = {0x56a868c0, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaSeeking = {0x36b73880, 0xc2c8, 0x11cf, {0x8b, 0x46, 0x00, 0x80, 0x5f, 0x6c, 0xef, 0x60}};
extern "C" const IID IID_IBasicAudio = {0x56a868b3, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IVideoWindow = {0x56a868b4, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const CLSID CLSID_DirectSound8 = {0x3901cc3f, 0x84b5, 0x4fa4, {0xba, 0x35, 0xaa, 0x81, 0x72, 0xb8, 0xa0, 0x9b}};
extern "C" const IID IID_IDirectSound8 = {0xc50a7e93, 0xf395, 0x4834, {0x9e, 0xf6, 0x7f, 0xa9, 0x9d, 0xe5, 0x09, 0x66}};
extern "C" const IID IID_IDirectSoundBuffer = {0x279afa85, 0x4981, 0x11ce, {0xa5, 0x21, 0x00, 0x20, 0xaf, 0x0b, 0xe5, 0x60}};

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
