// The radio module's instance handle, recorded by the click sound and the music player: the
// module whose resources they read and the instance of the notification window's class.
#pragma once

#include "platform/platform.h"

extern HINSTANCE module_instance;
