// Native declarations: com.
#pragma once

// (included from win32.h, after the base declarations)
