#include "platform/Mci.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

namespace vorlo::platform {
namespace {

// The command-line front end records one second from the private sound server's default
// source (the null sink's monitor) and saves it on drive C:.
TEST(WaveAcceptance, VorloMciRecordsASecondAndSavesItAsAnElevenKilohertzEightBitMonoWav)
{
    test::TempFolder drive;
    test::ScopedEnv driveC("VORLO_DRIVE_C", drive.Path().string());
    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    const auto output = drive.Path() / "replies.txt";
    const std::string command = std::string(VORLO_MCI_PATH) + " > " + output.string();

    FILE* mci = popen(command.c_str(), "w");
    ASSERT_NE(mci, nullptr);
    const auto send = [mci](const char* line) {
        std::fprintf(mci, "%s\n", line);
        std::fflush(mci);
    };
    send("open new type waveaudio alias capture");
    send("record capture");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    send("stop capture");
    send("save capture c:\\t.wav");
    send("close capture");
    ASSERT_EQ(pclose(mci), 0);

    std::ifstream replies(output);
    std::string line;
    for (int n = 0; n < 5 && std::getline(replies, line); ++n)
        EXPECT_EQ(line.substr(0, 2), "0\t") << "command " << n << " failed: " << line;
    const test::WavContents wav = test::ReadWav(drive.Path() / "t.wav");
    EXPECT_EQ(wav.info.format, test::kWav8BitPcm);
    EXPECT_EQ(wav.info.samplerate, 11025);
    EXPECT_EQ(wav.info.channels, 1);
    EXPECT_GT(wav.info.frames, 11025 * 8 / 10);
    EXPECT_LT(wav.info.frames, 11025 * 15 / 10);
}

TEST(WaveAcceptance, RecordFailsWhenTheSourceDoesNotExist)
{
    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    test::ScopedEnv noSource("PULSE_SOURCE", "vorlo_no_such_source");
    char reply[128];
    ASSERT_EQ(mciSendString("open new type waveaudio alias capture", reply, sizeof reply, 0), 0u);
    EXPECT_NE(mciSendString("record capture", reply, sizeof reply, 0), 0u);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(mciSendString("close capture", reply, sizeof reply, 0), 0u);
}

} // namespace
} // namespace vorlo::platform
