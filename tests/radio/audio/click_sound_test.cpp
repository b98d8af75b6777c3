// The click sound against the simulated sound device: loading, volume, play, and a device or
// COM that fails.
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"
#include "radio/audio/click_sound.h"
#include "radio/audio/module_instance.h"
#include "tests/support/media_test_support.h"

namespace {

using media_test::Bytes;

class ClickSound : public media_test::MediaTest {
protected:
    void TearDown() override
    {
        if (sound_device.device)
            click_device_close();
        // The gauge's kill: COM is balanced only when the open initialised it.
        if (click_com_initialized())
            CoUninitialize();
        sound_device = SoundDevice{nullptr, 0};
        EXPECT_EQ(sim::com_initialization_depth(), 0) << "COM initialisation left unbalanced";
        MediaTest::TearDown();
    }

    Bytes buffer_bytes(LPDIRECTSOUNDBUFFER buffer)
    {
        sim::SoundBufferInfo info;
        EXPECT_TRUE(sim::sound_buffer_info(buffer, info));
        return info.bytes;
    }

    Bytes click_samples()
    {
        Bytes click = media_test::click_resource_bytes();
        return Bytes(click.begin() + 56, click.begin() + 183);
    }
};

TEST_F(ClickSound, TheEmbeddedClickFillsAStaticBufferOf127Bytes)
{
    click_device_open(module_);
    EXPECT_EQ(module_instance, module_);
    EXPECT_EQ(click_com_initialized(), 1);
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    ASSERT_NE(click, nullptr);
    sim::SoundBufferInfo info;
    ASSERT_TRUE(sim::sound_buffer_info(click, info));
    EXPECT_EQ(info.bytes, click_samples());
    EXPECT_EQ(info.flags, 0x000100E2u);
    EXPECT_EQ(info.format.nSamplesPerSec, 22050u);
    EXPECT_FALSE(info.locked) << "the buffer was left locked";
    click_release_sound(click);
    EXPECT_EQ(sim::sound_buffer_count(), 0u);
}

TEST_F(ClickSound, ALockOfTwoRegionsReceivesConsecutiveSamples)
{
    const std::uint32_t splits[] = {1, 50, 126};
    click_device_open(module_);
    for (std::uint32_t split : splits) {
        SCOPED_TRACE("first region of " + std::to_string(split) + " bytes");
        sim::media::set_lock_split(split);
        LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
        ASSERT_NE(click, nullptr);
        EXPECT_EQ(buffer_bytes(click), click_samples());
        click_release_sound(click);
    }
}

TEST_F(ClickSound, VolumesAreClampedToTheDeviceRange)
{
    struct Case {
        LONG asked;
        LONG set;
    };
    const Case cases[] = {
        // asked   set
        {100,      0},
        {0,        0},
        {-500,     -500},
        {-10000,   -10000},
        {-12000,   -10000},
    };
    click_device_open(module_);
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    ASSERT_NE(click, nullptr);
    for (const Case& test : cases) {
        clear_trace();
        click_set_volume(click, test.asked);
        std::vector<std::string> expected = {"dsound volume " + std::to_string(test.set)};
        EXPECT_EQ(trace("dsound"), expected) << "asked for " << test.asked;
    }
    click_release_sound(click);
}

TEST_F(ClickSound, EveryClickPlaysTheBufferOnceWithTheCallersFlags)
{
    click_device_open(module_);
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    ASSERT_NE(click, nullptr);
    clear_trace();
    click_play(click, 0);
    click_play(click, 0);
    sim::SoundBufferInfo info;
    ASSERT_TRUE(sim::sound_buffer_info(click, info));
    EXPECT_EQ(info.plays, 2u);
    EXPECT_EQ(info.last_play_flags, 0u);
    EXPECT_EQ(trace("dsound"), (std::vector<std::string>{"dsound play", "dsound play"}));
    click_release_sound(click);
}

TEST_F(ClickSound, ANameThatIsNoResourceIsReadAsAFileAndUnmapped)
{
    media_test::write_file(cwd_ + "/tick.wav", media_test::wave_file_bytes(40, 11025));
    click_device_open(module_);
    LPDIRECTSOUNDBUFFER tick = click_load_sound("tick.wav");
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(buffer_bytes(tick).size(), 40u);
    EXPECT_EQ(sim::mapped_view_count(), 0u) << "the file's view stayed mapped";
    click_release_sound(tick);
}

// A file whose format chunk comes last with a body of 15 bytes, unpadded: the device reads the
// whole 16-byte record, of which the file holds 15; the 16th is taken as 0.
TEST_F(ClickSound, AFormatBodyThatEndsTheFileShortIsReadAsAWholeRecord)
{
    Bytes wave = {'R', 'I', 'F', 'F', 39, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 4, 0, 0, 0,
                  0x80, 0x81, 0x82, 0x83, 'f', 'm', 't', ' ', 15, 0, 0, 0,
                  1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8};
    media_test::write_file(cwd_ + "/short.wav", wave);
    click_device_open(module_);
    LPDIRECTSOUNDBUFFER tick = click_load_sound("short.wav");
    ASSERT_NE(tick, nullptr);
    sim::SoundBufferInfo info;
    ASSERT_TRUE(sim::sound_buffer_info(tick, info));
    EXPECT_EQ(info.format.nSamplesPerSec, 11025u);
    EXPECT_EQ(info.format.wBitsPerSample, 8);
    EXPECT_EQ(info.bytes, (Bytes{0x80, 0x81, 0x82, 0x83}));
    click_release_sound(tick);
}

TEST_F(ClickSound, AFileThatIsNoWaveImageGivesNoSound)
{
    media_test::write_file(cwd_ + "/notes.txt", Bytes(300, 'x'));
    click_device_open(module_);
    EXPECT_EQ(click_load_sound("notes.txt"), nullptr);
    EXPECT_EQ(click_load_sound("missing.wav"), nullptr);
    EXPECT_EQ(sim::mapped_view_count(), 0u);
    EXPECT_EQ(sim::sound_buffer_count(), 0u);
}

TEST_F(ClickSound, AFileWhoseBufferCannotBeMadeIsUnmappedAllTheSame)
{
    media_test::write_file(cwd_ + "/tick.wav", media_test::wave_file_bytes(40, 11025));
    click_device_open(module_);
    sim::media::fail_call("CreateSoundBuffer", E_OUTOFMEMORY);
    EXPECT_EQ(click_load_sound("tick.wav"), nullptr);
    EXPECT_EQ(sim::mapped_view_count(), 0u);
}

TEST_F(ClickSound, ABufferWhoseLockFailsIsReleased)
{
    click_device_open(module_);
    sim::media::fail_call("Lock", DSERR_INVALIDCALL);
    EXPECT_EQ(click_load_sound("CLICK_RCD"), nullptr);
    EXPECT_EQ(sim::sound_buffer_count(), 0u) << "the unfilled buffer was kept";
}

TEST_F(ClickSound, WithoutASoundDeviceTheRadioGoesOnSilently)
{
    sim::media::set_sound_device_available(false);
    click_device_open(module_);
    EXPECT_EQ(sound_device.device, nullptr);
    EXPECT_EQ(click_com_initialized(), 1) << "COM itself was initialised and is owed its balance";
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    EXPECT_EQ(click, nullptr);
    click_set_volume(click, -500);
    click_play(click, 0);
    click_release_sound(click);
    click_device_close();
    EXPECT_EQ(trace("dsound"), std::vector<std::string>{});
}

TEST_F(ClickSound, ADeviceThatCannotInitialiseGivesNoBuffer)
{
    sim::media::fail_call("Initialize", DSERR_NODRIVER);
    click_device_open(module_);
    EXPECT_NE(sound_device.device, nullptr);
    EXPECT_EQ(click_load_sound("CLICK_RCD"), nullptr);
}

TEST_F(ClickSound, AFailingCoInitializeIsOwedNoCoUninitialize)
{
    sim::media::fail_call("CoInitialize", E_OUTOFMEMORY);
    click_device_open(module_);
    EXPECT_EQ(click_com_initialized(), 0);
    EXPECT_EQ(sim::com_initialization_depth(), 0);
    EXPECT_EQ(sound_device.device, nullptr) << "COM is not initialised, so no device can be made";
    EXPECT_EQ(click_load_sound("CLICK_RCD"), nullptr);
    click_device_close();
}

TEST_F(ClickSound, AThreadWithCOMInAnotherModeStillGetsItsClick)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);   // the host's own initialisation
    sim::media::fail_call("CoInitialize", RPC_E_CHANGED_MODE);
    click_device_open(module_);
    EXPECT_EQ(click_com_initialized(), 0);
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    EXPECT_NE(click, nullptr);
    click_release_sound(click);
    click_device_close();
    EXPECT_EQ(sim::com_initialization_depth(), 1) << "the host's initialisation was taken over";
    CoUninitialize();
}

TEST_F(ClickSound, ASecondOpenOnTheThreadIsBalancedToo)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    click_device_open(module_);   // S_FALSE: success, owed a CoUninitialize of its own
    EXPECT_EQ(click_com_initialized(), 1);
    EXPECT_EQ(sim::com_initialization_depth(), 2);
    click_device_close();
    CoUninitialize();
    EXPECT_EQ(sim::com_initialization_depth(), 1);
    sound_device.com_initialized = 0;
    CoUninitialize();
}

}  // namespace
