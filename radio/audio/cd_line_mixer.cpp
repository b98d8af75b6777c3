// Drives the sound card mixer's compact-disc line volume through the WinMM mixer.
#include "radio/audio/cd_line_mixer.h"

CdLineMixer cd_line_mixer = {};

namespace {

const char* const MIXER_ERROR_CAPTION = "Volume Control Error";

// The mixer handle given as the object, with no object-type flag: the platform reads a value
// that is no mixer device number as a handle.
HMIXEROBJ mixer_object()
{
    return reinterpret_cast<HMIXEROBJ>(cd_line_mixer.mixer);
}

}  // namespace

std::int32_t cd_line_open()
{
    CdLineMixer& m = cd_line_mixer;
    if (mixerOpen(&m.mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) {
        m.mixer = nullptr;
        MessageBoxA(GetActiveWindow(), "Unable to open Mixer Controls.", MIXER_ERROR_CAPTION, MB_ICONERROR);
    }
    if (!m.mixer)
        return 0;

    m.line.cbStruct = sizeof(MIXERLINEA);
    m.line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (mixerGetLineInfoA(mixer_object(), &m.line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return 0;

    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof(MIXERLINECONTROLSA);
    controls.dwLineID = m.line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(MIXERCONTROLA);
    controls.pamxctrl = &m.volume_control;
    if (mixerGetLineControlsA(mixer_object(), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return 0;

    m.level_min = m.volume_control.Bounds.dwMinimum;
    m.level_max = m.volume_control.Bounds.dwMaximum;

    m.details.cbStruct = sizeof(MIXERCONTROLDETAILS);
    m.details.dwControlID = m.volume_control.dwControlID;
    m.details.cChannels = 1;   // every channel of the line alike
    m.details.cMultipleItems = 0;
    m.details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    m.details.paDetails = &m.level;
    if (mixerGetControlDetailsA(mixer_object(), &m.details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
        return 0;
    return 1;
}

void cd_line_set_volume(std::int32_t volume)
{
    CdLineMixer& m = cd_line_mixer;
    // Every 100 hundredths of a decibel above silence are one percent; 64-bit arithmetic keeps
    // a volume near the 32-bit limits and a span above 42949672 from overflowing.
    std::int64_t percent = (std::int64_t{volume} + 10000) / 100;
    if (percent > 100)
        percent = 100;
    else if (percent < 0)
        percent = 0;
    // The percentage of the control's span, counted up from its minimum: 0 percent is the
    // minimum itself and 100 the maximum, whatever the range.
    std::uint32_t span = m.level_max - m.level_min;
    m.level.dwValue = static_cast<DWORD>(m.level_min + static_cast<std::uint64_t>(percent) * span / 100);
    m.details.paDetails = &m.level;
    mixerSetControlDetails(mixer_object(), &m.details, MIXER_SETCONTROLDETAILSF_VALUE);
}

std::int32_t cd_line_close()
{
    CdLineMixer& m = cd_line_mixer;
    if (mixerClose(m.mixer) != MMSYSERR_NOERROR) {
        MessageBoxA(GetActiveWindow(), "Unable to close Mixer Controls.", MIXER_ERROR_CAPTION, MB_ICONERROR);
        return 0;
    }
    m.mixer = nullptr;
    return 1;
}
