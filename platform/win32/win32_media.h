// Native declarations of the media interfaces.
#pragma once

#include "win32_mmsystem.h"   // WinMM: MCI and the mixer
#include "win32_com.h"        // COM
#include "win32_dshow.h"      // the media graph
#include "win32_dsound.h"     // the sound device
