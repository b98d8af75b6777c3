// The RIFF WAVE reader: the format and the samples of a wave image held by a resource or a
// mapped file, as views into the image.
#pragma once

#include "platform/platform.h"

// Finds the first "fmt " and the first "data" chunk of the image of image_size bytes. Each output
// may be null (not requested); the requested ones are cleared first. 1 when every requested part
// was found, else 0. Nothing is read outside the image, whatever its lengths say. A format body
// of 14 or 15 bytes comes as a zero-filled copy of the full record, valid until the next parse.
int wave_parse(const void* image, DWORD image_size, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size);
// The image of the module's RT_RCDATA resource of that name; it stays in place while the module
// is loaded.
int wave_from_resource(HMODULE module, LPCSTR name, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size);
// The image of the file, mapped read-only; on success the view output holds the view, which the
// caller unmaps.
int wave_from_file(LPCSTR file_name, LPWAVEFORMATEX* format, const BYTE** samples, DWORD* size, LPVOID* view);
