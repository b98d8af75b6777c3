// Native declarations: mmsystem.
#pragma once

// (included from win32.h, after the base declarations)
