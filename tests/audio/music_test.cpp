// Music through FFmpeg: length and position, ends, loops with the 500 ms
// floor, volume messages, missing and unplayable files, and restarts
// rendered offline without a gap or a click.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "audio/music_commands.h"
#include "audio/music_service.h"
#include "audio/sound_commands.h"
#include "audio/sound_device.h"
#include "host/clock.h"
#include "media_files.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

using namespace std::chrono_literals;

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override { InitClock(); }
    void TearDown() override { StopMusic(); }
    RtString Tone(const char* name, double seconds) {
        const std::string path = (folder_.path() / name).string();
        EXPECT_TRUE(media_test::MakeTone(path, seconds));
        return RtString(path.c_str());
    }
    static vtx::MusicPlayer& Player() { return *vtx::Music().player; }

    ScratchFolder folder_{"music"};
};

TEST_F(MusicTest, LengthAndPositionInMilliseconds) {
    PlayMusic(Tone("two.mp3", 2.0), 0);
    ASSERT_NE(vtx::Music().player, nullptr);
    EXPECT_NEAR(Player().LengthMs(), 2000, 60);
    EXPECT_LT(Player().PositionMs(), 100);
    std::this_thread::sleep_for(400ms);
    EXPECT_GT(Player().PositionMs(), 200);
    EXPECT_LT(Player().PositionMs(), 800);
    EXPECT_EQ(IsMusicPlaying(), 1);
}

TEST_F(MusicTest, MusicPlayedOnceEnds) {
    PlayMusic(Tone("short.mp3", 0.6), 0);
    EXPECT_EQ(IsMusicPlaying(), 1);
    EXPECT_TRUE(Eventually([] { return IsMusicPlaying() == 0; }, 3000));
    EXPECT_EQ(Player().PositionMs(), Player().EndMs());
}

TEST_F(MusicTest, LoopedMusicRestartsAtItsDeadlineAndKeepsPlaying) {
    PlayMusic(Tone("one.mp3", 1.0), 1);
    const double length = Player().LengthMs();
    EXPECT_NEAR(vtx::Music().loopDeadline - ReadClock(), length, 30);
    const double first = vtx::Music().loopDeadline;
    while (ReadClock() < first - 20) {
        vtx::MusicLoopService();
        EXPECT_EQ(IsMusicPlaying(), 1);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GT(Player().PositionMs(), 500);
    std::this_thread::sleep_for(40ms);
    vtx::MusicLoopService();
    EXPECT_LT(Player().PositionMs(), 100);  // back at the start
    EXPECT_NEAR(vtx::Music().loopDeadline - ReadClock(), Player().LengthMs(), 30);  // the decoded length by now
    EXPECT_EQ(IsMusicPlaying(), 1);
}

TEST_F(MusicTest, MusicShorterThanHalfASecondLoopsEvery500Ms) {
    PlayMusic(Tone("blip.mp3", 0.2), 1);
    EXPECT_NEAR(vtx::Music().loopDeadline - ReadClock(), 500, 30);
    EXPECT_TRUE(Eventually([] { return vtx::Music().player->PositionMs() >= vtx::Music().player->EndMs(); }, 2000));
    EXPECT_EQ(IsMusicPlaying(), 1);  // between the end and the restart
    const double deadline = vtx::Music().loopDeadline;
    EXPECT_TRUE(Eventually([&] { vtx::MusicLoopService(); return vtx::Music().loopDeadline > deadline; }, 2000));
    EXPECT_LT(Player().PositionMs(), 150);
}

TEST_F(MusicTest, VolumeIsSentOnlyWhenItChanges) {
    const RtString tone = Tone("v.mp3", 1.0);
    SetMusicVolume(0.5);  // no music: only the cache changes
    PlayMusic(tone, 0);
    EXPECT_EQ(vtx::Music().volumeCache, 1.0);
    EXPECT_EQ(Player().VolumeMessages(), 1);  // full volume for each new piece
    SetMusicVolume(0.5);
    SetMusicVolume(0.5);
    SetMusicVolume(1.0);
    EXPECT_EQ(Player().VolumeMessages(), 3);
}

TEST_F(MusicTest, MissingAndUnplayableFiles) {
    PlayMusic(Tone("a.mp3", 1.0), 1);
    PlayMusic(RtString("missing.mp3"), 1);  // the previous music stops, nothing plays
    EXPECT_EQ(vtx::Music().player, nullptr);
    EXPECT_EQ(IsMusicPlaying(), 0);
    const std::string junk = (folder_.path() / "junk.mp3").string();
    std::system(("head -c 3000 /dev/urandom > '" + junk + "'").c_str());
    PlayMusic(RtString(junk.c_str()), 1);  // length 0, looping all the same
    EXPECT_EQ(IsMusicPlaying(), 1);
    EXPECT_NEAR(vtx::Music().loopDeadline - ReadClock(), 500, 30);
    EXPECT_EQ(StopMusic(), 0);
    EXPECT_EQ(IsMusicPlaying(), 0);
    EXPECT_EQ(StopMusic(), 0);
}

// No sound hardware: sound effects are refused, music keeps its clock.
TEST_F(MusicTest, WithoutSoundHardwareMusicIsSilentButKeepsTime) {
    vtx::StartAudioOutput(false);
    vtx::CreateSoundDevice();
    EXPECT_EQ(vtx::OpenSoundDevice(*vtx::SoundDeviceRecord(), nullptr), 0);
    EXPECT_EQ(PlaySound(0, 0, 1), -1);
    PlayMusic(Tone("quiet.mp3", 0.4), 0);
    EXPECT_TRUE(Eventually([] { return IsMusicPlaying() == 0; }, 3000));
    EXPECT_NEAR(Player().PositionMs(), 400, 40);
    vtx::ReleaseSound();
}

// Through SDL's disk driver: the decoded music reaches the device.
TEST_F(MusicTest, MusicReachesTheDevice) {
    const std::string out = (folder_.path() / "out.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    PlayMusic(Tone("d.mp3", 0.5), 0);
    ASSERT_TRUE(vtx::Audio().hardware);
    EXPECT_TRUE(Eventually([] { return IsMusicPlaying() == 0; }, 3000));
    StopMusic();
    vtx::StopAudioOutput();
    std::FILE* file = std::fopen(out.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    int16_t frame[2];
    int loud = 0;
    while (std::fread(frame, sizeof frame, 1, file) == 1) loud += std::abs(frame[0]) > 2000 && std::abs(frame[1]) > 2000;
    std::fclose(file);
    EXPECT_GT(loud, 5000);  // a 0.125 sine on both sides for half a second
}

// A player on a mixer of its own, pulled by the test.
TEST_F(MusicTest, RestartIsImmediateAndSmooth) {
    vtx::Mixer mixer;
    vtx::MusicPlayer player(mixer);
    ASSERT_TRUE(player.Open(Tone("r.mp3", 1.5).c_str()));
    player.Play();
    std::vector<float> out(2 * 512);
    float last = 0, maxStep = 0;
    int silent = 0;
    auto render = [&](int blocks) {
        for (int b = 0; b < blocks; ++b) {
            mixer.Render(out.data(), 512);
            for (int i = 0; i < 512; ++i) {
                maxStep = std::max(maxStep, std::fabs(out[2 * i] - last));
                silent += std::fabs(out[2 * i]) < 1e-4f && std::fabs(last) < 1e-4f;
                last = out[2 * i];
            }
            std::this_thread::sleep_for(1ms);  // time for the decoding thread
        }
    };
    render(20);  // past the first frames of the tone
    maxStep = 0;
    silent = 0;
    render(80);  // 1 s in: buffered frames in use
    player.SeekToStart();
    render(120);  // the head, then decoded frames again
    const float smooth = 0.125f * 2 * 3.1416f * 440 / 44100;  // steepest step of the tone
    EXPECT_LT(maxStep, 2 * smooth);
    EXPECT_LE(silent, 4);
}

}  // namespace
