// The radio module's instance handle, shared by the click sound and the music player.
#include "radio/audio/module_instance.h"

HINSTANCE module_instance = nullptr;
