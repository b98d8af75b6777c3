// Native declarations of the Windows calls that the modules and the host make; the simulated
// devices of libwinplatform stand behind them.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY
#define STDMETHODCALLTYPE

// The module's entry point; exported natively, so that LoadLibraryA can call it as Windows does.
#define MODULE_ENTRY_POINT extern "C" __attribute__((visibility("default")))
#define WINPLATFORM_API extern "C" __attribute__((visibility("default")))

typedef int BOOL;
typedef int INT;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::uint32_t UINT;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef std::int64_t LONGLONG;
typedef std::uint64_t ULONGLONG;
typedef char CHAR;
typedef char16_t WCHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t INT_PTR;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t ULONG_PTR;
typedef std::uintptr_t DWORD_PTR;
typedef std::size_t SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;

typedef void* HANDLE;
struct HINSTANCE__;
struct HWND__;
struct HRSRC__;
struct HMENU__;
struct HICON__;
struct HBRUSH__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef HWND__* HWND;
typedef HRSRC__* HRSRC;
typedef HANDLE HGLOBAL;
typedef HMENU__* HMENU;
typedef HICON__* HICON;
typedef HICON HCURSOR;
typedef HBRUSH__* HBRUSH;
typedef INT_PTR (*FARPROC)();

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260

// ---- results ----
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

// ---- library entry and resources ----
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_VERSION MAKEINTRESOURCEA(16)

WINPLATFORM_API HMODULE WINAPI LoadLibraryA(LPCSTR file_name);
WINPLATFORM_API BOOL WINAPI FreeLibrary(HMODULE module);
WINPLATFORM_API FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
WINPLATFORM_API BOOL WINAPI DisableThreadLibraryCalls(HMODULE module);
WINPLATFORM_API HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
WINPLATFORM_API DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
WINPLATFORM_API HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
WINPLATFORM_API LPVOID WINAPI LockResource(HGLOBAL data);
typedef BOOL(CALLBACK* ENUMRESNAMEPROCA)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR parameter);
WINPLATFORM_API BOOL WINAPI EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA callback,
                                               LONG_PTR parameter);

// ---- process ----
WINPLATFORM_API DWORD WINAPI GetLastError();
WINPLATFORM_API void WINAPI SetLastError(DWORD error);
WINPLATFORM_API __attribute__((noreturn)) void WINAPI ExitProcess(UINT exit_code);

// ---- files, mappings, temporary files and text conversion ----
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define INVALID_FILE_ATTRIBUTES ((DWORD)0xFFFFFFFF)
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define PAGE_READONLY 0x02u
#define FILE_MAP_READ 0x0004u
#define CP_ACP 0
#define MB_PRECOMPOSED 0x00000001u

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

WINPLATFORM_API HANDLE WINAPI CreateFileA(LPCSTR file_name, DWORD access, DWORD share_mode,
                                          LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                          DWORD flags, HANDLE template_file);
WINPLATFORM_API BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read,
                                     LPOVERLAPPED overlapped);
WINPLATFORM_API BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written,
                                      LPOVERLAPPED overlapped);
WINPLATFORM_API DWORD WINAPI GetFileSize(HANDLE file, LPDWORD size_high);
WINPLATFORM_API BOOL WINAPI CloseHandle(HANDLE handle);
WINPLATFORM_API BOOL WINAPI DeleteFileA(LPCSTR file_name);
WINPLATFORM_API DWORD WINAPI GetFileAttributesA(LPCSTR file_name);
WINPLATFORM_API HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect,
                                                 DWORD size_high, DWORD size_low, LPCSTR name);
WINPLATFORM_API LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high,
                                            DWORD offset_low, SIZE_T size);
WINPLATFORM_API BOOL WINAPI UnmapViewOfFile(LPCVOID view);
WINPLATFORM_API DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer);
WINPLATFORM_API UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR temp_file_name);
WINPLATFORM_API int WINAPI MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int size,
                                               LPWSTR wide_text, int wide_size);

// ---- windows and messages ----
typedef LRESULT(CALLBACK* WNDPROC)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_QUIT 0x0012
#define WM_USER 0x0400
#define WM_APP 0x8000
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CLIPCHILDREN 0x02000000L

WINPLATFORM_API ATOM WINAPI RegisterClassA(const WNDCLASSA* window_class);
WINPLATFORM_API BOOL WINAPI UnregisterClassA(LPCSTR class_name, HINSTANCE instance);
WINPLATFORM_API HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                                            int x, int y, int width, int height, HWND parent, HMENU menu,
                                            HINSTANCE instance, LPVOID param);
WINPLATFORM_API BOOL WINAPI UpdateWindow(HWND window);
WINPLATFORM_API BOOL WINAPI DestroyWindow(HWND window);
WINPLATFORM_API BOOL WINAPI IsWindow(HWND window);
WINPLATFORM_API LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
WINPLATFORM_API int WINAPI GetClassNameA(HWND window, LPSTR name, int size);
WINPLATFORM_API BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
WINPLATFORM_API BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
WINPLATFORM_API BOOL WINAPI TranslateMessage(const MSG* message);
WINPLATFORM_API LRESULT WINAPI DispatchMessageA(const MSG* message);
WINPLATFORM_API HWND WINAPI GetActiveWindow();

// ---- message boxes and text ----
#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define MB_ICONHAND MB_ICONERROR
#define IDOK 1

WINPLATFORM_API int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
WINPLATFORM_API int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...);

// ---- drawing constants and bitmap records ----
#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define BI_RGB 0

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(BITMAPINFOHEADER) == 40);

#include "win32_media.h"
