#include "auxiliary/TestCapture.h"
#include "media/MediaPlatform.h"
#include "platform/devices/wave/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <ranges>
#include <tuple>
#include <utility>

namespace vorlo::auxiliary {
namespace {

constexpr double kCaptureRate = 11025;
constexpr int kFirstTrackDroneHz = 220; // the demo disc's first track holds this tone

// The energy of the samples at one frequency (Goertzel's algorithm).
double Power(const std::vector<double>& samples, int hz)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / kCaptureRate);
    double previous = 0, beforePrevious = 0;
    for (const double sample : samples)
        beforePrevious = std::exchange(previous, sample + coefficient * previous - beforePrevious);
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
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
    EXPECT_EQ(std::tuple(wav.info.format, wav.info.samplerate, wav.info.channels),
              std::tuple(test::kWav8BitPcm, static_cast<int>(kCaptureRate), 1));
    EXPECT_NEAR(static_cast<double>(wav.info.frames), kCaptureRate * 1.1, kCaptureRate * 0.3) << "about a second";
    const auto energy = [&](int hz) { return Power(wav.samples, hz); };
    EXPECT_NEAR(std::ranges::max(std::views::iota(50, 2001), {}, energy), kFirstTrackDroneHz, 3);

    // The capture plays back through the server.
    EXPECT_NE(media::CurrentMediaPlatform().PlaySound("c:\\cdtest.wav", media::kSndSync), 0);
}

} // namespace
} // namespace vorlo::auxiliary
