#include "auxiliary/VolumeSteps.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vorlo::auxiliary {
namespace {

constexpr std::uint32_t Word(std::uint32_t left, std::uint32_t right) { return left | (right << 16); }

enum class Target { Wave, Midi };

struct VolumeCase {
    const char* name;
    Target target;
    void (*step)();
    std::optional<std::uint32_t> before; // nullopt: the read fails
    std::uint32_t after;
};

class VolumeStep : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeStep, ClampsEachChannelAndWritesTheSameDevice)
{
    const VolumeCase& row = GetParam();
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform binding(platform);
    if (row.before)
        row.target == Target::Wave ? platform.SetWaveVolume(*row.before) : platform.SetMidiVolume(*row.before);

    row.step();

    const std::string after = std::to_string(row.after);
    const std::vector<std::string> expected = row.target == Target::Wave
        ? std::vector<std::string>{"wavegetvolume 4294967295", "wavesetvolume 4294967295 " + after}
        : std::vector<std::string>{"deviceid midi", "midigetvolume 0", "midisetvolume 0 " + after};
    EXPECT_EQ(platform.Log(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VolumeStep,
    testing::Values(
        VolumeCase{"FullStaysFullAfterUp", Target::Wave, WaveVolumeUp, Word(65535, 65535), Word(65535, 65535)},
        VolumeCase{"SilenceStaysSilentAfterDown", Target::Wave, WaveVolumeDown, Word(0, 0), Word(0, 0)},
        VolumeCase{"HalfStepsDownEvenly", Target::Wave, WaveVolumeDown, Word(32768, 32768), Word(28673, 28673)},
        VolumeCase{"UpMovesChannelsIndependently", Target::Wave, WaveVolumeUp, Word(65535, 0), Word(65535, 4095)},
        VolumeCase{"DownMovesChannelsIndependently", Target::Wave, WaveVolumeDown, Word(4000, 65535), Word(0, 61440)},
        VolumeCase{"FailedReadCountsAsSilenceUp", Target::Wave, WaveVolumeUp, std::nullopt, Word(4095, 4095)},
        VolumeCase{"FailedReadCountsAsSilenceDown", Target::Wave, WaveVolumeDown, std::nullopt, Word(0, 0)},
        VolumeCase{"MidiNearFullClampsUp", Target::Midi, MidiVolumeUp, Word(62000, 1), Word(65535, 4096)},
        VolumeCase{"MidiHalfStepsDownEvenly", Target::Midi, MidiVolumeDown, Word(32768, 36863), Word(28673, 32768)},
        VolumeCase{"MidiFailedReadCountsAsSilence", Target::Midi, MidiVolumeUp, std::nullopt, Word(4095, 4095)}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return std::string(info.param.name); });

TEST(VolumeStep, MidiAddressesTheDeviceThatTheLookupNames)
{
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform binding(platform);
    platform.SetDeviceId("midi", 3);
    MidiVolumeDown();
    EXPECT_EQ(platform.Log(), (std::vector<std::string>{"deviceid midi", "midigetvolume 3", "midisetvolume 3 0"}));
}

} // namespace
} // namespace vorlo::auxiliary
