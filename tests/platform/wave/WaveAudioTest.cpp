#include "platform/Mci.h"
#include "platform/Sound.h"
#include "platform/wave/WavSave.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace vorlo::platform {
namespace {

using namespace std::chrono_literals;

struct Answer {
    MciError error;
    std::string reply;
};

Answer Send(const std::string& command)
{
    char reply[128] = "untouched";
    const MciError error = mciSendString(command.c_str(), reply, sizeof reply, 0);
    return {error, reply};
}

class WaveAudio : public testing::Test {
protected:
    test::TempFolder drive;
    test::ScopedEnv driveC{"VORLO_DRIVE_C", drive.Path().string()};
    test::ScopedEnv nullSound{"VORLO_AUDIO", "null"};
};

TEST_F(WaveAudio, RecordsInTheBackgroundAndSavesAnElevenKilohertzEightBitMonoWav)
{
    ASSERT_EQ(Send("open new type waveaudio alias capture").error, 0u);
    EXPECT_EQ(Send("status capture mode").reply, "stopped");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Send("record capture").error, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms) << "record must return at once";
    EXPECT_EQ(Send("status capture mode").reply, "recording");
    std::this_thread::sleep_for(400ms);
    ASSERT_EQ(Send("stop capture").error, 0u);
    const int length = std::stoi(Send("status capture length").reply);
    EXPECT_GE(length, 350);
    EXPECT_EQ(Send("status capture mode").reply, "stopped");

    ASSERT_EQ(Send("save capture c:\\t.wav").error, 0u);
    const test::WavContents wav = test::ReadWav(drive.Path() / "t.wav");
    EXPECT_EQ(wav.info.format, test::kWav8BitPcm);
    EXPECT_EQ(wav.info.samplerate, 11025);
    EXPECT_EQ(wav.info.channels, 1);
    EXPECT_NEAR(static_cast<double>(wav.info.frames), length * 11.025, 12.0);

    EXPECT_EQ(Send("close capture").error, 0u);
    EXPECT_NE(Send("save capture c:\\t.wav").error, 0u);
}

TEST_F(WaveAudio, RefusedSavesAnswerAnErrorAndAnEmptyReplyAndWriteNothing)
{
    ASSERT_EQ(Send("open new type waveaudio alias capture").error, 0u);
    for (const char* refused : {"save capture c:\\..\\t.wav", "save capture d:\\t.wav", "save capture c:\\no\\t.wav"}) {
        const Answer answer = Send(refused);
        EXPECT_NE(answer.error, 0u) << refused;
        EXPECT_EQ(answer.reply, "") << refused;
    }
    EXPECT_TRUE(drive.Names().empty());
    Send("close capture");
}

TEST_F(WaveAudio, RecordFailsWithoutASoundServer)
{
    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    test::ScopedEnv noServer("PULSE_SERVER", "unix:" + (drive.Path() / "no-such-socket").string());
    ASSERT_EQ(Send("open new type waveaudio alias capture").error, 0u);
    const Answer answer = Send("record capture");
    EXPECT_NE(answer.error, 0u);
    EXPECT_EQ(answer.reply, "");
    EXPECT_EQ(Send("status capture mode").reply, "stopped");
    Send("close capture");
    EXPECT_EQ(sndPlaySound("c:\\anything.wav", kSndSync), 0);
}

TEST_F(WaveAudio, PlaySoundTakesTheSoundsTimeAndFailsOnWhatItCannotPlay)
{
    SaveWavAtomically(drive.Path() / "short.wav", WaveFormat{}, std::vector<std::uint8_t>(3308, 0x80));
    std::ofstream(drive.Path() / "text.wav") << "not a sound";

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(sndPlaySound("c:\\short.wav", kSndSync), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 250ms);
    EXPECT_EQ(sndPlaySound("c:\\short.wav", kSndNoDefault), 1);

    EXPECT_EQ(sndPlaySound("c:\\missing.wav", kSndSync), 0);
    EXPECT_EQ(sndPlaySound("c:\\text.wav", kSndSync), 0);
    EXPECT_EQ(sndPlaySound("c:\\..\\short.wav", kSndSync), 0);
    EXPECT_EQ(sndPlaySound(nullptr, kSndSync), 0);
    EXPECT_EQ(sndPlaySound("c:\\short.wav", 0x0001), 0) << "asynchronous play is not offered";
}

} // namespace
} // namespace vorlo::platform
