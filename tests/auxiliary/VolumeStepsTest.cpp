#include "auxiliary/VolumeSteps.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vorlo::auxiliary {
namespace {

using Log = std::vector<std::string>;

constexpr std::uint32_t Word(std::uint32_t left, std::uint32_t right) { return left | (right << 16); }

struct VolumeCase {
    const char* name;
    void (*step)();
    std::optional<std::uint32_t> before; // nullopt: the read fails
    std::uint32_t after;
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const VolumeCase& row, std::ostream* os) { *os << row.name; }

class VolumeStep : public testing::TestWithParam<VolumeCase> {};

// The wave steps address the wave mapper; the MIDI steps the device that the lookup of
// "midi" names.
TEST_P(VolumeStep, ClampsEachChannelAndWritesTheSameDevice)
{
    const VolumeCase& row = GetParam();
    const bool wave = row.step == WaveVolumeUp || row.step == WaveVolumeDown;
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform binding(platform);
    platform.SetDeviceId("midi", 3);
    if (row.before)
        wave ? platform.SetWaveVolume(*row.before) : platform.SetMidiVolume(*row.before);

    row.step();

    const std::string after = std::to_string(row.after);
    EXPECT_EQ(platform.Log(), (wave ? Log{"wavegetvolume 4294967295", "wavesetvolume 4294967295 " + after}
                                    : Log{"deviceid midi", "midigetvolume 3", "midisetvolume 3 " + after}));
}

INSTANTIATE_TEST_SUITE_P(Table, VolumeStep, testing::Values(
    VolumeCase{"FullStaysFullAfterUp", WaveVolumeUp, Word(65535, 65535), Word(65535, 65535)},
    VolumeCase{"SilenceStaysSilentAfterDown", WaveVolumeDown, Word(0, 0), Word(0, 0)},
    VolumeCase{"HalfStepsDownEvenly", WaveVolumeDown, Word(32768, 32768), Word(28673, 28673)},
    VolumeCase{"UpMovesChannelsIndependently", WaveVolumeUp, Word(65535, 0), Word(65535, 4095)},
    VolumeCase{"DownMovesChannelsIndependently", WaveVolumeDown, Word(4000, 65535), Word(0, 61440)},
    VolumeCase{"FailedReadCountsAsSilence", WaveVolumeUp, std::nullopt, Word(4095, 4095)},
    VolumeCase{"MidiNearFullClampsUp", MidiVolumeUp, Word(62000, 1), Word(65535, 4096)},
    VolumeCase{"MidiFailedReadCountsAsSilence", MidiVolumeDown, std::nullopt, Word(0, 0)}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlo::auxiliary
