// Native declarations of the media interfaces: WinMM's MCI and mixer, COM, the media graph and
// the sound device.
#pragma once
