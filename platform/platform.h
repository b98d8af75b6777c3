// The one header through which the modules and the host see the platform: the real SDK on
// Windows, our own declarations over simulated devices everywhere else.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// dshow.h brings in strsafe.h, which would otherwise withdraw wsprintfA.
#ifndef STRSAFE_NO_DEPRECATE
#define STRSAFE_NO_DEPRECATE
#endif
#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <dshow.h>
#include <dsound.h>
// The module's entry point is found by the loader, never exported.
#define MODULE_ENTRY_POINT extern "C"
#else
#include "win32/win32.h"
#endif
