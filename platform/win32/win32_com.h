// Native declarations: COM, the part that the media back-ends use (identifiers, IUnknown,
// per-thread initialisation and object creation by class identifier).
#pragma once

// (included from win32.h, after the base declarations)

#include <cstring>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef const GUID* LPCGUID;
typedef GUID* LPGUID;

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator==(REFGUID a, REFGUID b)
{
    return IsEqualGUID(a, b);
}
inline bool operator!=(REFGUID a, REFGUID b)
{
    return !IsEqualGUID(a, b);
}

WINPLATFORM_API const GUID GUID_NULL;
WINPLATFORM_API const IID IID_IUnknown;

#define E_ABORT ((HRESULT)0x80004004L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define HRESULT_FROM_WIN32(code) \
    ((HRESULT)(code) <= 0 ? (HRESULT)(code) : (HRESULT)((((DWORD)(code)) & 0x0000FFFFu) | 0x80070000u))

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_INPROC_HANDLER 0x2u
#define CLSCTX_LOCAL_SERVER 0x4u

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;   // objects end through Release
};
typedef IUnknown* LPUNKNOWN;

WINPLATFORM_API HRESULT WINAPI CoInitialize(LPVOID reserved);
WINPLATFORM_API void WINAPI CoUninitialize();
WINPLATFORM_API HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                                LPVOID* object);
