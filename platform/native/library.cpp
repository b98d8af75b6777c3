// Native libraries and their resources: LoadLibraryA over dlopen, resources from the module's
// embedded table.
#include "platform/native/module_registry.h"
#include "platform/sim/registry.h"
#include "platform/sim/simulation.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace {

// Each module under its handle, the address of its record.
sim::Registry<HMODULE, std::unique_ptr<HINSTANCE__>>& live_modules()
{
    static sim::Registry<HMODULE, std::unique_ptr<HINSTANCE__>> modules;
    return modules;
}

HMODULE add_module(void* library, const NATIVE_RESOURCE* resources, std::string path)
{
    auto module = std::make_unique<HINSTANCE__>(HINSTANCE__{library, resources, std::move(path), 1});
    HMODULE handle = module.get();
    live_modules().add(handle, std::move(module));
    return handle;
}

typedef BOOL(WINAPI* DLL_ENTRY)(HINSTANCE, DWORD, LPVOID);

DLL_ENTRY entry_point(HMODULE module)
{
    if (!module->library)
        return nullptr;
    return reinterpret_cast<DLL_ENTRY>(dlsym(module->library, "DllMain"));
}

bool names_equal(LPCSTR a, LPCSTR b)
{
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool resource_matches(const NATIVE_RESOURCE& resource, LPCSTR name, LPCSTR type)
{
    if (!IS_INTRESOURCE(type) || resource.type != static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(type)))
        return false;
    if (IS_INTRESOURCE(name))
        return !resource.name && resource.id == static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(name));
    return resource.name && names_equal(resource.name, name);
}

}  // namespace

namespace sim {

HMODULE module_from_resources(const NATIVE_RESOURCE* resources)
{
    return add_module(nullptr, resources, std::string());
}

void release_module(HMODULE module)
{
    live_modules().remove(module);
}

bool is_module(HMODULE module)
{
    return module && live_modules().holds(module);
}

}  // namespace sim

HMODULE WINAPI LoadLibraryA(LPCSTR file_name)
{
    if (!file_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    for (const auto& [handle, module] : live_modules())
        if (module->library && module->path == file_name) {
            ++module->references;
            return handle;
        }
    void* library = dlopen(file_name, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto* resources = static_cast<const NATIVE_RESOURCE*>(dlsym(library, NATIVE_RESOURCE_TABLE_SYMBOL));
    HMODULE module = add_module(library, resources, file_name);
    if (DLL_ENTRY entry = entry_point(module); entry && !entry(module, DLL_PROCESS_ATTACH, nullptr)) {
        live_modules().remove(module);
        dlclose(library);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module;
}

BOOL WINAPI FreeLibrary(HMODULE module)
{
    if (!sim::is_module(module) || !module->library) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--module->references > 0)
        return TRUE;
    if (DLL_ENTRY entry = entry_point(module))
        entry(module, DLL_PROCESS_DETACH, nullptr);
    void* library = module->library;
    live_modules().remove(module);
    dlclose(library);
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    if (!sim::is_module(module) || !module->library || !name || IS_INTRESOURCE(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* symbol = dlsym(module->library, name);
    if (!symbol)
        SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE module)
{
    if (!sim::is_module(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    if (!sim::is_module(module) || !module->resources || !name || !type) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    for (const NATIVE_RESOURCE* resource = module->resources; resource->type != 0; ++resource)
        if (resource_matches(*resource, name, type))
            return reinterpret_cast<HRSRC>(const_cast<NATIVE_RESOURCE*>(resource));
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    if (!sim::is_module(module) || !resource)
        return 0;
    return reinterpret_cast<const NATIVE_RESOURCE*>(resource)->size;
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    if (!sim::is_module(module) || !resource)
        return nullptr;
    return const_cast<unsigned char*>(reinterpret_cast<const NATIVE_RESOURCE*>(resource)->data);
}

BOOL WINAPI EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR parameter)
{
    if (!sim::is_module(module) || !module->resources || !callback || !IS_INTRESOURCE(type)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    auto wanted = static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(type));
    bool any = false;
    for (const NATIVE_RESOURCE* resource = module->resources; resource->type != 0; ++resource) {
        if (resource->type != wanted)
            continue;
        any = true;
        LPSTR name = resource->name ? const_cast<LPSTR>(resource->name) : MAKEINTRESOURCEA(resource->id);
        if (!callback(module, type, name, parameter))
            return TRUE;
    }
    if (!any)
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return any ? TRUE : FALSE;
}

LPVOID WINAPI LockResource(HGLOBAL data)
{
    return data;
}
