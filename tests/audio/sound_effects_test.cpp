// Sound effects mixed offline: levels, voice choice, stopping, resampling,
// WAVE variants and bad files; and one run through SDL's disk driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/sound_commands.h"
#include "audio/sound_device.h"
#include "files/memory_names.h"
#include "support/scratch_folder.h"
#include "wave_files.h"

using namespace wave_test;

namespace {

class SoundTest : public ::testing::Test {
protected:
    // The record points at the engine without starting an output: the test pulls the mixer itself.
    void SetUp() override {
        vtx::CreateSoundDevice();
        vtx::SoundDeviceRecord()->device = &vtx::Audio();
    }
    void TearDown() override { vtx::ReleaseSound(); }

    void Load(const std::vector<uint8_t>& bytes, int32_t slot, int32_t voices) {
        const std::string path = (folder_.path() / "s.wav").string();
        WriteFile(path, bytes);
        LoadSound(RtString(path.c_str()), slot, voices);
    }
    std::vector<float> Render(int frames) {
        std::vector<float> out(2 * static_cast<size_t>(frames));
        vtx::Audio().mixer.Render(out.data(), frames);
        return out;
    }
    static double Db(double ratio) { return 20 * std::log10(ratio); }

    ScratchFolder folder_{"sound"};
};

TEST_F(SoundTest, VolumeAndPanAreAttenuationsInHundredthsOfADecibel) {
    Load(Constant16(16384, 4000), 1, 2);
    ASSERT_EQ(PlaySound(1, -0.3, 0.9), 256);  // -10 dB both sides, right 30 dB more
    std::vector<float> out = Render(100);
    EXPECT_NEAR(Db(out[100] / 0.5), -10.0, 0.1);
    EXPECT_NEAR(Db(out[101] / 0.5), -40.0, 0.1);
    StopSound(256);
    ASSERT_EQ(PlaySound(1, 2.0, 1.5), 256);  // fully right at full volume
    out = Render(100);
    EXPECT_EQ(out[100], 0.0f);
    EXPECT_NEAR(out[101], 0.5f, 1e-4);
    StopAllSounds();
    ASSERT_EQ(PlaySound(1, 0.0, 0.0), 256);  // -10000: silent
    out = Render(100);
    EXPECT_EQ(out[100], 0.0f);
    EXPECT_EQ(out[101], 0.0f);
}

TEST_F(SoundTest, VoicesAreTakenInTurnAndTheOldestIsTakenOver) {
    Load(Constant16(1000, 1000), 7, 3);
    EXPECT_EQ(PlaySound(7, 0, 1), 7 * 256 + 0);
    EXPECT_EQ(PlaySound(7, 0, 1), 7 * 256 + 1);
    Render(500);
    EXPECT_EQ(PlaySound(7, 0, 1), 7 * 256 + 2);
    EXPECT_EQ(PlaySound(7, 0, 1), 7 * 256 + 0);  // restarted from the start
    Render(600);
    EXPECT_EQ(IsSoundPlaying(7 * 256 + 0), 1);  // would have ended with voice 1
    EXPECT_EQ(IsSoundPlaying(7 * 256 + 1), 0);
    EXPECT_EQ(IsSoundPlaying(7 * 256 + 2), 1);
    // StopSound with a voice part beyond the voices stops them all.
    PlaySound(7, 0, 1);
    StopSound(7 * 256 + 200);
    for (int v = 0; v < 3; ++v) EXPECT_EQ(IsSoundPlaying(7 * 256 + v), 0);
}

TEST_F(SoundTest, ABusySingleVoiceIsRefusedAndPlaysOn) {
    Load(Constant16(1000, 1000), 2, 1);
    EXPECT_EQ(PlaySound(2, 0, 1), 512);
    Render(500);
    EXPECT_EQ(PlaySound(2, 0, 1), -1);
    Render(400);
    EXPECT_EQ(IsSoundPlaying(512), 1);  // not restarted: ends at frame 1000
    Render(200);
    EXPECT_EQ(IsSoundPlaying(512), 0);
    EXPECT_EQ(PlaySound(2, 0, 1), 512);
}

TEST_F(SoundTest, VoiceCountsSlotsAndChannelsAreKeptInRange) {
    Load(Constant16(1000, 100), 5000, 9);  // slot 4095, 4 voices
    for (int v = 0; v < 4; ++v) EXPECT_EQ(PlaySound(4095, 0, 1), 4095 * 256 + v);
    EXPECT_EQ(PlaySound(9999, 0, 1), 4095 * 256 + 0);
    Load(Constant16(1000, 100), 3, 0);  // 1 voice
    EXPECT_EQ(PlaySound(3, 0, 1), 3 * 256);
    EXPECT_EQ(PlaySound(3, 0, 1), -1);
    EXPECT_EQ(PlaySound(-1, 0, 1), -1);
    Load(Constant16(1000, 100), -1, 1);  // rejected: slot 0 stays empty
    EXPECT_EQ(PlaySound(0, 0, 1), -1);
    EXPECT_EQ(IsSoundPlaying(4096 * 256), 0);
    EXPECT_EQ(IsSoundPlaying(-5), 0);
    StopSound(4096 * 256);
    StopSound(-1);
}

TEST_F(SoundTest, EightBitMonoPlaysAtItsOwnRate) {
    std::vector<uint8_t> data(11025, 192);  // +0.5
    Load(Riff({{"fmt ", Format(1, 1, 11025, 8)}, {"data", data}}), 4, 1);
    ASSERT_EQ(PlaySound(4, 0, 1), 1024);
    const std::vector<float> out = Render(44000);
    EXPECT_NEAR(out[2 * 20000], 0.5f, 1e-3);
    EXPECT_EQ(IsSoundPlaying(1024), 1);
    Render(99);
    EXPECT_EQ(IsSoundPlaying(1024), 1);  // one second: 44 100 output frames
    Render(2);
    EXPECT_EQ(IsSoundPlaying(1024), 0);
}

TEST_F(SoundTest, OddChunksFloatAndExtensibleFilesLoad) {
    // An 18-byte "fmt " and an odd "LIST" (with its pad byte) before "data".
    Load(Riff({{"fmt ", Format(1, 1, 44100, 16, {0, 0})}, {"LIST", {1, 2, 3}}, {"data", Pcm16({8192, 8192, 8192})}}),
         1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    EXPECT_NEAR(Render(1)[0], 0.25f, 1e-4);
    Load(Riff({{"fmt ", Format(3, 2, 44100, 32)}, {"data", Float32({0.25f, -0.5f, 0.25f, -0.5f})}}), 1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    std::vector<float> out = Render(1);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.5f);
    // WAVE_FORMAT_EXTENSIBLE, float sub-format.
    std::vector<uint8_t> extra = {22, 0, 32, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    Load(Riff({{"fmt ", Format(0xFFFE, 2, 44100, 32, extra)}, {"data", Float32({-0.75f, 0.125f})}}), 1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    out = Render(1);
    EXPECT_FLOAT_EQ(out[0], -0.75f);
    EXPECT_FLOAT_EQ(out[1], 0.125f);
    // Another tag is read as PCM.
    Load(Riff({{"fmt ", Format(2, 1, 44100, 16)}, {"data", Pcm16({-16384, -16384})}}), 1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    EXPECT_NEAR(Render(1)[0], -0.5f, 1e-4);
}

TEST_F(SoundTest, BadFilesLeaveTheSlotEmpty) {
    const std::vector<uint8_t> good = Constant16(1000, 100);
    std::vector<uint8_t> notWave = good;
    notWave[8] = 'X';
    std::vector<uint8_t> cut(good.begin(), good.end() - 10);
    for (const auto& bytes : {notWave, cut, Riff({{"fmt ", Format(1, 1, 44100, 16)}}),
                              Riff({{"data", Pcm16({1, 2})}}), Riff({{"fmt ", Format(1, 6, 44100, 16)}, {"data", Pcm16({1, 2, 3, 4, 5, 6})}}),
                              Riff({{"fmt ", Format(1, 1, 44100, 12)}, {"data", Pcm16({1, 2})}})}) {
        Load(bytes, 1, 1);
        EXPECT_EQ(PlaySound(1, 0, 1), -1);
    }
    LoadSound(RtString("missing.wav"), 1, 1);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
    // A memory file cut short plays what it has, then silence.
    const RtString name = vtx::RegisterMemoryBlock(cut.data(), static_cast<uint32_t>(cut.size()));
    LoadSound(name, 1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    const std::vector<float> out = Render(98);
    EXPECT_NE(out[2 * 90], 0.0f);
    EXPECT_EQ(out[2 * 96], 0.0f);
    EXPECT_EQ(IsSoundPlaying(256), 1);
    vtx::UnregisterMemoryBlock(name);
}

TEST_F(SoundTest, WithoutSoundHardwareLoadsLeaveSlotsEmpty) {
    vtx::SoundDeviceRecord()->device = nullptr;
    Load(Constant16(1000, 100), 1, 1);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
}

// Through SDL's disk driver: the samples reach the device.
TEST(SoundDevice, PlayedSoundReachesTheDevice) {
    ScratchFolder folder("sound-disk");
    const std::string out = (folder.path() / "out.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    vtx::CreateSoundDevice();
    ASSERT_EQ(vtx::OpenSoundDevice(*vtx::SoundDeviceRecord(), nullptr), 1);
    WriteFile((folder.path() / "s.wav").string(), Constant16(16384, 4410));
    LoadSound(RtString((folder.path() / "s.wav").string().c_str()), 0, 1);
    ASSERT_EQ(PlaySound(0, 0, 1), 0);
    for (int i = 0; i < 100 && IsSoundPlaying(0) == 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    vtx::ReleaseSound();
    std::ifstream file(out, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int loud = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int16_t s;
        std::memcpy(&s, &bytes[i], 2);
        loud += s > 16000 && s < 16800;
    }
    EXPECT_GE(loud, 2 * 4400);
}

}  // namespace
