// Native windows, window classes and the thread's message queue, and message boxes that report
// to the trace and answer OK at once.
#include "platform/native/module_registry.h"
#include "platform/native/window_registry.h"
#include "platform/sim/registry.h"
#include "platform/sim/simulation.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <string>

namespace {

struct WindowClass {
    std::string name;
    WNDCLASSA definition;
    ATOM atom;
};

struct Window {
    const WindowClass* window_class;
    WNDPROC procedure;
    DWORD style;
};

struct Windows {
    sim::Registry<std::string, WindowClass> classes;   // by upper-case name
    sim::Registry<HWND, Window> windows{0x10010};
    std::deque<MSG> queue;
    ATOM next_atom = 0xC000;
    HWND active = nullptr;
};

Windows& windows()
{
    static Windows state;
    return state;
}

std::string class_key(LPCSTR name)
{
    std::string key;
    if (IS_INTRESOURCE(name)) {
        key = "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
        return key;
    }
    for (; *name; ++name)
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(*name)));
    return key;
}

const WindowClass* find_class(LPCSTR name)
{
    if (!name)
        return nullptr;
    if (IS_INTRESOURCE(name)) {
        ULONG_PTR atom = reinterpret_cast<ULONG_PTR>(name);
        return windows().classes.find_if([atom](const WindowClass& window_class) { return window_class.atom == atom; });
    }
    return windows().classes.find(class_key(name));
}

Window* find_window(HWND window)
{
    return windows().windows.find(window);
}

}  // namespace

namespace sim {

// What the bench and the tests count, and the window the host makes active.
std::size_t window_count() { return windows().windows.count(); }
std::size_t window_class_count() { return windows().classes.count(); }
std::size_t queued_message_count() { return windows().queue.size(); }
void set_active_window(HWND window) { windows().active = window; }

}  // namespace sim

ATOM WINAPI RegisterClassA(const WNDCLASSA* window_class)
{
    if (!window_class || !window_class->lpszClassName || IS_INTRESOURCE(window_class->lpszClassName) ||
        !window_class->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key = class_key(window_class->lpszClassName);
    if (windows().classes.holds(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass& entry = windows().classes.add(key, WindowClass{window_class->lpszClassName, *window_class, 0});
    entry.definition.lpszClassName = nullptr;   // the caller's text need not outlive the call
    entry.definition.lpszMenuName = nullptr;
    entry.atom = windows().next_atom++;
    return entry.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR class_name, HINSTANCE)
{
    const WindowClass* window_class = find_class(class_name);
    if (!window_class) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (const auto& [handle, window] : windows().windows)
        if (window.window_class == window_class)
            return FALSE;   // a class with windows stays registered
    windows().classes.remove(class_key(window_class->name.c_str()));
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR, DWORD style, int, int, int, int, HWND parent,
                            HMENU, HINSTANCE, LPVOID)
{
    const WindowClass* window_class = find_class(class_name);
    if (!window_class) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    if (parent && !find_window(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND handle = windows().windows.add_numbered(Window{window_class, window_class->definition.lpfnWndProc, style});
    if (window_class->definition.lpfnWndProc(handle, WM_CREATE, 0, 0) == -1) {
        windows().windows.remove(handle);
        return nullptr;
    }
    return handle;
}

int WINAPI GetClassNameA(HWND window, LPSTR name, int size)
{
    Window* entry = find_window(window);
    if (!entry || !name || size <= 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::size_t length = std::min(entry->window_class->name.size(), static_cast<std::size_t>(size - 1));
    entry->window_class->name.copy(name, length);
    name[length] = '\0';
    return static_cast<int>(length);
}

BOOL WINAPI UpdateWindow(HWND window)
{
    return find_window(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindow(HWND window)
{
    return find_window(window) ? TRUE : FALSE;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    Window* entry = find_window(window);
    if (!entry) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    entry->procedure(window, WM_DESTROY, 0, 0);
    windows().windows.remove(window);
    // Messages still queued for a destroyed window are never delivered.
    std::deque<MSG>& queue = windows().queue;
    for (auto message = queue.begin(); message != queue.end();)
        message = message->hwnd == window ? queue.erase(message) : message + 1;
    if (windows().active == window)
        windows().active = nullptr;
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (window && !find_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    windows().queue.push_back(MSG{window, message, wparam, lparam, static_cast<DWORD>(sim::now_ms()), {0, 0}});
    return TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove)
{
    std::deque<MSG>& queue = windows().queue;
    for (auto entry = queue.begin(); entry != queue.end(); ++entry) {
        if (window && entry->hwnd != window)
            continue;
        if ((first || last) && (entry->message < first || entry->message > last))
            continue;
        *message = *entry;
        if (remove & PM_REMOVE)
            queue.erase(entry);
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    Window* entry = find_window(message->hwnd);
    if (!entry)
        return 0;
    return entry->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

HWND WINAPI GetActiveWindow()
{
    return windows().active;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    sim::trace("msgbox \"%s\" \"%s\" 0x%x", text ? text : "", caption ? caption : "", style);
    return IDOK;
}
