// The simulated mixer through the native WinMM calls: handles and how an object is read, the
// compact-disc line and its volume control, values within the range, and the codes it refuses.
#include "tests/support/device_bench.h"

namespace {

using device_bench::Lines;

class Mixer : public device_bench::DeviceTest {
protected:
    HMIXER open_mixer()
    {
        HMIXER mixer = nullptr;
        EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), static_cast<MMRESULT>(MMSYSERR_NOERROR));
        return mixer;
    }
    static HMIXEROBJ object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }
    static MIXERCONTROLDETAILS details_for(MIXERCONTROLDETAILS_UNSIGNED* levels, DWORD channels)
    {
        MIXERCONTROLDETAILS details = {};
        details.cbStruct = sizeof details;
        details.dwControlID = sim::MIXER_CD_VOLUME_ID;
        details.cChannels = channels;
        details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
        details.paDetails = levels;
        return details;
    }
    static MMRESULT set_value(HMIXEROBJ mixer, DWORD value, DWORD flags = MIXER_SETCONTROLDETAILSF_VALUE)
    {
        MIXERCONTROLDETAILS_UNSIGNED level = {value};
        MIXERCONTROLDETAILS details = details_for(&level, 1);
        return mixerSetControlDetails(mixer, &details, flags);
    }
};

TEST_F(Mixer, WithoutAMixerOpenFailsAndTheNullHandleFailsEverywhere)
{
    sim::mixer().set_installed(false);
    HMIXER mixer = nullptr;
    EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(mixer, nullptr);
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    EXPECT_EQ(mixerGetLineInfoA(nullptr, &line, MIXER_GETLINEINFOF_COMPONENTTYPE),
              static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(set_value(nullptr, 100), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(mixerClose(nullptr), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_LINES(Lines{}, take_trace());
}

TEST_F(Mixer, AnObjectWithoutATypeFlagIsTheDeviceNumberOrElseAHandle)
{
    HMIXER mixer = open_mixer();
    EXPECT_EQ(set_value(nullptr, 7), static_cast<MMRESULT>(MMSYSERR_NOERROR)) << "0 is mixer device 0";
    EXPECT_EQ(set_value(object(mixer), 8), static_cast<MMRESULT>(MMSYSERR_NOERROR)) << "the open handle";
    EXPECT_EQ(set_value(object(mixer), 9, MIXER_OBJECTF_HMIXER), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(set_value(nullptr, 10, MIXER_OBJECTF_HMIXER), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE))
        << "as a handle, 0 is none";
    EXPECT_EQ(mixerClose(mixer), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(set_value(object(mixer), 11), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE)) << "a closed handle";
    EXPECT_EQ(mixerClose(mixer), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_LINES((Lines{"mixer-set 7", "mixer-set 8", "mixer-set 9"}), take_trace());
}

TEST_F(Mixer, TheCompactDiscLineHasOneVolumeControlWithTheConfiguredRange)
{
    sim::mixer().set_range(100, 200);
    HMIXER mixer = open_mixer();
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    ASSERT_EQ(mixerGetLineInfoA(object(mixer), &line, MIXER_GETLINEINFOF_COMPONENTTYPE), 0u);
    EXPECT_EQ(line.dwLineID, sim::MIXER_CD_LINE_ID);
    EXPECT_EQ(line.cControls, 1u);
    EXPECT_STREQ(line.szName, "CD Audio");

    MIXERCONTROLA control = {};
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    ASSERT_EQ(mixerGetLineControlsA(object(mixer), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE), 0u);
    EXPECT_EQ(control.dwControlID, sim::MIXER_CD_VOLUME_ID);
    EXPECT_EQ(control.dwControlType, static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_VOLUME));
    EXPECT_EQ(control.Bounds.dwMinimum, 100u);
    EXPECT_EQ(control.Bounds.dwMaximum, 200u);

    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_FADER;
    EXPECT_EQ(mixerGetLineControlsA(object(mixer), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE),
              static_cast<MMRESULT>(MIXERR_INVALCONTROL));
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    EXPECT_EQ(mixerGetLineInfoA(object(mixer), &line, MIXER_GETLINEINFOF_COMPONENTTYPE),
              static_cast<MMRESULT>(MIXERR_INVALLINE));
    line.cbStruct = sizeof line - 4;
    EXPECT_EQ(mixerGetLineInfoA(object(mixer), &line, MIXER_GETLINEINFOF_COMPONENTTYPE),
              static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
    mixerClose(mixer);
}

TEST_F(Mixer, ValuesOutsideTheRangeAreRefusedAndLeaveTheControlAsItWas)
{
    sim::mixer().set_range(100, 200);
    HMIXER mixer = open_mixer();
    EXPECT_EQ(set_value(object(mixer), 150), 0u);
    EXPECT_EQ(set_value(object(mixer), 99), static_cast<MMRESULT>(MIXERR_INVALVALUE));
    EXPECT_EQ(set_value(object(mixer), 201), static_cast<MMRESULT>(MIXERR_INVALVALUE));
    EXPECT_EQ(sim::mixer().value(), 150u);
    EXPECT_LINES((Lines{"mixer-set 150"}), take_trace());

    MIXERCONTROLDETAILS_UNSIGNED read = {};
    MIXERCONTROLDETAILS details = details_for(&read, 1);
    ASSERT_EQ(mixerGetControlDetailsA(object(mixer), &details, MIXER_GETCONTROLDETAILSF_VALUE), 0u);
    EXPECT_EQ(read.dwValue, 150u);
    mixerClose(mixer);
}

TEST_F(Mixer, TwoChannelsAreSetAndTracedOneByOne)
{
    HMIXER mixer = open_mixer();
    MIXERCONTROLDETAILS_UNSIGNED levels[2] = {{1000}, {2000}};
    MIXERCONTROLDETAILS details = details_for(levels, 2);
    ASSERT_EQ(mixerSetControlDetails(object(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE), 0u);
    EXPECT_EQ(sim::mixer().value(0), 1000u);
    EXPECT_EQ(sim::mixer().value(1), 2000u);
    EXPECT_LINES((Lines{"mixer-set 1000", "mixer-set 2000"}), take_trace());
    mixerClose(mixer);
}

TEST_F(Mixer, MalformedRequestsAreRefused)
{
    HMIXER mixer = open_mixer();
    MIXERCONTROLDETAILS_UNSIGNED level = {5};
    struct Case {
        const char* name;
        void (*spoil)(MIXERCONTROLDETAILS&);
        MMRESULT code;
    };
    const Case cases[] = {
        {"zeroed request", [](MIXERCONTROLDETAILS& d) { d = MIXERCONTROLDETAILS{}; }, MMSYSERR_INVALPARAM},
        {"short record", [](MIXERCONTROLDETAILS& d) { d.cbStruct -= 4; }, MMSYSERR_INVALPARAM},
        {"another control", [](MIXERCONTROLDETAILS& d) { d.dwControlID += 1; }, MIXERR_INVALCONTROL},
        {"three channels", [](MIXERCONTROLDETAILS& d) { d.cChannels = 3; }, MMSYSERR_INVALPARAM},
        {"no value", [](MIXERCONTROLDETAILS& d) { d.paDetails = nullptr; }, MMSYSERR_INVALPARAM},
        {"short value", [](MIXERCONTROLDETAILS& d) { d.cbDetails = 2; }, MMSYSERR_INVALPARAM},
        {"multiple items", [](MIXERCONTROLDETAILS& d) { d.cMultipleItems = 2; }, MMSYSERR_INVALPARAM},
    };
    for (const Case& c : cases) {
        MIXERCONTROLDETAILS details = details_for(&level, 1);
        c.spoil(details);
        EXPECT_EQ(mixerSetControlDetails(object(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE), c.code) << c.name;
    }
    EXPECT_EQ(mixerOpen(&mixer, 1, 0, 0, 0), static_cast<MMRESULT>(MMSYSERR_BADDEVICEID)) << "one mixer only";
    EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0x00010000), static_cast<MMRESULT>(MMSYSERR_INVALFLAG)) << "no callbacks";
    EXPECT_LINES(Lines{}, take_trace());
    mixerClose(mixer);
}

}  // namespace
