// The radio state as the library load leaves it, before anything has run (no other test of this
// program touches the record).
#include "radio/gauge/radio_state.h"

#include <gtest/gtest.h>

namespace {

TEST(RadioState, HoldsItsLoadValuesBeforeAnyInstall)
{
    struct Field {
        const char* name;
        std::int64_t actual;
        std::int64_t expected;
    };
    const Field fields[] = {
        {"power", radio_state.power, 0},
        {"mode", radio_state.mode, MODE_CD},
        {"preset", radio_state.preset, 0},
        {"station_image", radio_state.station_image, 0},
        {"paused", radio_state.paused, 0},
        {"door_open", radio_state.door_open, 0},
        {"cd_playing", radio_state.cd_playing, 0},
        {"cd_track", radio_state.cd_track, 0},
        {"music_volume", radio_state.music_volume, -2000},
        {"cd_volume", radio_state.cd_volume, -8000},
        {"cd_result", radio_state.cd_result, 0},
    };
    for (const Field& field : fields)
        EXPECT_EQ(field.actual, field.expected) << field.name;
    for (int song = 0; song < SONG_COUNT; ++song)
        EXPECT_EQ(radio_state.song_path[song], nullptr) << "song_path[" << song << "]";
    EXPECT_EQ(radio_state.click_sound, nullptr);
}

TEST(RadioState, SourceCodesAndVolumeStep)
{
    EXPECT_EQ(MODE_CD, 0);
    EXPECT_EQ(MODE_FM, 1);
    EXPECT_EQ(MODE_AM, 2);
    EXPECT_EQ(VOLUME_STEP, 150);
    EXPECT_EQ(SONG_COUNT, 6);
}

}  // namespace
