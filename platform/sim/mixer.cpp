// The simulated sound-card mixer with its compact-disc line and that line's volume control.
#include "platform/sim/mixer.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

constexpr DWORD OBJECT_TYPE_MASK = 0xF0000000u;
constexpr DWORD MIXER_DEVICES = 1;

void copy_name(char* target, std::size_t size, const char* name)
{
    std::memset(target, 0, size);
    std::strncpy(target, name, size - 1);
}

}  // namespace

void Mixer::reset()
{
    installed_ = true;
    cd_line_ = true;
    minimum_ = MIXER_DEFAULT_MINIMUM;
    maximum_ = MIXER_DEFAULT_MAXIMUM;
    for (DWORD& value : values_)
        value = MIXER_DEFAULT_MAXIMUM;
    handles_.clear();
    next_handle_ = 0x7000;
}

void Mixer::set_installed(bool installed)
{
    installed_ = installed;
    if (!installed)
        handles_.clear();
}

void Mixer::set_cd_line(bool present)
{
    cd_line_ = present;
}

void Mixer::set_range(DWORD minimum, DWORD maximum)
{
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    for (DWORD& value : values_)
        value = std::clamp(value, minimum_, maximum_);
}

MMRESULT Mixer::open(HMIXER* handle, UINT device, DWORD_PTR, DWORD_PTR, DWORD flags)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    if (flags != 0)
        return MMSYSERR_INVALFLAG;
    if (!installed_ || device >= MIXER_DEVICES)
        return MMSYSERR_BADDEVICEID;
    *handle = reinterpret_cast<HMIXER>(next_handle_);
    handles_.push_back(next_handle_);
    next_handle_ += 4;
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::close(HMIXER handle)
{
    auto found = std::find(handles_.begin(), handles_.end(), reinterpret_cast<std::uintptr_t>(handle));
    if (found == handles_.end())
        return MMSYSERR_INVALHANDLE;
    handles_.erase(found);
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::check_object(HMIXEROBJ mixer, DWORD flags) const
{
    std::uintptr_t object = reinterpret_cast<std::uintptr_t>(mixer);
    DWORD type = flags & OBJECT_TYPE_MASK;
    if (type == MIXER_OBJECTF_MIXER && installed_ && object < MIXER_DEVICES)
        return MMSYSERR_NOERROR;
    if (type != MIXER_OBJECTF_MIXER && type != MIXER_OBJECTF_HMIXER)
        return MMSYSERR_NOTSUPPORTED;   // wave, MIDI and auxiliary objects are not modelled
    if (std::find(handles_.begin(), handles_.end(), object) == handles_.end())
        return MMSYSERR_INVALHANDLE;
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::get_line_info(HMIXEROBJ object, MIXERLINEA* line, DWORD flags) const
{
    if (MMRESULT result = check_object(object, flags))
        return result;
    if (!line || line->cbStruct < sizeof(MIXERLINEA))
        return MMSYSERR_INVALPARAM;
    DWORD query = flags & ~OBJECT_TYPE_MASK;
    bool found = false;
    switch (query) {
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
        found = line->dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
        break;
    case MIXER_GETLINEINFOF_LINEID:
        found = line->dwLineID == MIXER_CD_LINE_ID;
        break;
    case MIXER_GETLINEINFOF_SOURCE:
        found = line->dwDestination == 0 && line->dwSource == 0;
        break;
    case MIXER_GETLINEINFOF_DESTINATION:
    case MIXER_GETLINEINFOF_TARGETTYPE:
        return MMSYSERR_NOTSUPPORTED;   // only the source line is modelled
    default:
        return MMSYSERR_INVALFLAG;
    }
    if (!found || !cd_line_)
        return MIXERR_INVALLINE;
    line->dwDestination = 0;
    line->dwSource = 0;
    line->dwLineID = MIXER_CD_LINE_ID;
    line->fdwLine = MIXERLINE_LINEF_SOURCE | MIXERLINE_LINEF_ACTIVE;
    line->dwUser = 0;
    line->dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    line->cChannels = MIXER_CD_CHANNELS;
    line->cConnections = 0;
    line->cControls = 1;
    copy_name(line->szShortName, sizeof line->szShortName, "CD Audio");
    copy_name(line->szName, sizeof line->szName, "CD Audio");
    line->Target.dwType = MIXERLINE_TARGETTYPE_UNDEFINED;
    line->Target.dwDeviceID = 0;
    line->Target.wMid = 0;
    line->Target.wPid = 0;
    line->Target.vDriverVersion = 0x0100;
    copy_name(line->Target.szPname, sizeof line->Target.szPname, "Simulated Mixer");
    return MMSYSERR_NOERROR;
}

void Mixer::describe_control(MIXERCONTROLA& control) const
{
    std::memset(&control, 0, sizeof control);
    control.cbStruct = sizeof control;
    control.dwControlID = MIXER_CD_VOLUME_ID;
    control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    control.fdwControl = 0;
    control.cMultipleItems = 0;
    copy_name(control.szShortName, sizeof control.szShortName, "Volume");
    copy_name(control.szName, sizeof control.szName, "CD Audio Volume");
    control.Bounds.dwMinimum = minimum_;
    control.Bounds.dwMaximum = maximum_;
    control.Metrics.cSteps = maximum_ - minimum_;
}

MMRESULT Mixer::get_line_controls(HMIXEROBJ object, MIXERLINECONTROLSA* controls, DWORD flags) const
{
    if (MMRESULT result = check_object(object, flags))
        return result;
    if (!controls || controls->cbStruct < sizeof(MIXERLINECONTROLSA))
        return MMSYSERR_INVALPARAM;
    DWORD query = flags & ~OBJECT_TYPE_MASK;
    switch (query) {
    case MIXER_GETLINECONTROLSF_ONEBYTYPE:
        if (controls->dwLineID != MIXER_CD_LINE_ID || !cd_line_)
            return MIXERR_INVALLINE;
        if (controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
            return MIXERR_INVALCONTROL;
        break;
    case MIXER_GETLINECONTROLSF_ONEBYID:
        if (controls->dwControlID != MIXER_CD_VOLUME_ID || !cd_line_)
            return MIXERR_INVALCONTROL;
        break;
    case MIXER_GETLINECONTROLSF_ALL:
        if (controls->dwLineID != MIXER_CD_LINE_ID || !cd_line_)
            return MIXERR_INVALLINE;
        break;
    default:
        return MMSYSERR_INVALFLAG;
    }
    // One control is asked for and one is there to give, in a record at least as long as the platform's.
    if (controls->cControls != 1 || controls->cbmxctrl < sizeof(MIXERCONTROLA) || !controls->pamxctrl)
        return MMSYSERR_INVALPARAM;
    describe_control(*controls->pamxctrl);
    if (query == MIXER_GETLINECONTROLSF_ONEBYID)
        controls->dwLineID = MIXER_CD_LINE_ID;
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::check_details(const MIXERCONTROLDETAILS* details) const
{
    if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS))
        return MMSYSERR_INVALPARAM;
    if (details->dwControlID != MIXER_CD_VOLUME_ID || !cd_line_)
        return MIXERR_INVALCONTROL;
    if (details->cChannels != 1 && details->cChannels != MIXER_CD_CHANNELS)
        return MMSYSERR_INVALPARAM;
    if (details->cMultipleItems != 0 || details->cbDetails < sizeof(MIXERCONTROLDETAILS_UNSIGNED) ||
        !details->paDetails)
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::get_control_details(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) const
{
    if (MMRESULT result = check_object(object, flags))
        return result;
    DWORD query = flags & ~OBJECT_TYPE_MASK;
    if (query != MIXER_GETCONTROLDETAILSF_VALUE)
        return query == MIXER_GETCONTROLDETAILSF_LISTTEXT ? MMSYSERR_INVALPARAM : MMSYSERR_INVALFLAG;
    if (MMRESULT result = check_details(details))
        return result;
    auto* bytes = static_cast<unsigned char*>(details->paDetails);
    for (DWORD channel = 0; channel < details->cChannels; ++channel) {
        MIXERCONTROLDETAILS_UNSIGNED level = {values_[channel]};
        std::memcpy(bytes + channel * details->cbDetails, &level, sizeof level);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT Mixer::set_control_details(HMIXEROBJ object, const MIXERCONTROLDETAILS* details, DWORD flags)
{
    if (MMRESULT result = check_object(object, flags))
        return result;
    DWORD query = flags & ~OBJECT_TYPE_MASK;
    if (query != MIXER_SETCONTROLDETAILSF_VALUE)
        return query == MIXER_SETCONTROLDETAILSF_CUSTOM ? MMSYSERR_INVALPARAM : MMSYSERR_INVALFLAG;
    if (MMRESULT result = check_details(details))
        return result;
    const auto* bytes = static_cast<const unsigned char*>(details->paDetails);
    DWORD levels[MIXER_CD_CHANNELS] = {};
    for (DWORD channel = 0; channel < details->cChannels; ++channel) {
        MIXERCONTROLDETAILS_UNSIGNED level;
        std::memcpy(&level, bytes + channel * details->cbDetails, sizeof level);
        if (level.dwValue < minimum_ || level.dwValue > maximum_)
            return MIXERR_INVALVALUE;
        levels[channel] = level.dwValue;
    }
    // One value sets every channel alike.
    for (DWORD channel = 0; channel < MIXER_CD_CHANNELS; ++channel)
        values_[channel] = levels[details->cChannels == 1 ? 0 : channel];
    for (DWORD channel = 0; channel < details->cChannels; ++channel)
        trace("mixer-set %u", static_cast<unsigned>(levels[channel]));
    return MMSYSERR_NOERROR;
}

Mixer& mixer()
{
    static Mixer device;
    return device;
}

}  // namespace sim
