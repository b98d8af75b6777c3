// The Windows bench's intercepts: the module's import table patched to reach our stand-ins, and
// tracing hooks on the real media graph and sound device.
#define CINTERFACE
#define COBJMACROS
#include "panelhost/system/intercept.h"

#include "platform/sim/simulation.h"
#include "platform/sim/media.h"
#include "platform/sim/winmm_calls.h"
#include "platform/sim/com_classes.h"

#include <atomic>
#include <cstring>
#include <string>

namespace panelhost {
namespace {

// ---- import table patching ----------------------------------------------------------------------------

struct ImportHook {
    const char* dll;        // lower case
    const char* function;
    void* replacement;
};

std::string lower(const char* text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

void write_slot(void** slot, void* value)
{
    DWORD old_protection = 0;
    if (VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old_protection)) {
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old_protection, &old_protection);
    }
}

void patch_imports(HMODULE module, const ImportHook* hooks, std::size_t count)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name;
         ++entry) {
        std::string dll = lower(reinterpret_cast<const char*>(base + entry->Name));
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (std::size_t i = 0; i < count; ++i)
                if (dll == hooks[i].dll && std::strcmp(reinterpret_cast<const char*>(by_name->Name), hooks[i].function) == 0)
                    write_slot(reinterpret_cast<void**>(&slots->u1.Function), hooks[i].replacement);
        }
    }
}

// ---- message boxes and process exit -------------------------------------------------------------------

int WINAPI traced_message_box(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    sim::trace("msgbox \"%s\" \"%s\" 0x%x", text ? text : "", caption ? caption : "", style);
    return IDOK;
}

void WINAPI traced_exit_process(UINT code)
{
    sim::exit_process(code);
}

// ---- the real media graph and sound device, reporting their calls --------------------------------------

std::string narrow(LPCWSTR text)
{
    std::string result;
    for (; text && *text; ++text)
        result += *text < 0x80 ? static_cast<char>(*text) : '?';
    return result;
}

// The platform's objects share one method table per class, and the platform calls through those
// tables itself (its media graph plays through the sound device and calls its own graph's
// methods). A hook therefore remembers the original entry of every table it patched, and reports
// a call only when it took effect (as the simulated devices report theirs) and was made by the
// module or the bench, not by the platform.
struct PatchedEntry {
    void** entry;
    void* original;
};
constexpr std::size_t MAX_PATCHED_ENTRIES = 64;
PatchedEntry patched_entries[MAX_PATCHED_ENTRIES];
std::atomic<std::size_t> patched_count{0};
HMODULE traced_module = nullptr;

template <typename Function>
void hook_method(Function* entry, Function replacement)
{
    if (*entry == replacement)
        return;
    std::size_t count = patched_count.load(std::memory_order_acquire);
    if (count == MAX_PATCHED_ENTRIES)
        return;   // left as it is: its calls go unreported
    patched_entries[count] = {reinterpret_cast<void**>(entry), reinterpret_cast<void*>(*entry)};
    patched_count.store(count + 1, std::memory_order_release);
    write_slot(reinterpret_cast<void**>(entry), reinterpret_cast<void*>(replacement));
}

// The entry that the table held before it was hooked; null for a table never hooked.
template <typename Function>
Function original_of(Function* entry)
{
    std::size_t count = patched_count.load(std::memory_order_acquire);
    for (std::size_t i = 0; i < count; ++i)
        if (patched_entries[i].entry == reinterpret_cast<void**>(entry))
            return reinterpret_cast<Function>(patched_entries[i].original);
    return nullptr;
}

// Whether the code at the address is the module's or the bench's.
bool outside_platform(void* address)
{
    HMODULE owner = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &owner))
        return false;
    return owner == traced_module || owner == GetModuleHandleA(nullptr);
}

void report(const std::string& what, HRESULT result, void* caller)
{
    if (SUCCEEDED(result) && outside_platform(caller))
        sim::trace("%s", what.c_str());
}

HRESULT STDMETHODCALLTYPE traced_render_file(IGraphBuilder* graph, LPCWSTR file, LPCWSTR play_list)
{
    auto original = original_of(&graph->lpVtbl->RenderFile);
    HRESULT result = original ? original(graph, file, play_list) : E_FAIL;
    if (outside_platform(__builtin_return_address(0)))
        sim::trace("dshow render \"%s\" -> 0x%08lx", narrow(file).c_str(), static_cast<unsigned long>(result));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_run(IMediaControl* control)
{
    auto original = original_of(&control->lpVtbl->Run);
    HRESULT result = original ? original(control) : E_FAIL;
    report("dshow run", result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_stop(IMediaControl* control)
{
    auto original = original_of(&control->lpVtbl->Stop);
    HRESULT result = original ? original(control) : E_FAIL;
    report("dshow stop", result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_set_positions(IMediaSeeking* seeking, LONGLONG* current, DWORD current_flags,
                                               LONGLONG* stop, DWORD stop_flags)
{
    auto original = original_of(&seeking->lpVtbl->SetPositions);
    HRESULT result = original ? original(seeking, current, current_flags, stop, stop_flags) : E_FAIL;
    if (current && *current == 0 && (current_flags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning)
        report("dshow rewind", result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_put_volume(IBasicAudio* audio, LONG volume)
{
    auto original = original_of(&audio->lpVtbl->put_Volume);
    HRESULT result = original ? original(audio, volume) : E_FAIL;
    report("dshow volume " + std::to_string(volume), result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_graph_query(IGraphBuilder* graph, REFIID iid, void** object)
{
    auto original = original_of(&graph->lpVtbl->QueryInterface);
    HRESULT result = original ? original(graph, iid, object) : E_FAIL;
    if (FAILED(result) || !object || !*object)
        return result;
    if (IsEqualIID(iid, IID_IMediaControl)) {
        auto* control = static_cast<IMediaControl*>(*object);
        hook_method(&control->lpVtbl->Run, traced_run);
        hook_method(&control->lpVtbl->Stop, traced_stop);
    } else if (IsEqualIID(iid, IID_IMediaSeeking)) {
        hook_method(&static_cast<IMediaSeeking*>(*object)->lpVtbl->SetPositions, traced_set_positions);
    } else if (IsEqualIID(iid, IID_IBasicAudio)) {
        hook_method(&static_cast<IBasicAudio*>(*object)->lpVtbl->put_Volume, traced_put_volume);
    }
    return result;
}

HRESULT STDMETHODCALLTYPE traced_buffer_play(IDirectSoundBuffer* buffer, DWORD reserved, DWORD priority, DWORD flags)
{
    auto original = original_of(&buffer->lpVtbl->Play);
    HRESULT result = original ? original(buffer, reserved, priority, flags) : E_FAIL;
    report("dsound play", result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_buffer_volume(IDirectSoundBuffer* buffer, LONG volume)
{
    auto original = original_of(&buffer->lpVtbl->SetVolume);
    HRESULT result = original ? original(buffer, volume) : E_FAIL;
    report("dsound volume " + std::to_string(volume), result, __builtin_return_address(0));
    return result;
}

HRESULT STDMETHODCALLTYPE traced_create_buffer(IDirectSound8* device, LPCDSBUFFERDESC description,
                                               LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer)
{
    auto original = original_of(&device->lpVtbl->CreateSoundBuffer);
    HRESULT result = original ? original(device, description, buffer, outer) : E_FAIL;
    if (SUCCEEDED(result) && buffer && *buffer) {
        hook_method(&(*buffer)->lpVtbl->Play, traced_buffer_play);
        hook_method(&(*buffer)->lpVtbl->SetVolume, traced_buffer_volume);
    }
    return result;
}

// The media graph and the sound device: the simulated ones when asked for (they trace their own
// calls), else the platform's, whose calls the hooks report; a device the bench was told is
// missing is a class that is not registered.
HRESULT WINAPI traced_co_create_instance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object)
{
    bool graph = IsEqualCLSID(clsid, CLSID_FilterGraph);
    bool sound = IsEqualCLSID(clsid, CLSID_DirectSound8);
    if ((graph && !sim::media::media_graph_available()) || (sound && !sim::media::sound_device_available())) {
        if (object)
            *object = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    if ((graph && sim::media::media_graph_simulated()) || (sound && sim::media::sound_device_simulated())) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return graph ? sim::com::create_filter_graph(iid, object) : sim::com::create_direct_sound(iid, object);
    }
    HRESULT result = CoCreateInstance(clsid, outer, context, iid, object);
    if (FAILED(result) || !object || !*object)
        return result;
    if (IsEqualCLSID(clsid, CLSID_FilterGraph) && IsEqualIID(iid, IID_IGraphBuilder)) {
        auto* graph = static_cast<IGraphBuilder*>(*object);
        hook_method(&graph->lpVtbl->RenderFile, traced_render_file);
        hook_method(&graph->lpVtbl->QueryInterface, traced_graph_query);
    } else if (IsEqualCLSID(clsid, CLSID_DirectSound8) && IsEqualIID(iid, IID_IDirectSound8)) {
        auto* device = static_cast<IDirectSound8*>(*object);
        hook_method(&device->lpVtbl->CreateSoundBuffer, traced_create_buffer);
    }
    return result;
}

}  // namespace

void install_intercepts(HMODULE module)
{
    traced_module = module;
    // The mixer is the simulated one too: a machine's own mixer may have no compact-disc line, and
    // the bench's traces show every value the module sets.
    // dll           function                   replacement
    static const ImportHook hooks[] = {
        {"winmm.dll",  "mciSendStringA",          reinterpret_cast<void*>(sim::winmm::mciSendStringA)},
        {"winmm.dll",  "mciSendCommandA",         reinterpret_cast<void*>(sim::winmm::mciSendCommandA)},
        {"winmm.dll",  "mciGetDeviceIDA",         reinterpret_cast<void*>(sim::winmm::mciGetDeviceIDA)},
        {"winmm.dll",  "mixerOpen",               reinterpret_cast<void*>(sim::winmm::mixerOpen)},
        {"winmm.dll",  "mixerClose",              reinterpret_cast<void*>(sim::winmm::mixerClose)},
        {"winmm.dll",  "mixerGetLineInfoA",       reinterpret_cast<void*>(sim::winmm::mixerGetLineInfoA)},
        {"winmm.dll",  "mixerGetLineControlsA",   reinterpret_cast<void*>(sim::winmm::mixerGetLineControlsA)},
        {"winmm.dll",  "mixerGetControlDetailsA", reinterpret_cast<void*>(sim::winmm::mixerGetControlDetailsA)},
        {"winmm.dll",  "mixerSetControlDetails",  reinterpret_cast<void*>(sim::winmm::mixerSetControlDetails)},
        {"user32.dll", "MessageBoxA",             reinterpret_cast<void*>(traced_message_box)},
        {"kernel32.dll", "ExitProcess",           reinterpret_cast<void*>(traced_exit_process)},
        {"ole32.dll",  "CoCreateInstance",        reinterpret_cast<void*>(traced_co_create_instance)},
    };
    patch_imports(module, hooks, sizeof hooks / sizeof hooks[0]);
}

}  // namespace panelhost
