#include "auxiliary/TestCapture.h"
#include "media/MediaPlatform.h"
#include "platform/wave/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>

namespace vorlo::auxiliary {
namespace {

constexpr double kCaptureRate = 11025;
constexpr double kFirstTrackDroneHz = 220.0; // the demo disc's first track holds this tone

// The frequency, in whole hertz from `low` to `high`, at which the samples carry the most
// energy (Goertzel's algorithm at each frequency).
double StrongestFrequency(std::vector<double> samples, double rate, int low, int high)
{
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    for (double& sample : samples)
        sample -= mean;
    double best = 0;
    double bestPower = -1;
    for (int hz = low; hz <= high; ++hz) {
        const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / rate);
        double previous = 0, beforePrevious = 0;
        for (const double sample : samples) {
            const double current = sample + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

// The disc plays into the private server's null sink, whose monitor is the default source.
TEST(CaptureThroughTheSoundServer, RecordsASecondOfTheToneTheDiscIsPlaying)
{
    test::TempFolder drive;
    test::ScopedEnv driveC("VORLO_DRIVE_C", drive.Path().string());
    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    test::ScopedEnv disc("VORLO_CDROM", VORLO_DEMO_CUE);

    RecordTestCapture();

    const test::WavContents wav = test::ReadWav(drive.Path() / "cdtest.wav");
    EXPECT_EQ(wav.info.format, test::kWav8BitPcm);
    EXPECT_EQ(wav.info.samplerate, kCaptureRate);
    EXPECT_EQ(wav.info.channels, 1);
    EXPECT_GT(wav.info.frames, kCaptureRate * 0.8);
    EXPECT_LT(wav.info.frames, kCaptureRate * 1.5);
    ASSERT_FALSE(wav.samples.empty());
    EXPECT_NEAR(StrongestFrequency(wav.samples, kCaptureRate, 50, 2000), kFirstTrackDroneHz, 3.0);

    // The capture plays back through the server.
    EXPECT_NE(media::CurrentMediaPlatform().PlaySound("c:\\cdtest.wav", media::kPlaySoundSync), 0);
}

} // namespace
} // namespace vorlo::auxiliary
