// The simulated sound-card mixer: one mixer device whose compact-disc source line has a volume
// control of a settable range.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstdint>
#include <vector>

namespace sim {

constexpr DWORD MIXER_DEFAULT_MINIMUM = 0;
constexpr DWORD MIXER_DEFAULT_MAXIMUM = 65535;
constexpr DWORD MIXER_CD_LINE_ID = 0x00010000;
constexpr DWORD MIXER_CD_VOLUME_ID = 0x00000003;
constexpr DWORD MIXER_CD_CHANNELS = 2;

// The mixer answers the WinMM mixer calls with the platform's codes:
// - open: device 0 only, flags 0 (no callback); without a mixer MMSYSERR_BADDEVICEID. Each open
//   gives a new handle; close takes an open handle, else MMSYSERR_INVALHANDLE.
// - an object given without a type flag is the mixer's device number when it is one (0) and a
//   handle otherwise, as the platform reads it; with MIXER_OBJECTF_HMIXER it is a handle. A handle
//   that is not open (the null handle among them, when no mixer exists) fails with
//   MMSYSERR_INVALHANDLE.
// - the one line is the compact-disc source (line id MIXER_CD_LINE_ID, two channels), found by
//   component type, line id or as source 0 of destination 0; any other line MIXERR_INVALLINE.
// - its one control is the volume (MIXER_CD_VOLUME_ID), found by type, id or as all controls of
//   the line; any other control MIXERR_INVALCONTROL.
// - values are read and set as MIXERCONTROLDETAILS_UNSIGNED for one channel (all alike) or for
//   both; a value outside the control's range is refused with MIXERR_INVALVALUE. Every value set
//   is traced as "mixer-set VALUE".
// - a record shorter than the platform's, or a missing one, fails with MMSYSERR_INVALPARAM; query
//   flags it does not know with MMSYSERR_INVALFLAG or MMSYSERR_NOTSUPPORTED.
class SIM_API Mixer {
public:
    // A mixer as the bench starts it: present, range 0 to 65535 at its maximum, nothing open.
    void reset();

    void set_installed(bool installed);   // a removed mixer closes every handle
    void set_range(DWORD minimum, DWORD maximum);   // the value is kept within the new range
    void set_cd_line(bool present);   // a mixer without a compact-disc line has no line at all here

    MMRESULT open(HMIXER* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT close(HMIXER handle);
    MMRESULT get_line_info(HMIXEROBJ object, MIXERLINEA* line, DWORD flags) const;
    MMRESULT get_line_controls(HMIXEROBJ object, MIXERLINECONTROLSA* controls, DWORD flags) const;
    MMRESULT get_control_details(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) const;
    MMRESULT set_control_details(HMIXEROBJ object, const MIXERCONTROLDETAILS* details, DWORD flags);

    bool installed() const { return installed_; }
    DWORD minimum() const { return minimum_; }
    DWORD maximum() const { return maximum_; }
    DWORD value(unsigned channel = 0) const { return values_[channel < MIXER_CD_CHANNELS ? channel : 0]; }
    std::size_t open_handles() const { return handles_.size(); }

private:
    MMRESULT check_object(HMIXEROBJ object, DWORD flags) const;
    MMRESULT check_details(const MIXERCONTROLDETAILS* details) const;
    void describe_control(MIXERCONTROLA& control) const;

    bool installed_ = true;
    bool cd_line_ = true;
    DWORD minimum_ = MIXER_DEFAULT_MINIMUM;
    DWORD maximum_ = MIXER_DEFAULT_MAXIMUM;
    DWORD values_[MIXER_CD_CHANNELS] = {MIXER_DEFAULT_MAXIMUM, MIXER_DEFAULT_MAXIMUM};
    std::vector<std::uintptr_t> handles_;
    std::uintptr_t next_handle_ = 0x7000;
};

// The one mixer of the simulated platform, shared by the host and the modules.
SIM_API Mixer& mixer();

}  // namespace sim
