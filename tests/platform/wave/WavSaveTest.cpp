#include "platform/wave/SndFile.h"
#include "platform/wave/WavSave.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace vorlo::platform {
namespace {

std::string Contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WavSave, WritesTheSamplesAsAWavOfTheFormatAndReplacesAnOldFile)
{
    test::TempFolder folder;
    const auto target = folder.Path() / "t.wav";
    std::ofstream(target) << "an older file";
    const std::vector<std::uint8_t> samples = {0x80, 0xFF, 0x00, 0x80, 0xC0};

    SaveWavAtomically(target, WaveFormat{}, samples);

    const test::WavContents wav = test::ReadWav(target);
    EXPECT_EQ(wav.info.format, test::kWav8BitPcm);
    EXPECT_EQ(wav.info.samplerate, 11025);
    EXPECT_EQ(wav.info.channels, 1);
    ASSERT_EQ(wav.samples.size(), samples.size());
    EXPECT_DOUBLE_EQ(wav.samples[0], 0.0);
    EXPECT_GT(wav.samples[1], 0.99);
    EXPECT_DOUBLE_EQ(wav.samples[2], -1.0);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.wav"});
}

TEST(WavSave, AFailedSaveLeavesThePreviousFileAndNoTemporaryOne)
{
    test::TempFolder folder;
    const auto target = folder.Path() / "t.wav";
    std::ofstream(target) << "the previous file";
    const std::vector<std::uint8_t> samples(100, 0x80);

    WaveFormat unsupported;
    unsupported.bitsPerSample = 12;
    EXPECT_THROW(SaveWavAtomically(target, unsupported, samples), SndFileError);
    EXPECT_EQ(Contents(target), "the previous file");

    const auto folderInTheWay = folder.Path() / "busy.wav";
    std::filesystem::create_directories(folderInTheWay / "kept");
    EXPECT_THROW(SaveWavAtomically(folderInTheWay, WaveFormat{}, samples), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(folderInTheWay / "kept"));

    EXPECT_THROW(SaveWavAtomically(folder.Path() / "missing" / "t.wav", WaveFormat{}, samples), std::system_error);

    std::vector<std::string> names = folder.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"busy.wav", "t.wav"}));
}

TEST(SndFile, ReadsFramesBackAndRefusesWhatIsNoSound)
{
    test::TempFolder folder;
    const auto target = folder.Path() / "s.wav";
    WaveFormat stereo16{22050, 16, 2};
    const std::vector<std::uint8_t> samples = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x40, 0x00, 0xC0};
    SaveWavAtomically(target, stereo16, samples);

    SndFile file = SndFile::OpenForReading(target);
    EXPECT_EQ(file.Channels(), 2);
    EXPECT_EQ(file.SampleRate(), 22050);
    std::int16_t frames[8] = {};
    EXPECT_EQ(file.ReadFrames(frames, 4), 2u);
    EXPECT_EQ(std::vector<std::int16_t>(frames, frames + 4), (std::vector<std::int16_t>{1, -1, 0x4000, -0x4000}));
    EXPECT_EQ(file.ReadFrames(frames, 4), 0u);

    std::ofstream(folder.Path() / "text.wav") << "not a sound at all";
    EXPECT_THROW(SndFile::OpenForReading(folder.Path() / "text.wav"), SndFileError);
    EXPECT_THROW(SndFile::OpenForReading(folder.Path() / "none.wav"), SndFileError);
}

} // namespace
} // namespace vorlo::platform
