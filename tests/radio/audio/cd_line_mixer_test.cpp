// The CD line back-end against the simulated mixer: open finds the line's volume control, the
// volume maps linearly onto the control's span with its clamps, and the two error boxes.
#include "radio/audio/cd_line_mixer.h"
#include "radio/gauge/radio_state.h"
#include "tests/support/device_bench.h"

#include <climits>

namespace {

using device_bench::Lines;

const std::string OPEN_ERROR_BOX = "msgbox \"Unable to open Mixer Controls.\" \"Volume Control Error\" 0x10";
const std::string CLOSE_ERROR_BOX = "msgbox \"Unable to close Mixer Controls.\" \"Volume Control Error\" 0x10";

struct VolumeCase {
    const char* name;
    std::int32_t volume;
    DWORD value;
};

class CdLine : public device_bench::DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        cd_line_mixer = CdLineMixer{};
    }
    void open_with_range(DWORD minimum, DWORD maximum)
    {
        sim::mixer().set_range(minimum, maximum);
        ASSERT_EQ(cd_line_open(), 1);
        take_trace();
    }
    void expect_volumes(const std::vector<VolumeCase>& cases)
    {
        for (const VolumeCase& c : cases) {
            SCOPED_TRACE(c.name);
            cd_line_set_volume(c.volume);
            EXPECT_LINES((Lines{"mixer-set " + std::to_string(c.value)}), take_trace());
            EXPECT_EQ(sim::mixer().value(0), c.value);
            EXPECT_EQ(sim::mixer().value(1), c.value) << "both channels alike";
        }
    }
};

TEST_F(CdLine, OpenFindsTheVolumeControlOfTheCompactDiscLine)
{
    sim::mixer().set_range(500, 9000);
    EXPECT_EQ(cd_line_open(), 1);
    EXPECT_LINES(Lines{}, take_trace());
    const CdLineMixer& m = cd_line_mixer;
    EXPECT_NE(m.mixer, nullptr);
    EXPECT_EQ(m.line.dwLineID, sim::MIXER_CD_LINE_ID);
    EXPECT_EQ(m.volume_control.dwControlID, sim::MIXER_CD_VOLUME_ID);
    EXPECT_EQ(m.level_min, 500u);
    EXPECT_EQ(m.level_max, 9000u);
    EXPECT_EQ(m.details.cbStruct, sizeof(MIXERCONTROLDETAILS));
    EXPECT_EQ(m.details.dwControlID, sim::MIXER_CD_VOLUME_ID);
    EXPECT_EQ(m.details.cChannels, 1u);
    EXPECT_EQ(m.details.cMultipleItems, 0u);
    EXPECT_EQ(m.details.cbDetails, sizeof(MIXERCONTROLDETAILS_UNSIGNED));
    EXPECT_EQ(m.details.paDetails, &m.level);
    EXPECT_EQ(m.level.dwValue, 9000u) << "the control's current value was read";
}

TEST_F(CdLine, EveryHundredIsOnePercentOfTheFullRange)
{
    open_with_range(0, 65535);
    expect_volumes({
        {"the starting volume is 20 percent", -8000, 13107},
        {"one step up is 21 percent", -7850, 13762},
        {"silence", -10000, 0},
        {"just above silence truncates to 0 percent", -9901, 0},
        {"full", 0, 65535},
        {"one step below full is 98 percent", -VOLUME_STEP, 64224},
        {"one step above full clamps to 100 percent", 100, 65535},
        {"one step up from -9950 is 2 percent", -9950 + VOLUME_STEP, 1310},
        {"down to -10099 is 0", -10099, 0},
        {"one step below silence clamps to 0 percent", -10100, 0},
        {"the lowest volume", INT32_MIN, 0},
        {"the highest volume", INT32_MAX, 65535},
    });
}

TEST_F(CdLine, ARangeAboveZeroMapsSilenceToItsMinimumAndFullToItsMaximum)
{
    open_with_range(100, 65535);
    expect_volumes({
        {"the starting volume is the minimum and 20 percent of the span", -8000, 13187},
        {"silence is the minimum", -10000, 100},
        {"one step below silence clamps to the minimum", -10100, 100},
        {"full is the maximum", 0, 65535},
        {"one step below full is 98 percent", -VOLUME_STEP, 64226},
    });
    open_with_range(1000, 9000);
    expect_volumes({
        {"50 percent lies halfway between the bounds", -5000, 5000},
    });
}

TEST_F(CdLine, SpansWherePercentTimesSpanExceeds32BitsStillMapLinearly)
{
    open_with_range(0, 4294967295u);
    expect_volumes({
        {"20 percent", -8000, 858993459},
        {"50 percent", -5000, 2147483647},
        {"99 percent", -100, 4252017622u},
        {"full", 0, 4294967295u},
    });
    open_with_range(0, 100000000);
    expect_volumes({
        {"43 percent of 10^8", -5700, 43000000},
    });
}

TEST_F(CdLine, NoMixerShowsBothBoxesOnceAndEverySetFailsQuietly)
{
    sim::mixer().set_installed(false);
    EXPECT_EQ(cd_line_open(), 0);
    EXPECT_EQ(cd_line_mixer.mixer, nullptr);
    cd_line_set_volume(-8000);
    cd_line_set_volume(-7850);
    EXPECT_EQ(cd_line_close(), 0);
    EXPECT_LINES((Lines{OPEN_ERROR_BOX, CLOSE_ERROR_BOX}), take_trace());
}

TEST_F(CdLine, AMixerWithoutACompactDiscLineOpensWithoutABoxAndClosesNormally)
{
    sim::mixer().set_cd_line(false);
    EXPECT_EQ(cd_line_open(), 0);
    EXPECT_NE(cd_line_mixer.mixer, nullptr) << "the mixer stays open";
    EXPECT_EQ(cd_line_mixer.details.cbStruct, 0u);
    cd_line_set_volume(-8000);
    EXPECT_EQ(cd_line_close(), 1);
    EXPECT_EQ(cd_line_mixer.mixer, nullptr);
    EXPECT_LINES(Lines{}, take_trace());
    EXPECT_EQ(sim::mixer().open_handles(), 0u);
}

TEST_F(CdLine, CloseReleasesTheMixerAndASecondInstallOpensItAgain)
{
    open_with_range(0, 65535);
    EXPECT_EQ(cd_line_close(), 1);
    EXPECT_EQ(cd_line_mixer.mixer, nullptr);
    EXPECT_EQ(sim::mixer().open_handles(), 0u);
    EXPECT_EQ(cd_line_close(), 0) << "a second close has no mixer to close";
    EXPECT_LINES((Lines{CLOSE_ERROR_BOX}), take_trace());

    EXPECT_EQ(cd_line_open(), 1);
    cd_line_set_volume(-8000);
    EXPECT_LINES((Lines{"mixer-set 13107"}), take_trace());
    EXPECT_EQ(cd_line_close(), 1);
}

}  // namespace
