// Compile-time check, in both Windows builds, that the platform's own WinMM records have the
// sizes that the CD and mixer back-ends are written for (the native declarations mirror these).
#include "platform/platform.h"

namespace {

constexpr bool POINTERS_32 = sizeof(void*) == 4;

static_assert(sizeof(MIXERLINEA) == (POINTERS_32 ? 168 : 172));
static_assert(sizeof(MIXERCONTROLA) == 148);
static_assert(sizeof(MIXERLINECONTROLSA) == (POINTERS_32 ? 24 : 28));
static_assert(sizeof(MIXERCONTROLDETAILS) == (POINTERS_32 ? 24 : 32));
static_assert(sizeof(MIXERCONTROLDETAILS_UNSIGNED) == 4);
static_assert(sizeof(MCI_OPEN_PARMSA) == (POINTERS_32 ? 20 : 36));
static_assert(sizeof(MCI_SET_PARMS) == (POINTERS_32 ? 12 : 16));
static_assert(sizeof(MCI_PLAY_PARMS) == (POINTERS_32 ? 12 : 16));
static_assert(sizeof(MCI_STATUS_PARMS) == (POINTERS_32 ? 16 : 24));
static_assert(sizeof(MCIERROR) == 4 && sizeof(MCIDEVICEID) == 4);

}  // namespace
