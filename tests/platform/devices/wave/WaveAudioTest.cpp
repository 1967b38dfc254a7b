#include "platform/Mci.h"
#include "platform/Sound.h"
#include "platform/devices/wave/WavSave.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>

namespace vorlo::platform {
namespace {

using namespace std::chrono_literals;

// "ERROR\tREPLY", as vorlo-mci prints it.
std::string Send(const std::string& command)
{
    char reply[128] = "untouched";
    const MciError error = mciSendString(command.c_str(), reply, sizeof reply, 0);
    return std::to_string(error) + "\t" + reply;
}

// A failure: an error number and an empty reply.
bool Failed(const std::string& answer) { return answer[0] != '0' && answer.back() == '\t'; }

class WaveAudio : public testing::Test {
protected:
    test::TempFolder drive;
    test::ScopedEnv driveC{"VORLO_DRIVE_C", drive.Path().string()};
    test::ScopedEnv nullSound{"VORLO_AUDIO", "null"};
};

TEST_F(WaveAudio, RecordsInTheBackgroundAndSavesOnlyWhereDriveCAllows)
{
    ASSERT_EQ(Send("open new type waveaudio alias capture"), "0\t1");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Send("record capture"), "0\t");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms) << "record must return at once";
    EXPECT_EQ(Send("status capture mode"), "0\trecording");
    std::this_thread::sleep_for(400ms);
    ASSERT_EQ(Send("stop capture"), "0\t");
    EXPECT_EQ(Send("status capture mode"), "0\tstopped");
    const int length = std::stoi(Send("status capture length").substr(2));
    EXPECT_GE(length, 350);

    for (const char* refused : {"save capture c:\\..\\t.wav", "save capture c:\\no\\t.wav"})
        EXPECT_TRUE(Failed(Send(refused))) << refused;
    EXPECT_TRUE(std::filesystem::is_empty(drive.Path()));

    ASSERT_EQ(Send("save capture \"c:\\my take.wav\""), "0\t");
    const test::WavContents wav = test::ReadWav(drive.Path() / "my take.wav");
    EXPECT_EQ(std::tuple(wav.info.format, wav.info.samplerate, wav.info.channels),
              std::tuple(test::kWav8BitPcm, 11025, 1));
    EXPECT_NEAR(static_cast<double>(wav.info.frames), length * 11.025, 12.0);

    EXPECT_EQ(Send("close capture"), "0\t");
    EXPECT_TRUE(Failed(Send("save capture c:\\t.wav")));
}

TEST_F(WaveAudio, PlaySoundWaitsForTheSoundAndFailsWithoutAFileOrAServer)
{
    SaveWavAtomically(drive.Path() / "short.wav", WaveFormat{}, std::vector<std::uint8_t>(3308, 0x80)); // 0.3 s
    std::ofstream(drive.Path() / "text.wav") << "not a sound";

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(sndPlaySound("c:\\short.wav", kSndSync), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 250ms);
    for (const char* unplayable : {"c:\\missing.wav", "c:\\text.wav", "c:\\..\\short.wav", static_cast<const char*>(nullptr)})
        EXPECT_EQ(sndPlaySound(unplayable, kSndSync), 0) << (unplayable ? unplayable : "(null)");
    EXPECT_EQ(sndPlaySound("c:\\short.wav", 0x0001), 0) << "asynchronous play is not offered";

    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    test::ScopedEnv noServer("PULSE_SERVER", "unix:" + (drive.Path() / "no-such-socket").string());
    EXPECT_EQ(sndPlaySound("c:\\short.wav", kSndSync), 0) << "without a sound server";
    ASSERT_EQ(Send("open new type waveaudio alias capture"), "0\t1");
    EXPECT_TRUE(Failed(Send("record capture"))) << "without a sound server";
    EXPECT_EQ(Send("close capture"), "0\t");
}

} // namespace
} // namespace vorlo::platform
